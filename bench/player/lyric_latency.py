#!/usr/bin/env python3
"""lyric_latency.py PLAYER.log LYRICS.lrc: how late each lyric line was shown, from the player's
--verbose log ("label songword = TEXT at 1.234 s", the playing position when the caption
changed) and the line's time tag. Prints the count, median, 95th percentile and maximum in ms."""
import re
import statistics
import sys

due = {}
for line in open(sys.argv[2], encoding="utf-8-sig"):
    m = re.match(r"\[(\d+):(\d+(?:\.\d+)?)\](.*)", line.strip())
    if m:
        due[m.group(3)] = int(m.group(1)) * 60 + float(m.group(2))
late = []
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    m = re.search(r"label songword = (.*) at (\d+\.\d+) s$", line.rstrip("\n"))
    if m and m.group(1) in due:
        late.append(1000 * (float(m.group(2)) - due[m.group(1)]))
if not late:
    print("no lyric lines logged")
    sys.exit(1)
late.sort()
p95 = late[min(len(late) - 1, int(0.95 * len(late)))]
print(f"{len(late)} {statistics.median(late):.1f} {p95:.1f} {late[-1]:.1f} {late[0]:.1f}")
