#!/usr/bin/env python3
"""Moves a PE image's headers so that the PE signature lies at a given offset.

GNU ld puts the PE signature at 0x80. The installer builder stores the installer's length at
0xF8..0xFF and 64 per-build bytes at 0x90..0xCF, so the stub's headers must start at 0x100 and
everything between the DOS header (0x40) and the PE signature must be zero. The headers are
moved within the header area; the build fails when they would run into the first section.
"""
import struct
import sys


def fail(msg):
    sys.stderr.write("pe_move_headers: %s\n" % msg)
    sys.exit(1)


def main():
    if len(sys.argv) != 3:
        fail("usage: pe_move_headers.py FILE OFFSET")
    path, target = sys.argv[1], int(sys.argv[2], 0)
    data = bytearray(open(path, "rb").read())
    if data[:2] != b"MZ":
        fail("%s is not an MZ image" % path)
    old = struct.unpack_from("<I", data, 0x3C)[0]
    if data[old:old + 4] != b"PE\0\0":
        fail("no PE signature at 0x%X" % old)
    if old == target:
        return
    coff = old + 4
    sections = struct.unpack_from("<H", data, coff + 2)[0]
    opt_size = struct.unpack_from("<H", data, coff + 16)[0]
    opt = coff + 20
    size_of_headers = struct.unpack_from("<I", data, opt + 60)[0]
    headers_end = opt + opt_size + 40 * sections
    first_raw = min((struct.unpack_from("<I", data, opt + opt_size + 40 * i + 20)[0]
                     for i in range(sections)
                     if struct.unpack_from("<I", data, opt + opt_size + 40 * i + 16)[0]),
                    default=size_of_headers)
    limit = min(size_of_headers, first_raw)
    new_end = headers_end - old + target
    if new_end > limit:
        fail("no room: headers would end at 0x%X, the header area ends at 0x%X" % (new_end, limit))
    block = bytes(data[old:headers_end])
    data[0x40:limit] = bytes(limit - 0x40)
    data[target:target + len(block)] = block
    struct.pack_into("<I", data, 0x3C, target)
    open(path, "wb").write(data)


if __name__ == "__main__":
    main()
