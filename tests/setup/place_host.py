#!/usr/bin/env python3
"""Places a stand-in host: a copy of versioned_host.exe with the fixed file
version a.b.c.d, for the setup program to find.
    place_host.py VERSIONED_HOST_EXE TARGET_FILE A.B.C.D
"""
import struct
import sys


def with_version(program, version):
    """The program with its fixed file version set to (a, b, c, d)."""
    a, b, c, d = version
    at = program.find(struct.pack("<I", 0xFEEF04BD)) + 8
    return (program[:at] + struct.pack("<II", a << 16 | b, c << 16 | d) +
            program[at + 8:])


if __name__ == "__main__":
    source, target, version = sys.argv[1:4]
    with open(source, "rb") as program, open(target, "wb") as copy:
        copy.write(with_version(program.read(),
                                tuple(map(int, version.split(".")))))
