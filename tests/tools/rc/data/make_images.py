#!/usr/bin/env python3
"""Writes the small icon and bitmap files the resource compiler tests use (checked in; run again
after changing this script). Every image has a known pixel pattern the tests check."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def dib_header(w, h, bits, colours=0, compression=0):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, compression, 0, 2835, 2835, colours, 0)


def rows_bits(pixels, w, h, bits, bottom_up=True):
    """pixels: list of rows (top-down) of palette indices or (r, g, b[, a]) tuples."""
    stride = ((w * bits + 31) // 32) * 4
    out = b''
    order = range(h - 1, -1, -1) if bottom_up else range(h)
    for y in order:
        row = bytearray()
        if bits <= 8:
            acc, n = 0, 0
            for x in range(w):
                acc = (acc << bits) | pixels[y][x]
                n += bits
                if n == 8:
                    row.append(acc)
                    acc, n = 0, 0
            if n:
                row.append(acc << (8 - n))
        elif bits == 24:
            for r, g, b in pixels[y]:
                row += bytes((b, g, r))
        else:
            for r, g, b, a in pixels[y]:
                row += bytes((b, g, r, a))
        row += b'\0' * (stride - len(row))
        out += row
    return out


def mask_bits(mask, w, h):
    """mask: rows top-down of 0 (opaque) / 1 (transparent)."""
    return rows_bits(mask, w, h, 1)


def palette(colours):
    return b''.join(bytes((b, g, r, 0)) for r, g, b in colours)


def bmp_file(dib, pixel_offset_in_dib):
    return b'BM' + struct.pack('<IHHI', 14 + len(dib), 0, 0, 14 + pixel_offset_in_dib) + dib


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def ico(images):
    """images: list of (w, h, bits, dib bytes)."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for w, h, bits, dib in images:
        entries += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, bits, len(dib), offset)
        offset += len(dib)
        blobs += dib
    return out + entries + blobs


def main():
    # Icon: 16x16 at 8 bits (red square, transparent border of 2 pixels), 32x32 at 32 bits with
    # alpha (green, alpha 0x80 on the left half), 48x48 at 4 bits (blue, no transparency).
    pal8 = [(0, 0, 0), (255, 0, 0)] + [(0, 0, 0)] * 254
    px16 = [[1 if 2 <= x < 14 and 2 <= y < 14 else 0 for x in range(16)] for y in range(16)]
    mask16 = [[0 if 2 <= x < 14 and 2 <= y < 14 else 1 for x in range(16)] for y in range(16)]
    dib16 = dib_header(16, 32, 8) + palette(pal8) + rows_bits(px16, 16, 16, 8) + mask_bits(mask16, 16, 16)
    px32 = [[(0, 255, 0, 0x80 if x < 16 else 0xFF) for x in range(32)] for y in range(32)]
    dib32 = dib_header(32, 64, 32) + rows_bits(px32, 32, 32, 32) + mask_bits([[0] * 32] * 32, 32, 32)
    pal4 = [(0, 0, 255)] + [(0, 0, 0)] * 15
    px48 = [[0] * 48 for _ in range(48)]
    dib48 = dib_header(48, 96, 4) + palette(pal4) + rows_bits(px48, 48, 48, 4) + mask_bits([[0] * 48] * 48, 48, 48)
    write('three.ico', ico([(16, 16, 8, dib16), (32, 32, 32, dib32), (48, 48, 4, dib48)]))
    write('single32.ico', ico([(32, 32, 32, dib32)]))

    # Image strip: 48x16, 24 bits, magenta background, image 0 red, 1 green, 2 blue (a 12x12
    # square inset by 2 in each 16x16 cell); bottom-up.
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255)]
    strip = [[colours[x // 16] if 2 <= x % 16 < 14 and 2 <= y < 14 else (255, 0, 255) for x in range(48)]
             for y in range(16)]
    dib = dib_header(48, 16, 24) + rows_bits(strip, 48, 16, 24)
    write('strip24.bmp', bmp_file(dib, 40))

    # 1-bit 8x3 top-down: first row alternating, palette black/white.
    one = [[x % 2 for x in range(8)], [1] * 8, [0] * 8]
    dib = dib_header(8, -3, 1, 2) + palette([(0, 0, 0), (255, 255, 255)]) + rows_bits(one, 8, 3, 1, bottom_up=False)
    write('top1.bmp', bmp_file(dib, 40 + 8))

    # 4-bit 5x2 with a 3-colour palette; 8-bit 3x2; 32-bit 2x2 with alpha all zero (opaque).
    four = [[0, 1, 2, 1, 0], [2, 2, 2, 2, 2]]
    dib = dib_header(5, 2, 4, 3) + palette([(10, 20, 30), (40, 50, 60), (70, 80, 90)]) + rows_bits(four, 5, 2, 4)
    write('pal4.bmp', bmp_file(dib, 40 + 12))
    eight = [[0, 1, 2], [2, 1, 0]]
    dib = dib_header(3, 2, 8, 3) + palette([(1, 2, 3), (4, 5, 6), (7, 8, 9)]) + rows_bits(eight, 3, 2, 8)
    write('pal8.bmp', bmp_file(dib, 40 + 12))
    thirty2 = [[(1, 2, 3, 0), (4, 5, 6, 0)], [(7, 8, 9, 0), (10, 11, 12, 0)]]
    dib = dib_header(2, 2, 32) + rows_bits(thirty2, 2, 2, 32)
    write('rgb32.bmp', bmp_file(dib, 40))

    # Bad files.
    png = b'\x89PNG\r\n\x1a\n' + struct.pack('>I', 13) + b'IHDR' + struct.pack('>IIBBBBB', 16, 16, 8, 6, 0, 0, 0)
    png += struct.pack('>I', zlib.crc32(png[12:29]))
    write('png.ico', ico([(16, 16, 32, png)]))
    write('bits16.bmp', bmp_file(dib_header(2, 2, 16) + b'\0' * 8, 40))
    write('rle8.bmp', bmp_file(dib_header(2, 2, 8, 2, 1) + palette([(0, 0, 0), (1, 1, 1)]) + b'\0' * 8, 48))
    good = bmp_file(dib_header(48, 16, 24) + rows_bits(strip, 48, 16, 24), 40)
    write('truncated.bmp', good[:len(good) // 2])
    write('notbmp.bmp', b'this is not a bitmap at all, just text\n')


if __name__ == '__main__':
    main()
