"""The listing job built from Python: N rows x 5 cells with a header, a
"Page %p of %n" footer and a grid, as bench/listing_scale builds it in C++.

    PYTHONPATH=<build>/python python3 bench/listing_scale.py [--repeat R] [N ...]

Each N runs in a fresh interpreter per way of building, which formats the rows
alone and builds them a tenth at a time in turn (a busy moment of the machine
then slows both alike). Prints, per N, in microseconds per row
(process CPU time; of R runs, 3 by default, the one with the lowest ratio):
  format   formatting the row's five strings alone
  AddRow   formatting plus c.AddRow(*row), one call per row
  AddRows  formatting plus c.AddRows(generator of rows)
each building figure divided by its run's formatting ("x fmt": the whole loop,
formatting included, over formatting alone; the target for AddRows is 1.5), and
bytes per cell: the peak RSS of the AddRows run above its RSS with the empty
control, divided by the N x 5 body cells (the target is at most 64).
Point PYTHONPATH at another build's python folder to measure that build.
"""
import os
import sys
import time

import ktfolio

CELLS_PER_ROW = 5
RATIO_TARGET = 1.5
BYTES_TARGET = 64


def listing():
    c = ktfolio.KtPrint4()
    c.ScaleMode = ktfolio.eTwip
    c.PageSize = ktfolio.s_A4
    c.Marginleft = c.MarginRight = c.MarginTop = c.MarginBottom = 1440
    c.MarginHeader = 600
    c.MarginFooter = 860
    c.Font = ktfolio.StdFont("Arial", 9)
    c.dInheritLastRow = False
    c.AddHeaderRow("Sales listing")
    c.dColLineTop = c.dColLineBottom = c.dColLineLeft = c.dColLineRight = 1
    c.AddHeaderRow("Code", "#1400#Description", "#5800#Qty", "#6800#Price", "#8000#Total")
    c.dColLineTop = c.dColLineBottom = c.dColLineLeft = c.dColLineRight = 0
    c.AddFooterRow("Page %p of %n")
    c.dColLineTop = c.dColLineBottom = c.dColLineLeft = c.dColLineRight = 1
    c.dInheritLastRow = True
    return c


def rows(n, start=0):
    for i in range(start, n):
        yield (f"A{i:06d}", f"#1400#Item number {i} with a longer description", f"#5800#{i % 17}",
               f"#6800#{i * 1.25:.2f}", f"#8000#{(i % 17) * i * 1.25:.2f}")


def rss_kib():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * (os.sysconf("SC_PAGE_SIZE") // 1024)


CHUNKS = 10


def child(way, n):
    """One run in this interpreter: the rows formatted alone and built, a tenth
    at a time in turn, so that a busy moment of the machine falls on both
    alike rather than on one of them: prints 'format_us way_us bytes_per_cell'."""
    for _ in rows(1000):  # the formatting's first objects, before memory is counted
        pass
    c = listing()
    empty = rss_kib()
    add_row = c.AddRow
    fmt = build = 0.0
    step = max(n // CHUNKS, 1)
    for start in range(0, n, step):
        stop = min(start + step, n)
        t0 = time.process_time()
        for _ in rows(stop, start):
            pass
        t1 = time.process_time()
        if way == "AddRow":
            for r in rows(stop, start):
                add_row(*r)
        else:
            c.AddRows(rows(stop, start))
        t2 = time.process_time()
        fmt += t1 - t0
        build += t2 - t1
    assert c.LastRow == n, c.GetLastError()
    import resource  # here: the listing job of python_listing.py imports this module and starts faster without

    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print(fmt * 1e6 / n, build * 1e6 / n, (peak - empty) * 1024 / (n * CELLS_PER_ROW))


def run(way, n):
    import subprocess

    out = subprocess.run([sys.executable, __file__, "--child", way, str(n)], check=True, capture_output=True,
                         text=True).stdout.split()
    return [float(x) for x in out]


def measure(n, repeat):
    """Per way, the run with the lowest ratio to its own formatting."""
    best = {}
    for _ in range(repeat):  # interleaved, so that a busy moment spoils one run of each, not all of one
        for way in ("AddRow", "AddRows"):
            fmt, us, per_cell = run(way, n)
            if way not in best or us / fmt < best[way][1] / best[way][0]:
                best[way] = (fmt, us, per_cell)
    return best


def main(argv):
    if any(a in ("-h", "--help") for a in argv):
        print(__doc__)
        return
    if argv[:1] == ["--child"]:
        child(argv[1], int(argv[2]))
        return
    repeat = 3
    if argv[:1] == ["--repeat"]:
        repeat, argv = int(argv[1]), argv[2:]
    try:
        sizes = [int(a) for a in argv] or [10000, 200000, 1000000]
    except ValueError:
        sys.exit(f"listing_scale.py: sizes are whole numbers of rows, not {' '.join(argv)}")
    print(f"{'rows':>9} | {'format':>7} | {'AddRow':>7} {'x fmt':>6} | {'AddRows':>7} {'x fmt':>6} {'target':>7} | "
          f"{'B/cell':>6} {'target':>6}   (us/row, best of {repeat})")
    for n in sizes:
        f = measure(n, repeat)
        fmt, us, per_cell = f["AddRows"]
        ratio = us / fmt
        one_fmt, one_us, _ = f["AddRow"]
        print(f"{n:>9} | {fmt:7.3f} | {one_us:7.3f} {one_us / one_fmt:6.2f} | {us:7.3f} "
              f"{ratio:6.2f} {'<= ' + str(RATIO_TARGET):>7} | {per_cell:6.1f} {'<= ' + str(BYTES_TARGET):>6}"
              + ("" if ratio <= RATIO_TARGET and per_cell <= BYTES_TARGET else "  (over a target)"), flush=True)


if __name__ == "__main__":
    main(sys.argv[1:])
