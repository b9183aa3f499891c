"""The module's results are built from the tool's JSON values without
text in between: the same keys in the same order, and the same types
(an int stays an int, a float a float, null None), which == alone does
not see (1 == 1.0). json.dumps of both must be the same text."""
import json

import pytest

import trelmox


def tool_rows(cli, *args):
    return [json.loads(line) for line in cli(*args, "--format", "json").splitlines()]


def same_text(module_value, tool_value):
    assert json.dumps(module_value, ensure_ascii=False) == json.dumps(tool_value, ensure_ascii=False)


CASES = {
    "analyze": (lambda b, d: [b.analyse().to_dict()],
                lambda d: ["analyze", d / "example_block.txt"]),
    "probabilistic": (lambda b, d: [b.probabilistic(samples=3000, seed=2, distributions={"c1": ("normal", 5)})
                                    .to_dict()],
                      lambda d: ["probabilistic", d / "example_block.txt", "--samples", 3000, "--seed", 2,
                                 "--sd", "c1=5"]),
    "sensitivity": (lambda b, d: [{k: v for k, v in b.sensitivity("f1", 0.2, 0.9, steps=5).items()
                                   if k not in ("values", "kc", "fs")}],
                    lambda d: ["sensitivity", d / "example_block.txt", "--param", "f1", "--from", 0.2, "--to", 0.9,
                               "--steps", 5]),
    "combinations": (lambda b, d: list(trelmox.combinations(b, d / "joint_measurements.csv", sets="auto:3")),
                     lambda d: ["combinations", d / "example_block.txt", d / "joint_measurements.csv", "--sets",
                                "auto:3"]),
    "kinematics": (lambda b, d: list(trelmox.kinematics(d / "pit_sectors.csv", d / "joint_measurements.csv")),
                   lambda d: ["kinematics", d / "pit_sectors.csv", d / "joint_measurements.csv"]),
}


@pytest.mark.parametrize("command", sorted(CASES))
def test_module_values_are_the_tools_type_for_type(data, cli, command):
    module, tool = CASES[command]
    block = trelmox.read_block(data / "example_block.txt")
    same_text(module(block, data), tool_rows(cli, *tool(data)))
