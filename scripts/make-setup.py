#!/usr/bin/env python3
"""Builds the Windows setup program of the plug-in with NSIS (makensis), named
after the version in the plug-in's VERSIONINFO resource, as the zip is.
    make-setup.py NSIS_SCRIPT PLUGIN INSTALL_TEXT LICENCE TARGET_DIR
Prints the path of the setup program.
"""
import pathlib
import subprocess
import sys

from plugin_version import file_version, file_version_numbers


def main():
    script, plugin, install, licence, target = (
        pathlib.Path(arg).resolve() for arg in sys.argv[1:6])
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
    # -WX: a warning (an unused variable, a missing file) fails the build.
    command = ["makensis", "-V2", "-WX", "-NOCD"]
    command += [f"-D{name}={value}" for name, value in defines.items()]
    command.append(str(script))
    result = subprocess.run(command, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.exit(result.stdout + "makensis failed")
    print(setup)


if __name__ == "__main__":
    main()
