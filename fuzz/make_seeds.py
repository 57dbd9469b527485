#!/usr/bin/env python3
"""Writes the seed corpus of the frame reassembly fuzzer (run from fuzz/)."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "agentlink_frame")


def frame(ftype, wparam, lparam, payload=b"", length=None):
    n = len(payload) if length is None else length
    return struct.pack("<IIII", n, ftype, wparam, lparam) + payload


def seed(name, seed_word, body):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(struct.pack("<I", seed_word) + body)


os.makedirs(OUT, exist_ok=True)
ip = struct.unpack("<I", bytes([192, 168, 1, 10]))[0]
seed("header_only_online", 1, frame(0, ip, 1529))
seed("three_small", 7, frame(2, 0, 1525, struct.pack("<II", 8001, 8002) + b"\0" * 44)
     + frame(2, 8, 1526, struct.pack("<II", ip, 1)) + frame(0, ip, 1530))
seed("inline_edge", 11, frame(1, ip, 1536, b"a" * 4096) + frame(1, ip, 1538, b"b" * 4097))
seed("heap_5000", 13, frame(0, 0, 1532, bytes(range(256)) * 19 + b"x" * 136))
seed("over_limit", 17, frame(2, 0, 1525, length=16 * 1024 * 1024 + 1) + b"zz")
seed("at_limit_header", 19, frame(3, 0, 1527, length=16 * 1024 * 1024) + b"partial")
seed("torn_tail", 23, frame(3, 0, 1547, "策略".encode("utf-16-le") + b"\0" * 124) + b"\x10\0\0")
seed("many_tiny", 29, b"".join(frame(i % 4, i, 1525 + i % 35) for i in range(64)))
