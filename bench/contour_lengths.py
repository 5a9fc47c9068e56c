#!/usr/bin/env python3
"""Contour lengths of our sheet against gdal_contour on the same samples, level by level.

Both line sets are clipped to one plane rectangle well inside the tile, where the two
tracings must agree; then where they differ, and why the line counts differ.
Usage: contour_lengths.py OURS.dxf GDAL.shp TILE.asc [--margin M] [--tolerance F] [--min-length M]
Exits 1 when a level of at least --min-length metres differs by more than --tolerance.
"""
import argparse
import math
import struct
import sys
from array import array
from collections import Counter, defaultdict

import ezdxf
from osgeo import gdal, ogr, osr

gdal.UseExceptions()
ogr.UseExceptions()

PLANE = 6675  # JGD2011 plane rectangular system VII, as the bench sheet
GEOGRAPHIC = 6668  # JGD2011 latitude/longitude, as tile.asc
UNITS = {4: 0.001, 5: 0.01, 6: 1.0}  # $INSUNITS to metres
NEAR = 1e-3  # of a cell: a point this close to a grid line lies on it


def srs(code):
    s = osr.SpatialReference()
    s.ImportFromEPSG(code)
    # EPSG:6675 is northing first and EPSG:6668 latitude first; x must be easting/longitude.
    s.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    return s


def line_wkb(points):
    flat = array("d", (v for p in points for v in p))
    return ogr.CreateGeometryFromWkb(struct.pack("<BII", 1, 2, len(points)) + flat.tobytes())


def parts(geometry):
    # Clones: a part's reference dies with its parent in the bindings.
    n = geometry.GetGeometryCount()
    return [geometry.GetGeometryRef(i).Clone() for i in range(n)] if n else [geometry]


class Grid:
    """The tile's samples at the cell centres, in grid units (column, row from the north-west
    centre) for placing points: both programs interpolate between the same samples."""

    def __init__(self, asc):
        ds = gdal.Open(asc)
        self.x0, self.dx, _, self.y0, _, self.dy = ds.GetGeoTransform()
        self.columns, self.rows = ds.RasterXSize, ds.RasterYSize
        self.z = ds.GetRasterBand(1).ReadAsArray().astype(float)

    def at(self, lon, lat):
        return (lon - self.x0) / self.dx - 0.5, (lat - self.y0) / self.dy - 0.5

    def beyond_samples(self, lon, lat):
        """Past the outer samples (or on their line): only our lines go there, through the
        missing cells the converter reads beyond the tile."""
        c, r = self.at(lon, lat)
        return c < NEAR or r < NEAR or c > self.columns - 1 - NEAR or r > self.rows - 1 - NEAR

    def on_outline(self, lon, lat):
        """On the raster's outer cell edges, half a cell past the samples: where GDAL ends a line."""
        c, r = self.at(lon, lat)
        return min(abs(c + 0.5), abs(c - self.columns + 0.5), abs(r + 0.5), abs(r - self.rows + 0.5)) < NEAR

    def saddle(self, lon, lat, level):
        """Whether a cell touching the point has its diagonal samples on one side of the level
        and the other two on the other: the one cell whose crossings pair up two ways."""
        c, r = self.at(lon, lat)
        for row in {math.floor(r - NEAR), math.floor(r + NEAR)}:
            for column in {math.floor(c - NEAR), math.floor(c + NEAR)}:
                if 0 <= column < self.columns - 1 and 0 <= row < self.rows - 1:
                    (a, b), (d, e) = self.z[row:row + 2, column:column + 2] >= level
                    if a == e and b == d and a != b:
                        return True
        return False

    def inner_rectangle(self, to_plane, steps=200):
        """The largest plane rectangle inside the outer samples: the tile is not square to the
        plane axes (meridian convergence), so the bounding box of either line set is not inside it."""
        w, e = self.x0 + self.dx / 2, self.x0 + (self.columns - 0.5) * self.dx
        n, s = self.y0 + self.dy / 2, self.y0 + (self.rows - 0.5) * self.dy

        def edge(a, b):
            return to_plane.TransformPoints([(a[0] + (b[0] - a[0]) * i / steps, a[1] + (b[1] - a[1]) * i / steps)
                                             for i in range(steps + 1)])
        return (max(p[0] for p in edge((w, s), (w, n))), min(p[0] for p in edge((e, s), (e, n))),
                max(p[1] for p in edge((w, s), (e, s))), min(p[1] for p in edge((w, n), (e, n))))


def read_ours(path):
    """Contour polylines as (level m, closed, plane points m), and the count of other
    LWPOLYLINEs in model space and in blocks."""
    doc = ezdxf.readfile(path)
    scale = UNITS.get(doc.header.get("$INSUNITS", 4), 0.001)
    lines, others = [], 0
    for e in doc.modelspace().query("LWPOLYLINE"):
        if not e.dxf.layer.startswith("等高線"):
            others += 1
            continue
        points = [(x * scale, y * scale) for x, y in e.get_points("xy")]
        if e.closed and points[0] != points[-1]:
            points.append(points[0])
        lines.append((round(e.dxf.elevation * scale, 2), e.closed, points))
    in_blocks = sum(1 for b in doc.blocks if not b.is_any_layout for e in b if e.dxftype() == "LWPOLYLINE")
    return lines, others, in_blocks


