#!/usr/bin/python3
"""trelmox-cli's Excel workbooks read back with the standard library alone,
a reader that shares nothing with the program's: the first row holds the
keys of the JSON of the same run, nested ones joined by ".", the second
their units, and every row the JSON's figures, numbers stored as numbers
to the 16 significant digits the workbook keeps, truth values as such,
texts as texts and null as an empty cell. Also: a workbook is refused on a
terminal and never written over an input of the run."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

CLI, SOURCE = sys.argv[1], sys.argv[2]
DATA = os.path.join(SOURCE, "tests", "data")
NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args, status=(0, 1)):
    done = subprocess.run([CLI, *args], capture_output=True)
    if done.returncode not in status:
        sys.exit(f"{args}: exit {done.returncode}: {done.stderr.decode()}")
    return done


def column_index(ref):
    letters = "".join(c for c in ref if c.isalpha())
    index = 0
    for c in letters:
        index = index * 26 + ord(c) - ord("A") + 1
    return index - 1


def read_sheet(path):
    """Rows of (kind, value) cells: kind "n" numbers, "b" truth values, "s" texts."""
    with zipfile.ZipFile(path) as book:
        shared = []
        if "xl/sharedStrings.xml" in book.namelist():
            for si in ET.fromstring(book.read("xl/sharedStrings.xml")).findall("m:si", NS):
                shared.append("".join(t.text or "" for t in si.iter(f"{{{NS['m']}}}t")))
        sheet = ET.fromstring(book.read("xl/worksheets/sheet1.xml"))
    rows = []
    for row in sheet.find("m:sheetData", NS).findall("m:row", NS):
        while len(rows) < int(row.get("r")) - 1:
            rows.append({})  # a row the file leaves out
        cells = {}
        for c in row.findall("m:c", NS):
            kind, v = c.get("t", "n"), c.find("m:v", NS)
            if v is None:
                continue
            if kind == "s":
                cells[column_index(c.get("r"))] = ("s", shared[int(v.text)])
            elif kind == "b":
                cells[column_index(c.get("r"))] = ("b", v.text == "1")
            else:
                cells[column_index(c.get("r"))] = ("n", float(v.text))
        rows.append(cells)
    return rows


def flatten(value, key=""):
    """The JSON's keys as the workbook's columns."""
    join = lambda part: f"{key}.{part}" if key else part
    if isinstance(value, dict) and value:
        return [kv for part, item in value.items() for kv in flatten(item, join(part))]
    if isinstance(value, list) and all(isinstance(v, str) for v in value):
        return [(key, "; ".join(value) if value else None)]
    if isinstance(value, list):
        return [kv for i, item in enumerate(value) for kv in flatten(item, join(str(i)))]
    return [(key, value)]


def same_cell(cell, value):
    if value is None or value == "":
        return cell is None
    if cell is None:
        return False
    kind, got = cell
    if isinstance(value, bool):
        return kind == "b" and got == value
    if isinstance(value, (int, float)):
        return kind == "n" and got == float("%.16g" % value)
    return kind == "s" and got == value


def compare(name, book, json_lines, units):
    rows = read_sheet(book)
    objects = [json.loads(line) for line in json_lines.splitlines()]
    keys = [rows[0][i][1] for i in sorted(rows[0])]
    check(all(kind == "s" for kind, _ in rows[0].values()), f"{name}: keys not texts")
    check(len(rows) == len(objects) + 2, f"{name}: {len(rows) - 2} rows for {len(objects)} objects")
    for key, unit in units.items():
        check(key in keys and rows[1].get(keys.index(key), ("s", ""))[1] == unit, f"{name}: unit of {key} not {unit}")
    for number, (obj, row) in enumerate(zip(objects, rows[2:]), 3):
        flat = [(k, v) for k, v in flatten(obj) if not any(o.startswith(k + ".") for o, _ in flatten(obj) if o != k)]
        for key, value in flat:
            if key not in keys:
                check(value is None, f"{name} row {number}: no column {key} for {value!r}")
                continue
            cell = row.get(keys.index(key))
            check(same_cell(cell, value), f"{name} row {number} {key}: {cell!r} is not {value!r}")
        check(set(k for k, _ in flat) >= set(keys) - {k for k in keys if row.get(keys.index(k)) is None},
              f"{name} row {number}: cells beyond the JSON")


work = tempfile.mkdtemp()
try:
    # Blocks with and without loads, one with strengths of its own, one
    # that fails: columns met first in a later row, nulls and texts.
    blocks = []
    for name, loads in (("W1", "example_loads.json"), ("W2", None), ("W3", "strength_loads.json")):
        shutil.copy(os.path.join(SOURCE, "examples", "example.txt"), os.path.join(work, name + ".txt"))
        if loads:
            shutil.copy(os.path.join(DATA, loads), os.path.join(work, name + ".json"))
        blocks.append(os.path.join(work, name + ".txt"))
    blocks.insert(1, os.path.join(work, "missing.txt"))

    book = os.path.join(work, "analyze.xlsx")
    run("analyze", "--format", "xlsx", "--output", book, *blocks)
    compare("analyze", book, run("analyze", "--format", "json", *blocks).stdout.decode(),
            {"kc": "", "volume": "m³", "weight": "kN", "areas.plane1": "m²", "plunge": "°",
             "strength.plane1.normal_stress": "kPa", "block": ""})
    # Standard output, when it is not a terminal, takes the same workbook.
    piped = run("analyze", "--format", "xlsx", *blocks).stdout
    with open(os.path.join(work, "piped.xlsx"), "wb") as out:
        out.write(piped)
    compare("analyze to a pipe", os.path.join(work, "piped.xlsx"),
            run("analyze", "--format", "json", *blocks).stdout.decode(), {})

    measurements = os.path.join(DATA, "joint_measurements.csv")
    for extra in ([], ["--probabilistic", "--samples", "200"]):
        book = os.path.join(work, "combinations.xlsx")
        run("combinations", blocks[0], measurements, "--format", "xlsx", "--output", book, *extra, status=(0,))
        compare("combinations " + " ".join(extra), book,
                run("combinations", blocks[0], measurements, "--format", "json", *extra, status=(0,)).stdout.decode(),
                {"dip1": "°", "kc": ""} | ({"failed_volume_mean": "m³"} if extra else {}))

    book = os.path.join(work, "probabilistic.xlsx")
    args = [blocks[0], "--samples", "2000", "--sd", "dip1=3", "--sd", "c1=5", "--quiet"]
    run("probabilistic", *args, "--format", "xlsx", "--output", book, status=(0,))
    compare("probabilistic", book, run("probabilistic", *args, "--format", "json", status=(0,)).stdout.decode(),
            {"fs.mean": "", "samples": ""})

    # A terminal gets no workbook: a usage error before any analysis.
    if shutil.which("script"):
        done = subprocess.run(["script", "-qec", f"'{CLI}' analyze --format xlsx '{blocks[0]}'", "/dev/null"],
                              capture_output=True)
        check(done.returncode == 2 and b"--output" in done.stdout, f"terminal: exit {done.returncode} {done.stdout!r}")
    # An output that is an input of the run is refused, the input kept.
    before = open(blocks[0], "rb").read()
    done = run("analyze", "--format", "xlsx", "--output", blocks[0], *blocks)
    check(done.returncode == 1 and open(blocks[0], "rb").read() == before, "an input was replaced by the workbook")
finally:
    shutil.rmtree(work)

for failure in failures[:20]:
    print(failure)
print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
sys.exit(1 if failures else 0)
