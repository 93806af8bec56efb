#!/usr/bin/env python3
"""A misbehaving print scheduler: a Unix socket in front of a real one.

    bad_scheduler.py LISTEN UPSTREAM MODE [LIMIT]

MODE silent: takes every connection and never answers.
MODE stall:  passes everything on until a connection has sent LIMIT bytes (the document is
             then on its way), and from there on passes nothing in either direction.
MODE drop:   the same, but closes both ends at that point.
"""
import os
import selectors
import socket
import sys


def main():
    listen, upstream, mode = sys.argv[1:4]
    limit = int(sys.argv[4]) if len(sys.argv) > 4 else 8192
    if os.path.exists(listen):
        os.unlink(listen)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(listen)
    os.chmod(listen, 0o777)
    server.listen(16)
    sel = selectors.DefaultSelector()
    sel.register(server, selectors.EVENT_READ, None)
    # client socket -> [peer socket or None, bytes sent by the client, stalled]
    pairs = {}

    def close(sock):
        peer = pairs.pop(sock, [None])[0]
        for s in (sock, peer):
            if s is None:
                continue
            try:
                sel.unregister(s)
            except (KeyError, ValueError):
                pass
            s.close()
        if peer is not None:
            pairs.pop(peer, None)

    while True:
        for key, _ in sel.select():
            sock = key.fileobj
            if sock is server:
                client, _ = server.accept()
                if mode == "silent":
                    pairs[client] = [None, 0, True]
                else:
                    real = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                    real.connect(upstream)
                    pairs[client] = [real, 0, False]
                    pairs[real] = [client, None, False]
                    sel.register(real, selectors.EVENT_READ, None)
                sel.register(client, selectors.EVENT_READ, None)
                continue
            if sock not in pairs:
                continue
            entry = pairs[sock]
            try:
                data = sock.recv(65536)
            except OSError:
                data = b""
            if not data:
                close(sock)
                continue
            if entry[2]:
                # Stalled: keep the connection, swallow what comes, answer nothing.
                continue
            peer, sent, _ = entry
            if sent is not None:  # from the program
                sent += len(data)
                entry[1] = sent
                if sent > limit:
                    if mode == "drop":
                        close(sock)
                        continue
                    entry[2] = True
                    pairs[peer][2] = True
                    continue
            peer.sendall(data)


if __name__ == "__main__":
    main()
