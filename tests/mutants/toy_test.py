#!/usr/bin/env python3
"""The toy's test: fifty characters fit."""
import sys

sys.path.insert(0, sys.argv[1])
import toy  # noqa: E402

sys.exit(0 if toy.fits("x" * 50) else 1)
