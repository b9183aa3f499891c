import json
import pickle

import pytest

import trelmox

SPREADS = {"c1": ("lognormal", 5), "f1": ("normal", 0.04), "f2": ("normal", 0.05)}


@pytest.fixture(scope="module")
def block(data):
    return trelmox.read_block(data / "example_block.txt")


def test_fields_are_the_tools_json(block, data, cli):
    result = trelmox.reliability(block, distributions=SPREADS, correlation={"plane1": -0.3}, max_samples=20000)
    tool = json.loads(cli("reliability", data / "example_block.txt", "--lognormal", "c1=5", "--sd", "f1=0.04",
                          "--sd", "f2=0.05", "--correlation", "1=-0.3", "--max-samples", 20000, "--format", "json"))
    assert result.to_dict() == tool
    for key, value in tool.items():
        if key != "modes":
            assert getattr(result, key) == value, key
    assert [{k: m[k] for k in ("contact", "beta", "pf_form")} for m in result.modes] == tool["modes"]
    assert sum(a * a for a in result.alpha.values()) == pytest.approx(1, abs=1e-12)
    assert result.pf_breitung > 0 and result.is_samples >= 1024
    low, high = result.ditlevsen_bounds
    assert low <= result.pf_form <= high
    assert result.target_beta is None and result.meets_target is None and result.required_bolt_force is None


def test_target_by_class_and_the_design_bolt(block):
    assert trelmox.target_beta(1, "brittle") == 4.2
    result = trelmox.reliability(block, distributions=SPREADS, target_beta=(1, "brittle"), design_bolt=(300, -10),
                                 max_samples=20000)
    assert result.target_beta == 4.2
    assert result.meets_target == (result.system_beta >= 4.2)
    assert result.required_bolt_force > 0
    assert (result.required_bolt_trend, result.required_bolt_plunge) == (300, -10)
    again = pickle.loads(pickle.dumps(result))
    assert again.to_dict() == result.to_dict() and again.modes == result.modes
    least = trelmox.reliability(block, distributions=SPREADS, target_beta=4.2, design_bolt="least", max_samples=2000)
    assert 0 < least.required_bolt_force <= result.required_bolt_force
    assert least.required_bolt_lower_bound <= least.required_bolt_force
    assert least.to_dict()["required_bolt_trend"] == least.required_bolt_trend


def test_refusals_raise_refused_input(block):
    with pytest.raises(trelmox.RefusedInputError):
        trelmox.reliability(block, distributions=SPREADS, design_bolt=(300, -10))  # no target
    for bolt in ["lest", (300,), 300]:
        with pytest.raises(trelmox.RefusedInputError) as caught:
            trelmox.reliability(block, distributions=SPREADS, target_beta=3, design_bolt=bolt, factor="ks")
        assert caught.value.field == "design_bolt", bolt
    with pytest.raises(trelmox.RefusedInputError):
        trelmox.reliability(block, distributions=SPREADS, factor="ks")
    with pytest.raises(trelmox.RefusedInputError):
        trelmox.target_beta(4, "ductile")
    none = trelmox.reliability(block)
    assert none.beta is None and none.design_point is None and "no input varies" in none.error
