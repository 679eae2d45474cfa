#!/usr/bin/env python3
"""Packs the plug-in for users: a zip with the .fxt, an install text and the
licence, named after the version in the plug-in's VERSIONINFO resource.
Reproducible: fixed timestamps, permissions and order, so the same plug-in
always gives the same bytes.
    make-dist.py PLUGIN INSTALL_TEXT LICENCE TARGET_DIR
"""
import pathlib
import re
import sys
import zipfile


def file_version(plugin_bytes):
    """The FileVersion string of the VERSIONINFO resource (UTF-16 text)."""
    key = "FileVersion".encode("utf-16-le") + b"\x00\x00"
    at = plugin_bytes.find(key)
    if at < 0:
        sys.exit("the plug-in has no FileVersion")
    at += len(key)
    at += (-at) % 4  # the value is aligned to 32 bits
    end = at
    while plugin_bytes[end:end + 2] != b"\x00\x00":
        end += 2
    version = plugin_bytes[at:end].decode("utf-16-le")
    if not re.fullmatch(r"[0-9A-Za-z.]+", version):
        sys.exit(f"unexpected FileVersion {version!r}")
    return version


def main():
    plugin, install, licence, target = map(pathlib.Path, sys.argv[1:5])
    data = plugin.read_bytes()
    version = file_version(data)
    target.mkdir(parents=True, exist_ok=True)
    archive = target / f"vovadododidarov2000-{version}.zip"
    entries = [
        (plugin.name, data),
        ("INSTALL.txt", install.read_bytes()),
        ("LICENSE.txt", licence.read_bytes()),
    ]
    with zipfile.ZipFile(archive, "w") as zip_file:
        for name, content in entries:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            info.create_system = 3
            zip_file.writestr(info, content, compresslevel=9)
    print(archive)


if __name__ == "__main__":
    main()
