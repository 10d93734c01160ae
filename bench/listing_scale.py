"""The listing job built from Python: N rows x 5 cells with a header, a
"Page %p of %n" footer and a grid, as bench/listing_scale builds it in C++.

    PYTHONPATH=<build>/python python3 bench/listing_scale.py [N ...]

Prints, per N, in microseconds per row (process CPU time):
  format   formatting the row's five strings alone
  AddRow   formatting plus c.AddRow(*row), one call per row
  AddRows  formatting plus c.AddRows(generator of rows) (when the build has it)
and each building figure's cost above formatting as a multiple of formatting.
Point PYTHONPATH at another build's python folder to measure that build.
"""
import sys
import time

import ktfolio


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


def rows(n):
    for i in range(n):
        yield (f"A{i:06d}", f"#1400#Item number {i} with a longer description", f"#5800#{i % 17}",
               f"#6800#{i * 1.25:.2f}", f"#8000#{(i % 17) * i * 1.25:.2f}")


def timed(fn):
    t0 = time.process_time()
    fn()
    return time.process_time() - t0


def measure(n):
    out = {"format": timed(lambda: sum(1 for _ in rows(n))) * 1e6 / n}
    c = listing()
    add_row = c.AddRow

    def one_by_one():
        for r in rows(n):
            add_row(*r)

    out["AddRow"] = timed(one_by_one) * 1e6 / n
    assert c.LastRow == n, c.GetLastError()
    if hasattr(ktfolio.KtPrint4, "AddRows"):
        c = listing()
        out["AddRows"] = timed(lambda: c.AddRows(rows(n))) * 1e6 / n
        assert c.LastRow == n, c.GetLastError()
    return out


def main(argv):
    if any(a in ("-h", "--help") for a in argv):
        print(__doc__)
        return
    try:
        sizes = [int(a) for a in argv] or [10000, 100000, 1000000]
    except ValueError:
        sys.exit(f"listing_scale.py: sizes are whole numbers of rows, not {' '.join(argv)}")
    print(f"{'rows':>9} | {'format':>7} | {'AddRow':>7} {'x fmt':>6} | {'AddRows':>7} {'x fmt':>6}   (us/row)")
    for n in sizes:
        f = measure(n)
        line = f"{n:>9} | {f['format']:7.3f} | {f['AddRow']:7.3f} {(f['AddRow'] - f['format']) / f['format']:6.2f}"
        if "AddRows" in f:
            line += f" | {f['AddRows']:7.3f} {(f['AddRows'] - f['format']) / f['format']:6.2f}"
        print(line, flush=True)


if __name__ == "__main__":
    main(sys.argv[1:])
