#!/usr/bin/env python3
"""Fills the demo settings file: a 2 x 2 sheet area in system 9 at 1/2500 on A3, with the
10 m elevation model as mesh and contours."""
import os
import sys

path, out = sys.argv[1], os.path.abspath(sys.argv[2])
values = {
    "kihon": {
        "readfolder": os.path.join(out, "基盤地図情報"),
        "meshfolder": os.path.join(out, "標高データ"),
        "kkjfolder": os.path.join(out, "国土基本情報"),
        "syoufolder": os.path.join(out, "国土数値情報"),
        "writefolder": os.path.join(out, "地図"),
        "printer": "Terralinea Paper",
        "yousi": "A3",
        "syukusyaku": "15",
    },
    "alti": {
        "alti10": "1",
        "cont10": "1",
    },
    "area": {
        "namae": "demo",
        "zahyokei": "33",
        "kita": "-35000000",
        "minami": "-37000000",
        "nisi": "-8000000",
        "higasi": "-6000000",
        "yokodiv": "2",
        "tatediv": "2",
        "kasane": "10",
    },
}

with open(path, "rb") as f:
    lines = f.read().decode("cp932").split("\r\n")
section = None
for i, line in enumerate(lines):
    if line.startswith("[") and line.endswith("]"):
        section = line[1:-1]
    elif "=" in line and section in values:
        key = line.split("=", 1)[0]
        if key in values[section]:
            lines[i] = f"{key}={values[section].pop(key)}"
missing = {s: v for s, v in values.items() if v}
if missing:
    sys.exit(f"demo_settings: keys not found in {path}: {missing}")
with open(path, "wb") as f:
    f.write("\r\n".join(lines).encode("cp932"))
