#!/usr/bin/env python3
"""Times whole command-line wakes, start to exit, against a floor.

    wake_bench.py [--runs N] [--warmup N] NAME=COMMAND...

The first NAME=COMMAND is the floor; every figure is a ratio to it from the
same run. Each command is a whole process that sends a wake packet, so this
refuses to run anywhere but inside tests/harness/isolated. The timing is
hyperfine's, which scripts/setup installs.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from kivtest import require_isolation  # noqa: E402


def with_hyperfine(commands, runs, warmup):
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        args = ['hyperfine', '-N', '--style', 'none', '--runs', str(runs), '--warmup', str(warmup),
                '--export-json', out.name]
        for name, command in commands:
            args += ['--command-name', name, command]
        # Its advice on outliers goes unprinted; a failing command still shows.
        run = subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if run.returncode != 0:
            raise SystemExit(run.stderr)
        results = json.load(open(out.name))['results']
    return {r['command']: r['times'] for r in results}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=300)
    parser.add_argument('--warmup', type=int, default=10)
    parser.add_argument('--title', default='Command-line wake')
    parser.add_argument('commands', nargs='+', metavar='NAME=COMMAND')
    args = parser.parse_args()
    require_isolation()

    commands = [tuple(c.split('=', 1)) for c in args.commands]
    times = with_hyperfine(commands, args.runs, args.warmup)

    floor = commands[0][0]
    floor_mean = statistics.mean(times[floor])
    floor_median = statistics.median(times[floor])
    print(f'{args.title}: {args.runs} runs each, hyperfine')
    print()
    print('| Command | Mean ms | ± sd | Median ms | Mean / floor | Median / floor |')
    print('|---|---|---|---|---|---|')
    for name, _ in commands:
        t = times[name]
        mean, median = statistics.mean(t), statistics.median(t)
        print(f'| {name} | {mean * 1e3:.2f} | {statistics.stdev(t) * 1e3:.2f} | '
              f'{median * 1e3:.2f} | {mean / floor_mean:.2f} | {median / floor_median:.2f} |')
    print()


if __name__ == '__main__':
    main()
