#!/usr/bin/env python3
"""Packs the plug-in for users: a zip with the .fxt, an install text and the
licence, named after the version in the plug-in's VERSIONINFO resource.
Reproducible: fixed timestamps, permissions and order, so the same plug-in
always gives the same bytes.
    make-dist.py PLUGIN INSTALL_TEXT LICENCE TARGET_DIR
"""
import pathlib
import sys
import zipfile

from plugin_version import file_version


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
