#!/usr/bin/env python3
"""Inputs of bench_filediff, and GNU diff's times on them.

Writes into the folder given: a.txt (100,000 lines of code-like text, blank and brace
lines repeating), b.txt (a.txt with 1% of its lines changed, inserted or deleted at
random places), shuffled.txt (a.txt's lines in random order), and gnu.txt with the best
of five runs of the native `diff` (output discarded) on each pair, in seconds, and its
largest resident size in KiB. The files are written once; the times every run.
"""
import os
import random
import subprocess
import sys
import time

LINES = 100_000
RUNS = 5


def code_lines(rng, count):
    words = ["value", "count", "name", "path", "state", "index", "buffer", "result", "host", "rule"]
    out = []
    for i in range(count):
        kind = rng.random()
        if kind < 0.10:
            out.append("")
        elif kind < 0.15:
            out.append(rng.choice(["}", "  }", "{", "    break;", "  return 0;"]))
        else:
            w = rng.choice(words)
            out.append("    %s_%d = Compute(%s, %d, \"%s\");" % (w, i, rng.choice(words), rng.randrange(1000), w))
    return out


def edited(rng, lines):
    out = list(lines)
    for n, pos in enumerate(sorted(rng.sample(range(len(lines)), len(lines) // 100), reverse=True)):
        kind = rng.randrange(3)
        text = "    changed_%d = Other(%d);" % (n, rng.randrange(1000))
        if kind == 0:
            out[pos] = text
        elif kind == 1:
            out.insert(pos, text)
        else:
            del out[pos]
    return out


def write(path, lines):
    with open(path, "w", newline="\r\n", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


def best_diff(a, b):
    best, rss = None, 0
    for _ in range(RUNS):
        start = time.perf_counter()
        with open(os.devnull, "wb") as null:
            child = subprocess.Popen(["diff", a, b], stdout=null)
            _, status, usage = os.wait4(child.pid, 0)
        took = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) not in (0, 1):
            sys.exit("diff failed on %s %s" % (a, b))
        best = took if best is None else min(best, took)
        rss = max(rss, usage.ru_maxrss)
    return best, rss


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    a, b, shuffled = (os.path.join(folder, n) for n in ("a.txt", "b.txt", "shuffled.txt"))
    if not all(os.path.exists(p) for p in (a, b, shuffled)):
        rng = random.Random(33)
        lines = code_lines(rng, LINES)
        write(a, lines)
        write(b, edited(rng, lines))
        rng.shuffle(lines)
        write(shuffled, lines)
    pair, pair_rss = best_diff(a, b)
    mixed, mixed_rss = best_diff(a, shuffled)
    with open(os.path.join(folder, "gnu.txt"), "w") as f:
        f.write("%.6f %.6f %d\n" % (pair, mixed, max(pair_rss, mixed_rss)))
    print("GNU diff, best of %d: 1%% pair %.1f ms, shuffled pair %.1f ms, max RSS %d KiB"
          % (RUNS, pair * 1000, mixed * 1000, max(pair_rss, mixed_rss)))


if __name__ == "__main__":
    main()
