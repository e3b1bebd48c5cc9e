#!/usr/bin/env python3
"""Fails when the README's layout table and the build's layer list disagree.

The build names each layer and the layers it uses in softcube_layer(...) calls of the top
CMakeLists.txt; the README's table lists the same folders, bottom up, with the folders each
builds on in its last column."""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1])
cmake = (root / "CMakeLists.txt").read_text()
built = {}
for folder, uses in re.findall(r"^softcube_layer\((\w+)(?: USES ([\w ]+))?\)", cmake, re.M):
    built[folder] = set(uses.split()) if uses else set()

readme = (root / "README.md").read_text()
table = readme[readme.index("| folder | holds | builds on |"):]
documented = {}
for line in table.splitlines()[2:]:
    if not line.startswith("| `"):
        break
    cells = [c.strip() for c in line.strip("|").split("|")]
    folder = cells[0].strip("`/")
    documented[folder] = set(re.findall(r"`(\w+)/`", cells[-1]))

problems = []
if list(built) != list(documented):
    problems.append(f"layers in the build {list(built)} but in the README {list(documented)}")
for folder in built.keys() & documented.keys():
    if built[folder] != documented[folder]:
        problems.append(f"{folder}/: the build uses {sorted(built[folder])}, the README says {sorted(documented[folder])}")
for p in problems:
    print(p)
if problems:
    sys.exit(1)
print(f"layout table: {len(built)} layers as the build lists them")
