#!/usr/bin/env python3
"""The include graph between the folders of src/, checked against the layers.

  scripts/layers.py [SRC]            checks the graph; exit 1 naming every include
                                     that runs up or sideways
  scripts/layers.py --picture [SRC]  prints the layers and each folder's arrows
  scripts/layers.py --doc DOC [SRC]  checks as above and that DOC holds the
                                     picture as printed (between its markers)
  scripts/layers.py --self-test      the rules against a made-up graph

A folder may include its own files, folders of a lower layer and, in a ui
folder (X/ui), its own X and the ui folders of lower layers. No folder includes
one of its own layer (the feature folders stay apart), none includes a higher
one, and no core folder includes a ui folder.
"""
import os
import re
import sys

LAYERS = [
    ("base", ["common"]),
    ("parts", ["hw", "chart", "circuit"]),
    ("simulator", ["sim"]),
    ("instruments", ["vfo", "powermeter", "analyzer", "print", "scpi"]),
    ("remote control", ["remote"]),
    ("programs", ["cli", "app"]),
]
RANK = {folder: rank for rank, (_, folders) in enumerate(LAYERS) for folder in folders}
BEGIN = "<!-- include graph: made by scripts/layers.py --picture -->"
END = "<!-- end of the include graph -->"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """'analyzer/ui/x.h' -> 'analyzer/ui'."""
    return os.path.dirname(path)


def base(folder):
    return folder.split("/")[0]


def is_ui(folder):
    return folder.endswith("/ui") or folder == "app"


def includes(src):
    """(from folder, to folder, file, included) for every quoted include."""
    found = []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            here = folder_of(os.path.relpath(path, src))
            with open(path, encoding="utf-8") as f:
                for line in f:
                    m = INCLUDE.match(line)
                    if m and "/" in m.group(1):
                        found.append((here, folder_of(m.group(1)), os.path.relpath(path, src),
                                      m.group(1)))
    return found


def problem(here, there):
    """Why an include from folder `here` of folder `there` breaks the layers, or None."""
    if here == there:
        return None
    for f in (here, there):
        if base(f) not in RANK:
            return f"{f} belongs to no layer (scripts/layers.py)"
    if is_ui(there) and not is_ui(here):
        return "the core includes a window folder"
    if base(here) == base(there):
        return None if is_ui(here) else f"{here} includes its own window folder"
    if RANK[base(there)] > RANK[base(here)]:
        return "runs up"
    if RANK[base(there)] == RANK[base(here)]:
        return "runs sideways between folders of one layer"
    return None


def problems(edges):
    return [f"src/{file}: #include \"{inc}\": {why}" for here, there, file, inc in edges
            if (why := problem(here, there))]


def picture(edges):
    arrows = {}
    for here, there, _, _ in edges:
        if here != there:
            arrows.setdefault(here, set()).add(there)
    folders = sorted({h for h, _, _, _ in edges} | {t for _, t, _, _ in edges},
                     key=lambda f: (-RANK.get(base(f), -1), base(f), f))
    lines = ["```", "layer           folder          includes"]
    shown = None
    for f in folders:
        layer = LAYERS[RANK[base(f)]][0] if base(f) in RANK else "?"
        lines.append((f"{(layer if layer != shown else ''):<15} {f:<15} "
                      + " ".join(sorted(arrows.get(f, [])))).rstrip())
        shown = layer
    lines.append("```")
    return "\n".join(lines)


def self_test():
    cases = [  # (from, to, breaks the layers)
        ("analyzer", "common", False), ("analyzer/ui", "analyzer", False),
        ("analyzer/ui", "common/ui", False), ("analyzer/ui", "sim/ui", False),
        ("app", "analyzer/ui", False), ("cli", "remote", False), ("sim", "circuit", False),
        ("hw", "sim", True), ("common/ui", "hw", True), ("analyzer", "powermeter", True),
        ("sim", "powermeter", True), ("analyzer/ui", "powermeter/ui", True),
        ("analyzer", "analyzer/ui", True), ("chart", "common/ui", True),
        ("hw", "chart", True), ("remote", "cli", True), ("analyzer", "gadgets", True),
    ]
    wrong = [(a, b) for a, b, breaks in cases if (problem(a, b) is not None) != breaks]
    for a, b in wrong:
        print(f"self-test: {a} -> {b} judged wrongly", file=sys.stderr)
    return 1 if wrong else 0


def main(argv):
    if argv[:1] == ["--self-test"]:
        return self_test()
    doc = None
    if argv[:1] == ["--picture"]:
        src = argv[1] if len(argv) > 1 else "src"
        print(picture(includes(src)))
        return 0
    if argv[:1] == ["--doc"]:
        doc, argv = argv[1], argv[2:]
    src = argv[0] if argv else "src"
    edges = includes(src)
    found = problems(edges)
    for p in found:
        print(p, file=sys.stderr)
    if doc:
        with open(doc, encoding="utf-8") as f:
            text = f.read()
        start, end = text.find(BEGIN), text.find(END)
        if start < 0 or end < start:
            found.append(doc)
            print(f"{doc}: the include graph's markers are missing", file=sys.stderr)
        elif text[start + len(BEGIN):end].strip() != picture(edges):
            found.append(doc)
            print(f"{doc}: the include graph differs from the code; put in the output of "
                  "scripts/layers.py --picture", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