def read_gdal(path):
    """Lines as (level m, closed, lon/lat points)."""
    ds = ogr.Open(path)
    lines = []
    for f in ds.GetLayer():
        points = [p[:2] for p in f.GetGeometryRef().GetPoints()]
        lines.append((round(f.GetField("elev"), 2), len(points) > 2 and points[0] == points[-1], points))
    return lines


def stretches_beyond(points_geo, grid):
    """Runs of segments lying on or past the outer samples along a closed line of ours. Each
    leaves the samples where a line of GDAL ends and comes back where another one does."""
    flags = [grid.beyond_samples(*p) for p in points_geo]
    wall = [flags[i] and flags[i + 1] for i in range(len(flags) - 1)]
    return sum(1 for i, w in enumerate(wall) if w and not wall[i - 1]) if not all(wall) else 1


def unmatched(rings, others):
    """Rings (centre x, y, length, geographic points) with no ring of the other side of the
    same centre and length, to 5 cm: a ring both traced alike is found on both."""
    left = list(others)
    alone = []
    for ring in rings:
        i = next((i for i, o in enumerate(left)
                  if abs(o[0] - ring[0]) < 0.05 and abs(o[1] - ring[1]) < 0.05 and abs(o[2] - ring[2]) < 0.05), None)
        if i is None:
            alone.append(ring)
        else:
            left.pop(i)
    return alone


