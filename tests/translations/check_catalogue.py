#!/usr/bin/env python3
"""The English catalogue against the windows' sources: lupdate finds no
text without a translation, and every translation keeps its source's
%1..%9 arguments and leading line break and holds no Chinese.

usage: check_catalogue.py LUPDATE SOURCE_DIR"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

CHINESE = re.compile("[\u3000-\u303f\u3400-\u9fff\uff00-\uffef]")


def problems(ts):
    found = []
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            text = translation.text or ""
            where = f"{name}: {source!r}"
            if translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                found.append(f"{where}: no translation")
            elif sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
                found.append(f"{where}: arguments differ in {text!r}")
            elif CHINESE.search(text):
                found.append(f"{where}: Chinese left in {text!r}")
            elif source.startswith("\n") != text.startswith("\n"):
                found.append(f"{where}: leading line break differs in {text!r}")
    return found


def main():
    lupdate, root = sys.argv[1], pathlib.Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as scratch:
        ts = pathlib.Path(scratch) / "trelmox_en.ts"
        shutil.copy(root / "translations" / "trelmox_en.ts", ts)
        subprocess.run([lupdate, "-no-obsolete", "-locations", "none", "-silent", "-I", str(root),
                        str(root / "ui"), str(root / "ui" / "views"), str(root / "app"), "-ts", str(ts)],
                       check=True)
        found = problems(ts)
    for problem in found:
        print(problem)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
