#!/usr/bin/env python3
"""Writes a fictional sample area as Fundamental Geospatial Data files.

Usage: python3 tools/make_demo_data.py OUTDIR

The area covers the two second-level meshes 533945 and 533946 (35°40'-35°45' N,
139°37'30"-139°52'30" E, plane rectangular system IX). Everything in it is invented:
hills in the west, a river that runs east to a bay, the small town of 桜浦 on a street
grid that straddles the mesh meridian 139.75°, a pond with an island, four invented
municipalities and the contours and spot heights of one height function.

Written files, in the layout and encoding of the published downloads (UTF-8 without BOM,
CRLF, latitude before longitude):

  OUTDIR/基盤地図情報/FG-GML-<mesh>-<Class>-20201001-0001.xml
      AdmArea, AdmBdry, BldA, Cntr, ElevPt, RdEdg, WA, WL for both meshes, and Cstline
      for 533946, which holds the coast
  OUTDIR/標高データ/FG-GML-<5339-4x>-DEM10B-20161001.xml
      10 m elevation model, one file per mesh: 1125 x 750 cells from startPoint 0 0,
      "地表面,<m>" on land, "内水面,<water level>" on the pond, "海水面,-9999." at sea.

The output depends on nothing but this file: the same run always writes the same bytes.
Source attribution does not apply: no published data is used.
"""
import math
import os
import random
import sys
from collections import defaultdict

MESHES = ("533945", "533946")
VEC_EDITION = "20201001"
VEC_MDID = "fmdid:20-1001"
VEC_DEVDATE = "2020-09-07"
DEM_EDITION = "20161001"
SRS = "fguuid:jgd2011.bl"
SEED = 20201001

# Local plane for designing the area: kilometres east and north of the south-west corner
# of mesh 533945. The factors are the lengths of a degree at 35.7°N on GRS80.
KM_PER_DEG_LAT = 110.954
KM_PER_DEG_LON = 90.503

# Elevation lattice: every third DEM cell corner (1/3000°). Heights are computed on it; the
# DEM cells and the vector contours both come from it, so the two agree.
LAT_PER_CELL = 1.0 / 9000.0
LATTICE = 3


def mesh_box(code):
    """(south, west, north, east) of a second-level mesh code in degrees."""
    p, u, q, v = int(code[0:2]), int(code[2:4]), int(code[4]), int(code[5])
    south = p * 2.0 / 3.0 + q / 12.0
    west = 100.0 + u + v / 8.0
    return south, west, south + 1.0 / 12.0, west + 1.0 / 8.0


AREA_S, AREA_W, AREA_N, _ = mesh_box(MESHES[0])
AREA_E = mesh_box(MESHES[-1])[3]
LAT0, LON0 = AREA_S, AREA_W


def to_ll(x, y):
    return LAT0 + y / KM_PER_DEG_LAT, LON0 + x / KM_PER_DEG_LON


def to_xy(lat, lon):
    return (lon - LON0) * KM_PER_DEG_LON, (lat - LAT0) * KM_PER_DEG_LAT


def smoothstep(t):
    if t <= 0.0:
        return 0.0
    if t >= 1.0:
        return 1.0
    return t * t * (3.0 - 2.0 * t)


