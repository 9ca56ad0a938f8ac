"""Checks the viewer's resource files as Windows will read them.

usage: check_resources.py RESOURCE_DIR COMPILED.res

- every face bitmap: an uncompressed bottom-up 24-bit BMP of its control's size;
- kelvra.ico: three images of the listed sizes and colour depths, each
  directory entry agreeing with the bitmap it points to;
- the string table compiled by windres: each text exactly as the viewer
  formats and shows it (escapes such as \\n and the % of formats survive).
Prints every mismatch with the value found; exits 1 if there was any.
"""
import struct
import sys

FACES = [
    # file, width, height
    ("black_left.bmp", 46, 20),
    ("black_right.bmp", 46, 20),
    ("white_left.bmp", 46, 20),
    ("white_right.bmp", 46, 20),
    ("header_on.bmp", 60, 20),
    ("header_off.bmp", 60, 20),
    ("auto_range.bmp", 60, 20),
    ("full_range.bmp", 60, 20),
    ("auto_load.bmp", 60, 20),
    ("lock_load.bmp", 60, 20),
    ("raw_load.bmp", 60, 20),
]

ICON_IMAGES = [
    # width, height, directory colour count, bits per pixel
    (32, 32, 16, 4),
    (32, 32, 0, 8),
    (64, 64, 0, 8),
]

STRINGS = {
    1: "Kelvra 0.2.5 - by the Kelvra developers\n\n"
       "A utility for previewing FITS files from Windows Explorer.",
    2: "About Kelvra 0.2.5",
    4: "Kelvra - No Image Loaded",
    6: "Always On &Top",
    7: "&About Kelvra",
    9: "%i, %i = R:%02X G:%02X B:%02X",
    11: "He&xadecimal on ToolTips",
    12: "Kelvra - %s - %i X %i : %i BPP",
    15: "%i, %i = %02X",
    17: "%i, %i = R:%#6.3f G:%#6.3f B:%#6.3f",
    18: "%i, %i = %#6.3f",
}

FILE_HEADER = struct.Struct("<2sIHHI")
BITMAP_INFO = struct.Struct("<IiiHHIIiiII")
ICON_DIRECTORY = struct.Struct("<HHH")
ICON_ENTRY = struct.Struct("<BBBBHHII")
RT_STRING = 6

problems = []


def expect(what, actual, expected):
    if actual != expected:
        problems.append(f"{what}: {actual!r}, expected {expected!r}")


def check_face(path, width, height):
    data = open(path, "rb").read()
    magic, file_size, _, _, bits_offset = FILE_HEADER.unpack_from(data)
    (info_size, w, h, planes, bits, compression,
     _, _, _, _, _) = BITMAP_INFO.unpack_from(data, FILE_HEADER.size)
    expect(f"{path} magic", magic, b"BM")
    expect(f"{path} file size field", file_size, len(data))
    expect(f"{path} header size", info_size, BITMAP_INFO.size)
    expect(f"{path} width", w, width)
    expect(f"{path} height (positive: bottom-up)", h, height)
    expect(f"{path} planes", planes, 1)
    expect(f"{path} bits per pixel", bits, 24)
    expect(f"{path} compression", compression, 0)
    row = (width * 3 + 3) // 4 * 4
    expect(f"{path} pixel bytes", len(data) - bits_offset, row * height)


def check_icon(path):
    data = open(path, "rb").read()
    reserved, kind, count = ICON_DIRECTORY.unpack_from(data)
    expect(f"{path} reserved", reserved, 0)
    expect(f"{path} type", kind, 1)
    expect(f"{path} image count", count, len(ICON_IMAGES))
    for i, (width, height, colours, bits) in enumerate(ICON_IMAGES[:count]):
        (w, h, c, _, planes, entry_bits, size,
         offset) = ICON_ENTRY.unpack_from(data, ICON_DIRECTORY.size + i * ICON_ENTRY.size)
        name = f"{path} image {i}"
        expect(f"{name} directory size", (w, h, c, entry_bits), (width, height, colours, bits))
        expect(f"{name} directory planes", planes, 1)
        expect(f"{name} end within file", offset + size <= len(data), True)
        (info_size, dib_w, dib_h, _, dib_bits, compression,
         _, _, _, used, _) = BITMAP_INFO.unpack_from(data, offset)
        expect(f"{name} bitmap header", (info_size, dib_w, dib_h, dib_bits, compression),
               (BITMAP_INFO.size, width, 2 * height, bits, 0))
        palette = 4 * ((used or 1 << bits) if bits <= 8 else 0)
        colour_rows = (width * bits + 31) // 32 * 4 * height
        mask_rows = (width + 31) // 32 * 4 * height
        expect(f"{name} bytes", size, BITMAP_INFO.size + palette + colour_rows + mask_rows)


def resources(data):
    """Yields (type, name, payload) of a .res file with numeric types and names."""
    pos = 0
    while pos + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        type_mark, type_id, name_mark, name_id = struct.unpack_from("<HHHH", data, pos + 8)
        if type_mark == 0xFFFF and name_mark == 0xFFFF:
            start = pos + header_size
            yield type_id, name_id, data[start:start + data_size]
        pos += (header_size + data_size + 3) // 4 * 4


def check_strings(res_path):
    found = {}
    for kind, block, payload in resources(open(res_path, "rb").read()):
        if kind != RT_STRING:
            continue
        pos = 0
        for slot in range(16):
            (length,) = struct.unpack_from("<H", payload, pos)
            text = payload[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
            pos += 2 + 2 * length
            if length:
                found[(block - 1) * 16 + slot] = text
    expect(f"{res_path} string ids", sorted(found), sorted(STRINGS))
    for string_id, text in STRINGS.items():
        expect(f"{res_path} string {string_id}", found.get(string_id), text)


def main(directory, res_path):
    for name, width, height in FACES:
        check_face(f"{directory}/{name}", width, height)
    check_icon(f"{directory}/kelvra.ico")
    check_strings(res_path)
    for problem in problems:
        print(problem)
    if problems:
        sys.exit(1)
    print(f"{len(FACES)} face bitmaps, the icon and {len(STRINGS)} strings are as expected")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
