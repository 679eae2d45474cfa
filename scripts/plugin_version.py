"""The version of the plug-in, read from its VERSIONINFO resource, for the
zip's and the setup program's names."""
import re
import struct
import sys


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
        if end + 2 > len(plugin_bytes):
            sys.exit("the plug-in's FileVersion has no end")
        end += 2
    version = plugin_bytes[at:end].decode("utf-16-le")
    if not re.fullmatch(r"[0-9A-Za-z.]+", version):
        sys.exit(f"unexpected FileVersion {version!r}")
    return version


def file_version_numbers(plugin_bytes):
    """The four numbers of the fixed part of VERSIONINFO, as "a.b.c.d"."""
    signature = struct.pack("<I", 0xFEEF04BD)
    at = plugin_bytes.find(signature)
    if at < 0:
        sys.exit("the plug-in has no fixed version information")
    high, low = struct.unpack_from("<II", plugin_bytes, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
