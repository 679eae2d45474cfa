#!/usr/bin/python3
"""Converts the pictures the demo and the setup program's page walk save as
BMP to PNG, with Pillow. Deterministic: the same pixels always give the
same bytes. Run by Debian's Python, the one Debian's Pillow (python3-pil)
is installed for, whichever python3 comes first on the PATH.
    bmp2png.py SOURCE_DIR TARGET_DIR
"""
import pathlib
import sys

from PIL import Image


def main():
    source, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    target.mkdir(parents=True, exist_ok=True)
    pictures = sorted(source.glob("*.bmp"))
    if not pictures:
        sys.exit(f"no pictures in {source}")
    for bmp in pictures:
        png = target / (bmp.stem + ".png")
        with Image.open(bmp) as picture:
            picture.convert("RGB").save(png, compress_level=9)
        print(png)


if __name__ == "__main__":
    main()
