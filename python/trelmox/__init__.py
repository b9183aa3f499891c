"""trelmox: limit-equilibrium stability of rock wedges from Python.

    import trelmox
    block = trelmox.read_block("W1.txt")          # its loads from W1.json beside it
    result = block.analyse()
    print(result.kc, result.fs, result.state)

    block = trelmox.Block(plane1=(45, 105), plane2=(70, 235), top=(12, 195), face=(65, 185),
                          rock=25, water=9.81, height=40, c1=24, f1=0.364, c2=48, f2=0.577,
                          computed_water=True, loads={...})   # loads: the companion file's JSON

Every figure is the one `trelmox-cli analyze --format json` gives for the
same block, to the last bit: the module runs the tool's own analysis and
formats it with the tool's own JSON writer. Blocks and results pickle, so a
study can be shared out over processes or machines (Dask, multiprocessing).
Failures raise the exceptions of trelmox.errors.

Messages (failures, the messages of a result, the full analysis report and
the calculation report) are in English, as the tool gives them by default;
`trelmox.set_language("zh")` gives the Chinese of the program's windows. The
language belongs to the process: a Dask worker or a pool's process words its
messages in English unless it sets the language itself. The data file, the
30-line report, the DXF drawing and the companion file are the same bytes in
either language.
"""
import collections as _collections
import copy as _copy
import json as _json
import os as _os
import pathlib as _pathlib
import sys as _sys

# OpenMP's threads wait for the next parallel region by spinning on their
# cores unless told otherwise, which on a machine busy with other programs
# (or with the other workers of a cluster) takes the cores from the thread
# that works. The runtime reads its policy once, when the extension loads
# it: passive (sleeping) threads by default, a policy of the user's own
# (OMP_WAIT_POLICY, GOMP_SPINCOUNT) kept.
if "OMP_WAIT_POLICY" not in _os.environ and "GOMP_SPINCOUNT" not in _os.environ:
    _os.environ["OMP_WAIT_POLICY"] = "PASSIVE"

from . import _trelmox  # noqa: E402
from .tables import OUTCOMES, Contact, Curve, Outcome, Rows, State  # noqa: E402
from .tables import pandas as _pandas  # noqa: E402
from .errors import (CalculationError, MissingFileError, NumberTextError, RefusedInputError,  # noqa: F401
                     TrelmoxError, TrelmoxFileError)

__all__ = ["Block", "Result", "read_block", "set_language", "language", "factors", "FactorArrays", "OUTCOMES", "INPUTS",
           "Contact", "State", "Outcome", "Rows", "Curve", "ProbabilisticResult",
           "reliability", "ReliabilityResult", "target_beta",
           "Measurements", "read_measurements", "read_sectors", "combinations", "kinematics", "TrelmoxError", "CalculationError",
           "NumberTextError", "RefusedInputError", "TrelmoxFileError", "MissingFileError", "read_cloud", "facets"]

# The inputs a sample may vary, by the names the tool uses (dip1, c1, rock, height, u1, k, bolt, ...).
INPUTS = tuple(_trelmox.parameter_names())

__version__ = _trelmox.__version__

_PLANES = ("plane1", "plane2", "top", "face")


