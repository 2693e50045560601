#!/usr/bin/env python3
"""convert --from-format and --to-format on the layouts that programs write, beside independent readers and writers.

Generated lines of an Apache/nginx access log, syslog (no year: --reference), GNU date's output, a spreadsheet export
in US and European layouts (CSV columns, the others kept) and a log4j file, some of them dates that do not exist.
Python's strptime, with zoneinfo for wall-clock times (fold=0 is --disambiguate compatible), gives each text's instant
or refuses it, and the tool must write that instant or refuse that record (--invalid empty); GNU date writes the texts
of its own output and the texts that --to-format must write in UTC, in TZ (--local) and in a zone (--zone).
Usage: layouts_test.py TOOL
"""
import csv, io, os, random, subprocess, sys
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

TOOL, rng, failures = sys.argv[1], random.Random(5), []
EPOCH, NY, BERLIN = datetime(1970, 1, 1, tzinfo=timezone.utc), ZoneInfo("America/New_York"), ZoneInfo("Europe/Berlin")
REFERENCE = datetime(2025, 3, 5, 12, tzinfo=timezone.utc)
# Seconds from 1970 to 2100, and every ten minutes of Berlin's and New York's changes of 2024 from standard time.
SECONDS = [rng.randrange(0, 4102444800) for _ in range(300)] + [t + 600 * k for t in (1729990800, 1730613600) for k in range(-9, 9)]


def run(args, text, tz="UTC"):
    return subprocess.run([TOOL, *args], input=text, capture_output=True, text=True, check=False, env={**os.environ, "TZ": tz})


def date(fmt, lines, tz):
    return subprocess.run(["date", "-f", "-", "+" + fmt], input="".join(f"@{t}\n" for t in lines), capture_output=True,
                          text=True, check=True, env={**os.environ, "TZ": tz, "LC_ALL": "C"}).stdout.splitlines()


def strptime(text, fmts, zone=None):
    """The instant of `text` in epoch nanoseconds by the first of `fmts` that reads it (wall-clock time in `zone`)."""
    for fmt in fmts:
        try:
            read = datetime.strptime(text, fmt)
        except ValueError:
            continue
        return (read.replace(tzinfo=read.tzinfo or zone) - EPOCH) // timedelta(microseconds=1) * 1000
    return None


def check(name, args, rows, want, column=0):
    """convert field `column` of CSV `rows` (with column 0 alone, lines): each as `want` says, or refused (None)."""
    given = io.StringIO()
    csv.writer(given, lineterminator="\n").writerows(rows)
    out = run(["convert", *args, "--to", "epoch-ns", "--invalid", "empty", "--csv", "--field", str(column + 1)], given.getvalue())
    got = [r or [""] for r in csv.reader(io.StringIO(out.stdout))]
    wanted = [r[:column] + [str(w) if w is not None else ""] + r[column + 1:] for r, w in zip(rows, want)]
    refused = [int(line.split()[2][:-1]) for line in out.stderr.splitlines()]
    if got != wanted or refused != [i + 1 for i, w in enumerate(want) if w is None] or out.returncode != (None in want):
        failures.append(f"{name}: status {out.returncode}, {sum(g != w for g, w in zip(got, wanted))} of {len(want)} rows unlike "
                        f"strptime's, refused {refused[:5]}, stderr {out.stderr[:300]}")


# An access log at offsets of the world, and dates that do not exist.
access = [datetime.fromtimestamp(t, timezone(timedelta(minutes=rng.choice((-480, -210, 0, 60, 330))))) for t in SECONDS]
texts = [a.strftime("%d/%b/%Y:%H:%M:%S %z") for a in access] + ["31/Apr/2024:07:08:09 +0000", "05/Mar/2024:24:00:00 +0000", "05/Mrz/2024:07:08:09 +0100"]
check("access log", ["--from-format", "%d/%b/%Y:%H:%M:%S %z"], [[t] for t in texts], [strptime(t, ["%d/%b/%Y:%H:%M:%S %z"]) for t in texts])

