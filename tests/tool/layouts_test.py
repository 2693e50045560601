#!/usr/bin/env python3
# convert --from-format and --to-format on the layouts that programs write, beside independent readers and writers.
# Generated lines of an Apache/nginx access log, syslog (no year: --reference), GNU date's output, a spreadsheet
# export in US and European layouts (CSV columns, the others kept) and a log4j file, some of them dates that do not
# exist. Python's strptime, with zoneinfo for wall-clock times (fold=0 is --disambiguate compatible), gives each
# text's instant or refuses it, and the tool must write that instant or refuse that record (--invalid empty); GNU
# date writes the texts of its own output, and those that --to-format must write in UTC, TZ (--local) and --zone.
# Usage: layouts_test.py TOOL
import csv, io, os, random, subprocess, sys
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

TOOL, rng, failures = sys.argv[1], random.Random(5), []
EPOCH, NY, BERLIN = datetime(1970, 1, 1, tzinfo=timezone.utc), ZoneInfo("America/New_York"), ZoneInfo("Europe/Berlin")
REFERENCE = datetime(2025, 3, 5, 12, tzinfo=timezone.utc)
ACCESS, SYSLOG, DATE = "%d/%b/%Y:%H:%M:%S %z", "%b %e %H:%M:%S", "%a %b %e %H:%M:%S %Z %Y"
US, EUROPE, LOG4J = "%m/%d/%Y %I:%M %p", "%d.%m.%Y %H:%M", "%Y-%m-%d %H:%M:%S,%f"
IN_BERLIN = ["--assume-zone", "Europe/Berlin", "--disambiguate", "compatible"]
# Seconds from 1970 to 2100, and every ten minutes of Berlin's and New York's changes of 2024 from summer time.
SECONDS = [rng.randrange(0, 4102444800) for _ in range(300)] + [t + 600 * k for t in (1729990800, 1730613600)
                                                                 for k in range(-9, 9)]


def run(command, args, text, tz):
    env = {**os.environ, "TZ": tz, "LC_ALL": "C"}
    return subprocess.run([command, *args], input=text, capture_output=True, text=True, check=False, env=env)


def date(fmt, instants, tz):  # GNU date's text of each instant, "@seconds[.fraction]"
    return run("date", ["-f", "-", "+" + fmt], "".join(f"@{t}\n" for t in instants), tz).stdout.splitlines()


def ns(aware):
    return (aware - EPOCH) // timedelta(microseconds=1) * 1000


# The instant of `text` in epoch nanoseconds by the first of `fmts` that reads it (wall-clock time in `zone`).
def strptime(text, fmts, zone=None):
    for fmt in fmts:
        try:
            read = datetime.strptime(text, fmt)
            return ns(read.replace(tzinfo=read.tzinfo or zone))
        except ValueError:
            pass
    return None


# Converts field `column` of CSV `rows` (one column: lines); each must be `want` in epoch ns, or refused for None.
def check(name, args, rows, want, column=0):
    given = io.StringIO()
    csv.writer(given, lineterminator="\n").writerows(rows)
    args += ["--to", "epoch-ns", "--invalid", "empty", "--csv", "--field", str(column + 1)]
    out = run(TOOL, ["convert", *args], given.getvalue(), "UTC")
    got = [r or [""] for r in csv.reader(io.StringIO(out.stdout))]
    wanted = [r[:column] + [str(w) if w is not None else ""] + r[column + 1:] for r, w in zip(rows, want)]
    refused = [int(line.split()[2][:-1]) for line in out.stderr.splitlines()]
    if got != wanted or refused != [i + 1 for i, w in enumerate(want) if w is None] or out.returncode != (None in want):
        unlike = sum(g != w for g, w in zip(got, wanted))
        failures.append(f"{name}: status {out.returncode}, {unlike} rows unlike strptime's, stderr {out.stderr[:300]}")


# An access log at offsets of the world, and dates that do not exist.
texts = [datetime.fromtimestamp(t, timezone(timedelta(minutes=rng.choice((-480, -210, 0, 330))))).strftime(ACCESS)
         for t in SECONDS] + ["31/Apr/2024:07:08:09 +0000", "05/Mar/2024:24:00:00 +0000", "05/Mrz/2024:07:08:09 +0100"]
