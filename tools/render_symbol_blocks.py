#!/usr/bin/env python3
"""Draws every block of the symbol library of a sheet DXF once, in a grid, to a PNG.

Usage: /usr/bin/python3 tools/render_symbol_blocks.py SHEET.dxf OUT.png [COLUMNS [FIRST [LAST]]]

The model space of the sheet is replaced in memory by one insert per symbol block (in the
order of the BLOCKS section; the space blocks and the mesh cells, which are sized by the
run and can be far larger than a symbol, are left out), each in a grey frame of 110 000
block units with its index in green; the file itself is not changed. FIRST and LAST select a
range of indices to look at a few blocks larger. Needs python3-ezdxf and
python3-matplotlib.
"""
import sys

import ezdxf
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend


def main(src, out, columns=8, first=0, last=None):
    doc = ezdxf.readfile(src)
    # ezdxf takes the family of a font it has not cached from the file name: name the
    # installed CJK family so that the Japanese texts of the school symbols show.
    for style in doc.styles:
        style.dxf.font = "Noto Sans CJK JP"
    cells = {"5M", "10M", "50M", "250M", "1500M"}
    names = [b.name for b in doc.blocks if not b.name.startswith("*") and b.name not in cells][first:last]
    msp = doc.modelspace()
    for e in list(msp):
        msp.delete_entity(e)
    step, half = 120000, 55000
    for k, name in enumerate(names):
        x, y = (k % columns) * step, -(k // columns) * step
        msp.add_blockref(name, (x, y))
        msp.add_lwpolyline([(x - half, y - half), (x + half, y - half), (x + half, y + half), (x - half, y + half)],
                           close=True, dxfattribs={"color": 8})
        msp.add_text(str(first + k), dxfattribs={"height": 7000, "color": 3}).set_placement((x - half + 2000, y - half + 2000))
    rows = (len(names) + columns - 1) // columns
    fig = plt.figure(figsize=(columns * 1.6, rows * 1.6))
    ax = fig.add_axes([0, 0, 1, 1])
    Frontend(RenderContext(doc), MatplotlibBackend(ax)).draw_layout(msp, finalize=True)
    fig.savefig(out, dpi=110, facecolor="black")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], *(int(v) for v in sys.argv[3:6]))
