"""Results as pandas DataFrames and enumerations, beside the plain results."""
import json
import math
import pickle
import sys

import numpy
import pytest

import trelmox

pandas = pytest.importorskip("pandas", reason="python3-pandas is not installed")


def tool_rows(cli, *args):
    return [json.loads(line) for line in cli(*args, "--format", "json").splitlines()]


def same_frame_as_json(frame, rows, keys):
    """The frame has the JSON's keys as its columns, and each cell is its
    row's figure (NaN where the JSON has null, never 0)."""
    assert list(frame.columns) == keys
    assert len(frame) == len(rows)
    for i, row in enumerate(rows):
        for key in keys:
            cell, value = frame[key].iloc[i], row[key]
            if value is None:
                assert cell is None or (isinstance(cell, float) and math.isnan(cell)), (i, key, cell)
            else:
                assert cell == value, (i, key, cell, value)


@pytest.mark.parametrize("command", ["combinations", "combinations --probabilistic", "kinematics", "sensitivity"])
def test_a_tables_frame_has_the_json_keys_as_columns_and_its_figures(data, cli, command):
    block = trelmox.read_block(data / "example_block.txt")
    joints = data / "joint_measurements.csv"
    if command.startswith("combinations"):
        probabilistic = command.endswith("--probabilistic")
        extra = ["--probabilistic", "--samples", 500] if probabilistic else []
        result = trelmox.combinations(block, joints, sets="auto:3", probabilistic=probabilistic, samples=500)
        rows = tool_rows(cli, "combinations", data / "example_block.txt", joints, "--sets", "auto:3", *extra)
    elif command == "kinematics":
        result = trelmox.kinematics(data / "pit_sectors.csv", joints)
        rows = tool_rows(cli, "kinematics", data / "pit_sectors.csv", joints)
    else:
        # A step whose computation fails has null figures.
        result = block.sensitivity("dipdir1", 225, 245, steps=2)
        rows = tool_rows(cli, "sensitivity", data / "example_block.txt", "--param", "dipdir1", "--from", 225, "--to",
                         245, "--steps", 2)[0]["steps"]
    frame = result.to_frame()
    same_frame_as_json(frame, rows, list(rows[0]))
    assert any(v is None for row in rows for v in row.values()), "a null among the figures"
    # The plain results are as they were: lists and dicts that pickle.
    again = pickle.loads(pickle.dumps(result))
    assert type(again) is type(result) and list(again.to_frame().columns) == list(frame.columns)


def test_the_factors_of_samples_as_frames(data):
    block = trelmox.read_block(data / "example_block.txt")
    run = block.probabilistic(samples=2000, distributions={"c1": ("normal", 5)}, keep_factors=True)
    frame = run.to_frame()
    assert list(frame.columns) == ["factor", "value"]
    assert numpy.array_equal(frame[frame.factor == "kc"].value, run.kc)
    assert numpy.array_equal(frame[frame.factor == "fs"].value, run.fs)
    with pytest.raises(trelmox.RefusedInputError):
        block.probabilistic(samples=10).to_frame()
    # A dip beyond the face's leaves no block: NaN, named NoBlock, never 0.
    f = trelmox.factors(block, dip1=[45, 89.9], c1=24)
    frame = f.to_frame()
    assert list(frame.columns) == ["kc", "fs", "kc_outcome", "fs_outcome"]
    assert list(frame.kc_outcome) == [trelmox.OUTCOMES[c] for c in f.kc_outcome]
    assert f.kc_outcome[0] == trelmox.Outcome.BOTH_PLANES
    missing = [i for i, code in enumerate(f.kc_outcome) if code == trelmox.Outcome.NO_BLOCK]
    assert all(math.isnan(f.kc[i]) for i in missing)


def test_without_pandas_to_frame_says_what_to_install_and_the_rest_works(data, monkeypatch):
    monkeypatch.setitem(sys.modules, "pandas", None)
    curve = trelmox.read_block(data / "example_block.txt").sensitivity("c1", 0, 40, steps=2)
    assert len(curve["kc"]) == 3
    with pytest.raises(ImportError, match="python3-pandas"):
        curve.to_frame()


def test_contact_and_state_are_enumerations_equal_to_the_old_texts(data, cli):
    result = trelmox.read_block(data / "example_block.txt").analyse()
    tool = json.loads(cli("analyze", "--format", "json", data / "example_block.txt"))
    assert result.contact is trelmox.Contact.BOTH_PLANES and result.fs_contact is trelmox.Contact.BOTH_PLANES
    assert result.state_code is trelmox.State(tool["state_code"])
    assert result.state == tool["state"] == result.state_code.data_name
    # What scripts did with the texts still works: compare, look up, format, dump.
    assert result.contact == "BothPlanes" and {"BothPlanes": 1}[result.contact] == 1
    assert "{}".format(result.contact) == str(result.contact) == "BothPlanes"
    assert json.dumps([result.contact, result.state_code]) == '["BothPlanes", "basically_stable"]'
    assert result.to_dict() == tool | {"block": result.block}
    assert [o.name for o in trelmox.Outcome] == [
        "NO_BLOCK", "BOTH_PLANES", "FIRST_PLANE_ONLY", "SECOND_PLANE_ONLY", "LIFT_OFF", "UNRESOLVED", "OVERFLOW",
        "DIVISION_BY_ZERO", "INVALID_OPERATION", "NO_DRIVING"]
    assert [c.value for c in trelmox.Contact] == list(trelmox.OUTCOMES[:6])