class Result:
    """The figures of one block, as the tool's JSON object has them.

    Each key of `to_dict()` is an attribute: block, contact, kc, kc_note,
    volume, height, plunge, fs_contact, fs, fs_note, fs_error, fs_error_kind,
    state, weight, areas, required_bolt_force, required_bolt_trend,
    required_bolt_plunge, scale, scale_limit, scaled_height, wedge_volume,
    too_small, back_break, back_break_length, remaining_bench,
    bench_too_narrow, strength (blocks with a strength model only), messages,
    error and error_kind. Units (those of the block's inputs, usually): volume and
    wedge_volume m³, height, scaled_height and the back-break lengths m,
    plunge and the bolt's trend and plunge degrees, weight and
    required_bolt_force kN, areas m²; kc, fs and scale are ratios.
    contact and fs_contact are trelmox.Contact members, state
    the data's Chinese name (as the JSON keeps it) and state_code its
    trelmox.State. A figure that does not exist or was not worked out is None,
    never 0: Kc and its wedge's volume, height and plunge when the planes cut
    out no block, Fs without a real wedge. A factor above 100 is None with
    kc_note or fs_note saying why ("above 100", "no driving force"); an Fs
    that could not be computed is None with fs_error and its fs_error_kind
    ("overflow", "refused_input", ...), while Kc stands.
    """

    def __init__(self, figures):
        self.__dict__["_figures"] = figures

    _ENUMS = {"contact": Contact, "fs_contact": Contact, "state_code": State}

    def __getattr__(self, name):
        try:
            value = self._figures[name]
        except KeyError:
            raise AttributeError(name) from None
        kind = Result._ENUMS.get(name)
        return value if kind is None or value is None else kind(value)

    def __setattr__(self, name, value):
        raise AttributeError("a result is read-only")

    def __dir__(self):
        return list(self._figures) + ["to_dict"]

    def __getstate__(self):
        return self._figures

    def __setstate__(self, figures):
        self.__dict__["_figures"] = figures

    def __eq__(self, other):
        return isinstance(other, Result) and self._figures == other._figures

    def __repr__(self):
        return "Result(block={!r}, kc={!r}, fs={!r}, state={!r})".format(self.block, self.kc, self.fs, self.state)

    def to_dict(self):
        """The figures as a new dict, keys in the tool's order."""
        return _copy.deepcopy(self._figures)


