#!/usr/bin/env python3
"""convert beside independent readers on generated texts.

Every text is written from a random instant: ISO 8601 in every layout, separator, fraction length,
offset form and letter case that the strict reader takes, HTTP dates in their three layouts (RFC 850
within 50 years of today), mail dates as email.utils writes them, epoch counts of each unit and fraction length; each must be that instant.
Where Python's datetime.fromisoformat or email.utils.parsedate_to_datetime, or GNU `date -u -d`, reads
the text too, it must give the same instant (Python to the microsecond). They are no judges of what to
refuse, and differ from the standards where they read a text at all: Python refuses 't', 'z' and " UTC"
and cuts fractions to microseconds, GNU date refuses the basic layout, and both read a two-digit year by
a 69 pivot, not by the 50 years around today of RFC 9110. Which texts are refused is the library's
tables' to check.
Usage: oracles_test.py TOOL
"""
import random
import re
import subprocess
import sys
from datetime import datetime, timedelta, timezone
from email.utils import format_datetime, parsedate_to_datetime

TOOL = sys.argv[1]
rng = random.Random(32)
EPOCH = datetime(1970, 1, 1)
failures = []


def convert(texts, kind="auto"):
    """The epoch nanoseconds written for each text, or None where it is refused; a line too many or few fails."""
    run = subprocess.run([TOOL, "convert", "--from", kind, "--to", "epoch-ns", "--invalid", "empty"],
                         input="".join(t + "\n" for t in texts), capture_output=True, text=True, check=False)
    lines = run.stdout.splitlines()
    failures.extend([f"--from {kind}: {len(lines)} lines written for {len(texts)} texts"] * (len(lines) != len(texts)))
    return [int(line) if line else None for line in lines]


def python_ns(read, text):
    try:
        return (read(text) - datetime(1970, 1, 1, tzinfo=timezone.utc)) // timedelta(microseconds=1) * 1000
    except (ValueError, TypeError, IndexError):
        return None


def gnu_date_ns(text):
    run = subprocess.run(["date", "-u", "-d", text, "+%s %N"], capture_output=True, text=True, check=False)
    return int(run.stdout.split()[0]) * 10**9 + int(run.stdout.split()[1]) if run.returncode == 0 else None


def iso_text(ns):
    """A text of instant `ns` in a random layout, and the instant it names (its fraction cut)."""
    offset = rng.choice([0, 0, 330, -480, 345, -30, 840, -720, 23 * 60 + 59])
    digits = rng.randrange(10)
    whole, fraction = divmod(ns, 10**9)
    fraction -= fraction % 10 ** (9 - digits)
    wall = EPOCH + timedelta(seconds=whole + offset * 60)
    extended = rng.random() < 0.5
    text = wall.strftime(("%Y-%m-%d" if extended else "%Y%m%d") + rng.choice("Tt ") +
                         ("%H:%M:%S" if extended else "%H%M%S")).rjust(19 if extended else 15, "0")
    if digits:
        text += rng.choice(".,") + f"{fraction:09d}"[:digits]
    sign, size = "-" if offset < 0 else "+", abs(offset)
    forms = [f"{sign}{size // 60:02d}:{size % 60:02d}", f"{sign}{size // 60:02d}{size % 60:02d}"]
    forms += [f"{sign}{size // 60:02d}"] if size % 60 == 0 else []
    forms += ["Z", "z", " UTC", "-00:00"] if offset == 0 else []
    return text + rng.choice(forms), whole * 10**9 + fraction


def http_text(seconds):
    """An HTTP date of `seconds` in a random layout; RFC 850 only within 50 years of today."""
    wall = EPOCH + timedelta(seconds=seconds)
    layouts = ["%a, %d %b %Y %H:%M:%S GMT", "%a %b %e %H:%M:%S %Y"]
    layouts += ["%A, %d-%b-%y %H:%M:%S GMT"] if abs(wall.year - datetime.now().year) < 49 else []
    return wall.strftime(rng.choice(layouts)), seconds * 10**9


def mail_text(seconds):
    """A mail date of `seconds` at a random offset, as email.utils writes it, with a comment or not."""
    wall = datetime.fromtimestamp(seconds, timezone(timedelta(minutes=rng.choice([0, 330, -480, -300, 840]))))
    return format_datetime(wall) + rng.choice(["", " (comment)"]), seconds * 10**9


def epoch_text(ns, unit=9):
    """An epoch count of `ns` in units of 10**unit ns, with '@' or not, cut to a random number of fraction
    digits; refused below the time point range and, under auto, where it has 4 to 8 digits before any fraction."""
    digits = rng.randrange(unit + 1)
    cut = ns - ns % 10 ** (unit - digits)
    whole, fraction = divmod(abs(cut), 10**unit)
    text = rng.choice(["@", ""]) + "-" * (cut < 0) + str(whole) + (f".{fraction:0{unit}d}"[: digits + 1] if digits else "")
    return text, None if cut < -(2**63) or (unit == 9 and re.fullmatch(r"-?\d{4,8}(\.\d+)?", text)) else cut


def rfc850_outside_pivot(text, want):
    """Whether `text` is an RFC 850 date whose year the oracles' 69 pivot does not give."""
    year = (EPOCH + timedelta(microseconds=want // 1000)).year
    return re.search(r"-[A-Z][a-z]{2}-", text) is not None and not 1969 <= year <= 2068


lowest, highest = -9223372036 * 10**9, 9223372036 * 10**9
cases = [iso_text(rng.randrange(lowest + 86400 * 10**9, highest - 86400 * 10**9)) for _ in range(3000)]
cases += [iso_text(rng.randrange(-2 * 10**18, 3 * 10**18)) for _ in range(2000)]
cases += [http_text(rng.randrange(-2208988800, 4102444800)) for _ in range(2000)]
cases += [mail_text(rng.randrange(-2208988800, 4102444800)) for _ in range(500)]
cases += [epoch_text(rng.randrange(lowest, highest)) for _ in range(300)]
cases += [("2016-12-31T23:59:60.5Z", 1483228799999999999), ("Sat, 31 Dec 2016 23:59:60 GMT", 1483228799999999999)]
texts = [text for text, _ in cases]
results = convert(texts)
for (text, want), got in zip(cases, results):
    if got != want:
        failures.append(f"{text!r}: convert wrote {got}, the text names {want}")
    if rfc850_outside_pivot(text, want):
        continue
    readers = [python_ns(datetime.fromisoformat, text), python_ns(parsedate_to_datetime, text)]
    for name, theirs in zip(["fromisoformat", "parsedate_to_datetime"], readers):
        if theirs is not None and got is not None and theirs != got - got % 1000:
            failures.append(f"{text!r}: convert wrote {got}, Python's {name} {theirs}")
for text in rng.sample([t for t, want in cases if not rfc850_outside_pivot(t, want)], 200):
    theirs, got = gnu_date_ns(text), results[texts.index(text)]
    if theirs is not None and got is not None and theirs != got and ":60" not in text:
        failures.append(f"{text!r}: convert wrote {got}, GNU date {theirs}")
for kind, unit in ("epoch-ms", 6), ("epoch-us", 3), ("epoch-ns", 0):
    counts = [epoch_text(rng.randrange(-(2**63), 2**63), unit) for _ in range(300)] + [epoch_text(-(2**63), unit)]
    for (text, want), got in zip(counts, convert([text for text, _ in counts], kind)):
        failures += [f"--from {kind} {text!r}: convert wrote {got}, the text names {want}"] * (got != want)

print("\n".join(failures[:20]) or f"{len(texts)} texts, every reading as its text says")
sys.exit(1 if failures else 0)
