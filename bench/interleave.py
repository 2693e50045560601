#!/usr/bin/env python3
"""Compares builds of the benchmark suite run by turns on one core.

    bench/interleave.py FILTER ROUNDS BINARY...

Each round runs every BINARY (a benchmark executable, or a script that runs
one) in turn with FILTER, ten repetitions each, pinned to CPU 1 and with TZ
unset. Prints, per benchmark and binary, the minimum and the median ns of all
repetitions of all rounds: on a shared VM the minimum is the steadiest figure,
and taking the builds by turns spreads the machine's slow spells over all.
"""
import collections
import csv
import io
import os
import statistics
import subprocess
import sys

if len(sys.argv) < 4 or not sys.argv[2].isdigit():
    sys.exit(__doc__)
pattern, rounds, binaries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
env = {k: v for k, v in os.environ.items() if k != 'TZ'}
times = collections.defaultdict(list)
for _ in range(rounds):
    for column, binary in enumerate(binaries):
        out = subprocess.run(['taskset', '-c', '1', binary, '--benchmark_filter=' + pattern,
                              '--benchmark_repetitions=10', '--benchmark_min_time=0.02', '--benchmark_format=csv'],
                             capture_output=True, text=True, env=env, check=True).stdout
        for row in csv.DictReader(io.StringIO(out[out.index('name,'):])):
            if not row['name'].endswith(('_mean', '_median', '_stddev', '_cv')):
                times[(row['name'].split('/min_time')[0], column)].append(float(row['real_time']))
for column, binary in enumerate(binaries):
    print('column %d: %s' % (column + 1, binary))
print('%-50s %s' % ('benchmark', ' | '.join('%-13s' % ('%d: min median' % (c + 1)) for c in range(len(binaries)))))
for name in sorted({name for name, _ in times}):
    cells = [times.get((name, column)) for column in range(len(binaries))]
    print('%-50s %s' % (name, ' | '.join('%6.2f %6.2f' % (min(c), statistics.median(c)) if c else '%13s' % '-'
                                         for c in cells)))
