#!/usr/bin/env python3
"""Writes quillorn.ico (the executables' and the installer's icon) from the PNG icons in
dist/icons, one PNG-compressed image a size, as Windows reads icons since Vista.
Run again after the PNG icons change: python3 dist/windows/make-icon.py"""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
icons = here.parent / "icons" / "hicolor"
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [(icons / f"{s}x{s}" / "apps" / "io.github.quillorn.Quillorn.png").read_bytes() for s in sizes]

header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries = b""
for size, png in zip(sizes, images):
    side = 0 if size == 256 else size  # 0 stands for 256
    entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
(here / "quillorn.ico").write_bytes(header + entries + b"".join(images))
