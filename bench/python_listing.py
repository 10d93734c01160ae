"""The listing job written from Python, beside ReportLab's in the same sitting:
N rows x 5 cells with a header, a "Page %p of %n" footer and a grid, built
with AddRows and exported untagged to PDF, each job a fresh interpreter timed
from outside (start-up included, as a user waits for it).

    PYTHONPATH=<build>/python /usr/bin/python3 bench/python_listing.py [--repeat R] [--peers DIR] [N ...]

Prints, per N (10 000 by default), the least wall time of R interleaved runs
(3 by default) of ours on every core, ours on one process and ReportLab's
(Debian python3-reportlab; scripts/bench-peers installs it), ReportLab's time
over ours (target at 10 000 rows: at least 20), and whether our file has the
page count and the text (pdftotext -layout) of the same job written in one
process.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import listing_scale  # noqa: E402  (the same document and rows)

TARGET = 20
HERE = os.path.dirname(os.path.abspath(__file__))


def job(n, out, jobs):
    c = listing_scale.listing()
    c.TaggedPdf = False
    c.PdfJobs = jobs
    c.AddRows(listing_scale.rows(n))
    if not c.ExportPdf(out, 1, c.Pages):
        sys.exit(f"python_listing.py: {c.GetLastError()}")


def timed(argv):
    import subprocess

    t0 = time.perf_counter()
    done = subprocess.run(argv, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"python_listing.py: {' '.join(argv)} failed: {done.stderr.strip()}")
    return time.perf_counter() - t0


def pages_and_text(pdf):
    import subprocess

    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    pages = next(line.split()[-1] for line in info.splitlines() if line.startswith("Pages:"))
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, check=True).stdout
    return pages, text


def main(argv):
    if any(a in ("-h", "--help") for a in argv):
        print(__doc__)
        return
    if argv[:1] == ["run"]:
        job(int(argv[1]), argv[2], int(argv[3]))
        return
    import subprocess  # not for the job: it starts as fast as a user's script
    import tempfile
    repeat, peers = 3, os.path.join(HERE, "..", "..", "shared", "peers")
    while argv[:1] in (["--repeat"], ["--peers"]):
        if argv[0] == "--repeat":
            repeat = int(argv[1])
        else:
            peers = argv[1]
        argv = argv[2:]
    sizes = [int(a) for a in argv] or [10000]
    reportlab = os.path.join(peers, "reportlab_table.py")
    debian = "/usr/bin/python3"  # where Debian's ReportLab is
    have_reportlab = subprocess.run([debian, "-c", "import reportlab"], capture_output=True).returncode == 0
    out = tempfile.mkdtemp(prefix="ktfolio_python_listing_")
    print(f"{'rows':>8} | {'ours, every core':>16} | {'ours, 1 process':>16} | {'reportlab':>10} | "
          f"{'ratio':>6} {'target':>7} | same file   (wall seconds, least of {repeat})")
    for n in sizes:
        best = {}
        for _ in range(repeat):
            runs = {"all": [sys.executable, __file__, "run", str(n), f"{out}/all.pdf", "0"],
                    "one": [sys.executable, __file__, "run", str(n), f"{out}/one.pdf", "1"]}
            if have_reportlab and os.path.exists(reportlab):
                runs["reportlab"] = [debian, reportlab, str(n), f"{out}/reportlab.pdf"]
            for name, argv_ in runs.items():
                t = timed(argv_)
                best[name] = min(best.get(name, t), t)
        same = pages_and_text(f"{out}/all.pdf") == pages_and_text(f"{out}/one.pdf")
        rl = best.get("reportlab")
        ratio = f"{rl / best['all']:5.1f}x" if rl else "-"
        print(f"{n:>8} | {best['all']:16.3f} | {best['one']:16.3f} | {rl if rl else float('nan'):10.3f} | "
              f"{ratio:>6} {'>= ' + str(TARGET):>7} | {'yes' if same else 'NO'}", flush=True)
    print(f"PDFs in {out}")


if __name__ == "__main__":
    main(sys.argv[1:])
