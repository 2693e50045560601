#!/usr/bin/env python3
"""Turns the suite's JSON results (one file per TZ setting) into a Markdown
table of medians, with each peer's ratio to orvik, and into the data file
that chart.gp draws.

Benchmarks are named <Function>/<variant>/<implementation>[/...]; rows keep
the order in which the suite registers them, orvik first in each group."""

import argparse
import json
import math
import sys
from typing import NamedTuple

ORVIK = "orvik"
TWO_THREADS = "_2_threads"

LEGEND = """\
Implementations: `strftime` = `gmtime_r`/`localtime_r` + `strftime` (+ `snprintf` for the fraction);
`snprintf` = `gmtime_r`/`localtime_r` + `snprintf`; `fmt` = `gmtime_r`/`localtime_r` + `fmt::format`;
`absl` = `absl::FormatTime` / `absl::ParseTime` / `absl::ParseDuration` (Go-style text such as "1h30m15s") /
`absl::TimeZone::At` (ToCalendarTime, in `absl::LocalTimeZone()`, which follows TZ, with a `std::tm` filled from it);
`date` = `date::format` / `date::parse`; `strptime` = `strptime` + `timegm` (for ISO 8601 it reads the date
and time only: no fraction, no offset); `curl` = `curl_getdate`; `std_chrono` =
`std::chrono::system_clock::from_time_t`. Times are medians in ns per call (CPU time; wall time over
both threads for `_2_threads` rows, so a row that scales halves its time). The ratio is orvik ÷ peer:
below 1 orvik is faster. `allocs/op` counts `operator new` calls per call (not libc's `malloc`)."""


class Result(NamedTuple):
    ns: float  # CPU time, or wall time for a run of several threads
    wall_ns: float
    allocs: float | None
    error: str | None


MISSING = Result(math.nan, math.nan, None, None)


