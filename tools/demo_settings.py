#!/usr/bin/env python3
"""Fills the demo settings file: a 2 x 2 sheet area in system 9 at 1/2500 on A3, with the
10 m elevation model as mesh and contours, and the third-level standard area mesh grid."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from settings_values import set_values  # noqa: E402

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
    "tiikimesh": {"cb": "1", "keta": "2"},
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

set_values(path, values)
