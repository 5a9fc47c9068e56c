#!/usr/bin/env python3
"""Independent checks of DXF files the converter writes.

For each file: ezdxf's strict reader and audit (errors and fixes both count), ezdxf's
recover reader (catches bytes that are invalid in CP932), CP932 text with CR LF on every
line, unique handles, a handle seed one past the largest handle, a LAYER count equal to
the records written, and every entity layer defined. A release-12 file (AC1009) must have
no handles and no seed instead. A file without $DWGCODEPAGE is read in CP932, the system
code page of the programs it is written for (ezdxf would assume Windows-1252). Prints one
line per problem and exits 1 when there is any.
"""
import contextlib
import sys

import ezdxf
from ezdxf import recover
from ezdxf.lldxf import const


def pairs_of(text):
    lines = text.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    if len(lines) % 2:
        raise ValueError("odd number of lines")
    return [(int(lines[i].strip()), lines[i + 1]) for i in range(0, len(lines), 2)]


def raw_checks(path, problems):
    data = open(path, "rb").read()
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        problems.append(f"not CP932: {e}")
        return
    body = data.replace(b"\r\n", b"")
    if b"\n" in body or b"\r" in body:
        problems.append("a line does not end with CR LF")
    try:
        pairs = pairs_of(text)
    except ValueError as e:
        problems.append(str(e))
        return
    handles = []
    seed = None
    version = None
    layer_names = set()
    layer_records = 0
    layer_head = None
    used_layers = set()
    section = None
    table = None
    in_layer_record = False
    for i, (code, value) in enumerate(pairs):
        if code == 0:
            in_layer_record = value == "LAYER" and table == "LAYER"
            if value == "SECTION":
                section = pairs[i + 1][1]
            if value == "TABLE":
                table = pairs[i + 1][1]
            if value == "ENDTAB":
                table = None
            if in_layer_record:
                layer_records += 1
        if code in (5, 105) and not (i > 0 and pairs[i - 1] == (9, "$HANDSEED")):
            handles.append(int(value, 16))
        if i > 0 and pairs[i - 1] == (9, "$HANDSEED"):
            seed = value
        if i > 0 and pairs[i - 1] == (9, "$ACADVER"):
            version = value
        # The table's own count: its first 70, before any record of the table.
        if code == 70 and table == "LAYER" and layer_head is None and layer_records == 0:
            layer_head = int(value)
        if code == 2 and in_layer_record:
            layer_names.add(value)
        if code == 8 and section in ("ENTITIES", "BLOCKS"):
            used_layers.add(value)
    if len(handles) != len(set(handles)):
        problems.append("handles are not unique")
    if version == "AC1009":
        if handles or seed is not None:
            problems.append("a release-12 file with handles")
    elif seed is None or len(seed) != 8:
        problems.append(f"handle seed is not 8 characters: {seed!r}")
    elif int(seed, 16) != max(handles) + 1:
        problems.append(f"handle seed {seed} is not one past the last handle {max(handles) + 1:X}")
    if layer_head != layer_records:
        problems.append(f"LAYER table head says {layer_head}, {layer_records} records written")
    missing = used_layers - layer_names
    if missing:
        problems.append(f"layers used but not defined: {sorted(missing)[:5]}")


@contextlib.contextmanager
def default_encoding(encoding):
    """The encoding ezdxf's readers take for a file that names none."""
    saved = const.DEFAULT_ENCODING
    const.DEFAULT_ENCODING = encoding
    try:
        yield
    finally:
        const.DEFAULT_ENCODING = saved


def ezdxf_checks(path, problems):
    names_code_page = b"$DWGCODEPAGE" in open(path, "rb").read()
    encoding = None if names_code_page else "cp932"
    try:
        doc = ezdxf.readfile(path, encoding=encoding)
    except Exception as e:  # the strict reader's own error
        problems.append(f"ezdxf.readfile: {e}")
        return
    auditor = doc.audit()
    for e in auditor.errors:
        problems.append(f"audit error: {e.message}")
    for f in auditor.fixes:
        problems.append(f"audit fix: {f.message}")
    try:
        with default_encoding(encoding or const.DEFAULT_ENCODING):
            _, rec = recover.readfile(path)
        for e in rec.errors:
            problems.append(f"recover error: {e.message}")
    except Exception as e:
        problems.append(f"recover.readfile: {e}")


def main(paths):
    failed = False
    for path in paths:
        problems = []
        raw_checks(path, problems)
        ezdxf_checks(path, problems)
        for p in problems:
            print(f"{path}: {p}")
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
