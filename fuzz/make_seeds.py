#!/usr/bin/env python3
"""Writes the fuzzers' seed wave files into corpus/<target>/ beside this script."""
import math, os, struct

def fmt(tag, ch, rate, bits, align=None, avg=None, extra=b"", length=None):
    align = align if align is not None else ch * bits // 8
    avg = avg if avg is not None else rate * align
    body = struct.pack("<HHIIHH", tag, ch, rate, avg, align, bits) + extra
    return b"fmt " + struct.pack("<I", length if length is not None else len(body)) + body

def wave(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body

def chunk(cid, data):
    return cid + struct.pack("<I", len(data)) + data

def pcm16(n, rate, ch=1):
    return b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / rate))) * ch for i in range(n))

seeds = {
    "pcm16_8k_mono.wav": wave(fmt(1, 1, 8000, 16), chunk(b"data", pcm16(700, 8000))),
    "pcm16_44k_stereo.wav": wave(fmt(1, 2, 44100, 16, extra=b"\0\0"), chunk(b"data", pcm16(300, 44100, 2))),
    "pcm8_22k_fact.wav": wave(fmt(1, 1, 22050, 8, extra=b"\0\0"), chunk(b"fact", struct.pack("<I", 400)),
                              chunk(b"data", bytes((128 + int(100 * math.sin(i / 5))) & 255 for i in range(400)))),
    "pcm16_11k_odd_length.wav": wave(fmt(1, 1, 11025, 16), chunk(b"data", pcm16(333, 11025) + b"\x01")),
    "pcm16_48k_stereo.wav": wave(fmt(1, 2, 48000, 16), chunk(b"data", pcm16(500, 48000, 2))),
    "empty_data.wav": wave(fmt(1, 1, 8000, 16), chunk(b"data", b"")),
    "gsm.wav": wave(fmt(49, 1, 8000, 0, align=65, avg=1625, extra=b"\x02\x00\x40\x01"),
                    chunk(b"fact", struct.pack("<I", 1)), chunk(b"data", bytes(65))),
    "list_chunk.wav": wave(fmt(1, 1, 8000, 16), chunk(b"LIST", b"INFOxxxx"), chunk(b"data", pcm16(10, 8000))),
    "data_too_long.wav": wave(fmt(1, 1, 16000, 16), b"data" + struct.pack("<I", 0x7fffffff) + pcm16(200, 16000)),
    "zero_align.wav": wave(fmt(1, 1, 8000, 16, align=0, avg=0), chunk(b"data", pcm16(50, 8000))),
}
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
for target in ("fuzz_ReadWaveHeader", "fuzz_DoubleConvert"):
    os.makedirs(os.path.join(root, target), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(root, target, name), "wb") as f:
            f.write(data)
