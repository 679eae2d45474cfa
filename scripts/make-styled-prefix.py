#!/usr/bin/python3
"""Gives a prepared Wine prefix a visual style that behaves like Windows'
styles: check boxes, radio buttons and group boxes draw their text in a
colour of the style's own, whatever colour their dialog asks for. Wine's
light style defines none for check boxes and radio buttons, so under it a
themed box still shows its dialog's colour, unlike on Windows.

The style is Wine's light style with `TextColor` set in those three
sections of its colour scheme; every other resource is copied as it is, in
every language. The copy is linked as a resource-only DLL (windres, ld),
put beside the light style and made the prefix's style. Run by Debian's
Python, the one python3-pefile is installed for.
    make-styled-prefix.py            (WINEPREFIX names the prefix)
"""
import os
import pathlib
import struct
import subprocess
import sys
import tempfile

import pefile

# The colour the style gives the boxes' text: a Windows-like blue that is
# neither the system's text colour nor the plug-in's warning colour.
TEXT_COLOUR = (0, 51, 153)
STYLED_SECTIONS = ("Button.Checkbox", "Button.Radiobutton", "Button.Groupbox")
SCHEME = "BLUE_INI"  # the light style's colour scheme ("Blue")
THEMES = pathlib.PurePosixPath("drive_c/windows/resources/themes")
NAME = "windowslike"
MARKER = ".styled-prefix"
TOOLS = "i686-w64-mingw32-"


def styled_scheme(text):
    """The scheme with TextColor set in each styled section (replaced where
    the section has one, else added under its header). The end-to-end tests
    check that the style then colours all three."""
    colour = "TextColor = %d %d %d" % TEXT_COLOUR
    lines = text.split("\r\n")
    out, section = [], None
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("["):
            section = stripped[1:-1]
            out.append(line)
            if section in STYLED_SECTIONS:
                out.append(colour)
            continue
        key = stripped.split("=")[0].strip().lower()
        if section in STYLED_SECTIONS and key == "textcolor":
            continue
        out.append(line)
    return "\r\n".join(out)


def res_id(value):
    """A type or name of a .res header: an ordinal or a UTF-16 string."""
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return value.encode("utf-16-le") + b"\0\0"


def res_entry(type_, name, language, data):
    ids = res_id(type_) + res_id(name)
    ids += b"\0" * (-len(ids) % 4)
    header_size = 8 + len(ids) + 16
    header = struct.pack("<II", len(data), header_size) + ids
    header += struct.pack("<IHHII", 0, 0x1030, language, 0, 0)
    return header + data + b"\0" * (-len(data) % 4)


def resources(pe):
    """Every resource of the style: (type, name, language, bytes)."""
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_ = str(type_entry.name) if type_entry.name else type_entry.id
        for name_entry in type_entry.directory.entries:
            name = str(name_entry.name) if name_entry.name else name_entry.id
            for lang in name_entry.directory.entries:
                data = lang.data.struct
                yield type_, name, lang.id, pe.get_data(data.OffsetToData,
                                                        data.Size)


def build_style(light, target):
    pe = pefile.PE(str(light))
    res = res_entry(0, 0, 0, b"")  # a .res file starts with an empty entry
    for type_, name, language, data in resources(pe):
        if type_ == "TEXTFILE" and name == SCHEME:
            data = styled_scheme(data.decode("utf-16-le")).encode("utf-16-le")
        res += res_entry(type_, name, language, data)
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        (work / "style.res").write_bytes(res)
        subprocess.run([TOOLS + "windres", "-J", "res", "-O", "coff",
                        "-i", work / "style.res", "-o", work / "style.o"],
                       check=True)
        subprocess.run([TOOLS + "ld", "-shared", "--entry=0", "-s",
                        "--no-insert-timestamp", "-o", target,
                        work / "style.o"], check=True)


def set_style(dll_path):
    key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    for name, value in (("ThemeActive", "1"), ("DllName", dll_path),
                        ("ColorName", "Blue"), ("SizeName", "NormalSize")):
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/t",
                        "REG_SZ", "/d", value, "/f"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=env, timeout=60)
    subprocess.run(["wineserver", "-w"], check=True, env=env, timeout=60)


def main():
    prefix = pathlib.Path(os.environ["WINEPREFIX"])
    if (prefix / MARKER).exists():
        print("styled prefix ready: %s" % prefix)
        return
    light = prefix / THEMES / "light" / "light.msstyles"
    if not light.exists():
        sys.exit("%s holds no light style; prepare the prefix first" % prefix)
    folder = prefix / THEMES / NAME
    folder.mkdir(parents=True, exist_ok=True)
    build_style(light, folder / (NAME + ".msstyles"))
    set_style("C:\\windows\\resources\\themes\\%s\\%s.msstyles" % (NAME, NAME))
    (prefix / MARKER).write_text("%d %d %d\n" % TEXT_COLOUR)
    print("styled prefix ready: %s" % prefix)


if __name__ == "__main__":
    main()
