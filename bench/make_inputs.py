#!/usr/bin/env python3
"""make_inputs: writes the benchmark's payload files, the same bytes on every run (fixed seeds).
  make_inputs.py many DIR TOTAL_BYTES COUNT   COUNT files, half text-like, half random, sizes
                                              spread around TOTAL_BYTES / COUNT
  make_inputs.py one FILE BYTES               one file of alternating 1 MiB text and random runs
  make_inputs.py flat FILE BYTES              one highly compressible file (repeated text)"""
import random
import sys

MIB = 1 << 20


def corpus(rng, size):
    """Word salad from a fixed vocabulary: compresses to roughly a third, like source or logs."""
    letters = "etaoinshrdlcumwfgypbvkjxqz"
    words = ["".join(rng.choices(letters, k=rng.randint(2, 10))) for _ in range(3000)]
    out, length = [], 0
    while length < size:
        line = " ".join(rng.choices(words, k=rng.randint(4, 14))) + "\n"
        out.append(line)
        length += len(line)
    return "".join(out).encode()[:size]


def random_bytes(rng, size):
    return rng.getrandbits(size * 8).to_bytes(size, "little") if size else b""


def many(folder, total, count):
    rng = random.Random(1)
    text = corpus(rng, 8 * MIB)
    mean = total // count
    for i in range(count):
        size = rng.randint(mean // 2, mean * 3 // 2)
        if i % 2 == 0:
            size = min(size, len(text))
            start = rng.randint(0, len(text) - size)
            data = text[start:start + size]
        else:
            data = random_bytes(rng, size)
        with open(f"{folder}/f{i:05d}.{'txt' if i % 2 == 0 else 'bin'}", "wb") as f:
            f.write(data)


def one(path, size):
    rng = random.Random(2)
    text = corpus(rng, 8 * MIB)
    with open(path, "wb") as f:
        left, i = size, 0
        while left > 0:
            n = min(MIB, left)
            if i % 2 == 0:
                start = rng.randint(0, len(text) - n)
                f.write(text[start:start + n])
            else:
                f.write(random_bytes(rng, n))
            left -= n
            i += 1


def flat(path, size):
    block = corpus(random.Random(3), MIB)
    with open(path, "wb") as f:
        left = size
        while left > 0:
            n = min(len(block), left)
            f.write(block[:n])
            left -= n


def main():
    kind = sys.argv[1]
    if kind == "many":
        many(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif kind == "one":
        one(sys.argv[2], int(sys.argv[3]))
    elif kind == "flat":
        flat(sys.argv[2], int(sys.argv[3]))
    else:
        sys.exit(__doc__)


main()
