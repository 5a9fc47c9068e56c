"""Sets keys of a settings file (CP932, CR LF) in place; every key must already be there."""
import sys


def set_values(path, values):
    """values: {section: {key: text}}. Exits with a message naming the keys not found."""
    values = {section: dict(keys) for section, keys in values.items()}
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
        sys.exit(f"keys not found in {path}: {missing}")
    with open(path, "wb") as f:
        f.write("\r\n".join(lines).encode("cp932"))
