#!/usr/bin/env python3
"""convert --assume-zone on a generated CSV export beside Python's zoneinfo.

Rows of wall-clock times without an offset, in the layouts that MySQL, log4j, Python's logging and
Java's LocalDateTime write, many of them in the hours where the zones change their offset, are
converted under each --disambiguate rule. zoneinfo gives each time at fold=0 and fold=1: a time whose
two readings differ is shown twice (a fold) or, where neither reads back to it, never (a gap); then
earlier and later are the two instants' earlier and later, compatible is fold=0, and reject refuses
the row (--invalid empty writes the field empty). Every other field must come out as it went in.
Usage: wall_clock_test.py TOOL
"""
import csv
import io
import random
import subprocess
import sys
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

TOOL = sys.argv[1]
rng = random.Random(41)
UTC_EPOCH = datetime(1970, 1, 1, tzinfo=timezone.utc)
LAYOUTS = ["%Y-%m-%d %H:%M:%S", "%Y-%m-%d %H:%M:%S,{ms}", "%Y-%m-%dT%H:%M:%S.{ms}", "%Y-%m-%dT%H:%M"]
failures = []


def wall_time():
    """A random wall-clock time of 1970 to 2100; two in three in the small hours of a month of changes."""
    if rng.random() < 1 / 3:
        return datetime(1970, 1, 1) + timedelta(seconds=rng.randrange(0, 4102444800), milliseconds=rng.randrange(1000))
    day = datetime(rng.randrange(1970, 2100), rng.choice([3, 4, 9, 10, 11]), rng.randrange(1, 29))
    return day + timedelta(minutes=rng.randrange(0, 4 * 60), milliseconds=rng.randrange(1000))


def text_of(wall):
    """`wall` in a random layout, and the time that the text names (seconds and fraction as written)."""
    layout = rng.choice(LAYOUTS)
    text = wall.strftime(layout.replace("{ms}", f"{wall.microsecond // 1000:03d}"))
    named = wall.replace(microsecond=wall.microsecond // 1000 * 1000 if "{ms}" in layout else 0)
    return text, named.replace(second=0) if layout.endswith("%M") else named


def expected(wall, zone, rule):
    """The epoch nanoseconds that `rule` gives for `wall` in `zone` by zoneinfo, or None where refused."""
    readings = [wall.replace(tzinfo=zone, fold=fold) for fold in (0, 1)]
    instants = [(r - UTC_EPOCH) // timedelta(microseconds=1) * 1000 for r in readings]
    gap = readings[0].astimezone(timezone.utc).astimezone(zone).replace(tzinfo=None) != wall
    if instants[0] == instants[1] and not gap:
        return instants[0]
    return {"compatible": instants[0], "earlier": min(instants), "later": max(instants), "reject": None}[rule]


for zone_name in ["America/New_York", "Europe/Berlin", "Australia/Lord_Howe"]:
    zone = ZoneInfo(zone_name)
    rows = [(f"r{i}", *text_of(wall_time()), f"note, \"{i}\"") for i in range(1500)]
    export = io.StringIO()
    writer = csv.writer(export, lineterminator="\n")
    writer.writerow(["id", "created_at", "note"])
    writer.writerows((ident, text, note) for ident, text, _, note in rows)
    for rule in ["compatible", "earlier", "later", "reject"]:
        run = subprocess.run([TOOL, "convert", "--csv", "--header", "--field", "created_at", "--assume-zone", zone_name,
                              "--disambiguate", rule, "--to", "epoch-ns", "--invalid", "empty"],
                             input=export.getvalue(), capture_output=True, text=True, check=False)
        out = list(csv.reader(io.StringIO(run.stdout)))
        if out[:1] != [["id", "created_at", "note"]] or len(out) != len(rows) + 1:
            failures.append(f"{zone_name} {rule}: {len(out)} records written for {len(rows) + 1}")
            continue
        for (ident, text, wall, note), record in zip(rows, out[1:]):
            want = expected(wall, zone, rule)
            got = int(record[1]) if record[1] else None
            if record[0] != ident or record[2] != note or got != want:
                failures.append(f"{zone_name} {rule} {text!r}: wrote {record}, zoneinfo gives {want}")

print("\n".join(failures[:20]) or "every wall-clock time as zoneinfo reads it, under every rule")
sys.exit(1 if failures else 0)
