#!/usr/bin/env python3
"""first_sound.py RECORDING.raw START_BYTES: seconds from byte offset START_BYTES of a mono
16-bit 44.1 kHz recording to its first sample louder than a quiet hiss."""
import array
import sys

data = array.array("h")
with open(sys.argv[1], "rb") as f:
    data.frombytes(f.read())
start = int(sys.argv[2]) // 2
if any(abs(x) > 300 for x in data[max(0, start - 4410):start]):
    print("not silent before the start")
    sys.exit(1)
for i in range(start, len(data)):
    if abs(data[i]) > 300:
        print(f"{(i - start) / 44100:.3f}")
        sys.exit(0)
print("none")
sys.exit(1)