def hermite(points, x):
    """Smooth interpolation through (x, y) points with increasing x (Catmull-Rom tangents)."""
    n = len(points)
    if x <= points[0][0]:
        k = 0
    elif x >= points[-1][0]:
        k = n - 2
    else:
        k = 0
        while points[k + 1][0] < x:
            k += 1
    x0, y0 = points[k]
    x1, y1 = points[k + 1]

    def slope(i):
        a = points[max(i - 1, 0)]
        b = points[min(i + 1, n - 1)]
        return (b[1] - a[1]) / (b[0] - a[0])

    h = x1 - x0
    t = (x - x0) / h
    m0, m1 = slope(k) * h, slope(k + 1) * h
    t2, t3 = t * t, t * t * t
    return ((2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * m0
            + (-2 * t3 + 3 * t2) * y1 + (t3 - t2) * m1)


def catmull_rom(ctrl, step):
    """Samples a smooth curve through the control points about every `step` km. Centripetal
    parametrisation, so that a short leg next to a long one does not overshoot."""
    def ext(p, q):
        return (2 * p[0] - q[0], 2 * p[1] - q[1])

    pts = [ext(ctrl[0], ctrl[1])] + list(ctrl) + [ext(ctrl[-1], ctrl[-2])]
    out = [ctrl[0]]
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        t1 = math.dist(p0, p1) ** 0.5
        t2 = t1 + math.dist(p1, p2) ** 0.5
        t3 = t2 + math.dist(p2, p3) ** 0.5

        def mix(a, b, ta, tb, t):
            u = (t - ta) / (tb - ta)
            return (a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u)

        n = max(1, int(math.dist(p1, p2) / step))
        for k in range(1, n + 1):
            t = t1 + (t2 - t1) * k / n
            a1, a2, a3 = mix(p0, p1, 0.0, t1, t), mix(p1, p2, t1, t2, t), mix(p2, p3, t2, t3, t)
            b1, b2 = mix(a1, a2, 0.0, t2, t), mix(a2, a3, t1, t3, t)
            out.append(mix(b1, b2, t1, t2, t))
    return out


def offset_line(pts, d):
    """The polyline moved sideways by d km (positive to the left of its direction)."""
    out = []
    for i, (x, y) in enumerate(pts):
        a = pts[max(i - 1, 0)]
        b = pts[min(i + 1, len(pts) - 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        ln = math.hypot(dx, dy)
        out.append((x - dy / ln * d, y + dx / ln * d))
    return out


def bisect(f, a, b, steps=60):
    fa = f(a)
    for _ in range(steps):
        m = 0.5 * (a + b)
        fm = f(m)
        if (fm > 0) == (fa > 0):
            a, fa = m, fm
        else:
            b = m
    return 0.5 * (a + b)


# ---------------------------------------------------------------- the invented landscape

def coast_x(y):
    """East-west position (km) of the shore of the bay at northing y."""
    return (19.6 + 0.45 * math.sin(0.65 * y + 0.4) + 0.22 * math.sin(1.7 * y + 2.1)
            + 0.08 * math.sin(4.3 * y + 0.7))


RIVER_CTRL = [(0.9, 7.9), (2.5, 6.9), (4.0, 6.2), (5.8, 4.6), (7.2, 3.3), (8.4, 2.2),
              (9.6, 1.15), (10.8, 0.55), (12.0, 0.42), (13.3, 0.55), (14.8, 0.95),
              (16.5, 1.45), (18.2, 1.7), (20.5, 2.0)]
RIVER_SRC = 0.9        # spring of the stream
RIVER_WIDE = 8.0       # from here on the river is drawn with both banks


def river_y(x):
    return hermite(RIVER_CTRL, x) + 0.06 * math.sin(3.1 * x) * smoothstep((x - 1.0) / 2.0)


RIVER_MOUTH = bisect(lambda x: x - coast_x(river_y(x)), 15.0, 22.0)


def river_half_width(x):
    return 0.004 + 0.022 * (x - RIVER_WIDE) / (RIVER_MOUTH - RIVER_WIDE)


# (x, y, height m, radius km) of the hills
PEAKS = [(2.8, 6.8, 180, 1.2), (5.5, 3.2, 120, 0.9), (7.6, 7.6, 140, 1.1),
         (15.2, 6.5, 70, 1.0), (10.95, 1.75, 40, 0.28), (13.4, 2.9, 35, 0.4),
         (12.9, 1.9, 14, 0.8), (4.2, 8.6, 90, 0.7)]


def make_waves(rng):
    waves = []
    for k in range(12):
        wavelength = 0.35 * (4.0 / 0.35) ** (k / 11.0) * rng.uniform(0.85, 1.15)
        angle = rng.uniform(0, math.pi)
        f = 2 * math.pi / wavelength
        waves.append((7.5 * wavelength ** 0.9, f * math.cos(angle), f * math.sin(angle),
                      rng.uniform(0, 2 * math.pi)))
    return waves


def base_height(x, y, waves):
    """Terrain before the river valley and the pond are cut in (metres)."""
    dc = coast_x(y) - x
    block = 320.0 * smoothstep((10.0 - x) / 8.0) * (0.75 + 0.25 * math.sin(0.9 * y + 0.3))
    north = 80.0 * smoothstep((y - 3.0) / 6.0) * smoothstep((17.5 - x) / 6.0)
    # a terrace scarp north of the town
    terrace = 24.0 * smoothstep((y - 1.15) / 0.6) * smoothstep((15.5 - x) / 2.5)
    # hills on warped coordinates, so that their contours are not circles
    xw = x + 0.12 * math.sin(1.7 * y + 0.3) + 0.06 * math.sin(3.9 * y + 2.3 * x + 1.1)
    yw = y + 0.12 * math.sin(1.9 * x + 0.8) + 0.06 * math.sin(4.1 * x + 1.7 * y + 0.4)
    peaks = 0.0
    for px, py, ph, pr in PEAKS:
        d2 = ((xw - px) ** 2 + (yw - py) ** 2) / (pr * pr)
        if d2 < 20.0:
            peaks += ph * math.exp(-d2)
    noise = 0.0
    for a, u, v, ph in waves:
        noise += a * math.sin(u * x + v * y + ph)
    rugged = 0.03 + 0.97 * smoothstep((block + peaks) / 220.0)
    return 1.7 * dc + (block + north + terrace + peaks + noise * rugged) * smoothstep(dc / 1.2)


# The pond: a shoreline of radius rho(theta) around POND_C, with an island.
POND_C = (12.45, 1.70)
POND_R = 0.085
ISLAND_C = (12.465, 1.71)
ISLAND_R = 0.022


def pond_rho(theta):
    return POND_R * (1.0 + 0.18 * math.sin(2 * theta + 0.5) + 0.08 * math.sin(3 * theta + 1.3))


def pond_s(x, y):
    """Distance from the pond centre in units of the shoreline radius (1 on the shore)."""
    dx, dy = x - POND_C[0], y - POND_C[1]
    return math.hypot(dx, dy) / pond_rho(math.atan2(dy, dx))


def island_height(x, y, level):
    r = math.hypot(x - ISLAND_C[0], y - ISLAND_C[1]) / ISLAND_R
    return level + 0.3 + 2.2 * (1.0 - r * r) if r < 1.0 else None


class Terrain:
    """Height lattice over both meshes, north to south, west to east."""

    def __init__(self):
        rng = random.Random(SEED)
        self.waves = make_waves(rng)
        self.rows = int(round((AREA_N - AREA_S) / LAT_PER_CELL)) // LATTICE + 1
        self.cols = int(round((AREA_E - AREA_W) / LAT_PER_CELL)) // LATTICE + 1
        step = LAT_PER_CELL * LATTICE
        self.lats = [AREA_N - i * step for i in range(self.rows)]
        self.lons = [AREA_W + j * step for j in range(self.cols)]
        ys = [to_xy(lat, LON0)[1] for lat in self.lats]
        xs = [to_xy(LAT0, lon)[0] for lon in self.lons]
        self.xs, self.ys = xs, ys
        h = [[base_height(x, y, self.waves) for x in xs] for y in ys]

        # River bed: follows the terrain a few metres down and never climbs downstream.
        bed, z = [], None
        for j, x in enumerate(xs):
            yr = river_y(x)
            fy = (self.lats[0] - to_ll(x, yr)[0]) / step
            i0 = min(max(int(fy), 0), self.rows - 2)
            t = fy - i0
            ground = h[i0][j] * (1 - t) + h[i0 + 1][j] * t - 3.0
            z = ground if z is None else min(z, ground)
            bed.append(max(z, 0.0))
        for j, x in enumerate(xs):
            if x < RIVER_SRC - 0.8 or x > RIVER_MOUTH + 0.3:
                continue
            fade = smoothstep((x - RIVER_SRC + 0.8) / 0.8)
            yr = river_y(x)
            slope = (river_y(x + 0.01) - river_y(x - 0.01)) / 0.02
            cosphi = 1.0 / math.sqrt(1.0 + slope * slope)
            w = 0.10 + 0.035 * max(x - RIVER_SRC, 0.0)
            for i, y in enumerate(ys):
                d = abs(y - yr) * cosphi
                if d > 3.5 * w:
                    continue
                g = math.exp(-(d / w) ** 2) * fade
                if h[i][j] > bed[j]:
                    h[i][j] = bed[j] + (h[i][j] - bed[j]) * (1.0 - g)

        # Pond: the water level sits 1 m below a whole 10 m, so that the contour just above
        # it closes round the water (a depression); a bank at least 6 m above the water.
        ci = min(range(self.rows), key=lambda i: abs(ys[i] - POND_C[1]))
        cj = min(range(self.cols), key=lambda j: abs(xs[j] - POND_C[0]))
        self.pond_level = 10.0 * math.floor(h[ci][cj] / 10.0) - 1.0
        lp = self.pond_level
        for i, y in enumerate(ys):
            if abs(y - POND_C[1]) > 4 * POND_R:
                continue
            for j, x in enumerate(xs):
                if abs(x - POND_C[0]) > 4 * POND_R:
                    continue
                s = pond_s(x, y)
                v = h[i][j]
                rim = max(v, lp + 6.0)
                if s < 1.0:
                    v = lp
                elif s < 2.0:
                    v = lp + (rim - lp) * smoothstep(s - 1.0)
                elif s < 3.0:
                    v = v + (rim - v) * (1.0 - smoothstep(s - 2.0))
                h[i][j] = v

        # Keep lattice values off the contour levels so that no contour runs through a node.
        for row in h:
            for j, v in enumerate(row):
                if abs(v / 10.0 - round(v / 10.0)) < 1e-7:
                    row[j] = v + 1e-5
        self.h = h

    def at(self, lat, lon):
        """Bilinear height at a point, as the DEM cells see it."""
        step = LAT_PER_CELL * LATTICE
        fi = (AREA_N - lat) / step
        fj = (lon - AREA_W) / step
        i0 = min(max(int(fi), 0), self.rows - 2)
        j0 = min(max(int(fj), 0), self.cols - 2)
        ti, tj = fi - i0, fj - j0
        r0, r1 = self.h[i0], self.h[i0 + 1]
        top = r0[j0] * (1 - tj) + r0[j0 + 1] * tj
        bottom = r1[j0] * (1 - tj) + r1[j0 + 1] * tj
        return top * (1 - ti) + bottom * ti


# ---------------------------------------------------------------- geometry helpers

TILE_LAT = 1.0 / 60.0   # features are cut and numbered in tiles of 1' x 1.5'
TILE_LON = 1.0 / 40.0


def tile_code(lat, lon):
    a = 40000 + 3 * int(math.floor(lat / TILE_LAT + 1e-9))
    b = 3 * int(math.floor(lon / TILE_LON + 1e-9))
    return "%05d%05d" % (a, b)


def mesh_of(lat, lon):
    for code in MESHES:
        s, w, n, e = mesh_box(code)
        if s <= lat < n and w <= lon < e:
            return code
    return None


def cut_line(pts):
    """Splits a lat/lon polyline at tile edges (mesh edges among them) and drops the parts
    outside the area. Returns (mesh, tile, points) pieces."""
    lat_lines = [AREA_S + k / 60.0 for k in range(int(round((AREA_N - AREA_S) * 60)) + 1)]
    lon_lines = [AREA_W + k / 40.0 for k in range(int(round((AREA_E - AREA_W) * 40)) + 1)]
    dense = [pts[0]]
    for (la1, lo1), (la2, lo2) in zip(pts, pts[1:]):
        cuts = []
        for x in lon_lines:
            if (lo1 - x) * (lo2 - x) < 0:
                t = (x - lo1) / (lo2 - lo1)
                cuts.append((t, (la1 + (la2 - la1) * t, x)))
        for y in lat_lines:
            if (la1 - y) * (la2 - y) < 0:
                t = (y - la1) / (la2 - la1)
                cuts.append((t, (y, lo1 + (lo2 - lo1) * t)))
        for _, p in sorted(cuts):
            dense.append(p)
        dense.append((la2, lo2))
    pieces, cur, cur_key = [], [], None
    for p, q in zip(dense, dense[1:]):
        if p == q:
            continue
        mlat, mlon = 0.5 * (p[0] + q[0]), 0.5 * (p[1] + q[1])
        mesh = mesh_of(mlat, mlon)
        key = (mesh, tile_code(mlat, mlon)) if mesh else None
        if key != cur_key:
            if cur_key and len(cur) > 1:
                pieces.append((cur_key[0], cur_key[1], cur))
            cur, cur_key = [p], key
        cur.append(q)
    if cur_key and len(cur) > 1:
        pieces.append((cur_key[0], cur_key[1], cur))
    # a closed line should not break where it happens to start
    if len(pieces) > 1 and pts[0] == pts[-1] and pieces[0][:2] == pieces[-1][:2]:
        last = pieces.pop()
        pieces[0] = (last[0], last[1], last[2] + pieces[0][2][1:])
    return pieces


def clip_ring(ring, box):
    """Sutherland-Hodgman clip of an open lat/lon ring to (south, west, north, east)."""
    s, w, n, e = box
    edges = [(1, w, True), (1, e, False), (0, s, True), (0, n, False)]
    out = ring
    for axis, val, keep_above in edges:
        src, out = out, []
        if not src:
            break

        def inside(p):
            return p[axis] >= val if keep_above else p[axis] <= val

        def cross(p, q):
            t = (val - p[axis]) / (q[axis] - p[axis])
            o = 1 - axis
            pt = [0.0, 0.0]
            pt[axis] = val
            pt[o] = p[o] + (q[o] - p[o]) * t
            return tuple(pt)

        prev = src[-1]
        for cur in src:
            if inside(cur):
                if not inside(prev):
                    out.append(cross(prev, cur))
                out.append(cur)
            elif inside(prev):
                out.append(cross(prev, cur))
            prev = cur
    clean = []
    for p in out:
        if not clean or p != clean[-1]:
            clean.append(p)
    if len(clean) > 1 and clean[0] == clean[-1]:
        clean.pop()
    return clean if len(clean) >= 3 else []


def signed_area(ring):
    """Twice the signed area with longitude as x: positive for counter-clockwise."""
    a = 0.0
    for i in range(len(ring)):
        la1, lo1 = ring[i]
        la2, lo2 = ring[(i + 1) % len(ring)]
        a += lo1 * la2 - lo2 * la1
    return a


def oriented(ring, ccw):
    if (signed_area(ring) > 0) != ccw:
        ring = ring[::-1]
    return ring + [ring[0]]


def km_ring_to_ll(pts):
    return [to_ll(x, y) for x, y in pts]


# ---------------------------------------------------------------- contours

def contour_lines(terrain, interval=10.0):
    """Marching squares over the lattice; returns {level: [lat/lon polylines]}."""
    h = terrain.h
    rows, cols = terrain.rows, terrain.cols
    step = LAT_PER_CELL * LATTICE
    # edge keys: 2 * (i * cols + j) for the edge east of node (i, j), +1 for the one south
    segs = defaultdict(list)
    points = {}

    def point(key, level):
        p = points.get((key, level))
        if p is None:
            node, vertical = divmod(key, 2)
            i, j = divmod(node, cols)
            if vertical:
                a, b = h[i][j], h[i + 1][j]
                t = (level - a) / (b - a)
                p = (AREA_N - (i + t) * step, AREA_W + j * step)
            else:
                a, b = h[i][j], h[i][j + 1]
                t = (level - a) / (b - a)
                p = (AREA_N - i * step, AREA_W + (j + t) * step)
            points[(key, level)] = p
        return p

    for i in range(rows - 1):
        r0, r1 = h[i], h[i + 1]
        for j in range(cols - 1):
            a, b, c, d = r0[j], r0[j + 1], r1[j + 1], r1[j]
            lo = min(a, b, c, d)
            hi = max(a, b, c, d)
            k0 = max(int(math.floor(lo / interval)) + 1, 1)
            k1 = int(math.floor(hi / interval))
            if k0 > k1:
                continue
            top = 2 * (i * cols + j)
            left = top + 1
            bottom = 2 * ((i + 1) * cols + j)
            right = 2 * (i * cols + j + 1) + 1
            for k in range(k0, k1 + 1):
                lv = k * interval
                case = ((a >= lv) << 3) | ((b >= lv) << 2) | ((c >= lv) << 1) | (d >= lv)
                centre_up = (a + b + c + d) / 4.0 >= lv
                pairs = {
                    1: [(left, bottom)], 2: [(bottom, right)], 3: [(left, right)],
                    4: [(top, right)], 6: [(top, bottom)], 7: [(top, left)],
                    8: [(top, left)], 9: [(top, bottom)], 11: [(top, right)],
                    12: [(left, right)], 13: [(bottom, right)], 14: [(left, bottom)],
                    5: [(top, left), (bottom, right)] if centre_up
                    else [(top, right), (left, bottom)],
                    10: [(top, right), (left, bottom)] if centre_up
                    else [(top, left), (bottom, right)],
                }.get(case, [])
                for e1, e2 in pairs:
                    segs[lv].append((e1, e2))

    result = {}
    for lv, seglist in segs.items():
        adj = defaultdict(list)
        for e1, e2 in seglist:
            adj[e1].append(e2)
            adj[e2].append(e1)
        seen = set()
        lines = []

        def walk(start):
            # nodes have at most two neighbours: follow the unvisited one, close loops
            chain, cur = [start], start
            seen.add(start)
            while True:
                nxt = next((e for e in adj[cur] if e not in seen), None)
                if nxt is None:
                    if len(chain) > 2 and start in adj[cur]:
                        chain.append(start)
                    return chain
                chain.append(nxt)
                seen.add(nxt)
                cur = nxt

        for e in adj:
            if len(adj[e]) == 1 and e not in seen:
                lines.append(walk(e))
        for e in adj:
            if e not in seen:
                lines.append(walk(e))
        result[lv] = [[point(e, lv) for e in chain] for chain in lines if len(chain) > 1]
    return result


# ---------------------------------------------------------------- the features

class Feature:
    def __init__(self, cls, kind, geom, props, mesh=None, tile=None, date=None, level=2500):
        self.cls, self.kind, self.geom, self.props = cls, kind, geom, props
        self.mesh, self.tile, self.date, self.level = mesh, tile, date, level


def line_features(cls, pts_ll, props, dates, level, rng):
    out = []
    for mesh, tile, piece in cut_line(pts_ll):
        out.append(Feature(cls, "curve", piece, props, mesh, tile, rng.choice(dates), level))
    return out


def area_features(cls, rings_ll, props, dates, level, rng):
    """rings_ll: exterior ring then holes (open lat/lon rings); clipped per mesh."""
    out = []
    for mesh in MESHES:
        box = mesh_box(mesh)
        ext = clip_ring(rings_ll[0], box)
        if not ext:
            continue
        holes = [oriented(r, False) for r in rings_ll[1:] if clip_ring(r, box) == r]
        ring = oriented(ext, True)
        lat, lon = ring[0]
        out.append(Feature(cls, "surface", [ring] + holes, props, mesh,
                           tile_code(lat, lon), rng.choice(dates), level))
    return out


def build_features(terrain):
    rng = random.Random(SEED + 1)
    dates = ["2019-03-18", "2019-08-06", "2019-11-20", "2020-02-14", "2020-06-30"]
    feats = []
    y_top = to_xy(AREA_N, LON0)[1]
    y_bot = 0.0

    def ns_curve(fx, y0, y1, n=None):
        """Points of a north-south curve x = fx(y) between y0 and y1 (km)."""
        n = n or max(2, int(abs(y1 - y0) / 0.04))
        return [(fx(y0 + (y1 - y0) * k / n), y0 + (y1 - y0) * k / n) for k in range(n + 1)]

    def ew_curve(fy, x0, x1, n=None):
        n = n or max(2, int(abs(x1 - x0) / 0.04))
        return [(x0 + (x1 - x0) * k / n, fy(x0 + (x1 - x0) * k / n)) for k in range(n + 1)]

    def exact_edges(ring):
        """Puts points that were meant to lie on the area edge exactly on it."""
        out = []
        for lat, lon in ring:
            for edge in (AREA_S, AREA_N):
                if abs(lat - edge) < 1e-9:
                    lat = edge
            for edge in (AREA_W, AREA_E):
                if abs(lon - edge) < 1e-9:
                    lon = edge
            out.append((lat, lon))
        return out

    # --- municipalities
    def b_a(y):   # prefectural border between 西山町 and the rest
        return 6.2 + 0.35 * math.sin(0.8 * y + 0.5) + 0.15 * math.sin(2.1 * y)

    def b_b(x):   # border between 桜浦市 (south) and the towns to its north
        return 1.90 + 0.7 * smoothstep((x - 13.5) / 4.0) + 0.04 * math.sin(2.3 * x)

    def b_c(y):   # border between 北丘町 and 東野町
        return 16.3 + 0.3 * math.sin(0.9 * y)

    xa = bisect(lambda x: x - b_a(b_b(x)), 4.0, 9.0)
    ya = b_b(xa)
    xc = bisect(lambda x: x - coast_x(b_b(x)), 15.0, 22.0)
    yc = b_b(xc)
    xd = bisect(lambda x: x - b_c(b_b(x)), 14.0, 19.0)
    yd = b_b(xd)
    x_right = to_xy(LAT0, AREA_E)[0]

    west_ring = ([(0.0, y_bot)] + ns_curve(b_a, y_bot, y_top) + [(0.0, y_top)])
    south_ring = ([(b_a(y_bot), y_bot)] + ns_curve(coast_x, y_bot, yc)
                  + ew_curve(b_b, xc, xa) + ns_curve(b_a, ya, y_bot))
    north_ring = (ew_curve(b_b, xa, xd) + ns_curve(b_c, yd, y_top)
                  + ns_curve(b_a, y_top, ya))
    east_ring = (ew_curve(b_b, xd, xc) + ns_curve(coast_x, yc, y_top)
                 + ns_curve(b_c, y_top, yd))
    towns = [("西山町", "町村・指定都市の区", "13391", west_ring),
             ("桜浦市", "郡市・東京都の区", "14291", south_ring),
             ("北丘町", "町村・指定都市の区", "14391", north_ring),
             ("東野町", "町村・指定都市の区", "14392", east_ring)]
    for name, kind, code, ring in towns:
        ll = exact_edges(km_ring_to_ll(ring))
        feats += area_features("AdmArea", [ll], {"type": kind, "name": name, "admCode": code},
                               dates, 25000, rng)

    for pts, kind in ((ns_curve(b_a, y_bot, ya), "都道府県界"),
                      (ns_curve(b_a, ya, y_top), "都道府県界"),
                      (ew_curve(b_b, xa, xd), "郡市・東京都の区界"),
                      (ew_curve(b_b, xd, xc), "郡市・東京都の区界"),
                      (ns_curve(b_c, yd, y_top), "町村・指定都市の区界")):
        feats += line_features("AdmBdry", exact_edges(km_ring_to_ll(pts)),
                               {"vis": "表示", "type": kind}, dates, 2500, rng)

    # --- river, sea and coast
    centre = [(x, river_y(x)) for x in
              [RIVER_WIDE + (RIVER_MOUTH + 0.2 - RIVER_WIDE) * k / 700 for k in range(701)]]
    stream = [(x, river_y(x)) for x in
              [RIVER_SRC + (RIVER_WIDE - RIVER_SRC) * k / 300 for k in range(301)]]
    banks = []
    for side in (1, -1):
        bank = []
        for i, (x, y) in enumerate(centre):
            a = centre[max(i - 1, 0)]
            b = centre[min(i + 1, len(centre) - 1)]
            dx, dy = b[0] - a[0], b[1] - a[1]
            ln = math.hypot(dx, dy)
            w = river_half_width(x) * side
            p = (x - dy / ln * w, y + dx / ln * w)
            if bank and p[0] >= coast_x(p[1]):
                q = bank[-1]
                t = bisect(lambda t: (q[0] + (p[0] - q[0]) * t)
                           - coast_x(q[1] + (p[1] - q[1]) * t), 0.0, 1.0)
                bank.append((q[0] + (p[0] - q[0]) * t, q[1] + (p[1] - q[1]) * t))
                break
            bank.append(p)
        banks.append(bank)
    left, right = banks
    feats += line_features("WL", km_ring_to_ll(stream), {"type": "一条河川"}, dates, 25000, rng)
    for bank in banks:
        feats += line_features("WL", km_ring_to_ll(bank), {"type": "水涯線（河川）"},
                               dates, 2500, rng)
    river_ring = km_ring_to_ll(left + right[::-1])
    feats += area_features("WA", [river_ring], {"type": "河川・湖池"}, dates, 2500, rng)

    mouth_lo = min(left[-1][1], right[-1][1])
    mouth_hi = max(left[-1][1], right[-1][1])
    coast_s = [p for p in ns_curve(coast_x, y_bot, y_top, 500) if p[1] < mouth_lo]
    coast_n = [p for p in ns_curve(coast_x, y_bot, y_top, 500) if p[1] > mouth_hi]
    lo_end, hi_end = sorted((left[-1], right[-1]), key=lambda p: p[1])
    for pts in (coast_s + [lo_end], [hi_end] + coast_n):
        feats += line_features("Cstline", exact_edges(km_ring_to_ll(pts)),
                               {"type": "海岸線"}, dates, 25000, rng)
    sea = ([(coast_x(y_bot), y_bot), (x_right, y_bot), (x_right, y_top)]
           + ns_curve(coast_x, y_top, y_bot, 500))
    feats += area_features("WA", [exact_edges(km_ring_to_ll(sea))], {"type": "海"},
                           dates, 25000, rng)

    # --- pond with an island
    shore = []
    for k in range(72):
        th = 2 * math.pi * k / 72
        r = pond_rho(th)
        shore.append((POND_C[0] + r * math.cos(th), POND_C[1] + r * math.sin(th)))
    island = [(ISLAND_C[0] + ISLAND_R * math.cos(2 * math.pi * k / 24),
               ISLAND_C[1] + ISLAND_R * math.sin(2 * math.pi * k / 24)) for k in range(24)]
    shore_ll, island_ll = km_ring_to_ll(shore), km_ring_to_ll(island)
    feats += area_features("WA", [shore_ll, island_ll], {"type": "河川・湖池"}, dates, 2500, rng)
    for ring in (shore_ll, island_ll):
        feats += line_features("WL", ring + ring[:1], {"type": "水涯線（湖池）"}, dates, 2500, rng)

    # --- the town of 桜浦: a street grid turned by 8°
    theta = math.radians(8.0)
    cu, su = math.cos(theta), math.sin(theta)
    origin = (11.05, 0.78)

    def town(u, v):
        return (origin[0] + u * cu - v * su, origin[1] + u * su + v * cu)

    nx, ny = 9, 6
    block_u, block_v = 0.095, 0.075
    street_u = [0.008] * (nx + 1)
    street_v = [0.008] * (ny + 1)
    street_u[5] = 0.012          # 中央通り (north-south)
    street_v[3] = 0.016          # 本町通り (east-west)
    bu, pos = [], 0.0
    for k in range(nx + 1):
        pos += street_u[k]
        if k < nx:
            bu.append((pos, pos + block_u))
            pos += block_u
    total_u = pos
    bv, pos = [], 0.0
    for k in range(ny + 1):
        pos += street_v[k]
        if k < ny:
            bv.append((pos, pos + block_v))
            pos += block_v
    total_v = pos
    uc = bu[4][1] + street_u[5] / 2    # centre line of 中央通り
    vc = bv[2][1] + street_v[3] / 2    # centre line of 本町通り

    road = {"vis": "表示", "type": "真幅道路", "admOffice": "不明"}
    chamfer = 0.003
    for (u0, u1) in bu:
        for (v0, v1) in bv:
            c = chamfer
            ring = [(u0 + c, v0), (u1 - c, v0), (u1, v0 + c), (u1, v1 - c),
                    (u1 - c, v1), (u0 + c, v1), (u0, v1 - c), (u0, v0 + c)]
            ring = [town(u, v) for u, v in ring]
            for k in range(0, 8, 2):
                side = [ring[k], ring[k + 1], ring[(k + 2) % 8]]
                feats += line_features("RdEdg", km_ring_to_ll(side), road, dates, 2500, rng)

    hw = 0.004   # half width of the roads out of town
    gaps = [((uc + hw, 0.0), (total_u, 0.0), (total_u, vc - hw)),
            ((total_u, vc + hw), (total_u, total_v), (uc + hw, total_v)),
            ((uc - hw, total_v), (0.0, total_v), (0.0, vc + hw)),
            ((0.0, vc - hw), (0.0, 0.0), (uc - hw, 0.0))]
    for a, corner, b in gaps:
        pts = [town(*a), town(*corner), town(*b)]
        feats += line_features("RdEdg", km_ring_to_ll(pts), road, dates, 2500, rng)

    outgoing = [
        [town(0.0, vc), town(-0.05, vc), (10.0, 1.25), (9.0, 1.9), (7.5, 3.0), (5.0, 4.6)],
        [town(total_u, vc), town(total_u + 0.05, vc), (12.6, 1.25), (14.5, 1.45),
         (16.8, 1.75), (coast_x(1.9) - 0.2, 1.9)],
        [town(uc, 0.0), town(uc, -0.05), (11.45, 0.6), (11.3, 0.2), (11.2, -0.1)],
        [town(uc, total_v), town(uc, total_v + 0.05), (11.7, 1.75), (11.9, 2.6),
         (12.6, 4.0), (13.0, 6.0), (12.8, 9.5)],
    ]
    for ctrl in outgoing:
        line = catmull_rom(ctrl, 0.025)
        for d in (hw, -hw):
            feats += line_features("RdEdg", km_ring_to_ll(offset_line(line, d)), road,
                                   dates, 2500, rng)
    path = catmull_rom([(11.62, 1.62), (11.35, 1.70), (11.15, 1.80), (10.97, 1.76)], 0.02)
    feats += line_features("RdEdg", km_ring_to_ll(path),
                           {"vis": "表示", "type": "徒歩道", "admOffice": "不明"},
                           dates, 2500, rng)
    walk = []
    for k in range(49):
        th = 2 * math.pi * k / 48
        r = pond_rho(th) * 1.55
        walk.append((POND_C[0] + r * math.cos(th), POND_C[1] + r * math.sin(th)))
    feats += line_features("RdEdg", km_ring_to_ll(walk),
                           {"vis": "表示", "type": "庭園路等", "admOffice": "不明"},
                           dates, 2500, rng)

    # --- buildings in the blocks
    named = {(5, 3): "桜浦市役所", (1, 4): "桜浦小学校", (4, 2): "桜浦郵便局"}
    for k, (u0, u1) in enumerate(bu):
        for l, (v0, v1) in enumerate(bv):
            if (k, l) == (6, 1):
                continue                       # a park
            if (k, l) in named:
                name = named[(k, l)]
                if name == "桜浦小学校":
                    a, b, c, d = u0 + 0.008, u1 - 0.008, v0 + 0.010, v1 - 0.008
                    shape = [(a, c), (b, c), (b, c + 0.016), (a + 0.018, c + 0.016),
                             (a + 0.018, d), (a, d)]
                elif name == "桜浦市役所":
                    shape = [(u0 + 0.015, v0 + 0.012), (u1 - 0.020, v0 + 0.012),
                             (u1 - 0.020, v1 - 0.030), (u0 + 0.015, v1 - 0.030)]
                else:
                    shape = [(u0 + 0.004, v1 - 0.018), (u0 + 0.020, v1 - 0.018),
                             (u0 + 0.020, v1 - 0.004), (u0 + 0.004, v1 - 0.004)]
                ring = km_ring_to_ll([town(u, v) for u, v in shape])
                feats += area_features("BldA", [ring], {"type": "堅ろう建物", "name": name},
                                       dates, 2500, rng)
                continue
            central = k in (4, 5) and l in (2, 3)
            lu = (u1 - u0) / 3.0
            lv = (v1 - v0) / 2.0
            for a in range(3):
                for b in range(2):
                    if rng.random() > (0.55 if central else 0.2):
                        continue
                    m = 0.002 + rng.random() * 0.002
                    wu = rng.uniform(0.45, 0.85) * (lu - 2 * m)
                    wv = rng.uniform(0.45, 0.85) * (lv - 2 * m)
                    # set the house towards the street side of its lot
                    su0 = u0 + a * lu + (m if a == 0 else lu - m - wu if a == 2
                                         else (lu - wu) / 2)
                    sv0 = v0 + b * lv + (m if b == 0 else lv - m - wv)
                    if rng.random() < 0.25:
                        cut_u, cut_v = wu * 0.45, wv * 0.45
                        shape = [(su0, sv0), (su0 + wu, sv0), (su0 + wu, sv0 + wv - cut_v),
                                 (su0 + wu - cut_u, sv0 + wv - cut_v),
                                 (su0 + wu - cut_u, sv0 + wv), (su0, sv0 + wv)]
                    else:
                        shape = [(su0, sv0), (su0 + wu, sv0), (su0 + wu, sv0 + wv),
                                 (su0, sv0 + wv)]
                    if rng.random() < (0.7 if central else 0.3 if l in (2, 3) else 0.0):
                        kind = "堅ろう建物"
                    else:
                        kind = "普通無壁舎" if rng.random() < 0.08 else "普通建物"
                    ring = km_ring_to_ll([town(u, v) for u, v in shape])
                    feats += area_features("BldA", [ring], {"type": kind}, dates, 2500, rng)

    # --- contours and spot heights from the lattice
    for lv, lines in sorted(contour_lines(terrain).items()):
        for line in lines:
            feats += line_features("Cntr", line, {"type": "一般等高線", "alti": "%d" % lv},
                                   dates, 25000, rng)

    spots = []
    for px, py, _, pr in PEAKS:
        best = None
        for i, lat in enumerate(terrain.lats):
            y = terrain.ys[i]
            if abs(y - py) > 0.6 * pr:
                continue
            for j, x in enumerate(terrain.xs):
                if abs(x - px) > 0.6 * pr or not (0 < i < terrain.rows - 1 and 0 < j < terrain.cols - 1):
                    continue
                v = terrain.h[i][j]
                if best is None or v > best[0]:
                    best = (v, lat, terrain.lons[j])
        if best:
            spots.append(best[1:])
    spots += [to_ll(*town(uc, vc)), to_ll(*town(0.2, 0.1)), to_ll(14.5, 1.47),
              to_ll(11.32, 0.25), to_ll(9.0, 1.92)]
    for lat, lon in spots:
        # on a DEM cell centre, so that the cell there holds the same height
        lat = AREA_N - (math.floor((AREA_N - lat) / LAT_PER_CELL) + 0.5) * LAT_PER_CELL
        lon = AREA_W + (math.floor((lon - AREA_W) / LAT_PER_CELL) + 0.5) * LAT_PER_CELL
        alti = "%d" % int(round(terrain.at(lat, lon)))
        mesh = mesh_of(lat, lon)
        if mesh is None:
            continue
        feats.append(Feature("ElevPt", "point", (lat, lon),
                             {"vis": "表示", "type": "標高点（測点）", "alti": alti},
                             mesh, tile_code(lat, lon), rng.choice(dates), 25000))
    return feats


# ---------------------------------------------------------------- writing the GML

CLASS_NO = {"ElevPt": 2, "Cntr": 3, "AdmArea": 4, "AdmBdry": 5, "WA": 12, "WL": 13,
            "Cstline": 14, "BldA": 17, "RdEdg": 19}
GEOM_TAG = {"curve": "loc", "surface": "area", "point": "pos"}
# element order after the geometry, per class, as in the published files
AFTER = {"AdmArea": ("type", "name", "admCode"), "AdmBdry": ("type",), "BldA": ("type", "name"),
         "Cntr": ("type", "alti"), "Cstline": ("type",), "ElevPt": ("type", "alti"),
         "RdEdg": ("type", "admOffice"), "WA": ("type",), "WL": ("type",)}
# classes whose coordinates drop trailing zeros (the others always print nine decimals)
SHORT_COORDS = ("BldA", "WA")

VECTOR_HEAD = (
    '<?xml version="1.0" encoding="utf-8"?>\n'
    '<Dataset xsi:schemaLocation="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema FGD_GMLSchema.xsd"\n'
    '\txmlns:gml="http://www.opengis.net/gml/3.2"\n'
    '\txmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"\n'
    '\txmlns:xlink="http://www.w3.org/1999/xlink"\n'
    '\txmlns="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema"\n'
    '\tgml:id="Dataset1">\n'
    '  <gml:description>基盤地図情報メタデータ ID=%s</gml:description>\n'
    '  <gml:name>基盤地図情報ダウンロードデータ（GML版）</gml:name>\n' % VEC_MDID)


def coord(v, short):
    s = "%.9f" % v
    if short:
        s = s.rstrip("0").rstrip(".")
    return s


def pos_list(out, pts, short):
    out.append("<gml:posList>")
    for lat, lon in pts:
        out.append("%s %s" % (coord(lat, short), coord(lon, short)))
    out.append("</gml:posList>")


def curve(out, gid, pts, short, srs=True):
    attr = ' srsName="%s"' % SRS if srs else ""
    out.append('<gml:Curve gml:id="%s"%s>' % (gid, attr))
    out.append("<gml:segments>")
    out.append("<gml:LineStringSegment>")
    pos_list(out, pts, short)
    out.append("</gml:LineStringSegment>")
    out.append("</gml:segments>")
    out.append("</gml:Curve>")


def write_feature(out, f, gid, fid):
    short = f.cls in SHORT_COORDS
    out.append('<%s gml:id="%s">' % (f.cls, gid))
    out.append("<fid>%s</fid>" % fid)
    out.append('<lfSpanFr gml:id="%s-1">' % gid)
    out.append("<gml:timePosition>%s</gml:timePosition>" % f.date)
    out.append("</lfSpanFr>")
    out.append('<devDate gml:id="%s-2">' % gid)
    out.append("<gml:timePosition>%s</gml:timePosition>" % VEC_DEVDATE)
    out.append("</devDate>")
    out.append("<orgGILvl>%d</orgGILvl>" % f.level)
    if "vis" in f.props:
        out.append("<vis>%s</vis>" % f.props["vis"])
    tag = GEOM_TAG[f.kind]
    out.append("<%s>" % tag)
    if f.kind == "curve":
        curve(out, gid + "-g", f.geom, short)
    elif f.kind == "point":
        out.append('<gml:Point gml:id="%s-g" srsName="%s">' % (gid, SRS))
        out.append("<gml:pos>%.9f %.9f</gml:pos>" % f.geom)
        out.append("</gml:Point>")
    else:
        out.append('<gml:Surface gml:id="%s-g" srsName="%s">' % (gid, SRS))
        out.append("<gml:patches>")
        out.append("<gml:PolygonPatch>")
        for n, ring in enumerate(f.geom):
            side = "exterior" if n == 0 else "interior"
            out.append("<gml:%s>" % side)
            out.append("<gml:Ring>")
            out.append("<gml:curveMember>")
            curve(out, "%s-%d" % (gid, 3 if n == 0 else n + 4), ring, short, srs=False)
            out.append("</gml:curveMember>")
            out.append("</gml:Ring>")
            out.append("</gml:%s>" % side)
        out.append("</gml:PolygonPatch>")
        out.append("</gml:patches>")
        out.append("</gml:Surface>")
    out.append("</%s>" % tag)
    for key in AFTER[f.cls]:
        if key in f.props:
            out.append("<%s>%s</%s>" % (key, f.props[key], key))
    out.append("</%s>" % f.cls)


def write_vector_files(folder, feats):
    rng = random.Random(SEED + 2)
    counts = {}
    by_file = defaultdict(list)
    for f in feats:
        by_file[(f.mesh, f.cls)].append(f)
    for (mesh, cls), group in sorted(by_file.items()):
        k = CLASS_NO[cls]
        out = [VECTOR_HEAD.rstrip("\n")]
        if cls == "AdmArea":
            for n, f in enumerate(group, 1):
                gid = "K%d_%s_%d" % (k, mesh, n)
                fid = "%s-%s-a-%d-%s" % (mesh, f.props["admCode"], n, f.date.replace("-", ""))
                write_feature(out, f, gid, fid)
        elif cls == "BldA":
            s, w, _, _ = mesh_box(mesh)
            base = tile_code(s + 1e-9, w + 1e-9)
            serial = rng.randint(1000, 3000)
            for n, f in enumerate(group, 1):
                serial += rng.randint(1, 4)
                fid = "%s-%s-%s-s-%d" % (f.date.replace("-", ""), f.tile[:5], f.tile[5:], serial)
                write_feature(out, f, "K%d_%s_%d" % (k, base, n), fid)
        else:
            tiles = defaultdict(list)
            for f in group:
                tiles[f.tile].append(f)
            letter = "i" if cls in ("ElevPt", "AdmBdry") else "s"
            for tile in sorted(tiles):
                serial = rng.randint(1, 400)
                for n, f in enumerate(tiles[tile], 1):
                    serial += rng.randint(1, 3)
                    if cls == "WA":
                        fid = "%s-%s-%s-s-%d" % (f.date.replace("-", ""), tile[:5], tile[5:],
                                                 serial)
                    else:
                        fid = "%s-%s-%s-%d" % (tile[:5], tile[5:], letter, serial)
                    write_feature(out, f, "K%d_%s_%d" % (k, tile, n), fid)
        out.append("</Dataset>")
        name = "FG-GML-%s-%s-%s-0001.xml" % (mesh, cls, VEC_EDITION)
        with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\r\n") as fh:
            fh.write("\n".join(out) + "\n")
        counts[name] = len(group)
    return counts


# ---------------------------------------------------------------- writing the DEM

def write_dem_file(folder, mesh, terrain):
    s, w, n, e = mesh_box(mesh)
    cols, rows = 1125, 750
    head = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '',
        '<Dataset xsi:schemaLocation="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema FGD_GMLSchema.xsd" ',
        '\txmlns:gml="http://www.opengis.net/gml/3.2" ',
        '\txmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" ',
        '\txmlns:xlink="http://www.w3.org/1999/xlink" ',
        '\txmlns="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema" ',
        '\tgml:id="Dataset1">',
        '\t<gml:description>基盤地図情報メタデータ ID=fmdid:0-5</gml:description>',
        '\t<gml:name>基盤地図情報ダウンロードデータ（GML版）</gml:name>',
        '\t',
        '\t<DEM gml:id="DEM001">',
        '\t\t<fid>fgoid:10-00100-15-80001-%s</fid>' % mesh,
        '\t\t<lfSpanFr gml:id="DEM001-1">',
        '\t\t\t<gml:timePosition>2016-10-01</gml:timePosition>',
        '\t\t</lfSpanFr>',
        '\t\t<devDate gml:id="DEM001-2">',
        '\t\t\t<gml:timePosition>2016-10-01</gml:timePosition>',
        '\t\t</devDate>',
        '\t\t<orgGILvl>0</orgGILvl>',
        '\t\t<orgMDId></orgMDId>',
        '\t\t<type>10mメッシュ（標高）</type>',
        '\t\t<mesh>%s</mesh>' % mesh,
        '\t\t<coverage gml:id="DEM001-3">',
        '\t\t\t<gml:boundedBy>',
        '\t\t\t\t<gml:Envelope srsName="%s">' % SRS,
        '\t\t\t\t\t<gml:lowerCorner>%s %s</gml:lowerCorner>' % (coord(s, True), coord(w, True)),
        '\t\t\t\t\t<gml:upperCorner>%s %s</gml:upperCorner>' % (coord(n, True), coord(e, True)),
        '\t\t\t\t</gml:Envelope>',
        '\t\t\t</gml:boundedBy>',
        '\t\t\t<gml:gridDomain>',
        '\t\t\t\t<gml:Grid dimension="2" gml:id="DEM001-4">',
        '\t\t\t\t\t<gml:limits>',
        '\t\t\t\t\t\t<gml:GridEnvelope>',
        '\t\t\t\t\t\t\t<gml:low>0 0</gml:low>',
        '\t\t\t\t\t\t\t<gml:high>%d %d</gml:high>' % (cols - 1, rows - 1),
        '\t\t\t\t\t\t</gml:GridEnvelope>',
        '\t\t\t\t\t</gml:limits>',
        '\t\t\t\t\t<gml:axisLabels>x y</gml:axisLabels>',
        '\t\t\t\t</gml:Grid>',
        '\t\t\t</gml:gridDomain>',
        '\t\t\t<gml:rangeSet>',
        '\t\t\t\t<gml:DataBlock>',
        '\t\t\t\t\t<gml:rangeParameters>',
        '\t\t\t\t\t\t<gml:QuantityList uom="DEM構成点"></gml:QuantityList>',
        '\t\t\t\t\t</gml:rangeParameters>',
        '',
        '<gml:tupleList>',
    ]
    tail = [
        '</gml:tupleList>',
        '',
        '\t\t\t\t</gml:DataBlock>',
        '\t\t\t</gml:rangeSet>',
        '\t\t\t<gml:coverageFunction>',
        '\t\t\t\t<gml:GridFunction>',
        '\t\t\t\t\t<gml:sequenceRule order="+x-y">Linear</gml:sequenceRule>',
        '\t\t\t\t\t<gml:startPoint>0 0</gml:startPoint>',
        '\t\t\t\t</gml:GridFunction>',
        '\t\t\t</gml:coverageFunction>',
        '\t\t</coverage>',
        '\t</DEM>',
        '</Dataset>',
    ]
    # Cell centres in lattice units: the mesh's column offset within the lattice, then the
    # left lattice node and weight of every cell column.
    col0 = int(round((w - AREA_W) / LAT_PER_CELL))
    row0 = int(round((AREA_N - n) / LAT_PER_CELL))
    jl, jt = [], []
    for c in range(cols):
        f = (col0 + c + 0.5) / LATTICE
        jl.append(int(f))
        jt.append(f - int(f))
    lp = terrain.pond_level
    pond_box = (POND_C[0] - 1.5 * POND_R, POND_C[0] + 1.5 * POND_R,
                POND_C[1] - 1.5 * POND_R, POND_C[1] + 1.5 * POND_R)
    lo, hi = float("inf"), float("-inf")
    kinds = defaultdict(int)
    lines = head
    h = terrain.h
    for r in range(rows):
        f = (row0 + r + 0.5) / LATTICE
        i0 = int(f)
        ti = f - i0
        a, b = h[i0], h[i0 + 1]
        mixed = [a[j] * (1 - ti) + b[j] * ti for j in range(terrain.cols)]
        vals = [mixed[j] * (1 - t) + mixed[j + 1] * t for j, t in zip(jl, jt)]
        lat = n - (r + 0.5) * LAT_PER_CELL
        y = to_xy(lat, LON0)[1]
        sea_lon = to_ll(coast_x(y), y)[1]
        row = []
        for c, v in enumerate(vals):
            lon = w + (c + 0.5) * LAT_PER_CELL
            if lon > sea_lon:
                row.append("海水面,-9999.")
                kinds["海水面"] += 1
                continue
            if pond_box[2] <= y <= pond_box[3]:
                x = to_xy(lat, lon)[0]
                if pond_box[0] <= x <= pond_box[1] and pond_s(x, y) < 1.0:
                    top = island_height(x, y, lp)
                    if top is None:
                        row.append("内水面,%.2f" % lp)
                        kinds["内水面"] += 1
                        continue
                    v = top
            v = max(v, 0.0)
            lo, hi = min(lo, v), max(hi, v)
            row.append("地表面,%.2f" % v)
            kinds["地表面"] += 1
        lines.extend(row)
    lines.extend(tail)
    name = "FG-GML-%s-%s-DEM10B-%s.xml" % (mesh[:4], mesh[4:], DEM_EDITION)
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\r\n") as fh:
        fh.write("\n".join(lines) + "\n")
    return name, lo, hi, dict(kinds)


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: make_demo_data.py OUTDIR")
    out = argv[1]
    vec_dir = os.path.join(out, "基盤地図情報")
    dem_dir = os.path.join(out, "標高データ")
    os.makedirs(vec_dir, exist_ok=True)
    os.makedirs(dem_dir, exist_ok=True)
    terrain = Terrain()
    for mesh in MESHES:
        name, lo, hi, kinds = write_dem_file(dem_dir, mesh, terrain)
        print("%s: %.2f .. %.2f m, %s" % (name, lo, hi,
                                          ", ".join("%s %d" % kv for kv in sorted(kinds.items()))))
    print("pond water level %.2f m" % terrain.pond_level)
    counts = write_vector_files(vec_dir, build_features(terrain))
    for name, n in sorted(counts.items()):
        print("%s: %d features" % (name, n))


if __name__ == "__main__":
    main(sys.argv)
