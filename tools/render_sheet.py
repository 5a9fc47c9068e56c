#!/usr/bin/env python3
"""Renders a DXF sheet to PNG with an independent reader (ezdxf + matplotlib), to look at.

Usage: render_sheet.py FILE.dxf OUT.png [--page | --model [--around-sheet K] | --layout NAME]
  --page          the printed page: the paper-space entities, and the drawing seen through
                  the sheet viewport (handle 1B) placed and clipped where it lies on the page
  --model         the drawing; --around-sheet K shows K times the sheet border (handle 19)
  --layout NAME   a layout as ezdxf draws it
Without a choice, --page.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
from matplotlib import font_manager

# The fonts the sheets name are Windows fonts; what is missing falls back to a CJK font.
font_manager.fontManager.defaultFamily["ttf"] = "Noto Sans CJK JP"
from matplotlib.patches import Rectangle
import ezdxf
from ezdxf.addons.drawing import Frontend, RenderContext
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
from ezdxf.addons.drawing.properties import LayoutProperties


def draw(doc, space, ax, keep=lambda e: True, background=None):
    # ezdxf draws colour 7 in the contrast of the background it assumes (dark for the model
    # space); on paper it must be black, or black items vanish on the white page.
    props = LayoutProperties.from_layout(space)
    if background:
        props.set_colors(background)
    Frontend(RenderContext(doc), MatplotlibBackend(ax)).draw_layout(
        space, finalize=False, filter_func=keep, layout_properties=props)


def page(doc, out):
    paper = next(doc.layouts.get(n) for n in doc.layouts.names_in_taborder() if n != "Model")
    vp = doc.entitydb.get("1B")
    cx, cy, w, h = vp.dxf.center.x, vp.dxf.center.y, vp.dxf.width, vp.dxf.height
    mx, my, mh = vp.dxf.view_center_point.x, vp.dxf.view_center_point.y, vp.dxf.view_height
    scale = h / mh
    fig = plt.figure(figsize=(16, 11.3), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_facecolor("white")
    draw(doc, paper, ax, keep=lambda e: e.dxftype() != "VIEWPORT")
    # The drawing through the viewport: an inset axes over the viewport's rectangle.
    x0, y0 = cx - w / 2, cy - h / 2
    ax.autoscale()
    ax.add_patch(Rectangle((x0, y0), w, h, fill=False, lw=0.5, ec="grey"))
    xs, ys = ax.get_xlim(), ax.get_ylim()
    lo_x, hi_x = min(xs[0], x0), max(xs[1], x0 + w)
    lo_y, hi_y = min(ys[0], y0), max(ys[1], y0 + h)
    ax.set_xlim(lo_x, hi_x)
    ax.set_ylim(lo_y, hi_y)
    ax.set_aspect("equal")
    fig.canvas.draw()
    to_fig = ax.transData + fig.transFigure.inverted()
    (fx0, fy0), (fx1, fy1) = to_fig.transform([(x0, y0), (x0 + w, y0 + h)])
    inset = fig.add_axes([fx0, fy0, fx1 - fx0, fy1 - fy0])
    inset.set_facecolor("white")
    draw(doc, doc.modelspace(), inset, background="#ffffff")
    inset.set_xlim(mx - w / scale / 2, mx + w / scale / 2)
    inset.set_ylim(my - mh / 2, my + mh / 2)
    inset.set_axis_off()
    fig.savefig(out, dpi=100, facecolor="white")


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    doc = ezdxf.readfile(argv[1])
    if "--model" not in argv and "--layout" not in argv:
        page(doc, argv[2])
        return 0
    space = doc.modelspace() if "--model" in argv else doc.layouts.get(argv[argv.index("--layout") + 1])
    fig = plt.figure(figsize=(16, 11.3), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    draw(doc, space, ax)
    ax.autoscale()
    ax.set_aspect("equal")
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
