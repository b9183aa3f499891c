import json
import math
import pickle

import pytest

import trelmox


def same_bits(a, b, where=""):
    """Equal JSON values, every number to the bit (and null where null)."""
    if isinstance(a, float) or isinstance(b, float):
        assert isinstance(a, float) and isinstance(b, float), where
        assert a.hex() == b.hex() or (math.isnan(a) and math.isnan(b)), (where, a, b)
    elif isinstance(a, dict):
        assert list(a) == list(b), where
        for key in a:
            same_bits(a[key], b[key], where + "." + key)
    elif isinstance(a, list):
        assert len(a) == len(b), where
        for i, (x, y) in enumerate(zip(a, b)):
            same_bits(x, y, "{}[{}]".format(where, i))
    else:
        assert a == b, (where, a, b)


def test_every_golden_block_gives_the_tools_json(data, cli):
    files = sorted((data / "golden" / "blocks").glob("*.txt"))
    assert len(files) > 100
    lines = cli("analyze", "--format", "json", *files).splitlines()
    assert len(lines) == len(files)
    failed = 0
    for file, line in zip(files, lines):
        expected = json.loads(line)
        try:
            result = trelmox.read_block(file).analyse()
        except trelmox.TrelmoxError as error:
            failed += 1
            assert expected["error"] is not None and expected["error"].endswith(str(error).split(": ", 1)[-1])
            continue
        same_bits(result.to_dict(), expected, file.name)
        assert result.kc == expected["kc"] and result.messages == expected["messages"]
    assert failed < len(files) // 2


def example_block(**changes):
    values = dict(plane1=(43, 102), plane2=(70, 235), top=(12, 195), face=(65, 185), rock=25, water=9.81, height=40,
                  c1=24, f1=0.364, c2=48, f2=0.577, computed_water=True, name="example")
    values.update(changes)
    return trelmox.Block(**values)


def test_a_block_from_numbers_is_the_block_its_data_file_holds(tmp_path, data, cli):
    loads = json.loads((data / "example_loads.json").read_text(encoding="utf-8"))
    for name, block in [("plain", example_block(name="plain")),
                        ("loaded", example_block(name="loaded", loads=loads)),
                        ("entered", example_block(name="entered", computed_water=False, u1=30.5, u2=0.1 + 0.2))]:
        (tmp_path / (name + ".txt")).write_bytes(block.data_text().encode("gb18030"))
        if block.loads is not None:
            (tmp_path / (name + ".json")).write_text(json.dumps(block.loads), encoding="utf-8")
        expected = json.loads(cli("analyze", "--format", "json", tmp_path / (name + ".txt")))
        same_bits(block.analyse().to_dict(), expected, name)
        assert block.parameters["f1"] == 0.364 and block.attitudes["face"] == (65, 185)


def test_a_block_from_the_example_files_numbers_writes_that_files_text(data):
    read = trelmox.read_block(data / "example_block.txt")
    numbers = {k: v for k, v in read.parameters.items() if k not in ("u1", "u2")}
    made = trelmox.Block(**read.attitudes, **numbers, name="example_block")
    assert made.data_text() == read.data_text() == (data / "example_block.txt").read_bytes().decode("gb18030")


def test_blocks_and_results_pickle_to_the_same_figures(data):
    block = trelmox.read_block(data / "example_block.txt")
    again = pickle.loads(pickle.dumps(block))
    assert again.name == block.name and again.data_text() == block.data_text() and again.loads == block.loads
    result = block.analyse()
    assert pickle.loads(pickle.dumps(result)) == result == again.analyse()


def plain_loads(**changes):
    loads = {"version": 1, "water": "none", "crack": None, "seismic": {"k": 0, "direction": None}, "forces": [],
             "pressures": {"face": 0, "top": 0}, "bolts": [], "design": {"required_factor": 1.35, "preset": None,
                                                                          "bolt": None}}
    loads.update(changes)
    return loads


