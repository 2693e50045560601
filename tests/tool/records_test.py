#!/usr/bin/env python3
# convert keeps every record, beside Python's csv and datetime. Generated
# exports (CSV at several one-byte delimiters, and whole lines) hold quoted
# fields, delimiters, doubled quotes and line breaks inside quotes, CRLF, a
# byte-order mark, a field longer than the tool's buffer, missing values
# (empty, \N), refused values, records without the field, malformed records
# and a quote open at the end; the last record ends in \n, \r\n, \r or
# nothing. Each runs under one --invalid mode. The output must be the input
# byte for byte but for the field of each converted record, which is the
# second that datetime gives, quoted where it holds the delimiter; Python's csv
# must read input and output as the rows meant; standard error must name the
# line of each refused record, in order, and the status say whether any was.
import csv, datetime, io, random, re, subprocess, sys

tool, rng, BOM = sys.argv[1], random.Random(33), "\xef\xbb\xbf"
csv.field_size_limit(1 << 30)
layouts = {"http": "%a, %d %b %Y %H:%M:%S GMT", "iso": "%Y-%m-%dT%H:%M:%SZ", "epoch": None}


# Epoch seconds with zero to nine fraction digits, and the second that holds them, written `to`.
def instant(to):
    seconds, digits = rng.randrange(9223372036), rng.randrange(10)
    fraction = rng.randrange(10**digits)
    ns = (seconds * 10**9 + fraction * 10 ** (9 - digits)) * rng.choice((1, -1))
    text = rng.choice(("", "@")) + "-" * (ns < 0) + str(seconds) + ("." + str(fraction).zfill(digits)) * (digits > 0)
    second = datetime.datetime(1970, 1, 1) + datetime.timedelta(seconds=ns // 10**9)
    return text, str(ns // 10**9) if to == "epoch" else second.strftime(layouts[to])


# A field as an export writes it: quoted where it must be, and where `always`.
def quote(text, delimiter, always=False):
    if delimiter and (always or re.search('["\r\n' + re.escape(delimiter) + "]", text)):
        return '"' + text.replace('"', '""') + '"'
    return text


# The input, what the tool must write, the lines it must refuse, the field's column, and the rows
# meant in and out (None where a record is malformed).
def export(delimiter, to, mode, big):
    names = rng.sample(("id", "ts", "note"), 3) if delimiter else ["ts"]
    at, end, last = names.index("ts"), rng.choice(("\n", "\r\n")), rng.choice(("", "\r", "\n"))
    given = wanted = rng.choice(("", BOM)) + delimiter.join(quote(n, delimiter, rng.random() < 0.3) for n in names) + end
    rows_in, rows_out, refused, line, stopped, written = [names], [names], [], 2, False, True
    faults = rng.sample(range(40), 2) if delimiter and rng.random() < 0.5 else []
    for number in range(rng.randrange(1, 40)):
        kind = rng.choice(("ok",) * 6 + ("missing", "bad") + ("short",) * (at > 0))
        value, out = instant(to)
        if kind == "missing":
            value = out = rng.choice(("", "\\N"))
        elif kind == "bad":
            value = rng.choice(("bad", "1.", "12x", " 5", "@", "--1", "9" * 2000))
        cells = [rng.choice(("", "plain", "a,b", 'say "hi"', "two\nlines", "cr\r\nlf", "\xe9", "x;y|z")) for _ in names]
        if big and number == 1:
            cells[(at + 1) % len(names)] = "B" * 3_000_000
        cells[at] = value
        raw = [quote(c, delimiter, rng.random() < 0.2) for c in cells]
        if kind == "short":
            raw, cells = ["7"], ["7"]
        if number in faults:
            kind, raw = "malformed", ["a", rng.choice(('b"c', '"d"e'))]
        # What the tool writes of the record: its field converted, as it came, emptied, or nothing.
        raw_out, cells_out, written = raw, cells, not stopped
        if kind == "ok":
            raw_out, cells_out = raw[:at] + [quote(out, delimiter)] + raw[at + 1 :], cells[:at] + [out] + cells[at + 1 :]
        elif kind != "missing" and written:
            refused.append(line)
            stopped, written = mode == "stop", mode in ("keep", "empty")
            if mode == "empty" and kind == "bad":
                raw_out, cells_out = raw[:at] + [""] + raw[at + 1 :], cells[:at] + [""] + cells[at + 1 :]
        wanted += delimiter.join(raw_out) + end if written else ""
        rows_out += [cells_out] if written else []
        rows_in.append(cells)
        given += delimiter.join(raw) + end
        line += delimiter.join(raw).count("\n") + 1
    given, wanted = given[: -len(end)] + last, wanted[: -len(end)] + last if written else wanted
    if delimiter and last == "\n" and rng.random() < 0.3:  # a quote open at the end: the rest, refused
        faults.append(rest := "z" + delimiter + '"open' + rng.choice(("", "\nrest", end)))
        given += rest
        refused += [line] if not stopped else []
        wanted += rest if mode in ("keep", "empty") and not stopped else ""
    return given, wanted, refused, at, (rows_in, rows_out) if not faults else None


def rows(text, delimiter):
    return list(csv.reader(io.StringIO(text.removeprefix(BOM), newline=""), delimiter=delimiter))


failures, runs = 0, 150
for run in range(runs):
    delimiter = rng.choice((",", ";", "|", "\xa6", ""))
    to, mode = rng.choice(tuple(layouts)), rng.choice(("keep", "empty", "drop", "stop"))
    given, wanted, refused, at, meant = export(delimiter, to, mode, run % 50 == 1)
    args = [tool, "convert", "--header", "--from", "epoch", "--to", to, "--invalid", mode, "--null", "\\N"]
    args += ["--field", rng.choice(("ts", str(1 + at))), "--delimiter", delimiter] if delimiter else []
    done = subprocess.run([a.encode("latin-1") for a in args], input=given.encode("latin-1"), capture_output=True)
    errors = done.stderr.decode("latin-1").splitlines()
    problems = [
        "output differs" * (done.stdout.decode("latin-1") != wanted),
        f"refusals {errors}, want lines {refused}" * ([e.split(":")[1] for e in errors] != [f" line {n}" for n in refused]),
        f"status {done.returncode}" * (done.returncode != (1 if refused else 0)),
        "Python's csv reads other rows" * bool(meant and delimiter and (rows(given, delimiter), rows(wanted, delimiter)) != meant),
    ]
    if any(problems):
        failures += 1
        print(f"FAIL run {run}, --invalid {mode}, --to {to}, delimiter {delimiter!r}: {'; '.join(p for p in problems if p)}")
        print(f"  input {given[:300]!r}\n  output {done.stdout[:300]!r}\n  want {wanted[:300]!r}\n  {done.stderr[:300]!r}")
print(f"{runs - failures} passed, {failures} failed")
sys.exit(failures != 0)
