#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/: the built-in pictures and small
crafted files (truncated, wrong CRC, bad Huffman tables, palette out of range, 16-bit,
interlaced, zero and absurd sizes). JPEG, GIF, TIFF and WebP samples come from
ImageMagick's convert.
Run again after changing it; the outputs are kept in the repository."""
import os
import shutil
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")
CONVERT = "/usr/bin/convert"


def out(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- PNG ----

def chunk(kind, body):
    crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def png(width, height, depth, colour, rows, interlace=0, extra=b"", idat=None):
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    data = idat if idat is not None else zlib.compress(rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", data) +
            chunk(b"IEND", b""))


CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def raw_rows(width, height, depth, colour, seed=7):
    row_bytes = (width * CHANNELS[colour] * depth + 7) // 8
    value, rows = seed, b""
    for _ in range(height):
        line = bytearray()
        for _ in range(row_bytes):
            value = (value * 1103515245 + 12345) & 0x7FFFFFFF
            line.append(value >> 16 & 0xFF)
        if colour == 3:  # keep indices inside a 4-entry palette
            line = bytearray(b & (0x33 if depth == 2 else 0x03 if depth == 8 else b) for b in line)
        rows += b"\x00" + bytes(line)
    return rows


def png_seeds():
    for name in ("BALL", "BALL1", "BALL2", "MASK1"):
        with open(os.path.join(ROOT, "resources", name + ".png"), "rb") as f:
            out("fuzz_png", name + ".png", f.read())
    palette = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9]))
    for colour, depths in {0: (1, 2, 4, 8, 16), 2: (8, 16), 3: (1, 2, 4, 8), 4: (8, 16),
                           6: (8, 16)}.items():
        for depth in depths:
            extra = palette if colour == 3 else b""
            out("fuzz_png", f"type{colour}-{depth}bit.png",
                png(5, 3, depth, colour, raw_rows(5, 3, depth, colour), extra=extra))
    # Interlaced: seven passes of a 9 x 9 RGBA picture, each row with its filter byte.
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
              (0, 1, 1, 2)]
    rows = b""
    for x0, y0, dx, dy in passes:
        w, h = len(range(x0, 9, dx)), len(range(y0, 9, dy))
        if w and h:
            rows += raw_rows(w, h, 8, 6, seed=x0 + 3 * y0)
    out("fuzz_png", "interlaced-rgba.png", png(9, 9, 8, 6, rows, interlace=1))
    trns = chunk(b"tRNS", bytes([0, 128]))
    out("fuzz_png", "palette-trns.png",
        png(5, 3, 8, 3, raw_rows(5, 3, 8, 3), extra=palette + trns))
    # An index far beyond the four palette entries.
    out("fuzz_png", "palette-index-out-of-range.png",
        png(4, 2, 8, 3, b"\x00\x00\x01\xc8\xff\x00\x03\x02\x01\x00", extra=palette))
    good = png(5, 3, 8, 6, raw_rows(5, 3, 8, 6))
    out("fuzz_png", "truncated.png", good[: len(good) - 30])
    bad_crc = bytearray(good)
    bad_crc[29] ^= 0xFF  # the IHDR CRC
    out("fuzz_png", "wrong-crc.png", bytes(bad_crc))
    out("fuzz_png", "header-100000x100000.png", png(100000, 100000, 8, 6, b"", idat=b""))
    out("fuzz_png", "zero-width.png", png(0, 4, 8, 2, b"\x00" * 4))
    out("fuzz_png", "bad-zlib.png", png(5, 3, 8, 2, b"", idat=b"\x78\x9c\xff\xff\xff\x00"))
    # 16000 x 16000 one-bit grey: a few kilobytes that would inflate to 1 GiB of RGBA.
    side = 16000
    bomb = zlib.compress(b"\x00" * (side * (1 + side // 8)), 9)
    out("fuzz_png", "inflates-to-1gib.png", png(side, side, 1, 0, b"", idat=bomb))


# ---- JPEG ----

def convert_jpeg(name, size, *options, colours="gradient:red-blue"):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "out.jpg")
        subprocess.run([CONVERT, "-size", size, colours, *options, path], check=True)
        with open(path, "rb") as f:
            data = f.read()
    out("fuzz_jpeg", name, data)
    return data


def set_frame_size(data, width, height):
    data = bytearray(data)
    i = 2
    while i < len(data) - 9:
        marker = data[i + 1]
        length = data[i + 2] << 8 | data[i + 3]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        i += 2 + length
    raise ValueError("no frame header")


def marker_offset(data, marker):
    return bytes(data).index(bytes([0xFF, marker]))


def jpeg_seeds():
    with open(os.path.join(ROOT, "resources", "BACK.jpg"), "rb") as f:
        out("fuzz_jpeg", "BACK.jpg", f.read())
    base = convert_jpeg("baseline-24x16.jpg", "24x16", "-quality", "60")
    convert_jpeg("progressive.jpg", "20x20", "-interlace", "JPEG")
    convert_jpeg("grey.jpg", "16x8", "-colorspace", "Gray")
    convert_jpeg("cmyk.jpg", "8x8", "-colorspace", "CMYK")
    convert_jpeg("subsampled-420.jpg", "33x17", "-sampling-factor", "2x2")
    convert_jpeg("restart-intervals.jpg", "32x32", "-define", "jpeg:restart-interval=1")
    convert_jpeg("arithmetic.jpg", "16x16", "-define", "jpeg:arithmetic-coding=true")
    out("fuzz_jpeg", "truncated.jpg", base[: len(base) // 2])
    out("fuzz_jpeg", "frame-65500x65500.jpg", set_frame_size(base, 65500, 65500))
    out("fuzz_jpeg", "frame-zero-height.jpg", set_frame_size(base, 24, 0))
    out("fuzz_jpeg", "frame-8000x6000.jpg", set_frame_size(base, 8000, 6000))
    # Huffman tables whose code counts claim more codes than exist.
    bad = bytearray(base)
    dht = marker_offset(bad, 0xC4)
    for k in range(16):
        bad[dht + 5 + k] = 0xFF
    out("fuzz_jpeg", "bad-huffman-counts.jpg", bytes(bad))
    bad = bytearray(base)
    sos = marker_offset(bad, 0xDA)
    for k in range(sos + 14, min(sos + 60, len(bad) - 2)):
        bad[k] ^= 0xA5
    out("fuzz_jpeg", "corrupt-entropy-data.jpg", bytes(bad))
    no_tables = bytearray(base)
    dqt = marker_offset(no_tables, 0xDB)
    no_tables[dqt + 1] = 0xFE  # the quantisation table becomes a comment-like APP14
    out("fuzz_jpeg", "no-quantisation-table.jpg", bytes(no_tables))


# ---- BMP ----

def bmp(width, height, bits, pixels, compression=0, header=40, colours=0, palette=b"",
        masks=b"", offset=None):
    info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, len(pixels),
                       2835, 2835, colours, 0)
    info += masks
    info += b"\x00" * (header - len(info)) if header > len(info) else b""
    info = info[:max(header, 40)] if header >= 40 else info
    start = 14 + len(info) + len(palette)
    if offset is None:
        offset = start
    body = info + palette + b"\x00" * max(0, min(offset - start, 256)) + pixels
    return struct.pack("<HIHHI", 0x4D42, 14 + len(body), 0, 0, offset) + body


def rows(width, height, bits, value=0x5A):
    row = ((width * bits + 31) // 32) * 4
    return bytes((value + i * 37) & 0xFF for i in range(row * height))


def bmp_seeds():
    out("fuzz_bmp", "rgb24.bmp", bmp(3, 2, 24, rows(3, 2, 24)))
    out("fuzz_bmp", "rgb24-top-down.bmp", bmp(3, -2, 24, rows(3, 2, 24)))
    out("fuzz_bmp", "rgb32.bmp", bmp(2, 2, 32, rows(2, 2, 32)))
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    out("fuzz_bmp", "bitfields32-v5.bmp",
        bmp(2, 2, 32, rows(2, 2, 32), compression=3, header=124, masks=masks))
    out("fuzz_bmp", "bitfields32.bmp",
        bmp(2, 2, 32, rows(2, 2, 32), compression=3, masks=masks[:12]))
    grey = b"".join(bytes([i, i, i, 0]) for i in range(0, 256, 64))
    out("fuzz_bmp", "palette8.bmp", bmp(4, 2, 8, bytes([0, 1, 2, 3, 0, 0, 0, 0, 3, 2, 1, 0, 0, 0, 0, 0]),
                                       colours=4, palette=grey))
    out("fuzz_bmp", "palette8-index-out-of-range.bmp",
        bmp(4, 1, 8, bytes([0, 1, 200, 255]), colours=2, palette=grey[:8]))
    out("fuzz_bmp", "palette4.bmp", bmp(5, 2, 4, rows(5, 2, 4), colours=4, palette=grey))
    out("fuzz_bmp", "palette1.bmp", bmp(9, 3, 1, rows(9, 3, 1), palette=grey[:8]))
    out("fuzz_bmp", "rle8.bmp", bmp(4, 1, 8, b"\x04\x01\x00\x01", compression=1, palette=grey))
    out("fuzz_bmp", "height-huge.bmp", bmp(3, 100000000, 24, rows(3, 1, 24)))
    out("fuzz_bmp", "height-most-negative.bmp", bmp(3, -2147483648, 24, rows(3, 1, 24)))
    out("fuzz_bmp", "width-zero.bmp", bmp(0, 2, 24, b""))
    out("fuzz_bmp", "offset-beyond-end.bmp", bmp(3, 2, 24, rows(3, 2, 24), offset=0xFFFFFFF0)[:80])
    whole = bmp(3, 2, 24, rows(3, 2, 24))
    out("fuzz_bmp", "truncated.bmp", whole[:len(whole) - 5])
    out("fuzz_bmp", "os2-header.bmp", struct.pack("<HIHHIIHHHH", 0x4D42, 30, 0, 0, 26, 12, 1, 1, 1, 24)
        + b"\x00\x00\x00\x00")


# ---- GIF, TIFF, WebP ----

def convert_to(target, name, *arguments):
    """Runs convert with the arguments and the output path last; keeps and returns the file."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, name)
        subprocess.run([CONVERT, *arguments, path], check=True)
        with open(path, "rb") as f:
            data = f.read()
    out(target, name, data)
    return data


