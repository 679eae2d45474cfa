#!/usr/bin/python3
"""End-to-end checks of the setup program under Wine, run silently as an
administrator would, in a prefix of their own (WINEPREFIX, made by
`wine-run.sh --prepare`) and, for 64-bit Windows, in a 64-bit one
(SETUP_WINEPREFIX_64), and of make dist's signing path:
  without /D=, stand-in hosts of set versions and file times, under
  Program Files and registered under App Paths (on 64-bit Windows under
  Program Files (x86) and in each view of the registry), each install goes
  to the host of the last install while it is there, else to the one of
  the highest version (on equal versions the newest file), and leaves the
  other hosts and C:\ alone; a FINALE.EXE that cannot load the plug-in
  (64-bit, for another processor, damaged or cut short) is passed over, and
  refused when given with /D=; with no host it writes nothing but the
  reason into the install log;
  the setup program and the uninstaller it installs ask for administrator
  rights; a run that may not write into Program Files says that it needs
  them, and no other failure says so;
  unsigned by default, said in one line; the zip's entries with fixed
  dates, permissions and order; signed with a throwaway
  certificate, the same bytes twice, and a signed plug-in that still loads
  and runs; a timestamp server given reaches all three signatures; a wrong
  password or a missing file stops it and leaves no release, not even an
  older one; each failure osslsigncode may tell is told, and leaves no
  partly signed file; the zip is packed as small as deflate packs;
  a missing folder, or one without FINALE.EXE, is refused and left as it
  was, and the install log says why;
  a stand-in where a folder or file goes (Wine running as root ignores
  read-only folders, so a file where a folder goes, or a folder where a
  file goes), in the host folder or in Program Files\QZPlugins, a
  volatile uninstall key (no lasting entry can be written under it), and a
  newer plug-in fail and leave both folders as they were, with no
  uninstall entry;
  an install into a host folder whose path has spaces and non-ASCII letters
  puts the files and the uninstall entry in place, after ones into host
  folders that have other plug-ins or an empty Plug-ins folder;
  it installs a signed plug-in and uninstaller;
  a second install, into the folder of last time, replaces an older
  plug-in in place;
  an install or uninstall while the plug-in is held open fails and changes
  nothing;
  the uninstaller, run from a copy elsewhere, leaves nothing behind but the
  settings key and what was there before or put in later (a Plug-ins
  folder it made, with what the user put there); after another install,
  a file the user put in its own folder and another program in Program
  Files\QZPlugins stay; on 64-bit Windows its folder is under Program
  Files (x86), and the quiet uninstall command Windows registers removes
  it all;
  the page walk of the README's pictures sees the folder page and the
  settings question as a user does.
    setup_test.py NSIS_SCRIPT PLUGIN INSTALL_TEXT LICENCE HOLD_FILE_EXE
"""
import contextlib
import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

import pefile

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRIPTS = ROOT / "scripts"
PICTURES = ROOT / "tools" / "pictures"
sys.path.insert(0, str(SCRIPTS))
from plugin_version import file_version  # noqa: E402
from place_host import with_version  # noqa: E402

PLUGIN_NAME = "vovadododidarov2000.fxt"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QZSearchReplace"
SETTINGS_KEY = r"HKCU\Software\QZPlugins\QZSearchReplace111"
OWN_FOLDER = r"C:\Program Files\QZPlugins\QZ Search-Replace"
# Where a 32-bit program's Program Files is on 64-bit Windows.
PROGRAM_FILES_X86 = r"C:\Program Files (x86)"
OWN_FOLDER_X86 = PROGRAM_FILES_X86 + r"\QZPlugins\QZ Search-Replace"
OTHER_PROGRAM_FOLDER = r"C:\Program Files\QZPlugins\Other Tool"
TEST_ROOT = r"C:\setup-test"
HOST_FOLDER = TEST_ROOT + r"\Notation Programs\Partitur Ærø"
PLUGIN_PATH = HOST_FOLDER + "\\Plug-ins\\" + PLUGIN_NAME
SECOND_HOST_FOLDER = TEST_ROOT + r"\Second Host"
EMPTY_PLUGINS_HOST_FOLDER = TEST_ROOT + r"\Third Host"
DOWNLOADS = TEST_ROOT + r"\Downloads"
NOT_A_HOST_FOLDER = TEST_ROOT + r"\No Host"
UNWRITABLE_HOST_FOLDER = TEST_ROOT + r"\Unwritable Host"
# Host folders without a Plug-ins folder, and what the user puts into the
# one the setup program makes.
LATER_ADDITIONS = [(TEST_ROOT + r"\Fourth Host", "later.fxt"),
                   (TEST_ROOT + r"\Fifth Host", "my notes.txt")]
# Hosts the setup program finds by itself: under Program Files one and two
# levels down, and where Windows registers programs.
PROGRAM_FILES = r"C:\Program Files"
ONE_DOWN = PROGRAM_FILES + r"\Notation Test"
TWO_DOWN = PROGRAM_FILES + r"\Notation Test Maker\Notation 2"
REGISTERED = TEST_ROOT + r"\Apps\Registered"
STALE = TEST_ROOT + r"\Apps\Stale"  # registered, but holds no FINALE.EXE
LEFT_OUT = PROGRAM_FILES + r"\Left Out"  # hosts that cannot load the plug-in
X86_HOST = PROGRAM_FILES_X86 + r"\Notation Test"
HOST_64 = PROGRAM_FILES + r"\Notation Test 64"  # a 64-bit host's place
APP_PATHS = r"\Software\Microsoft\Windows\CurrentVersion\App Paths\FINALE.EXE"
# File times: a low word with its top bit set, one second and one day in
# ticks of 100 ns.
NEWEST_FILE, SECOND, DAY = 0x01DA0000_90000000, 10**7, 864 * 10**9
ONE_COMMAND = "TextCommandTest.YesToAllReplacesEverythingAndHidesTheQuestion"
OLDER_PLUGIN = b"an older plug-in"
SECONDS = 120  # limit of every run under Wine

# Root runs Wine without its power over file permissions (Wine runs no
# program as another user): then a read-only folder cannot be written.
NO_OVERRIDE = (["setpriv", "--bounding-set=-dac_override,-dac_read_search"]
               if os.geteuid() == 0 else [])
PREFIX_32 = os.environ["WINEPREFIX"]
PREFIX_64 = os.environ["SETUP_WINEPREFIX_64"]
PREFIX, ENV = None, None  # the prefix in use: use_prefix()
STAND_IN = {}  # the stand-in hosts' bytes, 32-bit and 64-bit
failures = []
checks = 0


def use_prefix(prefix):
    """Points every helper below at the 32-bit prefix or the 64-bit one."""
    global PREFIX, ENV
    PREFIX = pathlib.Path(prefix)
    ENV = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C.UTF-8",
               WINEARCH="win64" if prefix == PREFIX_64 else "win32")
    ENV.pop("DISPLAY", None)  # a silent run needs no display


def unix_path(windows_path):
    """The file in the prefix behind a path on drive C:."""
    assert windows_path[:3] == "C:\\"
    return PREFIX / "drive_c" / windows_path[3:].replace("\\", "/")