@pytest.mark.parametrize("block, absent, notes", [
    # No wedge under this face: Kc, its wedge's figures and Fs do not exist.
    (dict(plane1=(57.45, 232.66), plane2=(77.13, 167.92), face=(70, 180)),
     ("kc", "volume", "height", "plunge", "fs"), {}),
    # A crack behind the whole wedge: Kc stands, the real wedge does not.
    (dict(loads=plain_loads(crack={"dip": 80, "dip_direction": 190, "distance": 100, "water_depth": 0})),
     ("fs", "weight"), {}),
    # Factors in the thousands are above the bound, not figures.
    (dict(c1=1e6, c2=1e6, loads=plain_loads()), ("kc", "fs"), {"kc_note": "above 100", "fs_note": "above 100"}),
    # An Fs that cannot be computed is an error of its own, with its kind.
    (dict(loads=plain_loads(seismic={"k": 1e308, "direction": None})), ("fs",),
     {"fs_error_kind": "overflow", "fs_error": "Floating point overflow (from seismic.k = 1E308)"}),
])
def test_figures_that_do_not_exist_are_none_never_zero(block, absent, notes, tmp_path, cli):
    made = example_block(**block)
    result = made.analyse()
    for key in absent:
        assert getattr(result, key) is None, key
    for key, value in notes.items():
        assert getattr(result, key) == value, key
    # The same as the tool prints for the block's files.
    (tmp_path / "b.txt").write_bytes(made.data_text().encode("gb18030"))
    if made.loads is not None:
        (tmp_path / "b.json").write_text(json.dumps(made.loads), encoding="utf-8")
    expected = json.loads(cli("analyze", "--format", "json", tmp_path / "b.txt"))
    same_bits({**result.to_dict(), "block": "b"}, expected)


@pytest.mark.parametrize("make, error_class, kind", [
    (lambda d: trelmox.read_block(d / "no such block.txt"), trelmox.TrelmoxFileError, "file"),
    (lambda d: example_block(height=float("nan")), trelmox.RefusedInputError, "refused_input"),
    (lambda d: example_block(height=-5), trelmox.RefusedInputError, "refused_input"),
    (lambda d: example_block(loads={"version": 1}), trelmox.TrelmoxError, None),
    (lambda d: trelmox.read_block(d / "golden" / "blocks" / "R061.txt").analyse(), trelmox.CalculationError,
     "arithmetic"),
])
def test_failures_raise_the_exception_of_their_kind(data, make, error_class, kind):
    with pytest.raises(error_class) as caught:
        make(data)
    error = caught.value
    assert str(error) and error.kind in ("other", "arithmetic", "number_text", "file", "refused_input")
    if kind is not None:
        assert error.kind == kind
    again = pickle.loads(pickle.dumps(error))
    assert type(again) is type(error) and again.kind == error.kind and str(again) == str(error)


@pytest.mark.parametrize("read", [
    lambda d: trelmox.read_block(d / "no such block.txt"),
    lambda d: trelmox.read_measurements(d / "no such joints.csv"),
    lambda d: trelmox.read_sectors(d / "no such sectors.csv"),
    lambda d: trelmox.kinematics(d / "no such sectors.csv", d / "joint_measurements.csv"),
    lambda d: trelmox.read_cloud(d / "no such cloud.ply"),
])
def test_a_missing_file_is_pythons_file_not_found_and_the_modules_file_error(data, read):
    with pytest.raises(FileNotFoundError) as caught:
        read(data)
    assert isinstance(caught.value, trelmox.TrelmoxFileError) and caught.value.kind == "file"
    assert caught.value.errno == 2 and "no such" in str(caught.value)


@pytest.mark.parametrize("argument, value, field", [
    ("height", -5, "height"), ("height", 0, "height"), ("rock", -1, "rock"), ("c2", -0.5, "c2"), ("f1", -0.1, "f1"),
])
def test_values_an_analysis_would_refuse_are_refused_when_the_block_is_made(argument, value, field):
    with pytest.raises(trelmox.RefusedInputError) as caught:
        example_block(**{argument: value})
    assert caught.value.field == field and str(caught.value).startswith(field + ": ")
    assert "Slope" not in str(caught.value)


def test_a_missing_file_names_the_file_and_its_errno(data):
    with pytest.raises(OSError) as caught:
        trelmox.read_block(data / "no such block.txt")
    assert caught.value.errno == 2 and caught.value.path.endswith("no such block.txt")
    assert "no such block.txt" in str(caught.value)
