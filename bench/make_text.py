"""Writes SIZE bytes of random text without NUL, cut into CR LF lines of
random length, to PATH: make_text.py PATH SIZE [SEED]."""
import random
import sys


def make_text(size, seed):
    rng = random.Random(seed)
    body = bytearray(rng.randbytes(size))
    # No NUL: a NUL byte cannot cross the text block.
    body = body.replace(b"\0", b"\x01")
    out = bytearray()
    at = 0
    while len(out) < size:
        n = rng.randrange(0, 160)
        out += body[at:at + n]
        out += b"\r\n"
        at += n
    return bytes(out[:size])


if __name__ == "__main__":
    path, size = sys.argv[1], int(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    with open(path, "wb") as f:
        f.write(make_text(size, seed))
