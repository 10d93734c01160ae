"""The ktfolio command line: ``python -m ktfolio`` and the ``ktfolio`` command.

Both run the command compiled into the package (``ktfolio._ktfolio._cli``) in this
process, on its standard streams, and exit with the command's exit code.
"""
import os
import signal
import sys


def main() -> int:
    """Runs ``ktfolio`` on ``sys.argv[1:]`` and returns its exit code."""
    from ktfolio._ktfolio import _cli

    # The command owns the process from here: Ctrl+C stops it and a closed
    # pipe ends it, as they would the program.
    signal.signal(signal.SIGINT, signal.SIG_DFL)
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    sys.stdout.flush()
    sys.stderr.flush()
    # The arguments' own bytes, so names that are not UTF-8 reach the command intact.
    argv = [b"ktfolio"] + [os.fsencode(arg) for arg in sys.argv[1:]]
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
    return _cli.main(argv, os.fsencode(data))


if __name__ == "__main__":
    raise SystemExit(main())
