#!/usr/bin/env python3
"""Writes the seed corpus: valid frames and payloads of the protocol (docs/protocol.md)."""
import os, struct, zlib

here = os.path.dirname(os.path.abspath(__file__))

def frame(command, payload=b"", reply=False, result=0, seq=1, machine=1):
    head = b"\xA5\x5A\x01" + bytes([0x80 if reply else 0, command, result])
    head += struct.pack(">HiH", seq, machine, len(payload))
    body = head + payload
    return body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def record(gap, enroll, verify=1):
    return bytes([gap]) + struct.pack(">iiHBBBB", enroll, verify, 2012, 3, 5, 8, 7)

key = struct.pack(">iiB", 42, 1, 11)
replies = {
    "hello": frame(0x01, b"\x01" + bytes(range(16)) + b"\x0cSIM-0A1B2C3D" +
                   struct.pack(">I", 123456), reply=True),
    "log_info": frame(0x20, struct.pack(">II", 2, 7), reply=True),
    "log_chunk": frame(0x21, b"\x00" + struct.pack(">H", 2) + record(6, 123) + record(1, 124),
                       reply=True),
    "user_chunk": frame(0x31, b"\x01" + struct.pack(">H", 1) + key + b"\x02\x01", reply=True),
    "enroll_item": frame(0x32, b"\x00\x01" + struct.pack(">iH", 0, 355) + bytes(355 * 4),
                         reply=True),
    "clock": frame(0x12, struct.pack(">HBBBBBB", 2012, 3, 7, 9, 5, 0, 3), reply=True),
    "name": frame(0x40, b"\x05Ay\xc5\x9fe", reply=True),
    "error": frame(0x34, result=5, reply=True),
    "two_frames": frame(0x10, reply=True, seq=3) + frame(0x22, struct.pack(">I", 1), reply=True,
                                                        seq=4),
}
requests = {
    "disable": frame(0x10, b"\x00"),
    "read_log": frame(0x20, b"\x00"),
    "log_query": frame(0x21, b"\x00" + struct.pack(">IIH", 0, 7, 1024)),
    "ack": frame(0x22, struct.pack(">I", 1)),
    "user_query": frame(0x31, b"\x00" + bytes(9) + struct.pack(">H", 1024)),
    "set_card": frame(0x33, key + b"\x00\x01" + struct.pack(">iH", 99, 0)),
    "delete": frame(0x34, key),
    "privilege": frame(0x35, key + b"\x00"),
    "set_name": frame(0x41, struct.pack(">i", 42) + b"\x03Ali"),
    "sync": frame(0x11, struct.pack(">HBBBBB", 2012, 3, 7, 9, 5, 0)),
    "split_requests": b"\x21\x00" + struct.pack(">IIH", 0, 9, 4) + b"\xff\x35" + key + b"\x02",
}
# The downloads' journal (app/transfer/JournalFormat.h): header, entries, a batch in two copies.
def entry(payload):
    body = struct.pack(">I", len(payload)) + payload
    return struct.pack(">I", 0x4A524E45) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def text(s):
    b = s.encode()
    return struct.pack(">H", len(b)) + b

def identity(serial="SIM-0A1B2C3D", generation=123456):
    return text(serial) + struct.pack(">I", generation)

def begin(lines, files=("veri.txt", "2024_03.txt", "veri2.txt")):
    d = identity() + b"\x01" + struct.pack(">I", 3) + struct.pack(">I", 41) + b"\x01\x02"
    d += bytes([len(files)])
    for name in files:
        tail = b"0001;00123;05.03.2024;08:07\r\n"
        d += text(name) + struct.pack(">QQQ", 4096, 2049, 77) + bytes([len(tail)]) + tail
    blocks = [zlib.crc32(lines[i:i + 4096]) & 0xFFFFFFFF for i in range(0, len(lines), 4096)]
    d += struct.pack(">II", len(lines), len(blocks)) + b"".join(struct.pack(">I", c) for c in blocks)
    copy = struct.pack(">I", len(d)) + d + struct.pack(">I", zlib.crc32(d) & 0xFFFFFFFF)
    return b"\x01" + copy + copy + lines

head = b"SELVJRNL" + struct.pack(">I", 2)
lines = b"".join(b"0001;%05d;05.03.2024;08:%02d\r\n" % (100 + i, i) for i in range(3))
state = entry(b"\x04" + identity() + struct.pack(">II", 40, 40) + b"\x00")
journals = {
    "compacted": head + state + state,
    "pending": head + state + entry(begin(lines)) + entry(b"\x05\x01"),
    "written": head + entry(begin(lines)) + entry(b"\x02" + identity() + b"\x01" +
                                               struct.pack(">I", 43)) +
               entry(b"\x03" + identity() + struct.pack(">I", 43)),
    "reset_rebuilt": head + entry(b"\x07") + entry(b"\x06" + identity()) + state,
    "version1": b"SELVJRNL" + struct.pack(">I", 1) +
                entry(b"\x04" + identity("SIM-1", 7) + struct.pack(">II", 9, 8)),
    "cut_short": head + state + entry(begin(lines))[:40],
}

for folder, seeds in (("fuzz_replies", replies), ("fuzz_requests", requests),
                      ("fuzz_journal", journals)):
    os.makedirs(os.path.join(here, "corpus", folder), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(here, "corpus", folder, name), "wb") as f:
            f.write(data)
