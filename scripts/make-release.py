#!/usr/bin/env python3
"""`make dist`: the zip (make-dist.py) and the setup program (make-setup.py)
under TARGET_DIR, unsigned unless a certificate is given. With --cert and
--password-file, the plug-in (in the zip and in the setup program), the
setup program and its uninstaller are signed with Authenticode (sign.py),
at the time of the last commit, which is also the date of the files in
the setup program, so that the same certificate and sources give the same
bytes. Everything is made in a folder beside TARGET_DIR and
moved in only when all of it succeeded: a failure (a wrong password, a
missing file) leaves no TARGET_DIR.
    make-release.py [--cert PFX --password-file FILE [--timestamp URL]]
                    PLUGIN NSIS_SCRIPT INSTALL_TEXT LICENCE TARGET_DIR
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys

from sign import SigningError, check_files, sign, signing_time

SCRIPTS = pathlib.Path(__file__).resolve().parent


def run(*command):
    """Runs a script of this folder; returns what it printed."""
    result = subprocess.run([sys.executable, *map(str, command)],
                            stdout=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise SigningError(f"{pathlib.Path(command[0]).name} failed")
    return result.stdout.strip()


def build(args, staging):
    plugin = pathlib.Path(args.plugin)
    install_text, licence = args.install_text, args.licence
    sign_options = []
    if args.cert or args.password_file:
        check_files(args.cert, args.password_file)
        time = signing_time(SCRIPTS.parent)
        folder = staging / "signed"
        folder.mkdir()
        signed = folder / plugin.name
        sign(args.cert, args.password_file, time, args.timestamp,
             plugin, signed)
        install_text = shutil.copyfile(install_text, folder / "INSTALL.txt")
        licence = shutil.copyfile(licence, folder / "LICENSE.txt")
        # The setup program keeps its files' dates: these copies have the
        # signing time's, not the build's or the checkout's.
        for path in (signed, install_text, licence):
            os.utime(path, (time, time))
        plugin = signed
        sign_options = ["--sign", args.cert, args.password_file, time]
        if args.timestamp:
            sign_options += ["--timestamp", args.timestamp]
    elif args.timestamp:
        raise SigningError("a timestamp server needs a certificate "
                           "(SIGNING_CERT and SIGNING_PASSWORD_FILE)")
    outputs = [
        run(SCRIPTS / "make-dist.py", plugin, install_text, licence, staging),
        run(SCRIPTS / "make-setup.py", *sign_options, args.nsis_script,
            plugin, install_text, licence, staging),
    ]
    return [pathlib.Path(output) for output in outputs], bool(sign_options)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", default="")
    parser.add_argument("--password-file", default="")
    parser.add_argument("--timestamp", default="")
    for name in ("plugin", "nsis_script", "install_text", "licence",
                 "target"):
        parser.add_argument(name)
    args = parser.parse_args()
    target = pathlib.Path(args.target)
    staging = target.with_name(target.name + ".partial")
    shutil.rmtree(target, ignore_errors=True)
    shutil.rmtree(staging, ignore_errors=True)
    staging.mkdir(parents=True)
    try:
        outputs, signed = build(args, staging)
    except SigningError as error:
        shutil.rmtree(staging)
        sys.exit(f"make dist: {error}\nmake dist: stopped, with nothing "
                 f"in {target}")
    target.mkdir()
    for output in outputs:
        shutil.move(output, target / output.name)
        print(target / output.name)
    shutil.rmtree(staging)
    if not signed:
        print("unsigned: no SIGNING_CERT given (the README tells how to sign "
              "a release)")


if __name__ == "__main__":
    main()
