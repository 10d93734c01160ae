#!/usr/bin/env python3
"""A seeded random API fuzzer over the ktfolio module.

Each seed runs in its own process, calling random published members of a
KtPrint4 with hostile values and checking invariants after every call. The
child writes each call to its log before making it, so a crash leaves the call
that caused it on record; the seed alone replays the run:

    fuzz_api.py --seconds 60                 # seeds from 1 until the time is up
    fuzz_api.py --child 17 --calls 2000      # replay seed 17 in this process

The exit status is non-zero when any seed crashed, hung, raised an exception
the module does not document, or broke an invariant.
"""
import argparse
import math
import os
import random
import re
import reprlib
import subprocess
import sys
import tempfile
import time

DOCUMENTED = (TypeError, ValueError, OverflowError, AttributeError)
MAX_PAGES = 32767
# Log lines stay short and finite even for a list nested 40 000 deep.
SHOW = reprlib.Repr()
SHOW.maxlevel, SHOW.maxstring, SHOW.maxother, SHOW.maxlist, SHOW.maxtuple = 5, 60, 60, 8, 8
# Members that reach outside the process (printers, files, dialogs) are left to their own tests.
OUTSIDE = re.compile(r"^(Print|Export|Save|Load|Open|Preview)")


class Index:
    """An object whose __index__ gives a number the control may not hold."""

    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value

    def __repr__(self):
        return "Index(%r)" % self.value


def cyclic():
    x = [1]
    x.append(x)
    return x


def nested(depth):
    v = "x"
    for _ in range(depth):
        v = [v]
    return v


def hostile_values(rnd, ktfolio, names):
    ints = [0, 1, -1, 2, 3, 5, 7, 255, 32767, -32768, 32768, 2**31 - 1, -(2**31), 2**31, 2**32 - 1, 2**32,
            0x8000000F, -2147483633, 2**63, -(2**63) - 1, 10**20, 10**308, 10**400, -(10**400)]
    floats = [0.0, -0.0, 0.5, 1.5, 2.5, -1e-320, 1e-45, 3.4e38, 3.5e38, 1e39, 1e300, -1e308,
              math.nan, math.inf, -math.inf, 1e6, 1e9, 1e11, 1440.0, 16384.0, 16384.5]
    strings = ["", "a", " ", "#", "##", "#2880#Total", "#1e40#big", "#-1e39#x", "#1e999#inf", "#&HFFFF#h",
               "&H8000000F", "&O777", "&H", "1e308", "1e309", "-1d5", " 12 . 5e 3 ", "True", "false",
               "%p of %n", "%sd %st %ld %lt %gd", "<cr><lf>", "a\r\nb\nc\rd", "\ud800", "x\udfff",
               "é€😀", "\x00nul", "&", "x" * 300, "word " * 80, "\t\t"]
    pick = rnd.random()
    # Each kind by its share of the draws; then containers, then objects of other types.
    kinds = ((0.25, ints), (0.45, floats), (0.7, strings + names), (0.75, [None, True, False]),
             (0.8, [b"", b"x", b"\xff\xfe", bytearray(b"ab")]))
    for limit, choices in kinds:
        if pick < limit:
            return rnd.choice(choices)
    if pick < 0.9:
        return rnd.choice([
            lambda: [hostile_values(rnd, ktfolio, names) for _ in range(rnd.randrange(4))],
            lambda: tuple(hostile_values(rnd, ktfolio, names) for _ in range(rnd.randrange(3))),
            cyclic, lambda: nested(rnd.choice([2, 31, 32, 33, 40000])), lambda: [cyclic(), "a"],
            lambda: list(range(rnd.randrange(50)))])()
    return rnd.choice([object(), {}, {1, 2}, 1j, Index(2**40), Index(7), Index(10**400),
                       ktfolio.StdFont(), ktfolio.StdFont(Size=16384), ktfolio.KtPrint4])


def parameters(signature):
    inside = signature[signature.index("(") + 1:signature.rindex(")")]
    return [m.group(2) for m in re.finditer(r"(\[out |\[)?(\w+)", inside)] if inside else []


def check_invariants(ktfolio, c, full):
    from ktfolio import _testing

    rows = c.LastRow
    assert isinstance(rows, int) and rows >= 0, rows
    # Section markers keep their values across ClearAll, so only their sign is fixed.
    assert c.StartBodyRow >= 0 and c.EndBodyRow >= 0, (c.StartBodyRow, c.EndBodyRow, rows)
    pages = c.Pages
    assert 1 <= pages <= MAX_PAGES, pages
    err = c.GetLastError()
    assert isinstance(err, tuple) and len(err) == 4, err
    assert err[0] is False or isinstance(err[1], int), err
    if full:
        for area in (ktfolio.Body, ktfolio.Header, ktfolio.Footer):
            for page, top, _, height in _testing.layout(c, area):
                # Far-off tops may reach infinity; NaN would mean a value that is no number got in.
                assert not math.isnan(top) and math.isfinite(height), (area, top, height)
                if area == ktfolio.Body:
                    assert 0 <= page <= MAX_PAGES, page
        if rows:
            last = max(p for p, _, _, _ in _testing.layout(c))
            assert c.Pages >= last or last == 0, ("Pages below a row's page", c.Pages, last)