def load(path):
    """Returns {run name: Result} in the order in which the suite registers
    the benchmarks, whatever order they ran in."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    results = {}
    for b in sorted(data["benchmarks"], key=lambda b: (b.get("family_index", 0), b.get("per_family_instance_index", 0))):
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            results[name] = Result(math.nan, math.nan, None, b.get("error_message", "error"))
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if b.get("run_type") == "iteration" and b.get("repetitions", 1) > 1:
            continue
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        wall_ns = b["real_time"] * scale
        ns = wall_ns if b.get("threads", 1) > 1 else b["cpu_time"] * scale
        results[name] = Result(ns, wall_ns, b.get("allocs/op"), None)
    return results


def split_name(run_name):
    function, variant, implementation = run_name.split("/")[:3]
    return f"{function}/{variant}", implementation


def groups_of(runs):
    """{group: {implementation: run name}}, groups and implementations in run order."""
    groups = {}
    for run_name in runs:
        group, implementation = split_name(run_name)
        groups.setdefault(group, {})[implementation] = run_name
    for group, implementations in groups.items():
        if ORVIK in implementations:
            groups[group] = {ORVIK: implementations[ORVIK],
                             **{k: v for k, v in implementations.items() if k != ORVIK}}
    return groups


def fmt_ns(ns):
    if math.isnan(ns):
        return "—"
    if ns < 10:
        return f"{ns:.2f}"
    if ns < 100:
        return f"{ns:.1f}"
    return f"{ns:.0f}"


def fmt_allocs(allocs):
    if allocs is None or math.isnan(allocs):
        return "—"
    rounded = round(allocs, 2)
    return f"{rounded:g}"


def cell(zone_results, run_name):
    result = zone_results.get(run_name, MISSING)
    return "error" if result.error else fmt_ns(result.ns)


def ratio(zone_results, orvik_run, run_name):
    if orvik_run is None or run_name == orvik_run:
        return "—"
    orvik_ns = zone_results.get(orvik_run, MISSING).ns
    peer_ns = zone_results.get(run_name, MISSING).ns
    if math.isnan(orvik_ns) or math.isnan(peer_ns) or peer_ns == 0:
        return "—"
    return f"{orvik_ns / peer_ns:.2f}"


def allocs_cell(zones, run_name):
    values = []
    for _, results in zones:
        text = fmt_allocs(results.get(run_name, MISSING).allocs)
        if text not in values:
            values.append(text)
    return " / ".join(values)


def table(zones, groups):
    header = ["function/variant", "implementation"]
    for label, _ in zones:
        header += [f"ns ({label})", f"orvik/peer ({label})"]
    header.append("allocs/op")
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join(["---"] * 2 + ["---:"] * (len(header) - 2)) + "|"]
    for group, implementations in groups.items():
        orvik_run = implementations.get(ORVIK)
        for index, (implementation, run_name) in enumerate(implementations.items()):
            name = f"`{group}`" if index == 0 else ""
            shown = f"**{implementation}**" if implementation == ORVIK else implementation
            row = [name, shown]
            for _, results in zones:
                ns = cell(results, run_name)
                row += [f"**{ns}**" if implementation == ORVIK else ns, ratio(results, orvik_run, run_name)]
            row.append(allocs_cell(zones, run_name))
            lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def scaling_table(zones, groups):
    """Throughput of two threads over one, for every _2_threads group."""
    lines = []
    for group, implementations in groups.items():
        if not group.endswith(TWO_THREADS):
            continue
        single = groups.get(group[: -len(TWO_THREADS)], {})
        for implementation, run_name in implementations.items():
            if implementation not in single:
                continue
            row = [f"`{group[: -len(TWO_THREADS)]}`", implementation]
            for _, results in zones:
                one = results.get(single[implementation], MISSING).wall_ns
                two = results.get(run_name, MISSING).wall_ns
                row.append("—" if math.isnan(one) or math.isnan(two) or two == 0 else f"{one / two:.2f}×")
            lines.append("| " + " | ".join(row) + " |")
    if not lines:
        return ""
    header = ["function/variant", "implementation"] + [label for label, _ in zones]
    return "\n".join(["| " + " | ".join(header) + " |", "|---|---|" + "---:|" * len(zones)] + lines)


def errors(zones):
    found = []
    for label, results in zones:
        for run_name, result in results.items():
            if result.error:
                found.append(f"- {run_name} ({label}): {result.error}")
    return "\n".join(found)


def write_chart_data(path, zones, groups):
    """One line per bar and one per group title: position, label, kind (2 for a
    title, 1 for orvik, 0 for a peer), ns per zone."""
    with open(path, "w", encoding="utf-8") as f:
        f.write("# y\tlabel\tkind\t" + "\t".join(label for label, _ in zones) + "\n")
        y = 0
        for group, implementations in groups.items():
            f.write(f'{y}\t"{group}"\t2' + "\tNaN" * len(zones) + "\n")
            y += 1
            for implementation, run_name in implementations.items():
                values = []
                for _, results in zones:
                    ns = results.get(run_name, MISSING).ns
                    values.append("NaN" if math.isnan(ns) else f"{ns:.4g}")
                flag = 1 if implementation == ORVIK else 0
                f.write(f'{y}\t"  {implementation}"\t{flag}\t' + "\t".join(values) + "\n")
                y += 1
            y += 0.5


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zone", nargs=2, action="append", metavar=("LABEL", "JSON"), required=True,
                        help="a TZ setting's label and the suite's JSON output under it")
    parser.add_argument("--chart-data", help="where to write the data for chart.gp")
    args = parser.parse_args()

    zones = [(label, load(path)) for label, path in args.zone]
    runs = {}
    for _, results in zones:
        runs.update(dict.fromkeys(results))
    groups = groups_of(runs)

    out = [table(zones, groups), "", LEGEND]
    scaling = scaling_table(zones, groups)
    if scaling:
        out += ["", "Throughput of two threads over one thread, by wall time (2.00× is perfect "
                "scaling, which needs both cores free):", "", scaling]
    failed = errors(zones)
    if failed:
        out += ["", "Benchmarks that reported an error instead of a time:", "", failed]
    sys.stdout.write("\n".join(out) + "\n")
    if args.chart_data:
        write_chart_data(args.chart_data, zones, groups)


if __name__ == "__main__":
    main()
