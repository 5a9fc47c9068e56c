#!/usr/bin/env python3
"""Renders a DXF sheet to PNG with an independent reader (ezdxf + matplotlib), to look at.

Usage: render_sheet.py FILE.dxf OUT.png [--layout NAME | --model] [--no-viewports]
Without a choice, the first paper layout is drawn (what the sheet prints);
--no-viewports leaves the model seen through the viewports out, to look at the paper alone;
--around-sheet K shows K times the sheet border (handle 19) around its centre.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import ezdxf
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    doc = ezdxf.readfile(argv[1])
    if "--model" in argv:
        space = doc.modelspace()
    elif "--layout" in argv:
        space = doc.layouts.get(argv[argv.index("--layout") + 1])
    else:
        names = [n for n in doc.layouts.names_in_taborder() if n != "Model"]
        space = doc.layouts.get(names[0]) if names else doc.modelspace()
    fig = plt.figure(figsize=(16, 11.3), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    skip = "--no-viewports" in argv
    Frontend(ctx, MatplotlibBackend(ax)).draw_layout(
        space, finalize=True, filter_func=lambda e: not (skip and e.dxftype() == "VIEWPORT"))
    if "--around-sheet" in argv:
        k = float(argv[argv.index("--around-sheet") + 1])
        border = doc.entitydb.get("19")
        xs = [p[0] for p in border.get_points()]
        ys = [p[1] for p in border.get_points()]
        cx, cy = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
        half = k * max(max(xs) - min(xs), (max(ys) - min(ys)) * 16 / 11.3) / 2
        ax.set_xlim(cx - half, cx + half)
        ax.set_ylim(cy - half * 11.3 / 16, cy + half * 11.3 / 16)
    fig.savefig(argv[2], dpi=100)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
