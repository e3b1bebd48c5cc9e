#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/ (run once; the
files are committed). Seeds are small well-formed inputs of every layout each target knows,
plus a few hostile ones, so the fuzzer starts from deep inside the parsers."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- texture_load: BMP files -------------------------------------------------------------

def pixel(x, y):
    return ((x * 37 + 11) & 0xFF, (y * 53 + 29) & 0xFF, (x * 7 + y * 19 + 3) & 0xFF, (x * 41 + y * 23 + 64) & 0xFF)


def bmp(width, height, bits, info_size=40, bitfields=False, colours_used=0, top_down=False, masks=None):
    rows = abs(height)
    palette = b""
    if bits <= 8:
        n = colours_used or (1 << bits)
        palette = b"".join(struct.pack("<BBBB", (i * 40) & 255, (i * 90) & 255, (i * 150) & 255, 0) for i in range(n))
    masks = masks or ((0x7C00, 0x03E0, 0x001F, 0) if bits == 16 else (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000))
    compression = 3 if bitfields else 0
    extra = b""
    if bitfields and info_size == 40:
        extra = struct.pack("<III", *masks[:3])
    data_offset = 14 + info_size + len(extra) + len(palette)
    row_bytes = (width * bits + 31) // 32 * 4
    body = bytearray()
    for r in range(rows):
        y = r if top_down else rows - 1 - r
        row = bytearray()
        if bits >= 16:
            for x in range(width):
                b, g, rr, a = pixel(x, y)
                if bits == 16:
                    row += struct.pack("<H", ((rr >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
                elif bits == 24:
                    row += bytes((b, g, rr))
                else:
                    row += bytes((b, g, rr, a))
        else:
            acc, nbits = 0, 0
            for x in range(width):
                acc = (acc << bits) | ((x + y) % (colours_used or (1 << bits)))
                nbits += bits
                if nbits == 8:
                    row.append(acc)
                    acc, nbits = 0, 0
            if nbits:
                row.append(acc << (8 - nbits))
        row += bytes(row_bytes - len(row))
        body += row
    info = struct.pack("<IiiHHIIiiII", info_size, width, -rows if top_down else rows, 1, bits, compression,
                       len(body), 2835, 2835, colours_used, 0)
    if info_size > 40:
        tail = struct.pack("<IIII", *masks) + b"sRGB" + bytes(36) + bytes(12)
        if info_size == 124:
            tail += bytes(16)
        info += tail[: info_size - 40]
    size = data_offset + len(body)
    return struct.pack("<2sIHHI", b"BM", size, 0, 0, data_offset) + info + extra + palette + bytes(body)


def texture_seeds():
    write("texture_load", "rgb24_5x3", bmp(5, 3, 24))
    write("texture_load", "rgb24_top_down_4x2", bmp(4, 2, 24, top_down=True))
    write("texture_load", "argb32_3x3", bmp(3, 3, 32))
    write("texture_load", "argb32_v4_bitfields", bmp(3, 2, 32, info_size=108, bitfields=True))
    write("texture_load", "argb32_v5_bitfields", bmp(2, 2, 32, info_size=124, bitfields=True))
    write("texture_load", "bitfields_after_info", bmp(3, 2, 32, bitfields=True))
    write("texture_load", "rgb16_555_5x2", bmp(5, 2, 16))
    write("texture_load", "rgb16_565_bitfields", bmp(3, 3, 16, bitfields=True, masks=(0xF800, 0x07E0, 0x001F, 0)))
    write("texture_load", "pal8_7x2", bmp(7, 2, 8, colours_used=12))
    write("texture_load", "pal4_9x3", bmp(9, 3, 4))
    write("texture_load", "pal1_13x2", bmp(13, 2, 1))
    whole = bmp(6, 4, 24)
    write("texture_load", "cut_in_rows", whole[:-7])
    write("texture_load", "cut_in_header", whole[:30])
    huge = bytearray(bmp(2, 2, 24))
    struct.pack_into("<ii", huge, 18, 100000, 100000)
    write("texture_load", "huge_declared", bytes(huge))
    zero = bytearray(bmp(2, 2, 24))
    struct.pack_into("<i", zero, 22, 0)
    write("texture_load", "zero_height", bytes(zero))
    rle = bytearray(bmp(4, 2, 8))
    struct.pack_into("<I", rle, 30, 1)
    write("texture_load", "rle8_refused", bytes(rle))


# ---- raster: selector byte and three corners of 16 floats ----------------------------------

def corner(x, y, z, w, colour=(1.0, 0.5, 0.25, 0.5), normal=(0.0, 0.0, -1.0, 0.0), uv=(0.0, 0.0)):
    return struct.pack("<16f", x, y, z, w, *colour, *normal, uv[0], uv[1], 0.0, 0.0)


def raster_seeds():
    inside = corner(-0.8, -0.7, 0.1, 1.0, uv=(0, 0)) + corner(0.9, -0.6, 0.2, 1.0, uv=(1, 0)) + \
        corner(0.1, 0.8, 0.3, 1.0, uv=(0.5, 1))
    crossing = corner(-2.0, -0.5, 0.0, 1.0) + corner(1.5, -1.5, 0.5, 2.0) + corner(0.0, 3.0, -0.5, 1.0)
    behind = corner(-0.5, -0.5, 0.5, 1.0) + corner(0.5, -0.5, 0.5, -1.0) + corner(0.0, 0.5, 0.5, 0.0)
    nonfinite = corner(math.nan, 0.0, 0.0, 1.0) + corner(math.inf, -math.inf, 0.0, 1.0) + \
        corner(0.5, 0.5, math.nan, 1e-30, colour=(math.nan, 2.0, -1.0, math.inf), uv=(1e30, -math.inf))
    huge = corner(-3e38, -3e38, 0.0, 1.0) + corner(3e38, 0.0, 0.0, 1.0) + corner(0.0, 3e38, 0.0, 1.0)
    flat = corner(-0.5, 0.2, 0.0, 1.0) + corner(0.5, 0.2, 0.0, 1.0) + corner(0.0, 0.2, 0.0, 1.0)
    for name, corners in (("inside", inside), ("crossing", crossing), ("behind_camera", behind),
                          ("non_finite", nonfinite), ("huge", huge), ("flat", flat)):
        write("raster", name + "_all_modes", bytes([0x18]) + corners)
        write("raster", name + "_pipeline_textured", bytes([0x01]) + corners)
        write("raster", name + "_clip_culled", bytes([0x0C]) + corners)
        write("raster", name + "_inside_wireframe", bytes([0x12]) + corners)
        if name in ("inside", "crossing", "non_finite", "huge"):
            # Every picture-option preset (bits 5..7), through all three entries and flag sets.
            for preset in range(1, 8):
                write("raster", name + "_preset%d_all_modes" % preset, bytes([0x18 | preset << 5]) + corners)
    # After the corners: the span path (0 portable, 1 SSE2, 2 AVX2, 3 AVX-512), then the
    # screen's width - 1 and height - 1: wide rows, so the span loops run their long stretches.
    for path, path_name in enumerate(("portable", "sse2", "avx2", "avx512")):
        for name, corners in (("inside", inside), ("crossing", crossing)):
            write("raster", f"{name}_256x64_{path_name}_all_modes", bytes([0x18]) + corners + bytes([path, 255, 63]))
            write("raster", f"{name}_24x5_{path_name}_textured", bytes([0x01]) + corners + bytes([path, 23, 4]))


# ---- model_gltf: nesting around the depth limit (512), in extras as exporters leave them ----

def gltf_seeds():
    triangle = ('"meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "buffers": [{"byteLength": 36, '
                '"uri": "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}], '
                '"bufferViews": [{"buffer": 0, "byteLength": 36}], '
                '"accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}]')
    for depth in (510, 513, 4000):
        extras = "[" * depth + "]" * depth
        write("model_gltf", f"nested_extras_{depth}",
              ('{"asset": {"version": "2.0"}, "extras": ' + extras + ", " + triangle + "}").encode())


# ---- formatted_print: format bytes, then the integers FuzzedDataProvider takes from the end --

def print_input(fmt, values, width=40, height=24, row=1, column=1):
    taken = bytearray()  # in the order the target consumes them; stored reversed at the end
    taken.append(width - 1)
    taken.append(height - 1)
    for v in (row, column):
        taken += struct.pack(">I", (v + 2**31) & 0xFFFFFFFF)
    taken.append(len(values))
    for v in values:
        if isinstance(v, float):
            taken.append(1)
            taken += struct.pack(">Q", struct.unpack("<Q", struct.pack("<d", v))[0])
        else:
            taken.append(0)
            taken += struct.pack(">Q", v)
    return fmt.encode("latin-1") + bytes(reversed(taken))


def print_seeds():
    overlay = "######## Frames / ###.## FPS / ####.###### ms per Frame / #### Tiangles / ######## Pixels"
    write("formatted_print", "overlay", print_input(overlay, [1234, 59.94, 16.683350, 12, 98765]))
    write("formatted_print", "overlay_overflow", print_input(overlay, [2**64 - 1, 1e300, -0.0000004, 10**7, 0]))
    write("formatted_print", "non_finite", print_input("[###] [#] [####.#] [##]", [math.inf, math.nan, -math.inf, 0.5]))
    write("formatted_print", "ties", print_input("#.# #.## ##.# ###", [0.25, 2.675, -0.05, 2.5]))
    write("formatted_print", "dots", print_input("#..# .#. ##.##.## #.", [1.5, 7, 3.25, 12.5, 9]))
    write("formatted_print", "few_values", print_input("a # b ## c ###", [3]))
    write("formatted_print", "corner_cursor", print_input("##.#\nx\t\x7f\xff", [99.95], width=9, height=5,
                                                            row=-7, column=2**31 - 1))
    write("formatted_print", "wide_decimals", print_input("#." + "#" * 40, [1.0 / 3.0]))


if __name__ == "__main__":
    texture_seeds()
    raster_seeds()
    print_seeds()
    gltf_seeds()
