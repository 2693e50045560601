#!/usr/bin/env python3
"""Compares how builds scale from one thread to two, run by turns.

    bench/thread_scaling.py FILTER ROUNDS BINARY...

Each round runs every BINARY (a benchmark executable, or a script that runs
one) in turn with FILTER, three repetitions each, on all cores, once with TZ
unset and once with TZ=Europe/Berlin. FILTER should take the benchmarks that
run on one and on two threads, and the control row of plain arithmetic
(Control/arithmetic). Prints a Markdown table: per benchmark, zone and binary
the minimum ns per call on one thread and on two (wall time over both
threads), the speedup (2.00x: perfect scaling), the control's speedup in the
same binary's runs, and the speedup as a fraction of the control's.
"""
import collections
import csv
import io
import os
import subprocess
import sys

if len(sys.argv) < 4 or not sys.argv[2].isdigit():
    sys.exit(__doc__)
pattern, rounds, binaries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
zones = {'TZ unset': None, 'Berlin': 'Europe/Berlin'}
times = collections.defaultdict(list)
for _ in range(rounds):
    for zone, tz in zones.items():
        env = {k: v for k, v in os.environ.items() if k != 'TZ'}
        if tz:
            env['TZ'] = tz
        for column, binary in enumerate(binaries):
            out = subprocess.run([binary, '--benchmark_filter=' + pattern, '--benchmark_repetitions=3',
                                  '--benchmark_format=csv'], capture_output=True, text=True, env=env,
                                 check=True).stdout
            for row in csv.DictReader(io.StringIO(out[out.index('name,'):])):
                name = row['name'].split('/min_time')[0]
                if row['error_occurred'] == 'true':
                    sys.exit('%s: %s' % (name, row['error_message']))
                if not row['name'].endswith(('_mean', '_median', '_stddev', '_cv')):
                    times[(name, zone, column)].append(float(row['real_time']))


def scaling(one, zone, column):
    """(one thread, two threads, speedup) of benchmark `one`, or None."""
    parts = one.split('/')
    two = '/'.join([parts[0], parts[1] + '_2_threads'] + parts[2:])
    if not times.get((one, zone, column)) or not times.get((two, zone, column)):
        return None
    t1, t2 = min(times[(one, zone, column)]), min(times[(two, zone, column)])
    return t1, t2, t1 / t2


for column, binary in enumerate(binaries):
    print('column %d: %s' % (column + 1, binary))
print()
print('| benchmark | zone | build | 1 thread | 2 threads | speedup | control | of control |')
print('|---|---|---|---:|---:|---:|---:|---:|')
ones = sorted({name for name, _, _ in times if '_2_threads' not in name})
for name in ones:
    for zone in zones:
        for column in range(len(binaries)):
            row = scaling(name, zone, column)
            control = scaling('Control/arithmetic/mix', zone, column)
            if row is None or control is None:
                continue
            print('| %s | %s | %d | %.2f | %.2f | %.2fx | %.2fx | %.2f |' %
                  (name, zone, column + 1, row[0], row[1], row[2], control[2], row[2] / control[2]))