# syslog in New York, the last 12 months before the reference (a day after it allowed); 29 February of 2025 refused.
syslog = [datetime.fromtimestamp(REFERENCE.timestamp() + rng.randrange(-364 * 86400, 86000), NY).strftime("%b %e %H:%M:%S") for _ in range(300)] + ["Feb 29 12:00:00"]
year = [strptime(f"{REFERENCE.year} {t}", ["%Y %b %d %H:%M:%S"], NY) for t in syslog]
want = [y if y is None or y <= (REFERENCE - EPOCH + timedelta(days=1)) // timedelta(microseconds=1) * 1000 else strptime(f"{REFERENCE.year - 1} {t}", ["%Y %b %d %H:%M:%S"], NY) for t, y in zip(syslog, year)]
check("syslog", ["--from-format", "%b %e %H:%M:%S", "--reference", REFERENCE.isoformat(), "--assume-zone", "America/New_York", "--disambiguate", "compatible"], [[t] for t in syslog], want)

# GNU date's output: its zone's abbreviations by --assume-zone (CET and CEST tell a fold's times apart), US names without.
for tz, extra in (("Europe/Berlin", ["--assume-zone", "Europe/Berlin"]), ("America/New_York", [])):
    check(f"date in {tz}", ["--from-format", "%a %b %e %H:%M:%S %Z %Y", *extra], [[t] for t in date("%a %b %e %H:%M:%S %Z %Y", SECONDS, tz)], [t * 10**9 for t in SECONDS])

# A spreadsheet export: US times (some rows a date alone) and European ones in Berlin, as CSV columns; a log4j file.
walls = [datetime(1970, 1, 1) + timedelta(minutes=rng.randrange(0, 68000000)) for _ in range(300)]
rows = [[f"r{i}", w.strftime("%-m/%-d/%Y" + " %-I:%M %p" * (i % 4 > 0)), w.strftime("%d.%m.%Y %H:%M"), f'a, "{i}"'] for i, w in enumerate(walls)]
rows += [["x", "2/30/2024", "29.02.2023 10:00", "-"]]
spreadsheet = ["--assume-zone", "Europe/Berlin", "--disambiguate", "compatible"]
check("US column", ["--from-format", "%m/%d/%Y %I:%M %p", "--from-format", "%m/%d/%Y", *spreadsheet], rows, [strptime(r[1], ["%m/%d/%Y %I:%M %p", "%m/%d/%Y"], BERLIN) for r in rows], 1)
check("European column", ["--from-format", "%d.%m.%Y %H:%M", *spreadsheet], rows, [strptime(r[2], ["%d.%m.%Y %H:%M"], BERLIN) for r in rows], 2)
log4j = [(w + timedelta(seconds=rng.randrange(60), milliseconds=rng.randrange(1000))).strftime("%Y-%m-%d %H:%M:%S,%f")[:-3] for w in walls]
check("log4j", ["--from-format", "%Y-%m-%d %H:%M:%S,%f", *spreadsheet], [[t] for t in log4j], [strptime(t, ["%Y-%m-%d %H:%M:%S,%f"], BERLIN) for t in log4j])

# --to-format beside GNU date, nanoseconds since 1950 (before 1970 too: fields of the second that holds them).
NANOS = [rng.randrange(-631152000 * 10**9, 4102444800 * 10**9) for _ in range(300)] + [-1, -1500000000, 0]
FORMAT = "%a %A %b %B %h %d %e %j %H %I %M %S %p %y %C %Y %z %:z %Z %s %N %3N %F %T %D %R %-d %_m %0e %n%t%%"
for tz, where in (("UTC", ["--utc"]), ("Asia/Kolkata", ["--local"]), ("America/Sao_Paulo", ["--zone", "America/Sao_Paulo"])):
    out = run(["convert", "--from", "epoch-ns", "--to-format", FORMAT, *where], "".join(f"{n}\n" for n in NANOS), tz)
    want = date(FORMAT, [f"{'-' * (n < 0)}{abs(n) // 10**9}.{abs(n) % 10**9:09d}" for n in NANOS], tz)
    if out.stdout.splitlines() != want or out.returncode != 0:
        failures.append(f"--to-format in {tz}: {[(g, w) for g, w in zip(out.stdout.splitlines(), want) if g != w][:2]} {out.stderr[:200]}")

print("\n".join(failures) or "every layout as strptime and GNU date read and write it")
sys.exit(1 if failures else 0)
