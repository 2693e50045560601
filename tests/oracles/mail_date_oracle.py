#!/usr/bin/env python3
# TryFromMailDate beside Python's email.utils.parsedate_to_datetime on generated texts.
#
#     mail_date_oracle.py READING   (the program of mail_date_reading.cc)
#
# Each text, written from random fields (every named zone, offsets and "-0000", years of two to four
# digits, optional weekday and seconds, blanks, folds, comments, letter case), must read as the instant
# and offset that its fields name, and so must Python read it where it does. Python is no judge of
# refusals and reads some texts otherwise, which it does not judge: two-digit years 50 to 68 (20yy),
# three-digit years (as written) and comments before the end (one before the zone as the zone).
import random
import subprocess
import sys
from datetime import datetime, timedelta, timezone
from email.utils import parsedate_to_datetime

ZONES = {"UT": 0, "GMT": 0, "UTC": 0, "EST": -5, "EDT": -4, "CST": -6, "CDT": -5, "MST": -7, "MDT": -6, "PST": -8,
         "PDT": -7}
WEEKDAYS = "Mon Tue Wed Thu Fri Sat Sun".split()
MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
SEPARATORS = [" ", "  ", "\t", "\r\n ", " (a comment) ", "(nested (one) \\) pair)"]
EPOCH = datetime(1970, 1, 1)
rng = random.Random(5322)


def case(name):
    return rng.choice([name, name.lower(), name.upper()])


def generate():
    """A text, the instant in ns and offset in s that it names, and whether Python reads it as RFC 5322 does."""
    local = EPOCH + timedelta(seconds=rng.randrange(-70 * 365 * 86400, 229 * 365 * 86400))  # 1900 to 2198
    seconds = rng.random() < 0.7
    local = local if seconds else local.replace(second=0)
    if rng.random() < 0.5:
        zone = rng.choice(list(ZONES))
        offset = ZONES[zone] * 3600
        zone = case(zone)
    else:
        offset = rng.randrange(-23 * 60, 24 * 60) * 60
        zone = "%s%02d%02d" % ("-" if offset < 0 or (offset == 0 and rng.random() < 0.5) else "+", abs(offset) // 3600,
                               abs(offset) % 3600 // 60)
    year = "%04d" % local.year
    if 1950 <= local.year < 2050 and rng.random() < 0.3:
        year = year[2:]
    elif local.year < 2900 and rng.random() < 0.2:
        year = "%03d" % (local.year - 1900)
    sep = (lambda: rng.choice(SEPARATORS)) if rng.random() < 0.3 else (lambda: " ")
    weekday = case(WEEKDAYS[local.weekday()]) + "," + rng.choice(["", " "]) if rng.random() < 0.7 else ""
    time = "%02d:%02d" % (local.hour, local.minute) + (":%02d" % local.second if seconds else "")
    text = weekday + str(local.day) + sep() + case(MONTHS[local.month - 1]) + sep() + year + sep() + time + sep() + zone
    utc = local - timedelta(seconds=offset) - EPOCH
    judged = "(" not in text and (len(year) == 4 or (len(year) == 2 and not 50 <= int(year) <= 68))
    text += rng.choice(["", " (comment)", " "])
    return text, ((utc.days * 86400 + utc.seconds) * 10**9, offset), judged


def python_reading(text):
    try:
        read = parsedate_to_datetime(text)
    except (TypeError, ValueError):
        return None
    read = read if read.tzinfo else read.replace(tzinfo=timezone.utc)  # "-0000"
    utc = read - datetime(1970, 1, 1, tzinfo=timezone.utc)
    return (utc.days * 86400 + utc.seconds) * 10**9, int(read.utcoffset().total_seconds())


cases = [generate() for _ in range(3000)]
output = subprocess.run([sys.argv[1]], input=b"".join(text.encode() + b"\0" for text, _, _ in cases),
                        capture_output=True, check=True).stdout.decode().split("\0")
failed = compared = 0
for (text, want, judged), line in zip(cases, output):
    ours = tuple(int(field) for field in line.split()) if not line.startswith("refused") else line
    theirs = python_reading(text) if judged else None
    compared += theirs is not None
    if ours != want or theirs not in (None, want):
        failed += 1
        print("%r: read %r, fields name %r, Python reads %r" % (text, ours, want, theirs))
if compared < len(cases) // 2:
    failed += 1
    print("Python read only %d of %d texts" % (compared, len(cases)))
print("%d passed, %d failed (%d compared with Python)" % (len(cases) - failed, failed, compared))
sys.exit(1 if failed else 0)
