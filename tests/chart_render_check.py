#!/usr/bin/env python3
"""Runs gaumo on the real-data folder with --chart, checks the SVG with
xmllint, renders it with rsvg-convert and checks the colour of known cells
in the rendered picture.

Usage: chart_render_check.py GAUMO DATA_DIR
"""
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

ALL = (0x1B, 0x78, 0x37)
NONE = (0xE0, 0xE0, 0xE0)
SOME_FEWEST = (0xDE, 0xEB, 0xF7)  # 1 to 61 days
SOME_SECOND = (0xC6, 0xDB, 0xEF)  # 62 to 122 days
PROVISIONAL = (0xF2, 0x8E, 0x2B)


def read_png(data):
    """Width, height and rows of RGB(A) tuples of an 8-bit RGB/RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, (depth, colour)
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, cur = line[0], bytearray(line[1:])
        for i in range(stride):
            a = cur[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                cur[i] = (cur[i] + a) & 255
            elif kind == 2:
                cur[i] = (cur[i] + b) & 255
            elif kind == 3:
                cur[i] = (cur[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                cur[i] = (cur[i] + pred) & 255
        rows.append(cur)
        prev = cur
    return width, height, channels, rows


def main():
    gaumo, data = str(Path(sys.argv[1]).resolve()), Path(sys.argv[2])
    missing = [t for t in ("xmllint", "rsvg-convert") if not shutil.which(t)]
    if missing:
        # ctest shows this as skipped (SKIP_RETURN_CODE).
        print("skipped: needs", " and ".join(missing),
              "(Debian: libxml2-utils, librsvg2-bin)")
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp) / "work"
        work.mkdir()
        for f in (data / "realdata").iterdir():
            if f.is_file():
                shutil.copy(f, work)
        run = subprocess.run([gaumo, "--natural-flows", "n", "--first-year", "1918",
                              "--last-year", "1920", "--chart", "chart.svg"],
                             cwd=work, stdin=subprocess.DEVNULL, capture_output=True)
        assert run.returncode == 0, run.stderr
        svg = (work / "chart.svg").read_text(encoding="utf-8")
        subprocess.run(["xmllint", "--noout", str(work / "chart.svg")], check=True)
        png = subprocess.run(["rsvg-convert", "-f", "png", str(work / "chart.svg")],
                             check=True, capture_output=True).stdout
        width, height, channels, rows = read_png(png)
        m = re.search(r'id="cells" transform="translate\((\d+),(\d+)\)" '
                      r'data-column-width="(\d+)" data-row-height="(\d+)"', svg)
        assert m, "no cell geometry in the chart"
        left, top, col, row = map(int, m.groups())

        def pixel(station, year, lower=False):
            x = left + (year - 1918) * col + col * 3 // 4
            y = top + (station - 1) * row + (row * 3 // 4 if lower else row // 4)
            return tuple(rows[y][x * channels:x * channels + 3])

        # (station, year, lower half, colour): the classes of flow_flag.txt,
        # the shade of the days of flow_recl.txt, and 05AA008's provisional
        # days of 1920 (a quarter of its 121 days) at the cell's lower left.
        checks = [
            (1, 1918, False, ALL, "05AA008 1918, 365 days"),
            (3, 1920, True, ALL, "08MF005 1920, every day"),
            (2, 1919, False, SOME_FEWEST, "05HD008 1919, 37 days"),
            (1, 1920, False, SOME_SECOND, "05AA008 1920, 121 days"),
            (4, 1919, False, NONE, "08NE102 1919, no day"),
            (5, 1918, True, NONE, "08NM083 1918, no day"),
            (1, 1920, True, SOME_SECOND, "05AA008 1920, lower right"),
        ]
        for station, year, lower, want, what in checks:
            got = pixel(station, year, lower)
            if got != want:
                failures.append(f"{what}: {got} instead of {want}")
        x = left + 2 * col + 2
        y = top + row * 3 // 4
        got = tuple(rows[y][x * channels:x * channels + 3])
        if got != PROVISIONAL:
            failures.append(f"05AA008 1920 provisional bar: {got}")
        print(f"chart {len(svg)} bytes, rendered {width} x {height}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
