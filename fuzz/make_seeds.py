#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus from the test fixtures and the
sample dataset, plus the edge cases each reader must survive. Run from the
repository root; the output is committed, so run it only to change the seeds."""
import os
import shutil
import struct

MAGIC = b"<PELSID>"
DELIM = b"<PELSID[CR][LF]>"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def sample_records(count):
    data = open(os.path.join(ROOT, "data", "sample.pelsid"), "rb").read()
    return data[len(MAGIC):].split(DELIM)[:count]


def dataset(records):
    return MAGIC + b"".join(r + DELIM for r in records)


def pcap(link, frames, snaplen=65535):
    out = struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, snaplen, link)
    for f in frames:
        out += struct.pack("<IIII", 1700000000, 0, len(f), len(f)) + f
    return out


def pcapng_block(kind, body, length=None):
    total = length if length is not None else 12 + len(body)
    return struct.pack("<II", kind, total) + body + struct.pack("<I", total)


def pcapng(frames):
    out = pcapng_block(0x0A0D0D0A, struct.pack("<IHHq", 0x1A2B3C4D, 1, 0, -1))
    out += pcapng_block(1, struct.pack("<HHI", 1, 0, 65535))
    for f in frames:
        pad = f + b"\0" * (-len(f) % 4)
        out += pcapng_block(6, struct.pack("<IIIII", 0, 0, 0, len(f), len(f)) + pad)
    return out


def write(target, name, data):
    folder = os.path.join(ROOT, "fuzz", "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def pipeline_input(shown, frames, commands=b""):
    head = bytes([shown]) + bytes([100, 100] * 7) + bytes(range(0, 64, 3))
    body = b"".join(struct.pack(">H", len(f)) + f for f in frames)
    return head + body + commands


records = sample_records(24)
ipv4_udp = bytes.fromhex("4500001c123440004011000a0000010a00000203e807d000080000")
edge_datasets = {
    "sample_24.pelsid": dataset(records),
    "only_magic.pelsid": MAGIC,
    "lower_magic.pelsid": b"<pelsid>" + records[0] + DELIM,
    "only_delimiters.pelsid": MAGIC + DELIM * 4,
    "over_slot.pelsid": dataset([b"\x55" * 3000, records[1]]),
    "split_delimiter.pelsid": MAGIC + records[2] + DELIM[:9] + records[3] + DELIM + b"tail",
}
for name, data in edge_datasets.items():
    write("dataset_scan", name, data)
    write("capture_bytes", name, data)

for name in ["lo_ethernet.pcap", "lo_ethernet.pcapng", "lo_ethernet_cut.pcap",
             "any_cooked_sll.pcap", "any_cooked_sll2.pcap"]:
    shutil.copy(os.path.join(ROOT, "tests", "data", name),
                os.path.join(ROOT, "fuzz", "corpus", "capture_bytes", name))
write("capture_bytes", "raw_ip.pcap", pcap(101, [ipv4_udp, ipv4_udp[:10]]))
write("capture_bytes", "ipv4.pcap", pcap(228, [ipv4_udp]))
write("capture_bytes", "snaplen_0.pcap", pcap(1, records[:3], snaplen=0))
write("capture_bytes", "snaplen_2_31.pcap", pcap(1, records[:3], snaplen=1 << 31))
write("capture_bytes", "wifi.pcap", pcap(105, records[:1]))
write("capture_bytes", "sll_header_only.pcap", pcap(113, [b"\0" * 16, b""]))
write("capture_bytes", "big_endian.pcap",
      struct.pack(">IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1) +
      struct.pack(">IIII", 1, 0, 60, 60) + records[0][:60])
write("capture_bytes", "small.pcapng", pcapng(records[:4]))
write("capture_bytes", "short_block.pcapng", pcapng(records[:2]) + pcapng_block(6, b"", 12))
write("capture_bytes", "cut.pcapng", pcapng(records[:3])[:-10])
# Interfaces with their own time resolutions (milliseconds; 2^-10 s with an
# hour's offset), and a packet on each.
times = pcapng_block(0x0A0D0D0A, struct.pack("<IHHq", 0x1A2B3C4D, 1, 0, -1))
times += pcapng_block(1, struct.pack("<HHI", 1, 0, 65535) + struct.pack("<HHB3x", 9, 1, 3) +
                      struct.pack("<HH", 0, 0))
times += pcapng_block(1, struct.pack("<HHI", 1, 0, 65535) + struct.pack("<HHB3x", 9, 1, 0x8A) +
                      struct.pack("<HHq", 14, 8, 3600) + struct.pack("<HH", 0, 0))
for interface, stamp in [(0, 1765200001123), (1, (1000 << 10) | 512)]:
    f = records[interface][:60]
    times += pcapng_block(6, struct.pack("<IIIII", interface, stamp >> 32, stamp & 0xFFFFFFFF,
                                         len(f), len(f)) + f + b"\0" * (-len(f) % 4))
write("capture_bytes", "time_options.pcapng", times)

write("pipeline", "sample_all_shown", pipeline_input(0x7F, records))
write("pipeline", "sample_none_shown", pipeline_input(0, records[:8]))
write("pipeline", "commands", pipeline_input(0x55, records[:6], b"\x80\x01\x80\x00\x80\x03\x80\x09"))
write("pipeline", "oversize", pipeline_input(0x7F, [b"\xAA" * 1800, b"\x00", ipv4_udp]))
write("pipeline", "tiny_windows", bytes([0x7F]) + bytes(14) + b"\x00\x3c" + records[0][:60])

# The link layers: a byte picking the link type (its index in
# fuzz_link_layers.cpp's table), then a frame of it, from tests/data/links.
LINK_TYPES = [0, 1, 9, 12, 50, 101, 104, 105, 107, 108, 113, 119, 127, 129, 163, 226, 228, 229,
              239, 242, 258, 276]
links = os.path.join(ROOT, "tests", "data", "links")
for name in sorted(os.listdir(links)):
    data = open(os.path.join(links, name), "rb").read()
    link = struct.unpack("<I", data[20:24])[0]
    at, k = 24, 0
    while at + 16 <= len(data):
        length = struct.unpack("<I", data[at + 8:at + 12])[0]
        write("link_layers", "%s_%d" % (name[:-5], k),
              bytes([LINK_TYPES.index(link)]) + data[at + 16:at + 16 + length])
        at, k = at + 16 + length, k + 1

# Decompression: a byte picking gzip, zstd or lz4, then what follows its
# magic in a compressed capture (zstd and lz4 made by their command-line
# tools when present).
import gzip
import subprocess
capture = open(os.path.join(ROOT, "tests", "data", "lo_ethernet.pcap"), "rb").read()
write("decompress", "gzip_pcap", b"\x00" + gzip.compress(capture)[2:])
write("decompress", "plain_pcap", b"\x01" + capture)
for index, tool in ((1, "zstd"), (2, "lz4")):
    try:
        packed = subprocess.run([tool, "-c"], input=capture, capture_output=True, check=True).stdout
        write("decompress", tool + "_pcap", bytes([index]) + packed[4:])
    except (OSError, subprocess.CalledProcessError):
        pass
