import json
import pickle

import pytest

import trelmox


def test_combinations_are_the_tools(data, cli):
    block = trelmox.read_block(data / "example_block.txt")
    measurements = trelmox.read_measurements(data / "joint_measurements.csv")
    for sets, extra in [("planes", []), ("auto:3", ["--probabilistic", "--samples", 2000, "--seed", 5])]:
        rows = trelmox.combinations(block, pickle.loads(pickle.dumps(measurements)), sets=sets,
                                    probabilistic=bool(extra), samples=2000, seed=5)
        tool = [json.loads(line) for line in cli("combinations", data / "example_block.txt",
                                                 data / "joint_measurements.csv", "--sets", sets, "--format", "json",
                                                 *extra).splitlines()]
        assert rows == tool and len(rows) > 2


def test_measurements_sets_and_sectors(data):
    measurements = trelmox.read_measurements(data / "joint_measurements.csv")
    planes = measurements.planes()
    assert len(measurements) == len(planes["dip"]) == 17 and planes["dip"][0] == 43 and planes["dipdir"][0] == 102
    sets = measurements.sets("auto:3")
    assert [s["label"] for s in sets] == ["J1", "J2", "J3"] and sum(s["count"] for s in sets) == 17
    assert measurements.sets("labels") == []  # the file labels no plane
    with pytest.raises(trelmox.RefusedInputError):
        measurements.sets("auto:x")
    sectors = trelmox.read_sectors(data / "pit_sectors.csv")
    assert [s["name"] for s in sectors] == ["北帮", "东帮", "南帮", "西帮"]
    assert sectors[1]["height"] == 35 and sectors[1]["top_dip"] == 0


@pytest.mark.parametrize("language, line2, line3", [("en", "line 2:", "line 3:"), ("zh", "第 2 行", "第 3 行")])
def test_a_bad_measurement_file_lists_its_lines_in_the_language_chosen(language, line2, line3):
    assert trelmox.language() == "en", "English unless chosen otherwise"
    trelmox.set_language(language)
    try:
        with pytest.raises(trelmox.TrelmoxError) as caught:
            trelmox.Measurements("45,120\n95,120\nabc,1\n")
    finally:
        trelmox.set_language("en")
    assert line2 in str(caught.value) and line3 in str(caught.value)
    with pytest.raises(ValueError):
        trelmox.set_language("fr")
