"""Writes the same small drawing with ezdxf in several releases, for the viewer's reader.

usage: ezdxf_drawings.py OUTPUT_FOLDER

Files: R12.dxf, R2000.dxf, R2004.dxf, R2010.dxf (ezdxf's default code page, which spells
Japanese as \\U+ escapes before release 2007), and R2000-932.dxf, R2004-932.dxf in CP932.
"""
import math
import os
import sys

import ezdxf


def drawing(version, encoding=None):
    doc = ezdxf.new(version)
    if encoding:
        doc.encoding = encoding
    doc.layers.add("Red", color=1)
    doc.layers.add("地図", color=3)
    mark = doc.blocks.new("Mark")
    mark.add_line((0, 0), (1, 0))
    mark.add_circle((0, 0), 0.5)
    outer = doc.blocks.new("Outer")
    outer.add_blockref("Mark", (2, 0))

    msp = doc.modelspace()
    msp.add_line((0, 0, 0), (10, 5, 0), dxfattribs={"layer": "Red"})
    msp.add_circle((5, 5), 2, dxfattribs={"layer": "地図"})
    msp.add_arc((0, 0), 3, 0, 90)
    msp.add_text("地図 Map", dxfattribs={"height": 2.5, "insert": (1, 2), "rotation": 30})
    msp.add_point((7, 8, 9), dxfattribs={"color": 5})
    msp.add_3dface([(0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)])
    msp.add_solid([(0, 0), (1, 0), (0, 1), (1, 1)])
    msp.add_blockref("Outer", (20, 10), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 90, "color": 6})
    if version == "R12":
        msp.add_polyline2d([(0, 0), (4, 0), (4, 4)], close=True)
    else:
        msp.add_lwpolyline([(0, 0), (4, 0), (4, 4)], close=True)
        msp.add_mtext("{\\fArial|b0|i0;地図}", dxfattribs={"char_height": 1.5, "insert": (0, 20)})
        msp.add_ellipse((0, 0), major_axis=(4, 0), ratio=0.5, start_param=0, end_param=math.pi)
        hatch = msp.add_hatch(color=2)
        path = hatch.paths.add_edge_path()
        path.add_line((0, 0), (10, 0))
        path.add_line((10, 0), (10, 10))
        path.add_line((10, 10), (0, 0))
        msp.add_open_spline([(0, 0), (1, 2), (3, 2), (4, 0)])
    if version >= "R2004":
        line = msp.add_line((0, 0), (1, 1))
        line.dxf.color = 1
        line.rgb = (0x10, 0x20, 0x30)
    return doc


def main():
    out = sys.argv[1]
    for version in ("R12", "R2000", "R2004", "R2010"):
        drawing(version).saveas(os.path.join(out, version + ".dxf"))
    for version in ("R2000", "R2004"):
        drawing(version, "cp932").saveas(os.path.join(out, version + "-932.dxf"))


main()
