#!/usr/bin/env python3
"""Marks a QuickTime or MP4 file's first track turned a quarter clockwise (an upright phone's clip)."""
import struct
import sys

path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
header = data.find(b'tkhd')
if header < 0:
    sys.exit(f'{path}: no track header')
version = data[header + 4]
# version and flags, then the times, track id, reserved, duration, reserved, layer, group, volume, reserved
matrix = header + 8 + (16 if version == 1 else 8) + 8 + (8 if version == 1 else 4) + 8 + 8
one = 0x10000
struct.pack_into('>9i', data, matrix, 0, one, 0, -one, 0, 0, 0, 0, 0x40000000)
open(path, 'wb').write(data)
