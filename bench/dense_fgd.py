#!/usr/bin/env python3
"""Dense vector files of every reader family, for whole-run throughput.

usage: dense_fgd.py ARCHIVE OUT_FOLDER [MB]

The published mesh 503041 is sparse (a few hundred KB a class). Each family's file is made
of the published features of that class repeated until the file reaches MB megabytes
(ids made unique, positions of the n-th copy moved n × 0.1 microdegrees, so no two copies
share a vertex while the features of one copy share theirs as published). Classes the archive lacks (annotations,
symbols, road centre lines) are written in the published layout around the mesh's
positions. One folder per family: OUT_FOLDER/<family>/, plus OUT_FOLDER/families.txt with
"family element tree items" lines (tree: fgd or basic, the settings tree whose folder reads
it; items: the prefix of the settings keys to switch on, the other items of the class off).
"""
import os
import random
import re
import sys
import zipfile

MESH = "503041"
HEAD = (
    '<?xml version="1.0" encoding="utf-8"?>\r\n'
    '<Dataset xsi:schemaLocation="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema FGD_GMLSchema.xsd"\r\n'
    '\txmlns:gml="http://www.opengis.net/gml/3.2"\r\n'
    '\txmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"\r\n'
    '\txmlns:xlink="http://www.w3.org/1999/xlink"\r\n'
    '\txmlns="http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema"\r\n'
    '\tgml:id="Dataset1">\r\n'
    "  <gml:description>基盤地図情報メタデータ ID=fmdid:18-1001</gml:description>\r\n"
    "  <gml:name>基盤地図情報ダウンロードデータ（GML版）</gml:name>\r\n"
)

# family, element, settings tree: published classes of the archive.
PUBLISHED = [
    ("name", "AdmPt", "fgd"),
    ("elevation-point", "ElevPt", "fgd"),
    ("control-point", "GCP", "fgd"),
    ("cut-line", "Cntr", "fgd"),
    ("rail", "RailCL", "fgd"),
    ("line", "RdEdg", "fgd"),
    ("area-edge", "AdmArea", "fgd", "AdmArea-2"),
    ("area-fill", "BldA", "fgd"),
]


def features(text, element):
    return re.findall(r"<%s gml:id=.*?</%s>\r?\n" % (element, element), text, re.S)


def copy(text, n):
    text = re.sub(r'gml:id="([^"]*)"', lambda m: 'gml:id="%s_r%d"' % (m.group(1), n), text)
    return re.sub(r"\d+\.\d{9}", lambda m: "%.9f" % (float(m.group(0)) + n * 1e-7), text)


def write_repeated(path, pieces, size):
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write(HEAD)
        text = "".join(pieces)
        n = 0
        while out.tell() < size:
            out.write(copy(text, n))
            n += 1
        out.write("</Dataset>\r\n")


def lifespan(i):
    return (
        '<fid>46878-12123-i-%d</fid>\r\n<lfSpanFr gml:id="K9_%d-1">\r\n<gml:timePosition>2018-08-06</gml:timePosition>\r\n'
        '</lfSpanFr>\r\n<devDate gml:id="K9_%d-2">\r\n<gml:timePosition>2018-09-05</gml:timePosition>\r\n</devDate>\r\n'
        "<orgGILvl>25000</orgGILvl>\r\n" % (i, i, i)
    )


def point(element, i, lat, lon, after):
    return (
        '<%s gml:id="K9_%d">\r\n%s<pos>\r\n<gml:Point gml:id="K9_%d-g" srsName="fguuid:jgd2011.bl">\r\n'
        "<gml:pos>%.9f %.9f</gml:pos>\r\n</gml:Point>\r\n</pos>\r\n%s</%s>\r\n"
        % (element, i, lifespan(i), i, lat, lon, after, element)
    )


def synthesized(element, size, path):
    rng = random.Random(7)
    annotations = [("110", "福岡市"), ("422", "玄界島"), ("42", "駅名"), ("210", "西区")]
    symbols = ["小中学校", "高等学校・中等教育学校", "郵便局", "神社", "寺院", "病院"]
    roads = ["国道", "都道府県道", "市区町村道等"]
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write(HEAD)
        i = 0
        while out.tell() < size:
            lat, lon = rng.uniform(33.67, 33.745), rng.uniform(130.13, 130.245)
            if element == "Anno":
                ctg, text = annotations[i % len(annotations)]
                out.write(point(element, i, lat, lon, "<annoCtg>%s</annoCtg>\r\n<knj>%s</knj>\r\n<arrng>%d</arrng>\r\n"
                                "<arrngAgl>%d</arrngAgl>\r\n" % (ctg, text, 1 + i % 2, rng.randrange(0, 90))))
            elif element == "BldSbl":
                out.write(point(element, i, lat, lon, "<type>%s</type>\r\n" % symbols[i % len(symbols)]))
            else:  # RdCL
                out.write('<RdCL gml:id="K9_%d">\r\n%s<loc>\r\n<gml:Curve gml:id="K9_%d-g" srsName="fguuid:jgd2011.bl">\r\n'
                          "<gml:segments>\r\n<gml:LineStringSegment>\r\n<gml:posList>\r\n" % (i, lifespan(i), i))
                for _ in range(2 + rng.randrange(20)):
                    out.write("%.9f %.9f\r\n" % (lat, lon))
                    lat += rng.uniform(-1e-4, 1e-4)
                    lon += rng.uniform(-1e-4, 1e-4)
                out.write("</gml:posList>\r\n</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n</loc>\r\n"
                          "<rdCtg>%s</rdCtg>\r\n<rnkWidth>3m-5.5m未満</rnkWidth>\r\n</RdCL>\r\n" % roads[i % 3])
            i += 1
        out.write("</Dataset>\r\n")


def main():
    archive, folder = sys.argv[1], sys.argv[2]
    size = int(float(sys.argv[3]) * 1e6) if len(sys.argv) > 3 else 24_000_000
    lines = []
    with zipfile.ZipFile(archive) as z:
        for family, element, tree, *items in PUBLISHED:
            name = next(n for n in z.namelist() if "-%s-" % element in n)
            pieces = features(z.read(name).decode("utf-8"), element)
            os.makedirs(os.path.join(folder, family), exist_ok=True)
            write_repeated(os.path.join(folder, family, os.path.basename(name)), pieces, size)
            lines.append("%s %s %s %s" % (family, element, tree, items[0] if items else element))
    for family, element, tree in [("annotation", "Anno", "basic"), ("symbol", "BldSbl", "fgd"),
                                  ("road", "RdCL", "basic")]:
        os.makedirs(os.path.join(folder, family), exist_ok=True)
        synthesized(element, size, os.path.join(folder, family, "FG-GML-%s-%s-20181001-0001.xml" % (MESH, element)))
        lines.append("%s %s %s %s" % (family, element, tree, element))
    with open(os.path.join(folder, "families.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
