#!/usr/bin/env python3
"""Reads the golden container files with outside tools only: OpenSSL's
Blowfish (each 32-bit word byte-swapped, as the files keep halves
little-endian) and lhasa for the LH5 body (wrapped in a level-0 .lzh header).
The inner blocks must equal those of the stored, plain files of the same
content, whose layout the container tests check byte by byte."""
import os
import struct
import subprocess
import sys
import tempfile

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "streams")
KEY = "4617"


def read(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


def swap_words(b):
    return b"".join(b[i:i + 4][::-1] for i in range(0, len(b), 4))


def decipher(payload):
    key = (KEY * (16 // len(KEY))).encode().hex()  # -K zero-pads: repeat the key instead
    out = subprocess.run(["openssl", "enc", "-d", "-bf-ecb", "-nopad", "-K", key,
                          "-provider", "legacy", "-provider", "default"],
                         input=swap_words(payload), capture_output=True, check=True).stdout
    plain = swap_words(out)
    pad = plain[-1]
    assert 1 <= pad <= 8, "pad count %d" % pad
    assert plain[len(plain) - pad - 1:-1] == b"\x01" * pad, "padding bytes"
    return plain[:len(plain) - pad - 1]


def crc16_arc(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def expand_with_lhasa(stream, expected):
    size = struct.unpack("<i", stream[:4])[0]
    assert size == len(expected), "size field %d, expected %d" % (size, len(expected))
    body = stream[4:]
    name = b"inner.bin"
    fields = (b"-lh5-" + struct.pack("<IIHHBB", len(body), size, 0, 0x21, 0x20, 0)
              + bytes([len(name)]) + name + struct.pack("<H", crc16_arc(expected)))
    archive = bytes([len(fields), sum(fields) % 256]) + fields + body + b"\x00"
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "a.lzh")
        with open(path, "wb") as f:
            f.write(archive)
        subprocess.run(["lhasa", "-xqw=" + d, path], check=True, capture_output=True)
        out = os.path.join(d, "inner.bin")
        assert os.path.exists(out), "lhasa extracted nothing"
        with open(out, "rb") as f:
            return f.read()


def main():
    users = read("stored-plain.bin")
    log = read("stored-enciphered.bin")
    assert users[:2] == b"  " and log[:2] == b" *"
    users_block = users[2:]
    log_block = decipher(log[2:])
    assert log_block[:8] == bytes(range(1, 9)), "stored-enciphered.bin: no signature"
    cases = [("user-data.bin", b"&*", users_block), ("log.bin", b"&*", log_block),
             ("compressed-plain.bin", b"& ", users_block)]
    for name, marks, block in cases:
        data = read(name)
        assert data[:2] == marks, name + ": markers"
        payload = decipher(data[2:]) if marks[1:] == b"*" else data[2:]
        got = expand_with_lhasa(payload, block)
        assert got == block, name + ": inner block differs"
        print("ok", name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
