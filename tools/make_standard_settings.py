#!/usr/bin/python3
"""Writes the four standard settings files from the item files in data/.

    make_standard_settings.py [DATA_FOLDER]

The folder defaults to ../data beside this script. Outputs (INI text, CR LF, ASCII and
therefore valid CP932):
  基盤地図情報標準.trl   GSI-OnOff / GSI-Color / GSI--LineWeight of every FGD tree item
  国土数値情報標準色.trl MLIT-Color of every national land data item
  国土基本情報標準.trl   KKJ-OnOff / KKJ-Color / KKJ-LineWeight of every basic-info item
  Checkclear.trl         every OnOff key of the three lists set to 0, tiikimesh cb=0

Each file starts with [kihon] ver=13: the loader treats a file without a version as
version 0, which ignores these sections and resets other parts of the settings.
"""
import os
import sys

VERSION = 13
ELEVATION_CAPTION = "標高Mesh   5m"


def read_lines(path):
    with open(path, "rb") as f:
        text = f.read().decode("cp932")
    lines = text.replace("\r\n", "\n").split("\n")
    while lines and not lines[-1]:
        lines.pop()
    return lines


def tree_items(path, fgd):
    """(key, on, colour, styleCode) of every item line of a tree file."""
    items = []
    for n, line in enumerate(read_lines(path)[1:], start=2):
        cols = line.split("\t")
        if fgd and len(cols) > 1 and cols[1] == ELEVATION_CAPTION:
            break
        if not fgd and "eod" in line:
            break
        if not line:
            continue
        if len(cols) < 10:
            sys.exit(f"{path}:{n}: {len(cols)} columns")
        key = cols[0].encode("cp932")[:12].decode("cp932", "ignore")
        colour, size, weight = int(cols[3]), int(cols[4]), int(cols[5])
        items.append((key, cols[9] != "1", colour, size * 256 + weight))
    return items


def mlit_items(path):
    items = []
    for n, line in enumerate(read_lines(path), start=1):
        if not line:
            continue
        cols = line.split("\t")
        if len(cols) < 8:
            sys.exit(f"{path}:{n}: {len(cols)} columns")
        items.append((cols[0], int(cols[2])))
    return items


def colour_text(value):
    return "$%06X" % (value & 0xFFFFFF)


def unique_keys(items, name):
    keys = [i[0] for i in items]
    dup = sorted({k for k in keys if keys.count(k) > 1})
    if dup:
        sys.exit(f"{name}: duplicate keys {dup}")
    return keys


def write_ini(path, sections):
    lines = ["[kihon]", f"ver={VERSION}"]
    for name, entries in sections:
        lines.append(f"[{name}]")
        lines.extend(f"{k}={v}" for k, v in entries)
    data = ("\r\n".join(lines) + "\r\n").encode("ascii")
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    fgd = tree_items(os.path.join(folder, "kibanchizu-tree.txt"), True)
    kkj = tree_items(os.path.join(folder, "kokudokihon-tree.txt"), False)
    mlit = mlit_items(os.path.join(folder, "mlit-GML.txt"))
    fgd_keys = unique_keys(fgd, "kibanchizu-tree.txt")
    kkj_keys = unique_keys(kkj, "kokudokihon-tree.txt")
    mlit_keys = unique_keys(mlit, "mlit-GML.txt")

    write_ini(os.path.join(folder, "基盤地図情報標準.trl"), [
        ("GSI-OnOff", [(k, int(on)) for k, on, _, _ in fgd]),
        ("GSI-Color", [(k, colour_text(c)) for k, _, c, _ in fgd]),
        ("GSI--LineWeight", [(k, s) for k, _, _, s in fgd]),
    ])
    write_ini(os.path.join(folder, "国土数値情報標準色.trl"), [
        ("MLIT-Color", [(k, colour_text(c)) for k, c in mlit]),
    ])
    write_ini(os.path.join(folder, "国土基本情報標準.trl"), [
        ("KKJ-OnOff", [(k, int(on)) for k, on, _, _ in kkj]),
        ("KKJ-Color", [(k, colour_text(c)) for k, _, c, _ in kkj]),
        ("KKJ-LineWeight", [(k, s) for k, _, _, s in kkj]),
    ])
    write_ini(os.path.join(folder, "Checkclear.trl"), [
        ("GSI-OnOff", [(k, 0) for k in fgd_keys]),
        ("MLIT-OnOff", [(k, 0) for k in mlit_keys]),
        ("KKJ-OnOff", [(k, 0) for k in kkj_keys]),
        ("tiikimesh", [("cb", 0)]),
    ])
    print(f"{len(fgd)} FGD items, {len(mlit)} national land items, {len(kkj)} basic-info items")


if __name__ == "__main__":
    main()