def run_child(seed, calls, log):
    import ktfolio

    rnd = random.Random(seed)
    c = ktfolio.KtPrint4()
    members = c.members
    names = sorted(members) + ["IndentTop", "RowHeight", "FontSize", "BrushColor", "ShadowColor", "Text",
                               "TabLeft", "IndentFirst", "PenStyle", "FontName", "BitMap", "NoSuchName"]
    props = [n for n, s in members.items() if "(" not in s.split(":")[0]]
    methods = [n for n, s in members.items() if n not in props and not OUTSIDE.match(n)]
    made = 0
    for i in range(calls):
        if rnd.random() < 0.002:
            c = ktfolio.KtPrint4()
            log.write("c = ktfolio.KtPrint4()\n")
        name = rnd.choice(methods + props)
        if name in props and rnd.random() < 0.6:
            value = hostile_values(rnd, ktfolio, names)
            text = "c.%s = %s" % (name, SHOW.repr(value))
            action = lambda: setattr(c, name, value)  # noqa: E731
        elif name in props:
            text = "c.%s" % name
            action = lambda: getattr(c, name)  # noqa: E731
        else:
            params = parameters(members[name])
            args = [hostile_values(rnd, ktfolio, names) for _ in range(rnd.randrange(len(params) + 3))]
            # Plausible rows and columns now and then, so calls reach real cells.
            args = [rnd.randrange(-1, 4) if isinstance(a, int) and rnd.random() < 0.5 else a for a in args]
            kwargs = {}
            if params and rnd.random() < 0.2:
                kwargs[rnd.choice(params + ["bogus"])] = hostile_values(rnd, ktfolio, names)
            text = "c.%s(*%s, **%s)" % (name, SHOW.repr(args), SHOW.repr(kwargs))
            action = lambda: getattr(c, name)(*args, **kwargs)  # noqa: E731
        log.write("%d: %s\n" % (i, text[:2000]))
        log.flush()
        try:
            action()
        except DOCUMENTED:
            pass
        check_invariants(ktfolio, c, full=(i % 25 == 0))
        made += 1
        if c.LastRow > 3000:  # keep each call cheap
            c.ClearAll()
            log.write("c.ClearAll()\n")
    return made


def run_parent(args):
    deadline = time.monotonic() + args.seconds
    seed, total_calls, failures = args.seed, 0, []
    workdir = tempfile.mkdtemp(prefix="ktfolio-fuzz-")
    # The children run in a scratch directory: the module's path must not be relative.
    env = dict(os.environ)
    paths = [os.path.abspath(p) for p in env.get("PYTHONPATH", "").split(os.pathsep) if p]
    env["PYTHONPATH"] = os.pathsep.join(paths + [os.path.dirname(os.path.abspath(__file__))])
    while time.monotonic() < deadline:
        log_path = os.path.join(workdir, "seed-%d.log" % seed)
        cmd = [sys.executable, os.path.abspath(__file__), "--child", str(seed), "--calls", str(args.calls),
               "--log", log_path]
        try:
            done = subprocess.run(cmd, cwd=workdir, env=env, capture_output=True, text=True, timeout=args.timeout)
            code, out, err = done.returncode, done.stdout, done.stderr
        except subprocess.TimeoutExpired as e:
            code, out, err = "timeout", e.stdout or "", e.stderr or ""
        made = re.search(r"calls: (\d+)", out or "")
        total_calls += int(made.group(1)) if made else 0
        if code != 0:
            with open(log_path, errors="replace") as f:
                tail = f.readlines()[-5:]
            failures.append(seed)
            print("seed %d FAILED (%s); replay: %s --child %d --calls %d" % (seed, code, __file__, seed, args.calls))
            print("  last calls:\n    " + "    ".join(tail))
            print("  " + (err if isinstance(err, str) else err.decode(errors="replace"))[-3000:])
        else:
            os.remove(log_path)
        seed += 1
        if seed == args.seed + 1 and not made:
            break  # the module itself does not load: no point in more seeds
    listed = (": %s" % failures) if failures else ""
    print("fuzz_api: %d seeds (%d..%d), %d calls, %d failed%s" % (
        seed - args.seed, args.seed, seed - 1, total_calls, len(failures), listed))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--seed", type=int, default=1, help="first seed")
    parser.add_argument("--calls", type=int, default=2000, help="calls per seed")
    parser.add_argument("--timeout", type=float, default=300, help="seconds before a seed counts as hung")
    parser.add_argument("--child", type=int, help="run one seed in this process")
    parser.add_argument("--log", help="call log of a child (default: stdout)")
    args = parser.parse_args()
    if args.child is None:
        sys.exit(run_parent(args))
    log = open(args.log, "w") if args.log else sys.stdout
    made = run_child(args.child, args.calls, log)
    print("calls: %d" % made)


if __name__ == "__main__":
    main()
