#!/usr/bin/python3
"""Reads the program's windows over AT-SPI, the interface a screen reader uses.

    atspi_read.py --pid PID status     the text of Main's status line
    atspi_read.py --pid PID message    the open message box: "text: ..." lines, then "button: ..."
    atspi_read.py --pid PID field WINDOW NAME
                                       the text in box NAME of the window titled WINDOW
    atspi_read.py --pid PID size WINDOW
                                       "WIDTH HEIGHT": the inside of the window titled WINDOW, as
                                       the program lays it out (also where only the compositor
                                       knows where the window is)
    atspi_read.py --pid PID tree       every window of the program with its elements
    atspi_read.py --pid PID windows    each window on the screen as "role: name", one a line

With --equals, --contains, --differs or --ends-with TEXT it polls until the text read (a
message's text lines, joined by newlines) meets the condition; with --gone, until the thing is
no longer there. Without one it waits only for the thing to exist. It gives up after --timeout
seconds, prints what it last read and exits 1.
"""
import argparse
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

MAIN_TITLE = "Quelvane Cadrelant Generator"
DIALOGS = (Atspi.Role.DIALOG, Atspi.Role.ALERT)


class NotThere(Exception):
    pass


class NoProgram(Exception):
    pass


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except GLib.Error:
        return []


def descendants(node):
    for child in children(node):
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find_app(pid):
    for app in children(pyatspi.Registry.getDesktop(0)):
        try:
            if app is not None and app.get_process_id() == pid:
                # Nobody runs an event loop here to keep a cache current: always ask the program.
                app.set_cache_mask(Atspi.Cache.NONE)
                app.clear_cache()
                return app
        except GLib.Error:
            continue
    raise NoProgram(f"no program with process id {pid} on the accessibility bus")


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def windows(app):
    return [w for w in children(app) if w is not None and showing(w)]


def main_window(app):
    for window in windows(app):
        if window.get_name() == MAIN_TITLE and window.get_role() not in DIALOGS:
            return window
    raise NotThere("Main is not on the screen")


def read_status(app):
    """The status line: the one notice on Main, which a screen reader speaks as it changes."""
    notices = [n for n in descendants(main_window(app)) if n.get_role() == Atspi.Role.NOTIFICATION]
    if len(notices) != 1:
        raise NotThere(f"Main has {len(notices)} notifications, expected the status line alone")
    return notices[0].get_name()


def read_field(app, title, name):
    for window in windows(app):
        if window.get_name() != title:
            continue
        boxes = [n for n in descendants(window)
                 if n.get_role() == Atspi.Role.TEXT and n.get_name() == name]
        if len(boxes) != 1:
            raise NotThere(f"{title} has {len(boxes)} boxes named {name!r}")
        return Atspi.Text.get_text(boxes[0], 0, Atspi.Text.get_character_count(boxes[0]))
    raise NotThere(f"no window titled {title!r} is on the screen")


def read_size(app, title):
    for window in windows(app):
        if window.get_name() == title:
            size = window.get_size()
            return f"{size.x} {size.y}"
    raise NotThere(f"no window titled {title!r} is on the screen")


def read_message(app):
    """A message box: a window of its own with the program's title, text and buttons."""
    for window in windows(app):
        if window.get_name() != MAIN_TITLE or window.get_role() not in DIALOGS:
            continue
        nodes = list(descendants(window))
        texts = [n.get_name() for n in nodes
                 if n.get_role() == Atspi.Role.LABEL and n.get_name() and showing(n)]
        buttons = [n.get_name() for n in nodes if n.get_role() == Atspi.Role.PUSH_BUTTON]
        return texts, buttons
    raise NotThere("no message box is open")


def dump(node, depth=0):
    lines = []
    for child in children(node):
        if child is None:
            continue
        states = " showing" if showing(child) else ""
        lines.append(f"{'  ' * depth}{child.get_role_name()} {child.get_name()!r}{states}")
        lines.extend(dump(child, depth + 1))
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--timeout", type=float, default=10)
    parser.add_argument("what", choices=["status", "message", "field", "size", "tree", "windows"])
    parser.add_argument("where", nargs="*", help="field: the window's title and the box's name")
    condition = parser.add_mutually_exclusive_group()
    condition.add_argument("--equals")
    condition.add_argument("--contains")
    condition.add_argument("--differs")
    condition.add_argument("--ends-with")
    condition.add_argument("--gone", action="store_true")
    args = parser.parse_args()
    if len(args.where) != {"field": 2, "size": 1}.get(args.what, 0):
        parser.error("field takes a window title and a box name, size a title; the others neither")

    def met(text):
        if args.equals is not None:
            return text == args.equals
        if args.contains is not None:
            return args.contains in text
        if args.differs is not None:
            return text != args.differs
        if args.ends_with is not None:
            return text.endswith(args.ends_with)
        return not args.gone

    deadline = time.monotonic() + args.timeout
    last, why = None, ""
    while True:
        try:
            app = find_app(args.pid)
            if args.what == "tree":
                print("\n".join(dump(app)))
                return 0
            if args.what == "windows":
                last = "\n".join(f"{w.get_role_name()}: {w.get_name()}" for w in windows(app))
                output = last
            elif args.what == "status":
                last = read_status(app)
                output = last
            elif args.what == "size":
                last = read_size(app, *args.where)
                output = last
            elif args.what == "field":
                last = read_field(app, *args.where)
                output = last
            else:
                texts, buttons = read_message(app)
                last = "\n".join(texts)
                output = "\n".join([f"text: {t}" for t in texts] + [f"button: {b}" for b in buttons])
            if met(last):
                print(output)
                return 0
            why = f"the {args.what} reads {last!r}" if not args.gone else f"the {args.what} is there"
        except NotThere as error:
            if args.gone:
                return 0
            why = str(error)
        except (NoProgram, GLib.Error) as error:
            why = str(error)
        if time.monotonic() >= deadline:
            print(f"atspi_read: {why} after {args.timeout:g}s", file=sys.stderr)
            if last is not None:
                print(last)
            return 1
        time.sleep(0.05)


if __name__ == "__main__":
    sys.exit(main())
