#!/usr/bin/env python3
# Layouts beside independent readers and writers: every directive written for random instants in a
# sample of zones beside GNU date +FORMAT and Python's strftime, and texts of logs' and exports'
# layouts read beside Python's strptime.
#
#     layout_oracle.py DRIVER   (the program of layout_driver.cc)
#
# Where they differ by design, the texts are kept out: strptime does not check a weekday against
# the date, reads %Z as UTC, GMT or the process's own names alone and %f to six digits, and
# normalises nothing either; GNU date and strftime have no %f, and Python's strftime no %:z or %N.
import os
import random
import subprocess
import sys
import zoneinfo
from datetime import datetime, timedelta, timezone

ZONES = ["UTC", "America/New_York", "Europe/Berlin", "Asia/Kolkata", "Australia/Lord_Howe", "America/St_Johns",
         "Pacific/Chatham", "Africa/Casablanca", "America/Sao_Paulo"]
GNU = "%a|%A|%b|%B|%C|%d|%e|%F|%H|%I|%j|%m|%M|%p|%R|%S|%T|%y|%Y|%z|%:z|%Z|%s|%N|%D|%h|%t|%%|%-d|%_m|%0e|%-I|%3N|%_H|%-j"
PYTHON = "%a|%A|%b|%B|%C|%d|%e|%F|%H|%I|%j|%m|%M|%p|%R|%S|%T|%y|%Y|%z|%Z|%D|%h|%%|%-d|%_m|%-I|%f"
# Layouts of logs and exports: the format Python writes each text with, and the one both read it by.
READ = [("%d/%b/%Y:%H:%M:%S %z", "%d/%b/%Y:%H:%M:%S %z"), ("%a %b %d %H:%M:%S %Y", "%a %b %d %H:%M:%S %Y"),
        ("%-m/%-d/%Y %-I:%M %p", "%m/%d/%Y %I:%M %p"), ("%d.%m.%Y %H:%M", "%d.%m.%Y %H:%M"),
        ("%Y-%m-%d %H:%M:%S,%f", "%Y-%m-%d %H:%M:%S,%f"), ("%A %-d %B %Y, %H:%M", "%A %d %B %Y, %H:%M"),
        ("%y%m%d %H%M%S", "%y%m%d %H%M%S"), ("%Y-%j %H:%M:%S%z", "%Y-%j %H:%M:%S%z"),
        ("%Y-%m-%dT%H:%M:%S.%f%z", "%Y-%m-%dT%H:%M:%S.%f%z")]
EPOCH = datetime(1970, 1, 1, tzinfo=timezone.utc)


def run(driver, records):
    out = subprocess.run([driver], input="".join(r + "\0" for r in records), capture_output=True, text=True,
                         check=True).stdout
    return out.split("\0")[:-1]


def writing(driver, rng):
    wrong, count = [], 0
    for zone in ZONES:
        instants = [rng.randrange(-631152000, 4102444800) * 10**9 + rng.randrange(10**9) for _ in range(300)]
        dates = "".join(f"@{'-' * (ns < 0)}{abs(ns) // 10**9}.{abs(ns) % 10**9:09d}\n" for ns in instants)
        gnu = subprocess.run(["date", "-f", "-", "+" + GNU], input=dates, capture_output=True, text=True, check=True,
                             env={**os.environ, "TZ": zone}).stdout.splitlines()
        ours = run(driver, [f"W\t{zone}\t{ns}\t{GNU}" for ns in instants] +
                   [f"W\t{zone}\t{ns}\t{PYTHON}" for ns in instants])
        info = zoneinfo.ZoneInfo(zone)
        for ns, expected, got, got_python in zip(instants, gnu, ours, ours[len(instants):]):
            local = (EPOCH + timedelta(seconds=ns // 10**9, microseconds=ns % 10**9 // 1000)).astimezone(info)
            for oracle, text, answer in (("date", expected, got), ("strftime", local.strftime(PYTHON), got_python)):
                count += 1
                if text != answer:
                    wrong.append(f"{zone} {ns}: {oracle} wrote {text!r}, we wrote {answer!r}")
    return wrong, count


def reading(driver, rng):
    cases = []
    for write, read in READ:
        for _ in range(300):
            seconds = rng.randrange(-631152000, 4102444800)
            offset = timezone(timedelta(minutes=rng.randrange(-16 * 60, 15 * 60, 15)))
            when = (EPOCH + timedelta(seconds=seconds, microseconds=rng.randrange(10**6))).astimezone(offset)
            text = when.strftime(write)
            parsed = datetime.strptime(text, read)
            parsed = parsed if parsed.tzinfo else parsed.replace(tzinfo=timezone.utc)
            delta = parsed - EPOCH
            cases.append((read, text, str((delta.days * 86400 + delta.seconds) * 10**9 + delta.microseconds * 1000)))
    for read, text in [("%d/%b/%Y", "30/Feb/2024"), ("%H:%M %d.%m.%Y", "24:00 05.03.2024"), ("%d.%m.%Y", "5.3.24")]:
        try:
            datetime.strptime(text, read)
            cases.append((read, text, "accepted by strptime"))
        except ValueError:
            cases.append((read, text, "refused"))
    answers = run(driver, [f"R\t\t{read}\t{text}" for read, text, _ in cases])
    wrong = [f"{read!r} {text!r}: strptime {expected}, we {got}" for (read, text, expected), got in zip(cases, answers)
             if got != expected and not (expected == "refused" and got.startswith("refused "))]
    return wrong, len(cases)


def main():
    rng = random.Random(20241208)
    wrong_written, written = writing(sys.argv[1], rng)
    wrong_read, read = reading(sys.argv[1], rng)
    wrong = wrong_written + wrong_read
    print("\n".join(wrong[:20] + [f"{written} texts written, {read} read; {len(wrong)} unlike the oracles"]))
    return 1 if wrong or written < 5000 or read < 2000 else 0


if __name__ == "__main__":
    sys.exit(main())
