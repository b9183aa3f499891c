import json
import types

import numpy
import pytest

import trelmox


@pytest.fixture(scope="module")
def block(data):
    return trelmox.read_block(data / "example_block.txt")


@pytest.fixture(scope="module")
def loaded(data, tmp_path_factory):
    folder = tmp_path_factory.mktemp("loaded")
    (folder / "loaded.txt").write_bytes((data / "example_block.txt").read_bytes())
    (folder / "loaded.json").write_bytes((data / "example_loads.json").read_bytes())
    return trelmox.read_block(folder / "loaded.txt")


SPREADS = {"c1": ("normal", 5), "f1": ("uniform", 0.3, 0.45), "dip2": ("triangular", 66, 74),
           "height": {"type": "normal", "sd": 4, "truncate": (30, 50)}}


@pytest.mark.parametrize("which, settings", [
    ("block", dict(distributions=SPREADS)),
    ("block", dict(distributions={"c1": ("normal", 5), "f1": ("normal", 0.05)}, correlation={"plane1": -0.5},
                   method="lhs")),
    ("block", dict(fisher={"plane1": 40})),
    ("loaded", dict(distributions=dict(SPREADS, k=("uniform", 0, 0.2)))),
])
def test_numpy_evaluation_of_the_runs_samples_gives_the_runs_factors(request, which, settings):
    subject = request.getfixturevalue(which)
    samples = 10**6 if which == "block" and "fisher" not in settings and "method" not in settings else 20000
    run = subject.probabilistic(samples=samples, seed=7, keep_factors=True, **settings)
    inputs = subject.sample_inputs(samples=samples, seed=7, **settings)
    assert all(len(values) == samples for values in inputs.values())
    found = trelmox.factors(subject, **inputs)
    wedge = numpy.isin(found.kc_outcome, [1, 2, 3, 4])
    assert numpy.array_equal(found.kc[wedge], run.kc)
    full_wedge = numpy.isin(found.fs_outcome, [1, 2, 3, 4])
    assert numpy.array_equal(found.fs[full_wedge], run.fs)
    assert run.summary["wedges"] == int(wedge.sum()) and run.summary["samples"] == samples
    assert run.summary["mean"] == pytest.approx(run.kc.mean(), rel=1e-12)


def test_the_runs_figures_are_the_tools(block, data, cli):
    run = block.probabilistic(samples=5000, seed=3, distributions={"c1": ("normal", 5), "f2": ("lognormal", 0.05)})
    tool = json.loads(cli("probabilistic", data / "example_block.txt", "--samples", 5000, "--seed", 3, "--sd", "c1=5",
                          "--lognormal", "f2=0.05", "--format", "json"))
    assert run.to_dict() == tool


def test_a_sample_with_the_blocks_own_inputs_gives_the_blocks_factors(block):
    result = block.analyse()
    found = trelmox.factors(block, c1=numpy.full(3, 24.0))
    assert list(found.kc) == [result.kc] * 3 and list(found.fs) == [result.fs] * 3
    assert trelmox.OUTCOMES[found.kc_outcome[0]] == result.contact
    broadcast = trelmox.factors(block, c1=[20, 24, 28], f1=0.364)
    assert broadcast.kc[1] == result.kc and broadcast.kc[0] < broadcast.kc[1] < broadcast.kc[2]


def test_a_grid_of_inputs_gives_a_grid_of_factors_cell_by_cell(block):
    c1, f1 = numpy.meshgrid(numpy.linspace(0, 40, 3), numpy.linspace(0.2, 0.5, 4))
    grid = trelmox.factors(block, c1=c1, f1=f1)
    flat = trelmox.factors(block, c1=c1.ravel(), f1=f1.ravel())
    for name in grid._fields:
        assert getattr(grid, name).shape == (4, 3)
        assert numpy.array_equal(getattr(grid, name).ravel(), getattr(flat, name), equal_nan=True)
    with pytest.raises(trelmox.RefusedInputError) as caught:
        trelmox.factors(block, c1=c1, f1=numpy.where(f1 > 0.45, numpy.nan, f1))
    assert numpy.unravel_index(caught.value.row, c1.shape) == (3, 0)


@pytest.mark.parametrize("inputs, field", [
    (dict(dip1=[45, 95]), "dip1"),            # a dip beyond 90
    (dict(height=[40, 0]), "height"),         # no slope
    (dict(c1=[1, float("nan")]), "c1"),
    (dict(u1=[1, 2]), "u1"),                  # computed water pressures do not vary
    (dict(crackdist=[1, 2]), "crackdist"),    # the block has no crack
    (dict(nonsense=[1]), "nonsense"),
])
def test_inputs_no_sample_could_have_are_refused_before_any_work(block, inputs, field):
    with pytest.raises(trelmox.RefusedInputError) as caught:
        trelmox.factors(block, **inputs)
    assert caught.value.field == field


def test_sensitivity_is_the_tools(block, data, cli):
    curve = block.sensitivity("c1", 0, 40, steps=8)
    tool = json.loads(cli("sensitivity", data / "example_block.txt", "--param", "c1", "--from", 0, "--to", 40,
                          "--steps", 8, "--format", "json"))
    assert curve["steps"] == tool["steps"] and len(curve["kc"]) == 9
    assert numpy.all(numpy.diff(curve["kc"]) > 0)


def test_probabilistic_settings_that_do_not_fit_raise_refusals(block):
    for settings in [dict(samples=0), dict(distributions={"c1": ("normal", -1)}), dict(method="grid"),
                     dict(distributions={"c1": ("cauchy", 1)}), dict(fisher={"plane1": 10}, distributions={
                         "dip1": ("normal", 1)})]:
        with pytest.raises(trelmox.RefusedInputError):
            block.probabilistic(**settings)


def test_a_shape_as_tuple_or_dict_is_one_distribution_and_a_bad_one_names_its_input(block):
    tuple_run = block.probabilistic(samples=500, seed=4,
                                    distributions={"c1": ("beta", 5, 10, 40), "f1": ["normal", 0.05]})
    dict_run = block.probabilistic(samples=500, seed=4, distributions={
        "c1": {"type": "beta", "sd": 5, "low": 10, "high": 40},
        "f1": types.MappingProxyType({"type": "normal", "sd": 0.05, "truncate": None})})
    assert tuple_run.summary == dict_run.summary
    for shape in [("normal", 1, 2), ("beta", 1), ("cauchy", 1), (5, 1), (), "normal", {"sd": 1},
                  {"type": "normal", "sd": 1, "truncate": (0,)}]:
        with pytest.raises(trelmox.RefusedInputError) as caught:
            block.probabilistic(samples=10, distributions={"f2": shape})
        assert caught.value.field == "f2", shape
