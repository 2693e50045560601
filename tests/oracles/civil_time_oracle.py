#!/usr/bin/env python3
# TryFromCivil beside Python's zoneinfo, around every change of offset from 1900 to 2100.
#
#     civil_time_oracle.py READING [--all]   (the program of civil_time_reading.cc)
#
# A sample of zones (gaps and folds of an hour, of half an hour, summer time below standard time, a
# skipped day, offsets with seconds), or with --all every zone that zoneinfo lists. At each change,
# found by a daily scan and bisection, the wall-clock times at the last and first seconds on either
# side of each offset's reading, and midway: Python's fold=0 must be Compatible, and fold=1 Earlier
# in a gap and Later in a fold; the other choice is fold=0's instant.
import subprocess
import sys
import zoneinfo
from datetime import datetime, timedelta

SAMPLE = ["America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "Asia/Kolkata", "Europe/Dublin",
          "Africa/Casablanca", "America/St_Johns", "Pacific/Apia", "Europe/Moscow", "America/Sao_Paulo",
          "Pacific/Chatham", "Antarctica/Troll", "Europe/Amsterdam", "America/Argentina/Buenos_Aires"]
START, END, EPOCH = -2208988800, 4102444800, datetime(1970, 1, 1)  # 1900 and 2100 in UTC


def offset(zone, t):
    return int(datetime.fromtimestamp(t, zone).utcoffset().total_seconds())


def changes(zone):
    t, before = START, offset(zone, START)
    while t < END:
        after = offset(zone, t + 86400)
        if after != before:
            low, high = t, t + 86400
            while high - low > 1:
                mid = (low + high) // 2
                low, high = (mid, high) if offset(zone, mid) == before else (low, mid)
            yield high, before, offset(zone, high)
        t, before = t + 86400, after


def main():
    names = sorted(zoneinfo.available_timezones()) if "--all" in sys.argv else SAMPLE
    cases = []
    for name in names:
        zone = zoneinfo.ZoneInfo(name)
        for at, before, after in changes(zone):
            locals_ = {at + o + d for o in (before, after) for d in (-1, 0, 1)} | {at + (before + after) // 2}
            for wall in (EPOCH + timedelta(seconds=local) for local in sorted(locals_)):
                fold0, fold1 = (int(wall.replace(tzinfo=zone, fold=f).timestamp()) for f in (0, 1))
                cases.append((f"{name} {wall:%Y %m %d %H %M %S}", f"{fold0} {min(fold0, fold1)} {max(fold0, fold1)}"))
    answers = subprocess.run([sys.argv[1]], input="".join(c + "\n" for c, _ in cases), capture_output=True,
                             text=True, check=True).stdout.splitlines()
    wrong = [f"{case}: {got!r}, expected {expected}" for (case, expected), got in zip(cases, answers)
             if got.strip() != expected]
    print("\n".join(wrong[:20] + [f"{len(cases)} wall-clock times in {len(names)} zones, {len(wrong)} unlike zoneinfo"]))
    return 1 if wrong or len(answers) != len(cases) or len(cases) < 100 else 0


if __name__ == "__main__":
    sys.exit(main())
