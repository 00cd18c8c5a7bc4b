#!/usr/bin/env python3
"""Writes every byte value 0..255 three times: as a run, reversed, and
interleaved with the characters that need care in C++ literals."""
import sys

data = bytes(range(256)) + bytes(reversed(range(256)))
data += bytes(b for i in range(128) for b in (i * 2, ord('"') if i % 2 else ord('?')))
with open(sys.argv[1], "wb") as f:
    f.write(data)