def gif_seeds():
    base = convert_to("fuzz_gif", "palette-16x8.gif", "-size", "16x8", "gradient:red-blue")
    convert_to("fuzz_gif", "interlaced.gif", "-size", "16x16", "gradient:", "-interlace", "GIF")
    convert_to("fuzz_gif", "transparent-index.gif", "-size", "8x8", "xc:red", "-fill", "blue",
               "-draw", "rectangle 2,2,5,5", "-transparent", "blue")
    convert_to("fuzz_gif", "frame-smaller-than-screen.gif", "-size", "4x4", "xc:green",
               "-repage", "16x16+3+5")
    convert_to("fuzz_gif", "animation.gif", "-delay", "10", "-size", "8x8", "xc:red", "xc:blue")
    # Header 6, screen 7, then the global table (its size in the screen's flags).
    table = 3 * (2 << (base[10] & 7)) if base[10] & 0x80 else 0
    frame = base.index(b",", 13 + table)
    out("fuzz_gif", "screen-20000x20000.gif", base[:6] + struct.pack("<HH", 20000, 20000) + base[10:])
    out("fuzz_gif", "frame-20000x20000.gif",
        base[:frame + 5] + struct.pack("<HH", 20000, 20000) + base[frame + 9:])
    out("fuzz_gif", "no-frame.gif", base[:13 + table] + b";")
    out("fuzz_gif", "truncated.gif", base[:len(base) // 2])


def tiff_seeds():
    picture = ["-size", "16x8", "gradient:red-blue"]
    for compression, name in (("None", "none"), ("LZW", "lzw"), ("Zip", "deflate"),
                              ("RLE", "packbits"), ("JPEG", "jpeg")):
        convert_to("fuzz_tiff", f"rgb-{name}.tif", *picture, "-compress", compression)
    convert_to("fuzz_tiff", "grey.tif", *picture, "-colorspace", "Gray", "-compress", "LZW")
    convert_to("fuzz_tiff", "palette.tif", *picture, "-type", "Palette", "-compress", "None")
    convert_to("fuzz_tiff", "bilevel.tif", *picture, "-monochrome", "-compress", "None")
    convert_to("fuzz_tiff", "cmyk.tif", *picture, "-colorspace", "CMYK", "-compress", "None")
    convert_to("fuzz_tiff", "sixteen-bit.tif", *picture, "-depth", "16", "-compress", "Zip")
    convert_to("fuzz_tiff", "big-endian.tif", *picture, "-endian", "MSB", "-compress", "LZW")
    # Tiles of 16 x 16, cut at the right and the bottom.
    convert_to("fuzz_tiff", "tiled.tif", "-size", "20x12", "gradient:red-blue", "-define",
               "tiff:tile-geometry=16x16", "-compress", "LZW")
    convert_to("fuzz_tiff", "orientation-6.tif", *picture, "-orient", "RightTop")
    for kind in ("associated", "unassociated"):
        convert_to("fuzz_tiff", f"alpha-{kind}.tif", *picture, "-alpha", "set", "-channel", "A",
                   "-evaluate", "set", "50%", "+channel", "-define", f"tiff:alpha={kind}",
                   "-compress", "None")
    base = convert_to("fuzz_tiff", "two-pages.tif", "-size", "8x8", "xc:red", "xc:blue",
                      "-compress", "None")
    out("fuzz_tiff", "truncated.tif", base[:len(base) // 2])
    out("fuzz_tiff", "sides-20000x20000.tif", tiff_with_sides(base, 20000, 20000))


def tiff_with_sides(data, width, height):
    """A little-endian TIFF whose first directory claims other sides."""
    data = bytearray(data)
    ifd = struct.unpack_from("<I", data, 4)[0]
    for i in range(struct.unpack_from("<H", data, ifd)[0]):
        entry = ifd + 2 + 12 * i
        tag, kind = struct.unpack_from("<HH", data, entry)
        if tag in (256, 257):
            value = width if tag == 256 else height
            if kind == 3:
                struct.pack_into("<H", data, entry + 8, min(value, 0xFFFF))
            else:
                struct.pack_into("<I", data, entry + 8, value)
    return bytes(data)


def riff(chunks):
    body = b"WEBP" + b"".join(kind + struct.pack("<I", len(c)) + c + (b"\0" if len(c) % 2 else b"")
                              for kind, c in chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def webp_chunks(data):
    chunks, at = [], 12
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        chunks.append((kind, data[at + 8:at + 8 + size]))
        at += 8 + size + size % 2
    return chunks


def webp_seeds():
    picture = ["-size", "16x8", "gradient:red-blue"]
    lossless = convert_to("fuzz_webp", "lossless.webp", *picture, "-define", "webp:lossless=true")
    lossy = convert_to("fuzz_webp", "lossy.webp", *picture, "-quality", "80")
    convert_to("fuzz_webp", "lossy-alpha.webp", *picture, "-alpha", "set", "-channel", "A",
               "-evaluate", "set", "50%", "+channel", "-quality", "80")
    convert_to("fuzz_webp", "lossless-alpha.webp", *picture, "-alpha", "set", "-channel", "A",
               "-evaluate", "set", "50%", "+channel", "-define", "webp:lossless=true")
    convert_to("fuzz_webp", "animation.webp", "-delay", "10", "-size", "8x8", "xc:red", "xc:blue",
               "-define", "webp:lossless=true")
    # An extended file with an Exif chunk holding orientation 6 (flags: Exif present).
    exif = (b"Exif\0\0II*\0" + struct.pack("<IHHHIHH", 8, 1, 0x0112, 3, 1, 6, 0) +
            b"\0\0\0\0")
    vp8x = struct.pack("<I", 0x08)[:4] + struct.pack("<I", 15)[:3] + struct.pack("<I", 7)[:3]
    out("fuzz_webp", "exif-orientation-6.webp", riff([(b"VP8X", vp8x)] + webp_chunks(lossy) +
                                                     [(b"EXIF", exif)]))
    header = bytes([0x2F]) + struct.pack("<I", (16383 - 1) | (16383 - 1) << 14) + b"\0" * 16
    out("fuzz_webp", "lossless-16383x16383.webp", riff([(b"VP8L", header)]))
    out("fuzz_webp", "truncated.webp", lossless[:len(lossless) // 2])


def picture_file_seeds():
    # The first byte picks the extension (see fuzz_picture_file.cpp).
    picks = {"bmp": 0, "dib": 1, "jpg": 2, "jpeg": 3, "png": 6, "gif": 8, "tif": 9, "none": 10,
             "png.bmp": 11, "TIFF": 12, "webp": 13, "ico": 14}
    take = lambda target, name: open(os.path.join(CORPUS, target, name), "rb").read()
    out("fuzz_picture_file", "as-bmp", bytes([picks["bmp"]]) + take("fuzz_bmp", "rgb24.bmp"))
    out("fuzz_picture_file", "as-dib", bytes([picks["dib"]]) + take("fuzz_bmp", "palette4.bmp"))
    out("fuzz_picture_file", "as-jpg",
        bytes([picks["jpg"]]) + take("fuzz_jpeg", "baseline-24x16.jpg"))
    out("fuzz_picture_file", "as-jpeg", bytes([picks["jpeg"]]) + take("fuzz_jpeg", "grey.jpg"))
    out("fuzz_picture_file", "as-png", bytes([picks["png"]]) + take("fuzz_png", "type6-8bit.png"))
    out("fuzz_picture_file", "gif-extension", bytes([picks["gif"]]) + b"GIF89a\x01\x00\x01\x00")
    out("fuzz_picture_file", "no-extension", bytes([picks["none"]]) + take("fuzz_bmp", "rgb24.bmp"))
    out("fuzz_picture_file", "bmp-named-png",
        bytes([picks["png.bmp"]]) + take("fuzz_png", "type2-8bit.png"))
    out("fuzz_picture_file", "empty-png", bytes([picks["png"]]))
    out("fuzz_picture_file", "as-gif",
        bytes([picks["gif"]]) + take("fuzz_gif", "transparent-index.gif"))
    out("fuzz_picture_file", "as-tif", bytes([picks["tif"]]) + take("fuzz_tiff", "rgb-lzw.tif"))
    out("fuzz_picture_file", "as-TIFF",
        bytes([picks["TIFF"]]) + take("fuzz_tiff", "alpha-associated.tif"))
    out("fuzz_picture_file", "as-webp", bytes([picks["webp"]]) + take("fuzz_webp", "lossy.webp"))
    out("fuzz_picture_file", "png-named-jpg",
        bytes([picks["jpg"]]) + take("fuzz_png", "type6-8bit.png"))
    out("fuzz_picture_file", "webp-named-gif",
        bytes([picks["gif"]]) + take("fuzz_webp", "lossless.webp"))
    out("fuzz_picture_file", "as-ico", bytes([picks["ico"]]) + take("fuzz_bmp", "rgb24.bmp"))


def comma_text_seeds():
    for name, text in {
        "two-names": b"a.png,b.jpg",
        "blank-separated": b"a.png b.jpg",
        "trailing-comma": b"one.png,",
        "empty-item": b'""',
        "quoted-blank": b'"C:\\My Pictures\\sun set.png",x.bmp',
        "doubled-quotes": b'"say ""hi""",plain',
        "unterminated-quote": b'"open, never closed',
        "control-and-high": b"\x01\x02 a\tb,\xe9t\xe9,\x7f",
        "nul-inside": b"first,se\x00cond",
        "only-commas": b",,,",
    }.items():
        out("fuzz_comma_text", name, text)


def settings_seeds():
    def record(name, kind, data, flags=0):
        return bytes([name, kind, flags, len(data)]) + data

    dword = lambda v: struct.pack("<i", v)
    sz = lambda s: s + b"\x00"
    # Name and type selectors index the tables in fuzz_settings.cpp.
    out("fuzz_settings", "every-value-well-typed", b"\x00" + b"".join([
        record(0, 4, dword(3)), record(1, 1, sz(b"C:\\back.jpg")), record(2, 1, sz(b"a.png,b.png")),
        record(3, 4, dword(0)), record(4, 4, dword(42)), record(5, 4, dword(1)),
        record(6, 4, dword(15)), record(7, 1, sz(b"GDI+"))]))
    out("fuzz_settings", "string-where-number", b"\x00" + record(4, 1, sz(b"10")))
    out("fuzz_settings", "number-where-string", b"\x00" + record(1, 4, dword(7)))
    out("fuzz_settings", "binary-multi-qword", b"\x00" + record(0, 3, b"\x01\x02") +
        record(2, 7, b"a\x00b\x00\x00") + record(6, 8, b"\x01" * 8))
    out("fuzz_settings", "short-dwords", b"\x00" + record(3, 4, b"") + record(5, 4, b"\x01\x00"))
    out("fuzz_settings", "failing-query", b"\x00" + record(7, 1, sz(b"Directx 7.0"), flags=1))
    out("fuzz_settings", "key-unavailable", b"\x01" + record(4, 4, dword(5)))
    out("fuzz_settings", "out-of-range", b"\x00" + record(4, 4, dword(-5)) +
        record(6, 4, dword(2147483647)) + record(0, 4, dword(7)))


if __name__ == "__main__":
    shutil.rmtree(CORPUS, ignore_errors=True)
    png_seeds()
    jpeg_seeds()
    bmp_seeds()
    gif_seeds()
    tiff_seeds()
    webp_seeds()
    picture_file_seeds()
    comma_text_seeds()
    settings_seeds()
    for target in sorted(os.listdir(CORPUS)):
        print(target, len(os.listdir(os.path.join(CORPUS, target))))
