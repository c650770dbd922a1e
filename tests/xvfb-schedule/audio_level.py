#!/usr/bin/env python3
"""Loudness of what the program played last: the peak of the last
<seconds> of the SDL disk driver's output file (float32 stereo, 44.1 kHz).
Usage: audio_level.py <file> <seconds>"""
import array
import os
import sys

path, seconds = sys.argv[1], float(sys.argv[2])
want = int(44100 * seconds) * 2 * 4
size = os.path.getsize(path)
start = max(0, size - want)
start -= start % 8
with open(path, 'rb') as f:
    f.seek(start)
    data = f.read(want)
samples = array.array('f')
samples.frombytes(data[: len(data) - len(data) % 4])
print('%.4f' % max((abs(s) for s in samples), default=0.0))
