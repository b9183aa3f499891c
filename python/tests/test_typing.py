"""The package's stubs: mypy --strict accepts a script that uses the module
as documented and finds the faults of one that does not; the stubs declare
what the module has; help() gives each argument of a Block with its unit."""
import ast
import inspect
import os
import pathlib
import shutil
import subprocess
import sys

import pytest

import trelmox

HERE = pathlib.Path(__file__).parent
PACKAGE = pathlib.Path(trelmox.__file__).parent


def mypy(script, tmp_path):
    if shutil.which("mypy") is None:
        pytest.skip("mypy is not installed (Debian: apt install mypy): the stubs are not checked")
    env = dict(os.environ)
    # A build folder is found by MYPYPATH; an installed package by its py.typed.
    if "dist-packages" not in str(PACKAGE):
        env["MYPYPATH"] = str(PACKAGE.parent)
    return subprocess.run(["mypy", "--strict", "--cache-dir", str(tmp_path / "cache"), str(script)],
                          capture_output=True, text=True, env=env)


def test_mypy_strict_accepts_a_script_that_uses_the_module_as_documented(tmp_path):
    done = mypy(HERE / "typed" / "example.py", tmp_path)
    assert done.returncode == 0, done.stdout + done.stderr


def test_mypy_strict_finds_what_the_stubs_rule_out(tmp_path):
    script = tmp_path / "wrong.py"
    script.write_text("import trelmox\n"
                      "result = trelmox.read_block('W1.txt').analyse()\n"
                      "kc: float = result.kc\n"                                  # may be None
                      "block = trelmox.Block((45, 105), (70, 235), (12, 195), (65, 185), rock='25', water=9.81,\n"
                      "                      height=40, c1=24, f1=0.364, c2=48, f2=0.577)\n"
                      "trelmox.kinematics('s.csv', 'm.csv', friction='30')\n")
    done = mypy(script, tmp_path)
    assert done.returncode == 1
    for line in (3, 4, 6):
        assert "wrong.py:{}: error".format(line) in done.stdout, done.stdout


def test_the_example_script_runs(data, tmp_path):
    done = subprocess.run([sys.executable, str(HERE / "typed" / "example.py"), str(data), str(tmp_path)],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr


def stub_names(name):
    """The names a stub declares at its top level, and each class's members."""
    tree = ast.parse((PACKAGE / name).read_text(encoding="utf-8"))
    names, members = set(), {}
    for node in tree.body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            names.add(node.name)
        if isinstance(node, ast.ClassDef):
            members[node.name] = {n.name if not isinstance(n, ast.AnnAssign) else n.target.id
                                  for n in node.body if isinstance(n, (ast.FunctionDef, ast.AnnAssign))}
        elif isinstance(node, ast.AnnAssign):
            names.add(node.target.id)
        elif isinstance(node, ast.ImportFrom):
            names.update(alias.asname for alias in node.names if alias.asname)
    return names, members


def test_the_stubs_declare_every_public_name_and_member():
    names, members = stub_names("__init__.pyi")
    assert set(trelmox.__all__) <= names
    assert {"INPUTS", "OUTCOMES", "__version__"} <= names
    for cls in (trelmox.Block, trelmox.Measurements, trelmox.ProbabilisticResult, trelmox.FactorArrays):
        public = {n for n, _ in inspect.getmembers(cls) if not n.startswith("_")} - {"count", "index"}
        assert public <= members[cls.__name__], (cls.__name__, public - members[cls.__name__])
    # The results' attributes are the tool's keys.
    block = trelmox.Block(plane1=(45, 105), plane2=(70, 235), top=(12, 195), face=(65, 185), rock=25, water=9.81,
                          height=40, c1=24, f1=0.364, c2=48, f2=0.577, computed_water=True)
    assert set(block.analyse().to_dict()) <= members["Result"]
    assert set(trelmox.ReliabilityResult._FIELDS) <= members["ReliabilityResult"]


def test_help_of_block_names_every_argument_with_its_unit():
    text = inspect.getdoc(trelmox.Block)
    documented = set()
    for line in text.splitlines():
        if line.startswith("    ") and not line.startswith("     "):
            documented.update(name.strip() for name in line.strip().split("   ")[0].split(","))
    assert set(inspect.signature(trelmox.Block).parameters) <= documented
    for unit in ("degrees", "kN/m³", "kPa", "m (above zero)"):
        assert unit in text
