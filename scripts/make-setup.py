#!/usr/bin/env python3
"""Builds the Windows setup program of the plug-in with NSIS (makensis), named
after the version in the plug-in's VERSIONINFO resource, as the zip is.
With --sign, makensis signs the uninstaller it puts inside and the setup
program itself (!uninstfinalize, !finalize) through sign.py; the plug-in
given is put in as it is (make-release.py signs it first).
    make-setup.py [--sign CERT PASSWORD_FILE TIME [--timestamp URL]]
                  NSIS_SCRIPT PLUGIN INSTALL_TEXT LICENCE TARGET_DIR
Prints the path of the setup program.
"""
import argparse
import pathlib
import subprocess
import sys

from plugin_version import file_version, file_version_numbers
from sign import SigningError, check_files

SIGN_SCRIPT = pathlib.Path(__file__).resolve().with_name("sign.py")


def sign_command(cert, password_file, time, timestamp_url):
    """The command makensis runs through the shell, with "%1" for the file:
    each word in double quotes, so none may hold a quote or a $."""
    words = [sys.executable, SIGN_SCRIPT]
    if timestamp_url:
        words += ["--timestamp", timestamp_url]
    words += [pathlib.Path(cert).resolve(),
              pathlib.Path(password_file).resolve(), time]
    for word in map(str, words):
        if any(letter in word for letter in "\"'$`\\"):
            raise SigningError(f"{word}: a path or address for signing may "
                               "hold no quote, $, ` or backslash")
    return " ".join(f'"{word}"' for word in words)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sign", nargs=3,
                        metavar=("CERT", "PASSWORD_FILE", "TIME"))
    parser.add_argument("--timestamp", default="")
    parser.add_argument("files", nargs=5)
    args = parser.parse_args()
    script, plugin, install, licence, target = (
        pathlib.Path(arg).resolve() for arg in args.files)
    data = plugin.read_bytes()
    version = file_version(data)
    target.mkdir(parents=True, exist_ok=True)
    setup = target / f"vovadododidarov2000-setup-{version}.exe"
    defines = {
        "VERSION": version,
        "VERSION_NUMBER": file_version_numbers(data),
        "PLUGIN": plugin,
        "INSTALL_TEXT": install,
        "LICENCE": licence,
        "OUTFILE": setup,
    }
    if args.sign:
        try:
            check_files(*args.sign[:2])
            defines["SIGN_COMMAND"] = sign_command(*args.sign, args.timestamp)
        except SigningError as error:
            sys.exit(f"make-setup.py: {error}")
    # -WX: a warning (an unused variable, a missing file) fails the build.
    command = ["makensis", "-V2", "-WX", "-NOCD"]
    command += [f"-D{name}={value}" for name, value in defines.items()]
    command.append(str(script))
    result = subprocess.run(command, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        setup.unlink(missing_ok=True)  # no setup program left half signed
        sys.exit(result.stdout + "makensis failed")
    print(setup)


if __name__ == "__main__":
    main()
