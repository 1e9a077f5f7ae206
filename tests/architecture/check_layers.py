#!/usr/bin/env python3
"""Checks every include and weak declaration of the engine against ARCHITECTURE.md.

The units, the installed headers' owners and the allowed edges are read from the tables of
ARCHITECTURE.md, so the document and the check cannot drift apart. A unit may include its own
files and, through the table, every unit below the ones it names. Every [[gnu::weak]]
declaration is a hidden edge and is refused.

Usage: check_layers.py SOURCE_DIR [--graph]
  --graph prints the include edges between pairs of folders instead of checking.
"""
import fnmatch
import pathlib
import re
import sys

ENGINE = ["platform", "foundation", "streams", "formats", "graphics", "database", "environment",
          "animation", "tasks", "assembly", "control", "include/kivctrl"]
HOSTS = ["apps", "plugins"]
SOURCE_SUFFIXES = {".cpp", ".h"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
WEAK = re.compile(r'\[\[\s*gnu::weak\s*\]\]|__attribute__\s*\(\(\s*weak\b')


def table(text, heading):
    """Rows of the first table under the heading, as lists of cell texts."""
    lines = text.splitlines()
    try:
        start = next(i for i, l in enumerate(lines) if l.strip().lstrip("#").strip() == heading)
    except StopIteration:
        sys.exit(f"ARCHITECTURE.md has no section '{heading}'")
    rows = []
    for line in lines[start + 1:]:
        if line.startswith("#"):
            break
        if not line.startswith("|"):
            if rows:
                break
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if set("".join(cells)) <= set("-: "):
            continue
        rows.append(cells)
    return rows[1:]


def words(cell):
    return re.findall(r"`([^`]+)`", cell)


class Architecture:
    def __init__(self, text):
        self.patterns = []  # (glob, unit), first match wins
        for unit, files in table(text, "Units"):
            for glob in words(files):
                self.patterns.append((glob, unit.strip("`")))
        self.header_owner = {}
        for header, unit in table(text, "Installed headers"):
            for h in words(header):
                self.header_owner[h] = unit.strip("`")
        self.below = {}
        for unit, beneath in table(text, "Who may include whom"):
            self.below[unit.strip("`")] = set(words(beneath))
        units = {u for _, u in self.patterns} | set(self.header_owner.values())
        for u in units | set().union(*self.below.values()):
            if u not in self.below:
                sys.exit(f"ARCHITECTURE.md: unit '{u}' has no row in 'Who may include whom'")
        self.allowed = {u: self.closure(u) for u in self.below}

    def closure(self, unit):
        seen, todo = {unit}, [unit]
        while todo:
            for v in self.below[todo.pop()]:
                if v not in seen:
                    seen.add(v)
                    todo.append(v)
        return seen

    def unit_of(self, path):
        if path.startswith("include/kivctrl/"):
            return self.header_owner.get(path[len("include/kivctrl/"):])
        for glob, unit in self.patterns:
            if fnmatch.fnmatch(path, glob):
                return unit
        return None


def sources(root, folders):
    for folder in folders:
        for p in sorted((root / folder).rglob("*")):
            if p.suffix in SOURCE_SUFFIXES and p.is_file():
                yield p.relative_to(root).as_posix()


def folder_of(path):
    return "include" if path.startswith("include/") else path.split("/")[0]


def edges(root):
    """(file, included path inside the tree) for every include of an engine or host file."""
    for path in sources(root, ENGINE + HOSTS):
        for line in (root / path).read_text(encoding="utf-8").splitlines():
            m = INCLUDE.match(line)
            if not m:
                continue
            quote, target = m.groups()
            if quote == "<" and target.startswith("kivctrl/"):
                yield path, "include/" + target
            elif quote == '"' and (root / target).is_file():
                yield path, target
            elif quote == '"':
                yield path, (pathlib.PurePosixPath(path).parent / target).as_posix()


def violations(root, arch):
    found = []
    for path in sources(root, ENGINE):
        if arch.unit_of(path) is None:
            found.append(f"{path}: in no unit (name it in a table of ARCHITECTURE.md)")
        for line in (root / path).read_text(encoding="utf-8").splitlines():
            if WEAK.search(line):
                found.append(f"{path}: weak {line.strip()}")
    for path, target in edges(root):
        src = arch.unit_of(path) if folder_of(path) not in HOSTS else "hosts"
        if folder_of(path) in HOSTS:
            if folder_of(target) in HOSTS or target.startswith("include/kivctrl/"):
                continue
            found.append(f"{path} -> {target}")
            continue
        dst = arch.unit_of(target)
        if dst is None:
            found.append(f"{path} -> {target}: target in no unit (name it in a table of ARCHITECTURE.md)")
        elif src is not None and dst not in arch.allowed[src]:
            found.append(f"{path} -> {target}")
    return found


def graph(root, arch):
    """Edges between folders; an installed header counts as its owner's folder."""
    def folder(path):
        if path.startswith("include/"):
            owner = arch.unit_of(path)
            return owner.split("/")[0] if owner else "include"
        return folder_of(path)

    counts = {}
    for path, target in edges(root):
        a, b = folder(path), folder(target)
        if a != b:
            counts[(a, b)] = counts.get((a, b), 0) + 1
    for (a, b), n in sorted(counts.items()):
        print(f"{a:12} -> {b:12} {n}")


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    arch = Architecture((root / "ARCHITECTURE.md").read_text(encoding="utf-8"))
    if "--graph" in sys.argv[2:]:
        graph(root, arch)
        return 0
    known_file = pathlib.Path(__file__).with_name("known_violations.txt")
    known = {l.strip() for l in known_file.read_text(encoding="utf-8").splitlines()
             if l.strip() and not l.startswith("#")} if known_file.exists() else set()
    found = violations(root, arch)
    new = [v for v in found if v not in known]
    gone = sorted(known - set(found))
    for v in new:
        print(f"forbidden: {v}")
    for v in gone:
        print(f"mended, remove from {known_file.name}: {v}")
    if new or gone:
        print(f"{len(new)} forbidden, {len(gone)} stale; see ARCHITECTURE.md")
        return 1
    print(f"layers hold ({len(found)} known exceptions left)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