def ring(plane_points, geo_points):
    g = line_wkb(plane_points)
    length = g.Length()
    x, y = (g.Centroid().GetX(), g.Centroid().GetY()) if length > 0 else plane_points[0]
    return x, y, length, geo_points


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("dxf")
    ap.add_argument("shp")
    ap.add_argument("asc")
    ap.add_argument("--margin", type=float, default=50.0, help="metres kept clear of the outer samples")
    ap.add_argument("--tolerance", type=float, default=0.01, help="largest relative difference of a level")
    ap.add_argument("--min-length", type=float, default=100.0, help="metres a level needs in the window to count")
    a = ap.parse_args()

    to_plane = osr.CoordinateTransformation(srs(GEOGRAPHIC), srs(PLANE))
    to_geo = osr.CoordinateTransformation(srs(PLANE), srs(GEOGRAPHIC))
    grid = Grid(a.asc)
    ours, ours_others, ours_in_blocks = read_ours(a.dxf)
    theirs = read_gdal(a.shp)

    west, east, south, north = (v + d for v, d in zip(grid.inner_rectangle(to_plane),
                                                      (a.margin, -a.margin, a.margin, -a.margin)))
    window = ogr.CreateGeometryFromWkt(f"POLYGON(({west} {south},{east} {south},{east} {north},"
                                       f"{west} {north},{west} {south}))")
    print(f"window (EPSG:{PLANE}, m): x {west:.1f}..{east:.1f}, y {south:.1f}..{north:.1f}, "
          f"{a.margin:g} m inside the tile's outer samples")

    # Per level: the lines as one geometry, and their kinds: closed inside the samples,
    # closed through the cells beyond them, open.
    ours_geom = defaultdict(lambda: ogr.Geometry(ogr.wkbMultiLineString))
    theirs_geom = defaultdict(lambda: ogr.Geometry(ogr.wkbMultiLineString))
    ours_kind, theirs_kind = Counter(), Counter()
    ours_n, theirs_n = Counter(), Counter()
    ours_rings, theirs_rings = defaultdict(list), defaultdict(list)
    stretches = 0
    for level, closed, points in ours:
        ours_geom[level].AddGeometry(line_wkb(points))
        ours_n[level] += 1
        if not closed:
            ours_kind["open", level] += 1
            continue
        geo = [p[:2] for p in to_geo.TransformPoints(points)]
        runs = stretches_beyond(geo, grid)
        ours_kind["beyond" if runs else "inside", level] += 1
        stretches += runs
        if not runs:
            ours_rings[level].append(ring(points, geo))
    for level, closed, points in theirs:
        plane = [p[:2] for p in to_plane.TransformPoints(points)]
        theirs_geom[level].AddGeometry(line_wkb(plane))
        theirs_n[level] += 1
        kind = "inside" if closed else "outline" if grid.on_outline(*points[0]) and grid.on_outline(*points[-1]) \
            else "elsewhere"
        theirs_kind[kind, level] += 1
        if closed:
            theirs_rings[level].append(ring(plane, points))

    levels = sorted(set(ours_n) | set(theirs_n))
    empty = ogr.Geometry(ogr.wkbMultiLineString)
    print(f"{'level m':>8} {'ours m':>11} {'gdal m':>11} {'diff %':>8} {'ours n':>7} {'gdal n':>7}")
    worst, failed = None, []
    total_ours = total_theirs = 0.0
    # Pieces of either set farther than 1 cm from the other, and how many lie in saddle cells.
    only = {"ours": [0, 0.0, 0], "gdal": [0, 0.0, 0]}
    for level in levels:
        o = ours_geom.get(level, empty).Intersection(window)
        t = theirs_geom.get(level, empty).Intersection(window)
        lo, lt = o.Length(), t.Length()
        total_ours, total_theirs = total_ours + lo, total_theirs + lt
        for name, mine, other in (("ours", o, t), ("gdal", t, o)):
            for piece in parts(mine.Difference(other.Buffer(0.01))):
                if piece.Length() < 0.05:
                    continue
                c = piece.Centroid()
                tally = only[name]
                tally[0] += 1
                tally[1] += piece.Length()
                tally[2] += grid.saddle(*to_geo.TransformPoint(c.GetX(), c.GetY())[:2], level)
        rel = (lo - lt) / lt if lt > 0 else (0.0 if lo == 0 else math.inf)
        meaningful = max(lo, lt) >= a.min_length
        if meaningful and (worst is None or abs(rel) > abs(worst[1])):
            worst = (level, rel)
        over = meaningful and abs(rel) > a.tolerance
        if over:
            failed.append(level)
        print(f"{level:8.2f} {lo:11.1f} {lt:11.1f} {rel * 100:8.3f} {ours_n[level]:7d} {theirs_n[level]:7d}"
              + ("  over tolerance" if over else ""))
    print(f"{'total':>8} {total_ours:11.1f} {total_theirs:11.1f} "
          f"{(total_ours - total_theirs) / total_theirs * 100:8.3f} {len(ours):7d} {len(theirs):7d}")
    if worst:
        print(f"worst level: {worst[0]:.2f} m, {worst[1] * 100:+.3f} % "
              f"(of the levels with at least {a.min_length:g} m in the window; tolerance {a.tolerance * 100:g} %)")
    for name, (n, length, saddles) in only.items():
        print(f"{name} only (over 1 cm from the other): {length:.1f} m in {n} pieces, "
              f"{saddles} of them in saddle cells")

    def total(kinds, kind):
        return sum(n for (k, _), n in kinds.items() if k == kind)

    oi, ob, oo = total(ours_kind, "inside"), total(ours_kind, "beyond"), total(ours_kind, "open")
    ti, tl, te = total(theirs_kind, "inside"), total(theirs_kind, "outline"), total(theirs_kind, "elsewhere")
    # Rings traced differently: each should pass a saddle cell. A ring of no length is a
    # lone sample exactly at the level, where GDAL pinches the line passing by instead.
    alone = {"ours": [0, 0, 0], "gdal": [0, 0, 0]}
    for level in levels:
        for name, rings, others in (("ours", ours_rings[level], theirs_rings[level]),
                                    ("gdal", theirs_rings[level], ours_rings[level])):
            for x, y, length, geo in unmatched(rings, others):
                tally = alone[name]
                tally[0] += 1
                tally[1] += any(grid.saddle(lon, lat, level) for lon, lat in geo)
                tally[2] += length == 0
    print(f"DXF LWPOLYLINEs {len(ours) + ours_others + ours_in_blocks}: {len(ours)} contours, "
          f"{ours_in_blocks} in symbol blocks, {ours_others} other in model space (the sheet frame)")
    print(f"ours: {oi} rings inside the samples, {ob} rings closed through the missing cells beyond them "
          f"({stretches} stretches there), {oo} open")
    print(f"gdal: {ti} rings, {tl} lines ending on the raster outline, {te} lines ending elsewhere")
    for name, (n, saddles, empty_rings) in alone.items():
        print(f"{name} rings inside with no twin: {n}, {saddles} through saddle cells, {empty_rings} of no length")
    explained = all(n == saddles for n, saddles, _ in alone.values())
    if oo == 0 and te == 0 and ob and stretches == tl and explained:
        print(f"why {len(ours)} vs {len(theirs)}: past the outer samples the converter reads missing cells "
              f"(-9999, below every level), so where GDAL ends a line on the raster outline ours runs on along "
              f"the tile edge to the next line and closes: GDAL's {tl} open lines are the {stretches} stretches "
              f"of our {ob} rings ({tl / ob:.2f} each), {tl - ob} fewer; inside, {alone['gdal'][0]} rings of "
              f"GDAL's and {alone['ours'][0]} of ours are paired the other way at saddle cells, {ti - oi} fewer; "
              f"no line is dropped by the sheet window or a length filter.")
    else:
        print(f"why {len(ours)} vs {len(theirs)}: not the missing cells and saddle cells alone: {oo} open lines "
              f"of ours, {te} GDAL lines ending inside the raster, {stretches} stretches against {tl} GDAL lines "
              f"on the outline, rings with no twin as above")

    if failed:
        print(f"FAILED: {len(failed)} levels differ by more than {a.tolerance * 100:g} %")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
