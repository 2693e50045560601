#!/usr/bin/env python3
"""Fails when an #include in src/ runs from a layer to one above it or to a
sibling. The files at the top of src/ are the layer "messages"."""
import pathlib
import re
import sys

# Each layer and the layers its files may include, besides its own.
BELOW = {
    "messages": set(),
    "civil": {"messages"},
    "zone": {"messages", "civil"},
    "calendar": {"messages", "civil", "zone"},
    "text": {"messages", "civil"},
}
FORMATS = ("iso8601", "http", "mail", "duration", "layout")
for fmt in FORMATS:
    BELOW[fmt] = {"messages", "civil", "zone", "calendar", "text"}
BELOW["errors"] = {"messages", "civil", "zone", "calendar", "text", *FORMATS}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(path: str) -> str:
    parts = path.split("/")
    return parts[0] if len(parts) > 1 else "messages"


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    faults = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cc"):
            continue
        relative = file.relative_to(src).as_posix()
        layer = layer_of(relative)
        if layer not in BELOW:
            faults.append(f"{relative}: the folder {layer} is no known layer")
            continue
        for included in INCLUDE.findall(file.read_text(encoding="utf-8")):
            target = layer_of(included)
            if target != layer and target not in BELOW[layer]:
                faults.append(f"{relative}: includes {included}, of the layer {target}, which {layer} may not")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} includes out of their layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
