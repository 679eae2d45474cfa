#!/usr/bin/env python3
"""The toy's build and test: `build` wants the separator; the test wants
fifty characters to fit, dying as a crashing test does when they do not,
and waits a minute for each pause."""
import os
import sys
import time

sys.path.insert(0, sys.argv[1])
import toy  # noqa: E402

if sys.argv[2:] == ["build"]:
    sys.exit(0 if toy.SEPARATOR == "," else 1)
time.sleep(60 * toy.pause())
if not toy.fits("x" * 50):
    os.abort()