check("access log", ["--from-format", ACCESS], [[t] for t in texts], [strptime(t, [ACCESS]) for t in texts])

# syslog in New York, the 12 months before the reference (a day after it allowed); 29 February of 2025 refused.
texts = [datetime.fromtimestamp(REFERENCE.timestamp() + rng.randrange(-364 * 86400, 86000), NY).strftime(SYSLOG)
         for _ in range(300)] + ["Feb 29 12:00:00"]
latest = ns(REFERENCE + timedelta(days=1))
years = [[strptime(f"{REFERENCE.year - back} {t}", ["%Y %b %d %H:%M:%S"], NY) for back in (0, 1)] for t in texts]
check("syslog", ["--from-format", SYSLOG, "--reference", REFERENCE.isoformat(), "--assume-zone", "America/New_York",
                 "--disambiguate", "compatible"], [[t] for t in texts],
      [this if this is None or this <= latest else last for this, last in years])

# GNU date's output: its zone's abbreviations by --assume-zone (CET and CEST tell a fold's times apart), US ones alone.
for tz, zone in (("Europe/Berlin", ["--assume-zone", "Europe/Berlin"]), ("America/New_York", [])):
    check(f"date in {tz}", ["--from-format", DATE, *zone], [[t] for t in date(DATE, SECONDS, tz)],
          [t * 10**9 for t in SECONDS])

# A spreadsheet export: US times (some rows a date alone) and European ones in Berlin, as CSV columns; a log4j file.
walls = [datetime(1970, 1, 1) + timedelta(minutes=rng.randrange(0, 68000000)) for _ in range(300)]
rows = [[f"r{i}", w.strftime("%-m/%-d/%Y" + " %-I:%M %p" * (i % 4 > 0)), w.strftime(EUROPE), f'a, "{i}"']
        for i, w in enumerate(walls)] + [["x", "2/30/2024", "29.02.2023 10:00", "-"]]
check("US", ["--from-format", US, "--from-format", "%m/%d/%Y", *IN_BERLIN], rows,
      [strptime(r[1], [US, "%m/%d/%Y"], BERLIN) for r in rows], 1)
check("European", ["--from-format", EUROPE, *IN_BERLIN], rows, [strptime(r[2], [EUROPE], BERLIN) for r in rows], 2)
texts = [(w + timedelta(milliseconds=rng.randrange(60000))).strftime(LOG4J)[:-3] for w in walls]
check("log4j", ["--from-format", LOG4J, *IN_BERLIN], [[t] for t in texts], [strptime(t, [LOG4J], BERLIN) for t in texts])

# --to-format beside GNU date, nanoseconds from 1950 (before 1970 too: the fields of the second that holds them).
NANOS = [rng.randrange(-631152000 * 10**9, 4102444800 * 10**9) for _ in range(300)] + [-1, -1500000000, 0]
FORMAT = "%a %A %b %B %h %d %e %j %H %I %M %S %p %y %C %Y %z %:z %Z %s %N %3N %F %T %D %R %-d %_m %0e %n%t%%"
for tz, where in (("UTC", ["--utc"]), ("Asia/Kolkata", ["--local"]), ("America/Sao_Paulo", ["--zone", "America/Sao_Paulo"])):
    out = run(TOOL, ["convert", "--from", "epoch-ns", "--to-format", FORMAT, *where], "".join(f"{n}\n" for n in NANOS), tz)
    want = date(FORMAT, [f"{'-' * (n < 0)}{abs(n) // 10**9}.{abs(n) % 10**9:09d}" for n in NANOS], tz)
    if out.stdout.splitlines() != want or out.returncode != 0:
        failures.append(f"--to-format in {tz}: {[gw for gw in zip(out.stdout.splitlines(), want) if gw[0] != gw[1]][:2]}")

print("\n".join(failures) or "every layout as strptime and GNU date read and write it")
sys.exit(1 if failures else 0)
