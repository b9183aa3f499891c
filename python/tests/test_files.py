import json
import pickle

import pytest

import trelmox


@pytest.fixture
def loaded(data, tmp_path):
    folder = tmp_path / "data"
    folder.mkdir()
    (folder / "W1.txt").write_bytes((data / "example_block.txt").read_bytes())
    (folder / "W1.json").write_bytes((data / "example_loads.json").read_bytes())
    return folder / "W1.txt"


def test_written_files_are_the_tools(loaded, tmp_path, cli):
    tool, module = tmp_path / "tool", tmp_path / "module"
    tool.mkdir()
    cli("analyze", "--report-dir", tool, "--dxf-dir", tool, "--plot-dir", tool, loaded)
    block = trelmox.read_block(loaded)
    written = block.write_reports(module) + [block.write_dxf(module)] + block.write_pictures(module)
    assert sorted(p.name for p in tool.iterdir()) == sorted(pathlib_name(p) for p in written)
    for made in tool.iterdir():
        assert (module / made.name).read_bytes() == made.read_bytes(), made.name


def pathlib_name(path):
    return str(path).replace("\\", "/").rsplit("/", 1)[-1]


def test_a_saved_block_reads_back_as_itself(loaded, tmp_path):
    block = trelmox.read_block(loaded)
    saved = block.save(tmp_path / "saved")
    assert [pathlib_name(p) for p in saved] == ["W1.txt", "W1.json"]
    again = trelmox.read_block(saved[0])
    assert again.data_text() == block.data_text() and again.loads == block.loads
    shipped = pickle.loads(pickle.dumps(block))
    assert again.analyse() == block.analyse() == shipped.analyse() and shipped.loads == block.loads


def test_the_calculation_report_holds_the_blocks_figures(loaded):
    report = trelmox.read_block(loaded).calculation_report(date="2026-12-09")
    texts = json.dumps(report, ensure_ascii=False)
    assert report["title"] and len(report["sections"]) > 3 and "2026-12-09" in texts
    pictures = [item["picture"] for s in report["sections"] for item in s["items"] if "picture" in item]
    assert pictures and all(p["svg"].lstrip().startswith("<") for p in pictures)


def block_named(data, name):
    block = trelmox.read_block(data / "example_block.txt")
    return trelmox.Block(**block.attitudes, **{k: v for k, v in block.parameters.items() if k not in ("u1", "u2")},
                         name=name)


@pytest.mark.parametrize("name", ["../escape", "a/b", "a\\b", "..", "keep.dat\x00", "keep\x00.dat", "a\tb", "\x1b[2J"])
def test_a_name_the_tool_refuses_is_refused_before_anything_is_written(tmp_path, data, name):
    (tmp_path / "keep.dat").write_text("unrelated")
    with pytest.raises(trelmox.RefusedInputError) as caught:
        block_named(data, name)
    assert caught.value.field == "name"
    assert sorted(p.name for p in tmp_path.iterdir()) == ["keep.dat"]
    assert (tmp_path / "keep.dat").read_text() == "unrelated"


def test_a_report_never_replaces_a_data_file(tmp_path, data):
    block = block_named(data, "W1")
    saved = block.save(tmp_path)
    written = saved[0].read_bytes()
    with pytest.raises(trelmox.RefusedInputError):
        block.write_reports(tmp_path)
    assert saved[0].read_bytes() == written and trelmox.read_block(saved[0]).data_text() == block.data_text()
    # Into a folder of its own, and again over its own older report.
    reports = tmp_path / "reports"
    reports.mkdir()
    first = block.write_reports(reports)
    assert block.write_reports(reports) == first


@pytest.mark.parametrize("argument, attitude", [
    ("face", (135, 185)), ("face", (91, 185)), ("plane1", (-10, 105)), ("plane2", (70, 361)), ("top", (12, -1)),
])
def test_attitudes_the_windows_refuse_are_refused_naming_the_argument(data, argument, attitude):
    block = trelmox.read_block(data / "example_block.txt")
    planes = dict(block.attitudes, **{argument: attitude})
    with pytest.raises(trelmox.RefusedInputError) as caught:
        trelmox.Block(**planes, **{k: v for k, v in block.parameters.items() if k not in ("u1", "u2")})
    assert caught.value.kind == "refused_input" and caught.value.field == argument


def test_kinematics_are_the_tools(data, cli):
    rows = trelmox.kinematics(data / "pit_sectors.csv", data / "joint_measurements.csv", friction=32)
    tool = [json.loads(line) for line in cli("kinematics", data / "pit_sectors.csv", data / "joint_measurements.csv",
                                             "--friction", 32, "--format", "json").splitlines()]
    assert rows == tool and len(rows) == 16
