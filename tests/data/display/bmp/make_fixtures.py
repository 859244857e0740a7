#!/usr/bin/env python3
"""Writes the BMP fixtures of the drawing layer's tests and the seed corpus
of the BMP fuzz target.  Run from this folder; the files are committed."""
import os
import struct

def bmp(width, height, bits, rows, palette=(), compression=0, clr_used=None,
        masks=None, bi_size=40, planes=1, gap=0, offset=None, file_size=None,
        magic=b'BM', trailing=b''):
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    if masks:
        table += struct.pack('<III', *masks)
    pixels = b''.join(rows)
    head = 14 + 40 + len(table)
    if offset is None:
        offset = head + gap
    if file_size is None:
        file_size = offset + len(pixels) + len(trailing)
    if clr_used is None:
        clr_used = len(palette)
    info = struct.pack('<IiiHHIIiiII', bi_size, width, height, planes, bits,
                       compression, len(pixels), 2835, 2835, clr_used, 0)
    return (magic + struct.pack('<IHHI', file_size, 0, 0, offset) + info +
            table + b'\0' * gap + pixels + trailing)

def pad(row):
    return row + b'\0' * ((4 - len(row) % 4) % 4)

# 4 x 3, 8 bits: a red, green, blue, white palette; bottom-up rows.
pal4 = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
rows8 = [pad(bytes([0, 1, 2, 3])), pad(bytes([1, 2, 3, 0])), pad(bytes([2, 3, 0, 1]))]
rows24 = [pad(bytes([0, 0, 255] * 2 + [255, 255, 255] * 2)) for _ in range(3)]
rows1 = [pad(bytes([0b10100000])) for _ in range(3)]
rows16 = [pad(struct.pack('<HHHH', 0x7C00, 0x03E0, 0x001F, 0x7FFF)) for _ in range(3)]
rows32 = [struct.pack('<IIII', 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF) for _ in range(3)]

fixtures = {
    'valid_8bit.bmp': bmp(4, 3, 8, rows8, pal4),
    'valid_24bit.bmp': bmp(4, 3, 24, rows24),
    'valid_1bit.bmp': bmp(4, 3, 1, rows1, [(0, 0, 0), (255, 255, 255)]),
    'valid_16bit.bmp': bmp(4, 3, 16, rows16),
    'valid_32bit_fields.bmp': bmp(4, 3, 32, rows32, compression=3,
                                  masks=(0xFF0000, 0xFF00, 0xFF)),
    'valid_topdown.bmp': bmp(4, -3, 8, rows8, pal4),
    'valid_gap.bmp': bmp(4, 3, 8, rows8, pal4, gap=16),
    'valid_trailing.bmp': bmp(4, 3, 8, rows8, pal4, trailing=b'\0' * 6),
    'bad_magic.bmp': bmp(4, 3, 8, rows8, pal4, magic=b'MB'),
    'bad_header_size.bmp': bmp(4, 3, 8, rows8, pal4, bi_size=108),
    'bad_planes.bmp': bmp(4, 3, 8, rows8, pal4, planes=3),
    'bad_depth.bmp': bmp(4, 3, 7, rows8, pal4),
    'bad_compression.bmp': bmp(4, 3, 8, rows8, pal4, compression=1),
    'bad_colour_count.bmp': bmp(4, 3, 8, rows8, pal4, clr_used=300),
    'bad_offset.bmp': bmp(4, 3, 8, rows8, pal4, offset=20),
    'bad_file_size.bmp': bmp(4, 3, 8, rows8, pal4, file_size=60),
    'bad_zero_width.bmp': bmp(0, 3, 8, rows8, pal4),
    'huge_dimensions.bmp': bmp(100000, 100000, 24, rows24),
    'huge_file_size.bmp': bmp(4, 3, 8, rows8, pal4, file_size=0x7FFFFFFF),
    'truncated_pixels.bmp': bmp(4, 3, 8, rows8, pal4)[:-5],
    'truncated_header.bmp': bmp(4, 3, 8, rows8, pal4)[:30],
}
for name, data in fixtures.items():
    with open(name, 'wb') as f:
        f.write(data)
corpus = os.path.join('..', '..', '..', 'fuzz', 'corpus', 'bmp')
for name, data in fixtures.items():
    with open(os.path.join(corpus, name), 'wb') as f:
        f.write(data)