class Block:
    """A block: four planes, the parameters of the rock and the joints, and
    its loads and support (the companion file's JSON form, as a dict or a
    text; None: a block without one, which carries its own water pressures
    u1, u2 and nothing else).

    Arguments (units: any one consistent system; the engine attaches none.
    The usual one, as the data file's fields are described, is given):

        plane1, plane2   the first and the second cutting plane: (dip, dip
                         direction), degrees (dip 0..90, direction 0..360)
        top              the slope top surface: (dip, dip direction), degrees
        face             the slope face: (dip, dip direction), degrees
        rock             unit weight of the rock, kN/m³ (not negative)
        water            unit weight of water, kN/m³ (not negative)
        height           slope height, m (above zero)
        c1, c2           cohesion of plane 1 and plane 2, kPa (not negative)
        f1, f2           friction coefficient (tan φ) of plane 1 and plane 2,
                         a ratio (not negative)
        u1, u2           the water pressure entered for plane 1 and plane 2,
                         kPa (default 0); leave them out with computed_water
        computed_water   True: both pressures worked out as water × height / 6
        overhang         the overhang coefficient, a whole number (default 1)
        loads            the companion file's JSON (a dict or its text): water
                         mode, tension crack, seismic coefficient, forces (kN),
                         pressures (kPa), bolts (kN), required factor; None for
                         a block without one
        name             the block's name, which names its files

    The block is the one its data file would hold: it is written and read
    back (attitudes to 15 significant digits), and checked as a file is.
    What the program's windows refuse is refused here, as RefusedInputError
    whose `field` is the argument: a name with "/", "\\", a control character
    (a NUL among them), or "." or ".."; a dip outside 0..90 degrees (an
    overhanging face among them) or a dip direction outside 0..360; a height
    that is not above zero, a negative unit weight, cohesion or friction
    coefficient (the error's `field` is "height", "rock", "c1", ...).
    """

    def __init__(self, plane1, plane2, top, face, *, rock, water, height, c1, f1, c2, f2, u1=None, u2=None,
                 overhang=1, computed_water=False, loads=None, name="block"):
        if loads is not None and not isinstance(loads, str):
            loads = _json.dumps(loads)
        planes = [tuple(float(v) for v in p) for p in (plane1, plane2, top, face)]
        self._core = _trelmox.Block(name, planes, float(rock), float(water), float(height), float(c1), float(f1),
                                    float(c2), float(f2), None if u1 is None else float(u1),
                                    None if u2 is None else float(u2), int(overhang), bool(computed_water), loads)

    @classmethod
    def _wrap(cls, core):
        block = cls.__new__(cls)
        block._core = core
        return block

    def __getstate__(self):
        return self._core

    def __setstate__(self, core):
        self._core = core

    @property
    def name(self):
        return self._core.name

    @property
    def attitudes(self):
        """{"plane1": (dip, dip direction), "plane2": ..., "top": ..., "face": ...}"""
        return dict(zip(_PLANES, self._core.attitudes))

    @property
    def parameters(self):
        """The parameters as numbers: rock, water, height, overhang, u1, u2, c1, f1, c2, f2, and computed_water."""
        texts = self._core.parameter_texts
        numbers = {}
        for key, text in texts.items():
            if key == "computed_water":
                numbers[key] = text
            elif key == "overhang":
                numbers[key] = int(text)
            else:
                numbers[key] = float(text)
        return numbers

    @property
    def loads(self):
        """The loads and support as the companion file's JSON (a dict), None for a block without."""
        text = self._core.loads_json
        return None if text is None else _json.loads(text)

    def data_text(self):
        """The 18 lines of the block's data file (CR LF line ends)."""
        return self._core.data_text()

    def analyse(self):
        """Kc, the geometry and the full analysis of the real wedge: a Result."""
        return Result(self._core.analyse())

    analyze = analyse

    def save(self, folder):
        """Writes the data file <name>.txt (GBK, as the windows save it) and,
        for a block with loads, its companion file <name>.json into the
        folder (made if missing), each replaced atomically. Returns the paths."""
        return [_pathlib.Path(p) for p in self._core.save(_folder(folder))]

    def write_reports(self, folder):
        """The analysis report <name>.txt and, for a block with loads, the full
        analysis report, as `trelmox-cli analyze --report-dir` writes them.
        A block data file of the same name in the folder (one `save` wrote)
        is never replaced: RefusedInputError."""
        return [_pathlib.Path(p) for p in self._core.write_reports(_folder(folder))]

    def write_dxf(self, folder):
        """The DXF drawing of the wedge, as `analyze --dxf-dir` writes it."""
        return _pathlib.Path(self._core.write_dxf(_folder(folder)))

    def write_pictures(self, folder):
        """The stereonet and the 3D view (SVG), as `analyze --plot-dir` writes them."""
        return [_pathlib.Path(p) for p in self._core.write_pictures(_folder(folder))]

    def calculation_report(self, date=None):
        """The calculation report (计算书) as the PDF writer lays it out: a dict
        of title, header, cover (label, value pairs) and sections, each a list
        of items {"paragraph": text}, {"heading": text}, {"table": {caption,
        header, rows}} or {"picture": {caption, svg}}. `date` as "2026-12-09"
        (default today). The PDF itself: `trelmox-cli report`."""
        return self._core.calculation_report(date)

    def probabilistic(self, samples=10000, seed=1, method="mc", distributions=None, fisher=None, correlation=None,
                      required=None, bins=20, threads=0, keep_factors=False):
        """A Monte Carlo ("mc") or Latin hypercube ("lhs") run, as `trelmox-cli probabilistic`.

        distributions: {input: shape}, shape one of ("normal", sd), ("uniform", low, high),
        ("lognormal", sd), ("exponential",), ("triangular", low, high), ("beta", sd, low, high),
        ("gamma", sd), or a dict {"type": ..., "sd", "low", "high", "truncate": (low, high)}.
        fisher: {"plane1" | "plane2" | "crack": K}; correlation: {"plane1" | "plane2": rho}
        of c and f; required: the factor Fs must reach (default the loads').
        Each shape's sd, low and high are in its input's unit (see
        trelmox.factors); Fisher's K is a concentration (no unit).
        Returns a ProbabilisticResult: the tool's JSON figures and, with
        keep_factors=True, the Kc and Fs of every wedge sample as NumPy arrays
        (16 bytes a sample, and about twice the run's time); without, its kc
        and fs are None.
        """
        settings = _settings(self, samples, seed, method, distributions, fisher, correlation, required, bins, threads)
        figures, kc, fs = _trelmox.probabilistic(self._core, settings, bool(keep_factors))
        return ProbabilisticResult(figures, kc, fs)

    def sample_inputs(self, samples=10000, seed=1, method="mc", distributions=None, fisher=None, correlation=None,
                      threads=0):
        """The inputs the probabilistic run with these settings draws: {input: array}, one value per sample.
        trelmox.factors(block, **inputs) gives that run's factors."""
        settings = _settings(self, samples, seed, method, distributions, fisher, correlation, None, 20, threads)
        return _trelmox.sample_inputs(self._core, settings)

    def sensitivity(self, input, start, stop, steps=20, required=None):
        """Kc and Fs as one input (trelmox.INPUTS) runs from start to stop,
        in that input's unit (see trelmox.factors), in `steps` steps, as
        `trelmox-cli sensitivity --format json`: its dict, with NumPy arrays
        "values", "kc" and "fs" (NaN where no factor) beside the rows. A
        Curve: `.to_frame()` gives the steps as a pandas DataFrame."""
        figures = Curve(_trelmox.sensitivity(self._core, input, float(start), float(stop), int(steps),
                                             None if required is None else float(required)))
        import numpy
        rows = figures["steps"]
        figures["values"] = numpy.array([r["value"] for r in rows], dtype=float)
        for key in ("kc", "fs"):
            figures[key] = numpy.array([numpy.nan if r[key] is None else r[key] for r in rows], dtype=float)
        return figures

    def __repr__(self):
        return "Block(name={!r}, {})".format(self.name, ", ".join(
            "{}=({:g}, {:g})".format(k, *v) for k, v in self.attitudes.items()))


