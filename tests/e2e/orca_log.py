#!/usr/bin/python3
"""Runs Orca with its debug log written line by line:  orca_log.py LOG [ORCA OPTIONS...]

Orca writes its log (every phrase it speaks as "SPEECH OUTPUT: '...'") through a buffered
file, so a phrase would reach the file only kilobytes later or at exit. The log is opened
line-buffered instead; Orca itself runs unchanged.
"""
import builtins
import sys

log = sys.argv[1]
_open = builtins.open


def line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        kwargs["buffering"] = 1
    return _open(file, mode, *args, **kwargs)


builtins.open = line_buffered
sys.argv = ["orca", "--debug-file", log] + sys.argv[2:]
with _open("/usr/bin/orca") as orca:
    exec(compile(orca.read(), "/usr/bin/orca", "exec"), {"__name__": "__main__"})