def wine(*args, log, runner=()):
    """Runs a Windows program in C:\ (where a path without a drive goes),
    through a runner if given; returns its exit code. Output goes to the
    log file, not to a pipe that wineserver would keep open."""
    return subprocess.run([*runner, "wine", *args], env=ENV, stdout=log,
                          stderr=log, cwd=PREFIX / "drive_c",
                          timeout=SECONDS).returncode


def wait_for_wine():
    """Waits until every Windows process of the prefix has ended."""
    subprocess.run(["wineserver", "-w"], env=ENV, timeout=SECONDS)


def wait_for_uninstall(log):
    """Waits for the copy a silent uninstaller hands its work to, until it
    has removed the uninstall entry, its last step (for a hundred looks at
    most): sooner than for the prefix's server, which lingers."""
    for _ in range(100):
        if registry_values(UNINSTALL_KEY, log) is None:
            return


def install(setup, folder, log, wrapper=(), runner=()):
    """A silent install, through a wrapper program and a runner if given;
    /D= comes last, with the path's words as separate arguments so that
    Wine does not put quotes round it."""
    words = folder.split(" ")
    setup = "Z:" + str(setup).replace("/", "\\")  # for the wrapper too
    return wine(*wrapper, setup, "/S", "/D=" + words[0], *words[1:], log=log,
                runner=runner)


def registry_values(key, log):
    """The values of a key as {name: str or int}, or None when it is
    absent, in the registry as a 32-bit program sees it. Read through an
    export file: its UTF-16 keeps every letter."""
    export = PREFIX / "drive_c" / "setup-test-export.reg"
    export.unlink(missing_ok=True)
    if wine("reg", "export", key, r"C:\setup-test-export.reg", "/y", "/reg:32",
            log=log):
        return None
    text = export.read_bytes().decode("utf-16").replace("\r\n", "\n")
    export.unlink()
    values = {}
    for name, value in re.findall(r'^"((?:[^"\\]|\\.)*)"=(.*)$', text, re.M):
        if value.startswith("dword:"):
            values[name] = int(value[6:], 16)
        else:
            values[name] = re.sub(r'\\(.)', r'\1', value[1:-1])
    return values


def check(condition, what):
    global checks
    checks += 1
    print(("ok      " if condition else "FAILED  ") + what)
    if not condition:
        failures.append(what)
        if os.environ.get("FAIL_FAST"):  # a mutant's run ends here
            sys.exit(1)


def listing(windows_path):
    folder = unix_path(windows_path)
    return sorted(p.name for p in folder.iterdir()) if folder.is_dir() else None


def clean(log):
    """Removes the keys and folders these checks make. One program deletes
    every key, those of HKLM in both views of 64-bit Windows, and the
    prefix's server stays up for the next check."""
    roots = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE"}
    keys = [UNINSTALL_KEY, SETTINGS_KEY, "HKCU" + APP_PATHS, "HKLM" + APP_PATHS]
    keys += [key.replace(r"HKLM\Software", r"HKLM\Software\Wow6432Node")
             for key in keys if key.startswith("HKLM")]
    deletions = unix_path(r"C:\setup-test-clean.reg")
    deletions.write_text("REGEDIT4\r\n\r\n" + "".join(
        f"[-{roots[key[:4]]}{key[4:]}]\r\n" for key in keys), encoding="ascii")
    wine("regedit", "/s", r"C:\setup-test-clean.reg", log=log)
    deletions.unlink()
    for root in (unix_path(TEST_ROOT), unix_path(OWN_FOLDER).parent,
                 unix_path(OWN_FOLDER_X86).parent, unix_path(ONE_DOWN),
                 unix_path(TWO_DOWN).parent, unix_path(LEFT_OUT),
                 unix_path(X86_HOST), unix_path(HOST_64),
                 unix_path(PROGRAM_FILES) / "FINALE.EXE"):
        subprocess.run(["rm", "-rf", str(root)], check=True)


def stop_wine():
    """Ends every program still running in the prefix, and its server,
    which writes the registry out."""
    subprocess.run(["wineserver", "-k"], env=ENV, timeout=SECONDS)
    wait_for_wine()


def version_string(program, key):
    """A string of a program's version information (UTF-16: its key, then
    its value 32-bit aligned), or None."""
    name = (key + "\0").encode("utf-16-le")
    at = program.find(name)
    if at < 0:
        return None
    at += len(name) + (-(at + len(name)) % 4)
    end = at
    while program[end:end + 2] not in (b"\0\0", b""):
        end += 2
    return program[at:end].decode("utf-16-le")