def set_language(name):
    """Words the messages and the reports in English ("en", the default) or
    in the Chinese of the program's windows ("zh")."""
    _trelmox.set_language(name)


def language():
    """"en" or "zh": the language messages and reports are worded in."""
    return _trelmox.language()


def read_block(path):
    """The block of a data file, with the loads of its companion file (the
    data file's name with .json, beside it) if it has one. Named after the
    file, up to its first "."."""
    return Block._wrap(_trelmox.read_block(str(path)))


def _settings(block, samples, seed, method, distributions, fisher, correlation, required, bins, threads):
    return _trelmox.RunSettings(block._core, dict(distributions or {}), int(samples), int(seed), method,
                                {str(k): float(v) for k, v in (fisher or {}).items()},
                                {str(k): float(v) for k, v in (correlation or {}).items()},
                                None if required is None else float(required), int(bins), _threads(threads))


def _threads(threads):
    """The threads of a run: those asked for; threads=0 all cores, or in a
    task of a Dask worker that runs several tasks at once, the worker's
    cores shared among them. (A worker process that Dask's nanny started has
    OMP_NUM_THREADS=1 already, one thread a task.) A run on few samples
    takes one thread whatever it is given."""
    threads = int(threads)
    if threads != 0 or "distributed" not in _sys.modules:
        return threads
    try:
        worker = _sys.modules["distributed"].get_worker()
    except ValueError:  # not in a task of a worker
        return 0
    state = getattr(worker, "state", None)  # the worker's task slots, where newer Dask keeps them
    slots = max(1, int(getattr(state, "nthreads", None) or getattr(worker, "nthreads", 1) or 1))
    if slots == 1:
        return 0
    try:
        cores = int(_os.environ.get("OMP_NUM_THREADS", "").split(",")[0])
    except ValueError:
        cores = len(_os.sched_getaffinity(0))
    return max(1, cores // slots)


class ProbabilisticResult:
    """A probabilistic run: `summary`, the dict of `trelmox-cli probabilistic
    --format json` (Kc's figures at the top level, Fs's under "fs"), and the
    factors of the samples that cut out a wedge, in sample order: `kc` and
    `fs` (NumPy arrays; None unless the run was asked to keep them)."""

    def __init__(self, summary, kc, fs):
        self.summary, self.kc, self.fs = summary, kc, fs

    def to_dict(self):
        return _copy.deepcopy(self.summary)

    def to_frame(self):
        """The kept factors as a pandas DataFrame in long form: a row per
        factor of a wedge sample, columns "factor" ("kc" or "fs", the JSON's
        keys of the two factors) and "value", Kc's samples first, each in
        sample order (Kc and Fs need not have the same wedge samples).
        Needs keep_factors=True."""
        if self.kc is None:
            raise RefusedInputError("the run kept no factors: run it with keep_factors=True")
        pd = _pandas()
        import numpy
        return pd.DataFrame({"factor": pd.Categorical(["kc"] * len(self.kc) + ["fs"] * len(self.fs),
                                                      categories=["kc", "fs"]),
                             "value": numpy.concatenate([self.kc, self.fs])})

    def __repr__(self):
        return "ProbabilisticResult(samples={}, mean Kc={}, P(failure)={})".format(
            self.summary["samples"], self.summary["mean"], self.summary["p_failure"])


def target_beta(safety_class, failure_type):
    """The target reliability index of GB 50153-2008 Table A.1.4 for the
    safety class (1, 2 or 3) and the failure type ("ductile" or "brittle")."""
    return _trelmox.target_beta(int(safety_class), str(failure_type))


def reliability(block, distributions=None, fisher=None, correlation=None, factor="fs", target_beta=None,
                design_bolt=None, is_cov=0.1, max_samples=1000000, seed=1, threads=0):
    """The reliability analysis of `trelmox-cli reliability`: the index beta,
    the design point and P(failure) by FORM, SORM and importance sampling,
    the failure modes and the system's P(failure).

    distributions, fisher, correlation: the random inputs as
    Block.probabilistic takes them. factor: "fs" (the real wedge with its
    loads) or "kc". target_beta: a number, or (safety class, failure type)
    as trelmox.target_beta takes them. design_bolt: (trend, plunge) of one
    more active bolt whose least force reaching the target is sought, or
    "least" for the direction needing the least force (found, with its
    force; the target holds up to 10 % above the force).
    is_cov, max_samples: where importance sampling stops. Returns a
    ReliabilityResult.
    """
    if isinstance(target_beta, (tuple, list)):
        target_beta = globals()["target_beta"](*target_beta)
    settings = _settings(block, 1, seed, "mc", distributions, fisher, correlation, None, 20, threads)
    core = _trelmox.reliability(block._core, settings, str(factor),
                                None if target_beta is None else float(target_beta), design_bolt, float(is_cov),
                                int(max_samples))
    return ReliabilityResult(core)


class ReliabilityResult:
    """A reliability analysis. Its attributes are the keys of `trelmox-cli
    reliability --format json` - beta, pf_form, pf_sorm (Tvedt's), pf_is,
    pf_is_cov, design_point and alpha ({input: value}), fs_at_design_point,
    evaluations, modes, pf_system, target_beta, meets_target,
    required_bolt_force, required_bolt_trend, required_bolt_plunge,
    required_bolt_lower_bound, required_bolt_confirmed, error - and beside them pf_breitung, is_samples, iterations, curvatures,
    pf_system_cov, ditlevsen_bounds (low, high), system_beta and
    bolt_evaluations. Each mode also has its design_point and alpha. A figure that
    was not worked out is None; `to_dict()` is the tool's JSON object."""

    _FIELDS = ("beta", "pf_form", "pf_sorm", "pf_is", "pf_is_cov", "design_point", "alpha", "fs_at_design_point",
               "evaluations", "modes", "pf_system", "target_beta", "meets_target", "required_bolt_force",
               "required_bolt_trend", "required_bolt_plunge", "required_bolt_lower_bound",
               "required_bolt_confirmed", "error", "pf_breitung", "is_samples", "iterations", "curvatures",
               "pf_system_cov", "ditlevsen_bounds", "system_beta", "bolt_evaluations")

    def __init__(self, core):
        figures = {name: getattr(core, name) for name in self._FIELDS}
        self.__dict__["_figures"] = figures
        self.__dict__["_dict"] = core.to_dict()

    def __getattr__(self, name):
        try:
            return self._figures[name]
        except KeyError:
            raise AttributeError(name) from None

    def __setattr__(self, name, value):
        raise AttributeError("a result is read-only")

    def __getstate__(self):
        return self.__dict__

    def __setstate__(self, state):
        self.__dict__.update(state)

    def __dir__(self):
        return list(self._figures) + ["to_dict"]

    def to_dict(self):
        return _copy.deepcopy(self._dict)

    def __repr__(self):
        return "ReliabilityResult(beta={}, pf_form={}, pf_is={})".format(self.beta, self.pf_form, self.pf_is)


class FactorArrays(_collections.namedtuple("FactorArrays", "kc fs kc_outcome fs_outcome")):
    """Kc and Fs of every sample, with their outcome codes (trelmox.Outcome,
    which index trelmox.OUTCOMES: a contact case, or a failure, whose factor
    is NaN)."""

    __slots__ = ()

    def to_frame(self):
        """A pandas DataFrame of a row per sample (a grid's cells in C
        order): kc, fs, and kc_outcome, fs_outcome as categories named as
        trelmox.OUTCOMES."""
        pd = _pandas()
        outcome = pd.CategoricalDtype(OUTCOMES)
        return pd.DataFrame({
            "kc": self.kc.ravel(), "fs": self.fs.ravel(),
            "kc_outcome": pd.Categorical.from_codes(self.kc_outcome.ravel(), dtype=outcome),
            "fs_outcome": pd.Categorical.from_codes(self.fs_outcome.ravel(), dtype=outcome)})


def factors(block, threads=0, **inputs):
    """Kc and Fs of many samples of the block at once: each keyword an input
    (trelmox.INPUTS: dip1, c1, height, u1, k, bolt, ...) with a NumPy array of
    its values, or one number for every sample, each in the unit of the
    Block argument it varies (dips and dip directions degrees, c kPa, f a
    ratio, rock and water kN/m³, height and crackdist m, u kPa, k a ratio of
    the weight, force and bolt kN); the other inputs keep the
    block's values. Each sample is worked out exactly as a probabilistic run
    works out a sample with those inputs (the same vector lanes), on every
    core (threads=0) with the interpreter free meanwhile. Returns
    FactorArrays(kc, fs, kc_outcome, fs_outcome).

    The arrays broadcast together as NumPy broadcasts them, and the results
    have their shape: inputs from numpy.meshgrid give a grid of factors
    (a sample per cell), never a flattened list. Only numbers alone give
    arrays of one sample (shape (1,)). A refused value's `row` is its
    sample's place in C order: numpy.unravel_index(error.row, shape) is
    its cell."""
    import numpy
    names = list(inputs)
    arrays = numpy.broadcast_arrays(*[numpy.asarray(inputs[name], dtype=numpy.float64) for name in names])
    shape = arrays[0].shape if arrays and arrays[0].ndim > 0 else (1,)
    arrays = [numpy.ascontiguousarray(a).reshape(-1) for a in arrays]
    kc, kc_outcome, fs, fs_outcome = _trelmox.factors(block._core, names, arrays, _threads(threads))
    return FactorArrays(*(numpy.asarray(a).reshape(shape) for a in (kc, fs, kc_outcome, fs_outcome)))


class Measurements:
    """A measurement file's planes (read_measurements). Pickles with the
    file's bytes, so a task on another machine needs no shared folder."""

    def __init__(self, data, name="measurements"):
        if isinstance(data, str):
            data = data.encode("utf-8")
        self._core = _trelmox.Measurements(name, bytes(data))

    @classmethod
    def _wrap(cls, core):
        m = cls.__new__(cls)
        m._core = core
        return m

    def __getstate__(self):
        return self._core

    def __setstate__(self, core):
        self._core = core

    def __len__(self):
        return len(self._core)

    @property
    def name(self):
        return self._core.name

    @property
    def summary(self):
        """One line: how many planes in which notation, the sets, the encoding."""
        return self._core.summary

    def planes(self):
        """The planes as columns: dip, dipdir, weight, c, f (NumPy arrays; NaN: not given), set, line."""
        return self._core.columns()

    def sets(self, grouping="labels", seed=1):
        """The joint sets with their Fisher statistics: by the file's labels
        ("labels") or N sets grouped by k-means on the sphere ("auto:N")."""
        return self._core.sets(grouping, int(seed))


def read_measurements(path):
    """The planes of a measurement file (CSV: dip,dipdir or quadrant notation, sets, weights, c and f)."""
    return Measurements._wrap(_trelmox.read_measurements(str(path)))


def read_sectors(path):
    """The sectors of a slope from a sectors file: a list of dicts with name,
    dip, dipdir (the face), height (None: not given), top_dip, top_dipdir and line."""
    return _trelmox.read_sectors(str(path))


def combinations(block, measurements, sets="planes", probabilistic=False, samples=10000, seed=1, threads=0):
    """Every pair of planes or sets as the cutting planes of the block's
    slope, as `trelmox-cli combinations --format json`: a list of its rows
    (dicts), sorted by Fs, or with probabilistic=True by P(failure) with
    pf, p_sliding, fs_mean, failed_volume_mean and too_small. A Rows:
    `.to_frame()` gives them as a pandas DataFrame."""
    if not isinstance(measurements, Measurements):
        measurements = read_measurements(measurements)
    rows = _trelmox.combinations(block._core, measurements._core, sets, bool(probabilistic), int(samples), int(seed),
                                 _threads(threads))
    return Rows(rows)


def kinematics(sectors, measurements, friction=30, lateral=20):
    """The planar, wedge, flexural and direct toppling checks of the planes
    against every sector's face, as `trelmox-cli kinematics --format json`:
    a list of its rows (a dict per sector and mode). `sectors` is a sectors
    file, `measurements` a measurement file or Measurements; the friction
    angle and the lateral limits in degrees. A Rows: `.to_frame()` gives
    them as a pandas DataFrame."""
    if not isinstance(measurements, Measurements):
        measurements = read_measurements(measurements)
    return Rows(_trelmox.kinematics(str(sectors), measurements._core, float(friction), float(lateral)))


def _folder(folder):
    _os.makedirs(folder, exist_ok=True)
    return str(folder)


def read_cloud(path, frame="ENU"):
    """The points of a point cloud file (PLY ASCII or binary, LAS 1.0-1.4
    uncompressed, XYZ text) as a float64 array of shape (n, 3), in the block
    frame (x east, y north, z up). `frame` gives the directions of the file's
    x, y and z axes as three of E W N S U D ("NEU": northing, easting, up).
    LAS points classified as vegetation or noise are left out."""
    return _trelmox.read_cloud(str(path), str(frame))["points"]


def _columns(rows, keys):
    import numpy as np
    columns = {}
    for key in keys:
        values = [row[key] for row in rows]
        if key in ("set",):
            columns[key] = np.array(["" if v is None else v for v in values], dtype=object)
        elif key in ("facet", "points", "count"):
            columns[key] = np.array(values, dtype=np.int64)
        elif any(v is None for v in values):
            # A figure that does not exist (K of a set without scatter) is
            # masked, and NaN beneath the mask.
            columns[key] = np.ma.masked_array([np.nan if v is None else v for v in values],
                                              mask=[v is None for v in values])
        else:
            columns[key] = np.array(values, dtype=np.float64)
    return columns


_FACET_KEYS = ("facet", "dip", "dipdir", "area", "extent", "x", "y", "z", "rms", "points", "set")
_SET_KEYS = ("set", "dip", "dipdir", "k", "cone95", "count", "area", "extent_mean")


def facets(points, voxel=0.0, neighbours=20, min_facet_area=0.0, sets="auto:6", weight="area"):
    """The planar facets and joint sets of a cloud's points (an array of
    shape (n, 3), e.g. from read_cloud, in m), as `trelmox-cli cloud`: voxel
    the thinning cell (m, 0: none), min_facet_area in m². A dict with
    "facets" and "sets", each a dict of NumPy arrays by the tool's JSON keys
    (a set's label "" where a facet is in no set, "坡面" for the slope face,
    which comes last among the sets; k and cone95 masked where they do not
    exist), "measurements" (the text of the measurement file, for
    Measurements(...) and combinations; None beyond what such a file holds),
    "points" (the thinned points), "point_set" (each thinned point's set:
    1 for J1, ..., 0 the face, -1 none) and "spacing"."""
    import numpy as np
    if isinstance(sets, int):
        sets = str(sets)
    core = _trelmox.facets(np.asarray(points, dtype=np.float64), float(voxel), int(neighbours), float(min_facet_area),
                           str(sets), str(weight))
    return {"facets": _columns(core["facets"], _FACET_KEYS),
            "sets": _columns(core["sets"], _SET_KEYS),
            "measurements": core["measurements"], "points": core["points"], "point_set": core["point_set"],
            "spacing": core["spacing"]}
