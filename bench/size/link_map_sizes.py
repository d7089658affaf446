#!/usr/bin/env python3
"""Reads the product's GNU ld link map and prints where its bytes come from: per origin (our
libraries, the C++ runtime, the threads runtime, the C runtime, resources, ...) split by output
section, then the largest single input sections. Usage: link_map_sizes.py MAP [TOP]"""
import collections
import re
import sys

# Output sections that take no room in the file, or never reach it.
SKIPPED = {".bss", "/DISCARD/"}
FILE_SECTIONS = [".text", ".rdata", ".data", ".eh_frame", ".idata", ".rsrc", ".reloc"]

OUTPUT_RE = re.compile(r"^(\.\S+|/DISCARD/)(?:\s+0x[0-9a-f]+\s+0x([0-9a-f]+))?")
INPUT_RE = re.compile(r"^ (\S+)(?:\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+))?$")
CONTINUED_RE = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+)$")


def origin(path):
    """The group an input file belongs to."""
    member = re.search(r"lib([^/()]+)\.a\(", path)
    if member:
        lib = member.group(1)
        if lib.startswith("torvin_"):
            return "ours: " + lib[len("torvin_"):]
        if lib in ("stdc++", "supc++"):
            return "C++ runtime (libstdc++)"
        if lib in ("pthread", "winpthread"):
            return "threads runtime (winpthreads)"
        if lib in ("gcc", "gcc_eh"):
            return "compiler runtime (libgcc)"
        if lib in ("mingw32", "mingwex", "msvcrt", "moldname"):
            return "C runtime (mingw)"
        return "import thunks and other libraries"
    if "ltrans" in path:
        return "ours: link-time optimised"
    if path.endswith(".res"):
        return "resources"
    if "/res/CMakeFiles/" in path or "TorvinWebInstaller.dir" in path:
        return "ours: entry"
    if path == "dll stuff" or path.startswith("linker stubs"):
        return "linker (relocations, stubs)"
    return "C runtime (mingw)"


def read_map(path):
    """Yields (output section, input section, size, file) for every sized input section."""
    with open(path, encoding="utf-8", errors="replace") as stream:
        lines = stream.read().splitlines()
    try:
        start = lines.index("Linker script and memory map")
    except ValueError:
        sys.exit(f"{path}: not a GNU ld link map")
    output = None
    pending = None
    for line in lines[start + 1:]:
        if pending:
            continued = CONTINUED_RE.match(line)
            if continued:
                yield output, pending, int(continued.group(1), 16), continued.group(2).strip()
            pending = None
            continue
        if line and not line[0].isspace():
            matched = OUTPUT_RE.match(line)
            output = matched.group(1) if matched else None
            continue
        if output is None or output in SKIPPED or output.startswith((".debug", ".stab")):
            continue
        matched = INPUT_RE.match(line)
        if not matched or matched.group(1).startswith(("*", "0x")):
            continue
        if matched.group(2) is None:
            pending = matched.group(1)
        else:
            yield output, matched.group(1), int(matched.group(2), 16), matched.group(3).strip()


def kb(size):
    return f"{size / 1024:7.1f}"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    top = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    by_origin = collections.defaultdict(collections.Counter)
    pieces = []
    for output, section, size, path in read_map(sys.argv[1]):
        if size == 0:
            continue
        group = origin(path)
        column = output if output in FILE_SECTIONS else "other"
        by_origin[group][column] += size
        pieces.append((size, output, section, path))

    columns = FILE_SECTIONS + ["other"]
    print(f"{'origin (KB)':36}" + "".join(f"{c:>10}" for c in columns) + f"{'total':>10}")
    for group, counts in sorted(by_origin.items(), key=lambda item: -sum(item[1].values())):
        print(f"{group:36}" + "".join(f"{kb(counts[c]):>10}" for c in columns)
              + f"{kb(sum(counts.values())):>10}")
    print(f"\nlargest input sections (bytes):")
    for size, output, section, path in sorted(pieces, reverse=True)[:top]:
        where = path.rsplit("/", 1)[-1]
        print(f"{size:9}  {output:9} {section[:70]:70} {where}")


if __name__ == "__main__":
    main()