def make_certificate(folder):
    """A throwaway self-signed certificate: its .pfx with the key, the file
    with the .pfx's password, and the certificate alone."""
    key, cert, pfx = (folder / name for name in ("key", "cert", "pfx"))
    (folder / "password").write_text("throwaway\n")
    for command in (
            ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "9",
             "-subj", "/CN=Throwaway", "-keyout", key, "-out", cert],
            ["pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
             "-passout", f"file:{folder / 'password'}"]):
        subprocess.run(["openssl", *command], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return pfx, folder / "password", cert


def signed_by(path, cert):
    """Whether the file's SHA-256 Authenticode signature verifies."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, path],
                            stdout=subprocess.PIPE, text=True)
    return result.returncode == 0 and "algorithm  : SHA256" in result.stdout


def deflated(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


def release(args, target, *signing, env=None):
    """make dist's path: its exit code, output and files."""
    result = subprocess.run(
        [sys.executable, SCRIPTS / "make-release.py", *signing, args[1],
         args[0], *args[2:4], target],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=env,
        timeout=SECONDS)  # one that never ends fails here
    return result.returncode, result.stdout, sorted(target.glob("*"))


def signs_a_release(args, work, signing, files, log):
    # Over what an interrupted run left.
    (work / "plain.partial").mkdir()
    (work / "plain.partial" / "left").write_text("left\n")
    code, output, _ = release(args, work / "plain")
    check(code == 0 and [line.startswith("unsigned") for line in
                         output.splitlines()] == [False, False, True] and
          not (work / "plain.partial").exists(),
          "make dist without a certificate: unsigned, said in one line")
    # The same bytes, a later date; the texts' dates are the user's own.
    copies = [work / "copy" / pathlib.Path(a).name for a in args[1:4]]
    copies[0].parent.mkdir()
    for source, copy in zip(args[1:4], copies):
        shutil.copyfile(source, copy)
    dates = [copy.stat().st_mtime_ns for copy in copies[1:]]
    # Into a folder whose parent is made too, leaving nothing beside it.
    target = work / "later" / "again"
    again = release([args[0], *copies, args[4]], target, *signing)
    check(again[2] and [p.read_bytes() for p in again[2]] ==
          [p.read_bytes() for p in files["release"]] and
          dates == [copy.stat().st_mtime_ns for copy in copies[1:]] and
          [p.name for p in target.parent.iterdir()] == ["again"],
          "make dist with a certificate: the same bytes twice, the texts "
          "given keep their dates")
    signed = work / PLUGIN_NAME
    check(signed_by(signed, files["cert"]),
          "  the plug-in in the zip is signed")
    check(signed_by(files["release"][1], files["cert"]),
          "  the setup program is signed")
    linkage = subprocess.run([SCRIPTS / "check-linkage.sh", signed], stdout=log)
    check(linkage.returncode == 0, "  its plug-in's linkage")
    host = pathlib.Path(args[4]).parents[1] / "e2e" / "FINALE.EXE"
    run = subprocess.run(
        [SCRIPTS / "wine-run.sh", host, "--gtest_filter=" + ONE_COMMAND,
         "--plugin=Z:" + str(signed).replace("/", "\\")],
        stdout=subprocess.PIPE, stderr=log, text=True, timeout=SECONDS)
    check("[  PASSED  ] 1 test." in run.stdout,
          "  its plug-in runs the text command in the test host")
    # A timestamp server reaches every signature: osslsigncode, in the
    # path ahead of the real one, notes each signing and leaves the server
    # out (none can be reached from here).
    shim = work / "shim"
    shim.mkdir()
    (shim / "osslsigncode").write_text(
        f'#!/bin/sh\necho "$*" >> {shim / "calls"}\n'
        'for a; do shift; [ "$skip" ] && { skip=; continue; }\n'
        '[ "$a" = -ts ] && { skip=1; continue; }; set -- "$@" "$a"; done\n'
        f'exec {shutil.which("osslsigncode")} "$@"\n')
    (shim / "osslsigncode").chmod(0o755)
    # SOURCE_DATE_EPOCH, where set, is the signing time; else the last
    # commit's date.
    server, epoch = "http://127.0.0.1:9/", "1234567890"
    committed = subprocess.run(
        ["git", "-C", ROOT, "log", "-1", "--format=%ct"],
        stdout=subprocess.PIPE, text=True, check=True).stdout.strip()
    for given, time in ((epoch, epoch), ("", committed)):
        (shim / "calls").unlink(missing_ok=True)
        code, _, _ = release(
            args, work / f"stamped{given}", *signing, "--timestamp", server,
            env=dict(os.environ, SOURCE_DATE_EPOCH=given,
                     PATH=f"{shim}:{os.environ['PATH']}"))
        calls = (shim / "calls").read_text().splitlines()
        check(code == 0 and len(calls) == 3 and
              all(f"-time {time} -ts {server}" in call for call in calls),
              "make dist with a timestamp server: it signs all three with it"
              f" at {'SOURCE_DATE_EPOCH' if given else 'the last commit'}")
    # The setup program alone: a missing certificate or licence, no version,
    # a version that is no name, one without its numbers or without its end
    # stops it with a message and no setup program.
    def version_text(text):
        return ("FileVersion\0" + text + "\0").encode("utf-16-le")
    for name, text in (("odd", "1.0 beta!"), ("bare", "1.0")):
        (work / f"{name}.fxt").write_bytes(version_text(text))
    (work / "endless.fxt").write_bytes(version_text("1.0")[:-2])
    (work / "nameless.fxt").write_bytes(b"MZ" + version_text("1.0")[2:])
    for what, sign, plugin, texts, message in [
            ("certificate", [work / "none", signing[3], epoch], args[1],
             args[2:4], "does not exist"),
            ("licence", [], args[1], [args[2], work / "none"],
             "makensis failed"),
            ("version's name", [], work / "odd.fxt", args[2:4],
             "unexpected FileVersion '1.0 beta!'"),
            ("version's numbers", [], work / "bare.fxt", args[2:4],
             "no fixed version information"),
            ("version's end", [], work / "endless.fxt", args[2:4],
             "the plug-in's FileVersion has no end"),
            ("version", [], work / "nameless.fxt", args[2:4],
             "the plug-in has no FileVersion"),
            # Each word of the signing command goes inside double quotes.
            *((f"signing words free of {letter}",
               [signing[1], signing[3], f"1{letter}2"], args[1], args[2:4],
               "may hold no quote, $, ` or backslash")
              for letter in "\"'$`\\")]:
        target = work / f"setup-without-{what}"
        made = subprocess.run(
            [sys.executable, SCRIPTS / "make-setup.py", *(["--sign", *sign]
             if sign else []), args[0], plugin, *texts, target],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        check(made.returncode != 0 and made.stdout.strip().endswith(message)
              and not any(target.glob("*")),
              f"make-setup.py without its {what}: stops, says so")
    usage = subprocess.run([sys.executable, SCRIPTS / "make-setup.py"],
                           stderr=subprocess.PIPE, text=True)
    check(usage.returncode == 2 and
          "[--sign CERT PASSWORD_FILE TIME]" in usage.stderr,
          "make-setup.py without its files: says how it is called")
    # Into a folder not made yet.
    target = work / "setup-new" / "folder"
    made = subprocess.run(
        [sys.executable, SCRIPTS / "make-setup.py", args[0], args[1],
         *args[2:4], target], stdout=subprocess.PIPE,
        stderr=subprocess.STDOUT, text=True)
    check(made.returncode == 0 and [str(p) for p in target.glob("*.exe")] ==
          [made.stdout.strip()], "make-setup.py into a folder not made yet")
    (work / "wrong").write_text("wrong\n")
    # A run outside a git checkout: no signing time from a commit.
    outside = {k: v for k, v in os.environ.items()
               if k != "SOURCE_DATE_EPOCH"} | {"GIT_DIR": str(work / "none")}
    for what, spoilt, message, *outside_checkout in [
            ("a wrong password", [*signing[:3], work / "wrong"],
             "wrong password in"),
            ("a certificate without its key", [signing[0], files["cert"],
                                               *signing[2:]],
             "is not a PKCS#12 (.pfx) file with a key"),
            ("a timestamp server out of reach",
             [*signing, "--timestamp", "http://127.0.0.1:9/"],
             "did not answer"),
            ("a missing file", [signing[0], work / "none", *signing[2:]],
             "does not exist"),
            # Before the signing time, which outside a checkout has none.
            ("a missing password file, outside a checkout",
             [*signing[:3], work / "none"], "the password file", True),
            ("a certificate alone", signing[:2], "no password file given"),
            ("a plug-in that is no program", signing, "osslsigncode failed")]:
        # Over the unsigned release made above: none is left.
        plugin = args[2] if "no program" in what else args[1]
        code, output, made = release([args[0], plugin, *args[2:]],
                                     work / "plain", *spoilt,
                                     env=outside if outside_checkout else None)
        check(code != 0 and message in output and not made and
              not (work / "plain.partial").exists(),
              f"make dist with {what}: stops, says so, leaves no file")


def sign_tells_why(work, pfx, password):
    """What osslsigncode prints when it fails, each alone (its versions
    differ), after it began the signed copy: sign.py says why, and leaves
    the file as it was and nothing beside it."""
    fake = work / "fake"
    fake.mkdir()
    (fake / "osslsigncode").write_text(
        '#!/bin/sh\nwhile [ "$1" != -out ]; do shift; done\n'
        'echo part > "$2"; cat "${0%/*}/prints"; exit 1\n')
    (fake / "osslsigncode").chmod(0o755)
    server = ["--timestamp", "http://127.0.0.1:9/"]
    for printed, timestamp, why in (
            ("Wrong password", [], "wrong password in"),
            ("mac verify failure", [], "wrong password in"),
            ("PKCS#12 parse error", [], "is not a PKCS#12 (.pfx) file"),
            ("unable to load key or certificates", [], "is not a PKCS#12"),
            ("Timestamp", [], "osslsigncode failed"),  # none was asked for
            ("", server, "osslsigncode failed"),  # not the server's fault
            ("", [], "osslsigncode failed")):
        (fake / "prints").write_text(printed + "\n")
        (fake / "file.exe").write_bytes(b"program")
        result = subprocess.run(
            [sys.executable, SCRIPTS / "sign.py", *timestamp, pfx, password,
             "1", fake / "file.exe"], stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT, text=True,
            env=dict(os.environ, PATH=f"{fake}:{os.environ['PATH']}"))
        check(result.returncode != 0 and why in result.stdout and
              (fake / "file.exe").read_bytes() == b"program" and
              sorted(p.name for p in fake.iterdir()) ==
              ["file.exe", "osslsigncode", "prints"],
              f"sign.py when osslsigncode prints {printed!r}"
              f"{' (with a server)' if timestamp else ''}: says why, leaves "
              "the file alone")


def refuses_folder_without_host(setup, log):
    forget_install_log()
    check(install(setup, NOT_A_HOST_FOLDER, log) == 2,
          "a missing folder: exit code 2")
    check(listing(NOT_A_HOST_FOLDER) is None, "  the folder is still missing")
    unix_path(NOT_A_HOST_FOLDER).mkdir(parents=True)
    check(install(setup, NOT_A_HOST_FOLDER, log) == 2,
          "a folder without FINALE.EXE: exit code 2")
    check(install_log().read_text("utf-16").count(
          f"There is no FINALE.EXE in {NOT_A_HOST_FOLDER}.") == 2,
          "  the install log says why, each time")
    check(listing(NOT_A_HOST_FOLDER) == [], "  the folder is left empty")
    check(registry_values(UNINSTALL_KEY, log) is None, "  no uninstall entry")
    check(listing(OWN_FOLDER) is None, "  no folder of its own")


class Refused(str):
    """No install (exit code 2), and words the install log says why in."""


V25, V26 = (25, 0, 0, 1), (26, 0, 0, 0)
ON_MACHINE = [("HKLM", REGISTERED + r"\FINALE.EXE", "REG_SZ")]
NO_HOST = Refused("No FINALE.EXE found")
CANNOT_LOAD = (" is a 64-bit program: it cannot load this plug-in, which is"
               " 32-bit.")
ON_64_BIT = "64-bit Windows"
# Hosts that cannot load the plug-in, made from the 32-bit stand-in and
# where its PE header starts: each would be read as a 32-bit program if a
# check of the header were missed.
DAMAGED = {
    "for ARM64": lambda p, at: p[:at + 4] + b"\x64\xAA" + p[at + 6:],
    "without MZ": lambda p, at: b"ZM" + p[2:],
    "with a wrong PE signature": lambda p, at: p[:at + 3] + b"\1" + p[at + 4:],
    # Its offset's low word leads to a copy of the header.
    "with its header past 64 KB": lambda p, at: (
        p[:0x3C] + struct.pack("<I", 0x10040) + p[at:at + 6] + p[0x46:]),
    "cut short in its machine word": lambda p, at: p[:at + 5],
}
# What, the hosts (folder, version, how much older than the newest file[,
# "64-bit" or how it is damaged]), their registrations (root, value,
# type[, the view of the registry]), an install before ("kept", "gone": its
# FINALE.EXE removed afterwards, or "64-bit": replaced by a 64-bit one, and
# the folder), the folder given with /D=, where the silent install goes (or
# Refused), and whether on 64-bit Windows.
FINDS_THE_HOST = [
    ("one host under Program Files", [(ONE_DOWN, V25, 0)], [], None, None,
     ONE_DOWN),
    ("one two levels down", [(TWO_DOWN, V25, 0)], [], None, None, TWO_DOWN),
    ("one registered for the machine, outside Program Files",
     [(REGISTERED, V25, 0)], ON_MACHINE, None, None, REGISTERED),
    ("one registered for the user, quoted, with a variable",
     [(REGISTERED, V25, 0)], [("HKCU", r'"%SystemDrive%\setup-test\Apps'
                                       r'\Registered\FINALE.EXE"',
                               "REG_EXPAND_SZ")], None, None, REGISTERED),
    ("a higher first number beats a newer file",
     [(ONE_DOWN, V26, DAY), (TWO_DOWN, (25, 9, 9, 9), 0)], [], None, None,
     ONE_DOWN),
    ("the same, found the other way round",
     [(ONE_DOWN, (25, 9, 9, 9), 0), (TWO_DOWN, V26, DAY)], [], None, None,
     TWO_DOWN),
    ("a higher last number, registered, beats one under Program Files",
     [(REGISTERED, (26, 0, 0, 2), DAY), (ONE_DOWN, (26, 0, 0, 1), 0)],
     ON_MACHINE, None, None, REGISTERED),
    ("a higher second number",
     [(ONE_DOWN, (26, 1, 0, 0), DAY), (TWO_DOWN, (26, 0, 9, 9), 0)], [],
     None, None, ONE_DOWN),
    ("equal versions: the file a day newer",
     [(ONE_DOWN, V25, 0), (TWO_DOWN, V25, DAY)], [], None, None, ONE_DOWN),
    ("equal versions: the file a second newer",
     [(ONE_DOWN, V25, SECOND), (TWO_DOWN, V25, 0)], [], None, None, TWO_DOWN),
    ("equal versions and times: the first found, the registered one",
     [(REGISTERED, V25, 0), (ONE_DOWN, V25, 0)], ON_MACHINE, None, None,
     REGISTERED),
    ("a registration without FINALE.EXE is passed over",
     [(ONE_DOWN, V25, 0)], [("HKCU", STALE + r"\FINALE.EXE", "REG_SZ")],
     None, None, ONE_DOWN),
    ("/D= wins over the host found",
     [(ONE_DOWN, V26, 0), (REGISTERED, V25, 0)], [], None, REGISTERED,
     REGISTERED),
    ("an upgrade stays in the older host while a newer one is there",
     [(ONE_DOWN, V25, 0), (TWO_DOWN, V26, 0)], [], ("kept", ONE_DOWN), None,
     ONE_DOWN),
    ("the host of the last install is gone: the one found",
     [(REGISTERED, V26, 0), (ONE_DOWN, V25, 0)], [], ("gone", REGISTERED),
     None, ONE_DOWN),
    ("no host at all", [], [("HKLM", STALE + r"\FINALE.EXE", "REG_SZ")],
     None, None, NO_HOST),
    ("none in Program Files itself", [(PROGRAM_FILES, V25, 0)], [], None,
     None, NO_HOST),
    ("hosts that cannot load the plug-in, newer, are left out",
     [(TWO_DOWN, (0, 0, 0, 0), DAY), (LEFT_OUT + r"\64-bit", V26, 0, "64-bit"),
      *((LEFT_OUT + "\\" + damage, V26, 0, damage) for damage in DAMAGED)],
     [], None, None, TWO_DOWN),
    ("/D= at a FINALE.EXE cut short", [(ONE_DOWN, V25, 0, "cut short in its "
                                        "machine word")], [], None, ONE_DOWN,
     Refused(f"The FINALE.EXE in {ONE_DOWN} is damaged, or not a 32-bit "
             "Windows program: it cannot load")),
    ("/D= at a FINALE.EXE for ARM64", [(ONE_DOWN, V25, 0, "for ARM64")], [],
     None, ONE_DOWN, Refused(ONE_DOWN + CANNOT_LOAD)),
    ("the host of the last install is now a 64-bit program: the one found",
     [(REGISTERED, V26, 0), (ONE_DOWN, V25, 0)], [], ("64-bit", REGISTERED),
     None, ONE_DOWN),
    ("a host in Program Files (x86), a newer 64-bit one registered",
     [(HOST_64, V26, 0, "64-bit"), (X86_HOST, V25, DAY)],
     [("HKLM", HOST_64 + r"\FINALE.EXE", "REG_SZ", "/reg:64")], None, None,
     X86_HOST, ON_64_BIT),
    ("one registered in the 64-bit view", [(REGISTERED, V25, 0)],
     [(*ON_MACHINE[0], "/reg:64")], None, None, REGISTERED, ON_64_BIT),
    ("one registered in the 32-bit view", [(REGISTERED, V25, 0)],
     [(*ON_MACHINE[0], "/reg:32")], None, None, REGISTERED, ON_64_BIT),
    ("only a 64-bit host", [(HOST_64, V26, 0, "64-bit")],
     [("HKLM", HOST_64 + r"\FINALE.EXE", "REG_SZ", "/reg:64")], None, None,
     Refused(f"/D=. The FINALE.EXE in {HOST_64}{CANNOT_LOAD}"), ON_64_BIT),
    ("/D= at a 64-bit host", [(HOST_64, V26, 0, "64-bit")], [], None, HOST_64,
     Refused(f"The FINALE.EXE in {HOST_64}{CANNOT_LOAD} Nothing was "
             "installed."), ON_64_BIT),
    ("an upgrade in place", [(X86_HOST, V25, 0), (REGISTERED, V26, 0)],
     [(*ON_MACHINE[0], "/reg:32")], ("kept", X86_HOST), None, X86_HOST,
     ON_64_BIT),
]


def install_log():
    """The install log in the temporary folder of the prefix's user."""
    found = list((PREFIX / "drive_c" / "users").rglob(
        "vovadododidarov2000-setup.log"))
    return found[0] if found else None


def forget_install_log():
    if install_log():
        install_log().unlink()


def logged():
    """What the install log says, or "" when there is none."""
    return install_log().read_text("utf-16") if install_log() else ""


def stand_in(version, kind="32-bit"):
    """A stand-in FINALE.EXE of the version: a 32-bit or 64-bit program, or
    the 32-bit one damaged as DAMAGED says."""
    if kind in STAND_IN:
        return with_version(STAND_IN[kind], version)
    program = with_version(STAND_IN["32-bit"], version)
    return DAMAGED[kind](program, struct.unpack_from("<I", program, 0x3C)[0])


def finds_the_host(setup, files, log, on_64_bit=False):
    """Silent installs without /D=: where each goes, the other hosts and
    the registry left alone."""
    for what, hosts, registered, before, given, goes, *windows in \
            FINDS_THE_HOST:
        if bool(windows) != on_64_bit:
            continue
        clean(log)
        for folder, version, older, *kind in hosts:
            host = unix_path(folder) / "FINALE.EXE"
            host.parent.mkdir(parents=True, exist_ok=True)
            host.write_bytes(stand_in(version, *kind))
            ticks = NEWEST_FILE - older - 116444736 * 10**9  # since 1970
            os.utime(host, ns=(ticks * 100, ticks * 100))
        for root, value, kind, *view in registered:
            wine("reg", "add", root + APP_PATHS, "/ve", "/t", kind, "/d",
                 value, "/f", *view, log=log)
        if before:
            install(setup, before[1], log)
            host = unix_path(before[1]) / "FINALE.EXE"
            if before[0] == "gone":
                host.unlink()
            elif before[0] == "64-bit":
                host.write_bytes(stand_in(V26, "64-bit"))
        trees = {folder: tree(unix_path(folder)) for folder, *_ in hosts}
        drive = listing("C:\\")
        forget_install_log()
        code = install(setup, given, log) if given else wine(setup, "/S",
                                                               log=log)
        refused = isinstance(goes, Refused)
        what = f"{windows[0]}: {what}" if windows else what
        check(code == (2 if refused else 0),
              f"{what}: exit code {2 if refused else 0}")
        others = [f for f in trees if f not in (goes, before and before[1])]
        check(listing("C:\\") == drive and
              all(tree(unix_path(f)) == trees[f] for f in others),
              "  C:\\ and the other hosts are left as they were")
        if refused:
            check(listing(OWN_FOLDER) is None and listing(STALE) is None and
                  listing(OWN_FOLDER_X86) is None and
                  registry_values(UNINSTALL_KEY, log) is None,
                  "  nothing written")
            check(goes in logged(), f"  the install log says: {goes}")
        else:
            plugin = unix_path(goes) / "Plug-ins" / PLUGIN_NAME
            check(plugin.is_file() and plugin.read_bytes() == files["plugin"]
                  and (registry_values(UNINSTALL_KEY, log) or {}).get(
                      "HostFolder") == goes, f"  installed into {goes}")
    clean(log)


def tree(folder):
    """Every file and folder under a folder, with the files' bytes."""
    return {str(p): p.read_bytes() if p.is_file() else None
            for p in [folder, *folder.rglob("*")] if p.exists()}


def newer_plugin(plugin, word, step):
    """The plug-in with `step` added to a word of its fixed file version: 0
    holds the first two numbers, 1 the last two."""
    at = plugin.find(struct.pack("<I", 0xFEEF04BD)) + 8 + 4 * word
    raised = struct.unpack_from("<I", plugin, at)[0] + step
    return plugin[:at] + struct.pack("<I", raised) + plugin[at + 4:]


def refuses_bad_folders(setup, files, hold_exe, log):
    """Stand-ins in the host folder, where its own folder goes, or in the
    registry, and no right to write Program Files; each install but the
    first into a host folder that holds an older plug-in. Only the last
    says that it needs administrator rights."""
    host = unix_path(UNWRITABLE_HOST_FOLDER)
    own = unix_path(OWN_FOLDER)
    old = [PLUGIN_NAME]
    volatile = (pathlib.Path(hold_exe).with_name("with_volatile_key.exe"),
                UNINSTALL_KEY.removeprefix("HKLM\\"))
    new_plugin = fr"{UNWRITABLE_HOST_FOLDER}\Plug-ins\{PLUGIN_NAME}.new"
    in_volatile_key = lambda: install(setup, UNWRITABLE_HOST_FOLDER, log,
                                      volatile)
    # what, the host's plug-ins, the stand-in, what the install log says[,
    # how the setup program runs]
    cases = [
        ("a Plug-ins file where the folder should be", None,
         lambda: (host / "Plug-ins").write_bytes(b"not a folder"),
         fr"Could not create the folder {UNWRITABLE_HOST_FOLDER}\Plug-ins "),
        ("a folder where the plug-in is to be written", old,
         lambda: (host / "Plug-ins" / (PLUGIN_NAME + ".new")).mkdir(),
         f"Could not write the file {new_plugin} ("),
        *((f"a plug-in newer in its {number} number", old,
           lambda word=word, step=step: (host / "Plug-ins" / PLUGIN_NAME)
           .write_bytes(newer_plugin(files["plugin"], word, step)),
           "The newer plug-in was kept.")
          # The low numbers grow past a byte.
          for number, word, step in (
              ("first", 0, 0x10000), ("second", 0, 0x100),
              ("third", 1, 0x10000), ("fourth", 1, 0x100))),
        (r"a file where Program Files\QZPlugins goes", old,
         lambda: own.parent.write_bytes(b"not a folder"),
         f"Could not create the folder {OWN_FOLDER} (a file may stand"),
        ("a folder where LICENSE.txt goes", old,
         lambda: (own / "LICENSE.txt").mkdir(parents=True),
         fr"Could not write the file {OWN_FOLDER}\LICENSE.txt ("),
        ("a folder where the uninstaller goes", old,
         lambda: (own / "uninstall.exe").mkdir(parents=True),
         fr"Could not write the file {OWN_FOLDER}\uninstall.exe ("),
        ("a volatile uninstall key, with no room for a lasting entry, "
         "beside another program of the same maker", old, another_program,
         "Could not write the uninstall entry", in_volatile_key),
        ("the same, into a host folder without Plug-ins", None,
         lambda: None, "Could not write the uninstall entry", in_volatile_key),
        ("no right to write Program Files", old, lambda: None,
         "The setup program needs administrator rights: Windows did not let "
         fr"it write {PROGRAM_FILES}\QZPlugins Run it as an administrator",
         lambda: without_rights(PROGRAM_FILES, lambda: install(
             setup, UNWRITABLE_HOST_FOLDER, log, runner=NO_OVERRIDE))),
    ]
    for what, plugins, spoil, says, *run in cases:
        make_host(UNWRITABLE_HOST_FOLDER, plugins)
        spoil()
        before = tree(host), tree(own.parent)
        forget_install_log()
        code = run[0]() if run else install(setup, UNWRITABLE_HOST_FOLDER, log)
        check(code == 2, f"{what}: exit code 2")
        check(tree(host) == before[0], "  the host folder is left as it was")
        check(tree(own.parent) == before[1],
              r"  Program Files\QZPlugins is left as it was")
        check(registry_values(UNINSTALL_KEY, log) is None,
              "  no uninstall entry")
        said = logged()
        check(says in said and said.count("setup: ") == 1 and
              ("administrator" in said) == ("administrator" in says),
              f"  the install log says: {says}")
        subprocess.run(["rm", "-rf", str(host), str(own.parent)], check=True)


def without_rights(windows_path, run):
    """Runs `run` as a user who may not write into the folder: the folder
    read-only, and the prefix's server started again by the run (through
    NO_OVERRIDE), so that it too respects that; then as before."""
    folder = unix_path(windows_path)
    mode = folder.stat().st_mode
    stop_wine()
    folder.chmod(0o555)
    try:
        return run()
    finally:
        stop_wine()
        folder.chmod(mode)


def another_program():
    other = unix_path(OTHER_PROGRAM_FOLDER)
    other.mkdir(parents=True)
    (other / "tool.exe").write_bytes(b"MZ")


def make_host(folder, plugins=None):
    """A made-up host folder: a stand-in FINALE.EXE and, if a list is given,
    a Plug-ins folder with those plug-ins."""
    host = unix_path(folder)
    host.mkdir(parents=True)
    (host / "FINALE.EXE").write_bytes(STAND_IN["32-bit"])
    if plugins is not None:
        (host / "Plug-ins").mkdir()
    for name in plugins or []:
        (host / "Plug-ins" / name).write_bytes(b"another plug-in")


def installs_beside_other_plugins(setup, log):
    make_host(SECOND_HOST_FOLDER, ["other.fxt"])
    check(install(setup, SECOND_HOST_FOLDER, log) == 0,
          "install into a second host folder with other plug-ins: exit code 0")
    make_host(EMPTY_PLUGINS_HOST_FOLDER, [])
    check(install(setup, EMPTY_PLUGINS_HOST_FOLDER, log) == 0,
          "install into a host folder with an empty Plug-ins: exit code 0")
    for folder, name in LATER_ADDITIONS:
        make_host(folder)
        check(install(setup, folder, log) == 0,
              "install into a host folder without Plug-ins: exit code 0")
        (unix_path(folder) / "Plug-ins" / name).write_bytes(b"the user's")


def installs(setup, files, log):
    make_host(HOST_FOLDER)
    # The user's temporary folder: the setup program's own folder there is
    # gone again (a program's current folder cannot be removed).
    temporary = next(p for p in (PREFIX / "drive_c" / "users").rglob("Temp")
                     if p.is_dir())
    before = set(temporary.iterdir())
    check(install(setup, HOST_FOLDER, log) == 0,
          "install into a path with spaces and non-ASCII letters: exit code 0")
    check(set(temporary.iterdir()) <= before,
          "  nothing left in the temporary folder")
    installed = {
        PLUGIN_PATH: files["plugin"],
        OWN_FOLDER + r"\INSTALL.txt": files["install"],
        OWN_FOLDER + r"\LICENSE.txt": files["licence"],
    }
    for path, content in installed.items():
        target = unix_path(path)
        check(target.is_file() and target.read_bytes() == content,
              f"  {path} installed")
    check(listing(OWN_FOLDER) == ["INSTALL.txt", "LICENSE.txt", "uninstall.exe"],
          "  the folder of its own holds the texts and the uninstaller")
    for what, path in (("plug-in", PLUGIN_PATH),
                       ("uninstaller", OWN_FOLDER + r"\uninstall.exe")):
        check(signed_by(unix_path(path), files["cert"]),
              f"  the {what} is signed")
    values = registry_values(UNINSTALL_KEY, log) or {}
    expected = {
        "DisplayName": "QZ Search/Replace plug-in",
        "DisplayVersion": file_version(files["plugin"]),
        "Publisher": "QZPlugins",
        "HostFolder": HOST_FOLDER,
        "InstallLocation": OWN_FOLDER,
        "DisplayIcon": OWN_FOLDER + "\\uninstall.exe",
        "UninstallString": f'"{OWN_FOLDER}\\uninstall.exe"',
        "QuietUninstallString": f'"{OWN_FOLDER}\\uninstall.exe" /S',
        "NoModify": 1, "NoRepair": 1,
    }
    for name, value in expected.items():
        check(values.get(name) == value, f"  uninstall entry {name} = {value}")
    # In whole kilobytes, the folder of its own and the plug-in each.
    own = sum(p.stat().st_size for p in unix_path(OWN_FOLDER).iterdir())
    size_kb = own // 1024 + len(files["plugin"]) // 1024
    check(size_kb <= values.get("EstimatedSize", 0) <= size_kb + 2,
          f"  uninstall entry EstimatedSize: {size_kb} KB")


def replaces_older_plugin(setup, files, log):
    plugin = unix_path(PLUGIN_PATH)
    plugin.write_bytes(OLDER_PLUGIN)
    # No /D=: the setup program takes the host folder of last time.
    check(wine(setup, "/S", log=log) == 0,
          "install again, into the folder of last time: exit code 0")
    check(plugin.read_bytes() == files["plugin"], "  the plug-in is replaced")
    check(listing(HOST_FOLDER + r"\Plug-ins") == [PLUGIN_NAME],
          "  nothing else in Plug-ins")


@contextlib.contextmanager
def held_open(windows_path, hold_exe, log):
    """Holds the file open, as a running host holds its plug-ins, for the
    body of the with statement; yields whether it is held."""
    ready, release = TEST_ROOT + r"\held", TEST_ROOT + r"\release"
    holder = subprocess.Popen(
        ["wine", hold_exe, windows_path, ready, release, str(SECONDS)],
        env=ENV, stdout=log, stderr=log)
    try:
        for _ in range(SECONDS * 10):
            if unix_path(ready).exists() or holder.poll() is not None:
                break
            subprocess.run(["sleep", "0.1"])
        yield unix_path(ready).exists()
    finally:
        unix_path(release).touch()
        holder.wait(timeout=SECONDS)
        for marker in (ready, release):
            unix_path(marker).unlink(missing_ok=True)


def refuses_plugin_in_use(setup, hold_exe, log):
    plugin = unix_path(PLUGIN_PATH)
    plugin.write_bytes(OLDER_PLUGIN)
    forget_install_log()
    with held_open(PLUGIN_PATH, hold_exe, log) as held:
        check(held, "the plug-in file is held open")
        check(install(setup, HOST_FOLDER, log) == 2,
              "install while the plug-in is in use: exit code 2")
    check(plugin.read_bytes() == OLDER_PLUGIN, "  the plug-in is unchanged")
    check("The plug-in file is in use." in logged(),
          "  the install log says why")
    check(listing(HOST_FOLDER + r"\Plug-ins") == [PLUGIN_NAME],
          "  nothing else in Plug-ins")


def keeps_everything_while_in_use(hold_exe, log):
    # Run in place (_?=) so that the exit code can be read.
    words = OWN_FOLDER.split(" ")
    with held_open(PLUGIN_PATH, hold_exe, log):
        code = wine(unix_path(OWN_FOLDER + r"\uninstall.exe"), "/S",
                    "_?=" + words[0], *words[1:], log=log)
    check(code == 2, "uninstall while the plug-in is in use: exit code 2")
    check(unix_path(PLUGIN_PATH).is_file(), "  the plug-in is still there")
    check(registry_values(UNINSTALL_KEY, log) is not None,
          "  the uninstall entry is still there")


def uninstalls_all_but_settings(log):
    wine("reg", "add", SETTINGS_KEY, "/v", "SearchOptions", "/t", "REG_BINARY",
         "/d", "0102", "/f", log=log)
    # A copy run from elsewhere, as Windows runs it: the uninstaller copies
    # itself to the temporary folder, starts the copy and returns; the copy
    # does the work. It must not touch the texts of the folder it runs in.
    downloads = unix_path(DOWNLOADS)
    downloads.mkdir()
    for name in ("INSTALL.txt", "LICENSE.txt", "uninstall.exe"):
        (downloads / name).write_bytes(
            unix_path(OWN_FOLDER + "\\" + name).read_bytes())
    wine(downloads / "uninstall.exe", "/S", log=log)
    wait_for_uninstall(log)
    check(listing(DOWNLOADS) == ["INSTALL.txt", "LICENSE.txt", "uninstall.exe"],
          "uninstall: the folder it runs in keeps its files")
    check(listing(HOST_FOLDER) == ["FINALE.EXE"],
          "  the host folder holds only FINALE.EXE again")
    check(listing(EMPTY_PLUGINS_HOST_FOLDER + r"\Plug-ins") == [],
          "  an empty Plug-ins folder that was there before is kept")
    check(listing(SECOND_HOST_FOLDER + r"\Plug-ins") == ["other.fxt"],
          "  the second host folder keeps its Plug-ins and the other plug-in")
    for folder, name in LATER_ADDITIONS:
        check(listing(folder + r"\Plug-ins") == [name],
              f"  a Plug-ins folder it made keeps {name}, put there later")
    check(not unix_path(OWN_FOLDER).parent.exists(), "  no folder of its own")
    check(registry_values(UNINSTALL_KEY, log) is None, "  no uninstall entry")
    check((registry_values(SETTINGS_KEY, log) or {}).get("SearchOptions") is not None,
          "  the settings key is kept")


def uninstall_keeps_what_others_put_there(setup, log):
    r"""Its own folder and Program Files\QZPlugins go only when empty: a
    file the user put in the one, another program of the same maker in
    the other, stay."""
    check(install(setup, HOST_FOLDER, log) == 0, "another install")
    own = unix_path(OWN_FOLDER)
    (own / "my notes.txt").write_text("notes\n")
    another_program()
    wine(own / "uninstall.exe", "/S", log=log)
    wait_for_uninstall(log)
    check(listing(OWN_FOLDER) == ["my notes.txt"],
          "uninstall: its folder keeps a file the user put there")
    check(listing(OTHER_PROGRAM_FOLDER) == ["tool.exe"],
          r"  Program Files\QZPlugins keeps another program")
    subprocess.run(["rm", "-rf", str(own.parent)], check=True)


def asks_for_administrator(program):
    """Whether the program's manifest (its one RT_MANIFEST resource) asks
    Windows to run it with administrator rights."""
    pe = pefile.PE(str(program), fast_load=True)
    pe.parse_data_directories(
        [pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    manifests = [pe.get_data(entry.data.struct.OffsetToData,
                             entry.data.struct.Size)
                 for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]
                 for name in kind.directory.entries
                 for entry in name.directory.entries]
    return len(manifests) == 1 and re.search(
        rb'<requestedExecutionLevel level="requireAdministrator"',
        manifests[0]) is not None


def keep_app_paths_views_apart():
    """Wine links the 32-bit view's App Paths key to the 64-bit view's, as
    Windows 7 and later share it; kept apart here, as two keys, a host
    registered in one view only is found only by reading that view. Edited
    in the registry file while the prefix's server is down."""
    system = PREFIX / "system.reg"
    text = system.read_text(encoding="latin-1")
    system.write_text(re.sub(
        r"\[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\"
        r"CurrentVersion\\\\App Paths\] \d+\n(.+\n)*\n", "", text),
        encoding="latin-1")


def on_64_bit_windows(setup, files, log):
    """The rows of 64-bit Windows in the 64-bit prefix; then an install
    there puts its own folder under Program Files (x86), and the quiet
    uninstall command Windows registers, as a script runs it, removes it
    all with an uninstaller that asks for administrator rights."""
    use_prefix(PREFIX_64)
    stop_wine()
    keep_app_paths_views_apart()
    try:
        finds_the_host(setup, files, log, on_64_bit=True)
        make_host(X86_HOST)
        check(install(setup, X86_HOST, log) == 0,
              f"{ON_64_BIT}: an install: exit code 0")
        uninstaller = OWN_FOLDER_X86 + r"\uninstall.exe"
        check(listing(OWN_FOLDER_X86) == ["INSTALL.txt", "LICENSE.txt",
                                          "uninstall.exe"],
              r"  its folder of its own is under Program Files (x86)")
        check(asks_for_administrator(unix_path(uninstaller)),
              "  the uninstaller asks for administrator rights")
        command = (registry_values(UNINSTALL_KEY, log) or {}).get(
            "QuietUninstallString")
        check(command == f'"{uninstaller}" /S',
              f"  the quiet uninstall command: {command}")
        wine(uninstaller, "/S", log=log)
        wait_for_uninstall(log)
        check(listing(X86_HOST) == ["FINALE.EXE"] and
              not unix_path(OWN_FOLDER_X86).parent.exists() and
              registry_values(UNINSTALL_KEY, log) is None,
              "  the quiet uninstall removes it all")
    finally:
        clean(log)
        stop_wine()
        use_prefix(PREFIX_32)


def walks_the_pages(hold_exe, log):
    """The page walk that takes the README's pictures, on Xvfb in this
    prefix: it also fails when a page lacks the product's name, the
    publisher's line or the list of details, the folder page does not start
    at the host found, or at that of the last install, its list or Browse
    fails, its words do not say what was found or left out, it lets a
    folder without FINALE.EXE, or with a 64-bit one, through, holds a
    FINALE.EXE open, Enter at the settings question removes them, Yes
    keeps them, or an install that fails shows no box that says why. Its
    own limit ends a walk that hangs in time for its script to remove the
    hosts it placed, which the rows above would find next time."""
    build = pathlib.Path(hold_exe).resolve().parents[2]  # beside windows/
    wait_for_wine()  # a server started without a display shows no windows
    with tempfile.TemporaryDirectory() as pictures:
        code = subprocess.run(
            [PICTURES / "setup-pictures.sh", build, pictures], stdout=log,
            stderr=log, timeout=SECONDS,
            env=dict(os.environ, WINE_RUN_TIMEOUT=str(SECONDS - 30))).returncode
    check(code == 0, "the page walk: names, details, the folder page and the "
          "hosts found, the settings question")


def main():
    args = sys.argv[1:6]
    nsis_script, plugin, install_text, licence, hold_exe = args
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        pfx, password, cert = make_certificate(work)
        signing = ["--cert", pfx, "--password-file", password]
        code, output, release_files = release(args, work / "dist", *signing)
        if code:
            sys.exit(output)
        with zipfile.ZipFile(release_files[0]) as archive:
            (work / PLUGIN_NAME).write_bytes(archive.read(PLUGIN_NAME))
            # Nothing of the day or the machine it was made on.
            check([(i.filename, i.date_time, i.external_attr >> 16,
                    i.create_system, i.compress_type)
                   for i in archive.infolist()] ==
                  [(name, (1980, 1, 1, 0, 0, 0), 0o644, 3, zipfile.ZIP_DEFLATED)
                   for name in (PLUGIN_NAME, "INSTALL.txt", "LICENSE.txt")],
                  "the zip: fixed dates, permissions and order")
            check([i.compress_size for i in archive.infolist()] ==
                  [len(deflated(archive.read(i))) for i in archive.infolist()],
                  "  packed as small as deflate packs")
        # Made on Windows, where zipfile marks its entries so unless told
        # otherwise: the same bytes.
        zips = []
        for platform in ("linux", "win32"):
            subprocess.run(
                [sys.executable, "-c", "import runpy, sys; sys.argv.pop(0); "
                 "sys.platform = sys.argv.pop(0); sys.path.insert(0, "
                 "sys.argv[0].rsplit('/', 1)[0]); "
                 "runpy.run_path(sys.argv[0], run_name='__main__')",
                 platform, SCRIPTS / "make-dist.py", *args[1:4],
                 work / platform], stdout=subprocess.DEVNULL, check=True)
            zips += [p.read_bytes() for p in (work / platform).glob("*.zip")]
        check(len(zips) == 2 and zips[0] == zips[1],
              "  the same bytes made on Linux or Windows")
        setup = release_files[1]
        # The details Windows shows of the setup program.
        version = file_version((work / PLUGIN_NAME).read_bytes())
        for key, value in (("ProductName", "QZ Search/Replace plug-in"),
                           ("CompanyName", "QZPlugins"),
                           ("FileDescription", "QZ Search/Replace plug-in Setup"),
                           ("FileVersion", version), ("ProductVersion", version),
                           ("LegalCopyright", "Copyright QZPlugins")):
            check(version_string(setup.read_bytes(), key) == value,
                  f"the setup program's {key}: {value}")
        check(asks_for_administrator(setup),
              "the setup program asks for administrator rights")
        files = {"plugin": (work / PLUGIN_NAME).read_bytes(), "cert": cert,
                 "release": release_files,
                 "install": pathlib.Path(install_text).read_bytes(),
                 "licence": pathlib.Path(licence).read_bytes()}
        for bits, name in (("32-bit", "versioned_host.exe"),
                           ("64-bit", "versioned_host_64.exe")):
            STAND_IN[bits] = pathlib.Path(hold_exe).with_name(name).read_bytes()
        log_path = work / "wine.log"
        with open(log_path, "w") as log:
            use_prefix(PREFIX_32)
            stop_wine()  # what an earlier, broken run left running
            clean(log)
            try:
                # The quickest to fail first.
                finds_the_host(setup, files, log)
                on_64_bit_windows(setup, files, log)
                walks_the_pages(hold_exe, log)
                sign_tells_why(work, pfx, password)
                refuses_folder_without_host(setup, log)
                signs_a_release(args, work, signing, files, log)
                refuses_bad_folders(setup, files, hold_exe, log)
                installs_beside_other_plugins(setup, log)
                installs(setup, files, log)
                replaces_older_plugin(setup, files, log)
                refuses_plugin_in_use(setup, hold_exe, log)
                keeps_everything_while_in_use(hold_exe, log)
                uninstalls_all_but_settings(log)
                uninstall_keeps_what_others_put_there(setup, log)
            finally:
                clean(log)
                stop_wine()
        if failures:
            print(log_path.read_text(errors="replace"))
    print(f"{checks - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
