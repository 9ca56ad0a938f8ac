"""Packs palette images into a Windows .ico file.

usage: write_icon.py OUT.ico WIDTHxHEIGHT:BITS:PIXELS.rgba ...

Each PIXELS.rgba holds 8-bit red, green, blue, alpha samples, top row first
(ImageMagick's RGBA: format). Alpha 0 is transparent, anything else opaque.
The colours an image uses become its palette, so a 4-bit image may use at
most 16 of them (transparent pixels count as black) and an 8-bit one 256.
ImageMagick's own writer stores images with transparency as 32-bit, which is
why the directory and the bitmaps are written here.
"""
import struct
import sys

ICON_DIRECTORY = struct.Struct("<HHH")
ICON_ENTRY = struct.Struct("<BBBBHHII")
BITMAP_INFO = struct.Struct("<IiiHHIIiiII")
BLACK = (0, 0, 0)


def row_bytes(width, bits):
    """Bytes of one DIB row, padded to a multiple of four."""
    return (width * bits + 31) // 32 * 4


def read_pixels(path, width, height):
    data = open(path, "rb").read()
    if len(data) != width * height * 4:
        sys.exit(f"{path}: {len(data)} bytes, expected {width * height * 4}")
    pixels = []
    for i in range(0, len(data), 4):
        red, green, blue, alpha = data[i:i + 4]
        pixels.append((red, green, blue) if alpha else None)
    return pixels


def palette_of(pixels, bits, path):
    colours = sorted({p for p in pixels if p is not None} | {BLACK})
    if len(colours) > 1 << bits:
        sys.exit(f"{path}: {len(colours)} colours do not fit {bits} bits")
    colours.remove(BLACK)
    return [BLACK] + colours + [BLACK] * ((1 << bits) - 1 - len(colours))


def pack_row(indices, bits):
    out = bytearray()
    per_byte = 8 // bits
    for start in range(0, len(indices), per_byte):
        byte = 0
        for index in indices[start:start + per_byte]:
            byte = (byte << bits) | index
        byte <<= bits * (per_byte - len(indices[start:start + per_byte]))
        out.append(byte)
    return bytes(out)


def icon_image(width, height, bits, pixels, path):
    """BITMAPINFOHEADER, palette, colour rows and mask rows, bottom row first."""
    palette = palette_of(pixels, bits, path)
    index_of = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    colour_pad = row_bytes(width, bits)
    mask_pad = row_bytes(width, 1)
    colour_rows = bytearray()
    mask_rows = bytearray()
    for y in reversed(range(height)):
        row = pixels[y * width:(y + 1) * width]
        indices = [index_of[p if p is not None else BLACK] for p in row]
        colour_rows += pack_row(indices, bits).ljust(colour_pad, b"\0")
        mask = [1 if p is None else 0 for p in row]
        mask_rows += pack_row(mask, 1).ljust(mask_pad, b"\0")
    header = BITMAP_INFO.pack(BITMAP_INFO.size, width, 2 * height, 1, bits, 0,
                              len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(colour_rows) + bytes(mask_rows)


def main(out_path, requests):
    entries = []
    images = []
    offset = ICON_DIRECTORY.size + ICON_ENTRY.size * len(requests)
    for request in requests:
        size, bits, path = request.split(":")
        width, height = (int(v) for v in size.split("x"))
        bits = int(bits)
        image = icon_image(width, height, bits, read_pixels(path, width, height), path)
        # The directory counts palette colours only below 8 bits; 256 is written as 0.
        colour_count = 1 << bits if bits < 8 else 0
        entries.append(ICON_ENTRY.pack(width % 256, height % 256, colour_count, 0,
                                       1, bits, len(image), offset))
        images.append(image)
        offset += len(image)
    with open(out_path, "wb") as out:
        out.write(ICON_DIRECTORY.pack(0, 1, len(requests)))
        out.write(b"".join(entries))
        out.write(b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
