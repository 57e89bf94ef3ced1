"""A small GIF writer for the program's own pictures (no imaging library needed).

Pictures are lists of rows of (r, g, b) tuples with at most 256 colours. The LZW stream
sends every pixel as a literal code and starts the table over before the code size would
grow, which every GIF reader decodes.
"""

import struct


def _lzw_literals(indices):
    clear, end = 256, 257
    codes = [clear]
    since_clear = 0
    for index in indices:
        if since_clear == 250:  # the table stays below 512 entries: 9-bit codes throughout
            codes.append(clear)
            since_clear = 0
        codes.append(index)
        since_clear += 1
    codes.append(end)
    out = bytearray()
    bits = 0
    count = 0
    for code in codes:
        bits |= code << count
        count += 9
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def write_gif(path, rows, transparent=None):
    """Writes `rows` as a GIF; `transparent` is an (r, g, b) colour drawn as see-through."""
    height, width = len(rows), len(rows[0])
    palette = []
    lookup = {}
    indices = []
    for row in rows:
        assert len(row) == width
        for colour in row:
            if colour not in lookup:
                lookup[colour] = len(palette)
                palette.append(colour)
            indices.append(lookup[colour])
    assert len(palette) <= 256, "a GIF holds at most 256 colours"
    palette += [(0, 0, 0)] * (256 - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)  # global table of 256 colours
    for r, g, b in palette:
        data += bytes((r, g, b))
    if transparent is not None and transparent in lookup:
        data += bytes((0x21, 0xF9, 4, 0x01, 0, 0, lookup[transparent], 0))
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data += bytes((8,))  # LZW minimum code size
    stream = _lzw_literals(indices)
    for start in range(0, len(stream), 255):
        block = stream[start:start + 255]
        data += bytes((len(block),)) + block
    data += b"\x00\x3B"
    with open(path, "wb") as out:
        out.write(data)
