#!/usr/bin/env python3
"""Converts the demo's 24-bit BMP pictures to PNG, with the standard library
only. Deterministic: the same pixels always give the same bytes.
    bmp2png.py SOURCE_DIR TARGET_DIR
"""
import pathlib
import struct
import sys
import zlib


def read_bmp(path):
    data = path.read_bytes()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        raise ValueError(f"{path}: {bits}-bit pictures are not handled")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        # BMP stores blue, green, red; PNG wants red, green, blue.
        rgb = bytearray(len(row))
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::3], row[1::3], row[0::3]
        rows.append(bytes(rgb))
    if height > 0:
        rows.reverse()  # bottom-up
    return width, abs(height), rows


def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + row for row in rows)
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    path.write_bytes(png)


def main():
    source, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    target.mkdir(parents=True, exist_ok=True)
    pictures = sorted(source.glob("*.bmp"))
    if not pictures:
        sys.exit(f"no pictures in {source}")
    for bmp in pictures:
        png = target / (bmp.stem + ".png")
        write_png(png, *read_bmp(bmp))
        print(png)


if __name__ == "__main__":
    main()
