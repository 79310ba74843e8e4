#!/usr/bin/env python3
"""Checks that the installed documents point only to what is installed.

Usage: check-doc-links.py DOCDIR

Every Markdown link to a file (not a web address or an anchor) is resolved
from the document's folder; every path in backquotes that starts with docs/
or examples/ from DOCDIR, the installed copy of the source tree's top. A path
a run creates (an out/ folder) is not looked for. Prints what is missing and
exits 1 when anything is.
"""
import os
import re
import sys


def main(docdir):
    missing = []
    documents = 0
    for folder, _, files in os.walk(docdir):
        for name in files:
            if not name.endswith(".md"):
                continue
            documents += 1
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for target in re.findall(r"\]\(([^)\s]+)\)", text):
                if re.match(r"[a-z]+:", target) or target.startswith("#"):
                    continue
                if not os.path.exists(os.path.join(folder, target.split("#")[0])):
                    missing.append(f"{os.path.relpath(path, docdir)}: link {target}")
            for target in re.findall(r"`((?:docs|examples)/[^`\s]*)`", text):
                if "/out" in target or target.endswith("/out"):
                    continue
                if not os.path.exists(os.path.join(docdir, target)):
                    missing.append(f"{os.path.relpath(path, docdir)}: path {target}")
    for line in missing:
        print(f"not installed: {line}")
    print(f"{documents} documents, {len(missing)} pointers to what is not installed")
    return 1 if missing or documents == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
