# The types of trelmox's public functions and results. Units: angles in
# degrees, lengths in m, unit weights in kN/m³, pressures, cohesions and
# strengths in kPa, forces and weights in kN, areas in m², volumes in m³;
# friction coefficients (tan φ) and safety factors are ratios. Any one
# consistent system of units serves as well: the engine attaches none.
import os
import pathlib
from typing import Any, Literal, Mapping, NamedTuple, Sequence, Union

import numpy
import numpy.typing

from .errors import (CalculationError as CalculationError, MissingFileError as MissingFileError,
                     NumberTextError as NumberTextError, RefusedInputError as RefusedInputError,
                     TrelmoxError as TrelmoxError, TrelmoxFileError as TrelmoxFileError)
from .tables import (OUTCOMES as OUTCOMES, Contact as Contact, Curve as Curve, Outcome as Outcome, Rows as Rows,
                     State as State)

__version__: str
INPUTS: tuple[str, ...]

_Path = Union[str, os.PathLike[str]]
_Floats = numpy.typing.NDArray[numpy.float64]
_Codes = numpy.typing.NDArray[numpy.uint8]
_Attitude = tuple[float, float]  # (dip, dip direction), degrees
_ArrayLike = Union[float, Sequence[float], numpy.typing.NDArray[Any]]
# A distribution: ("normal", sd), ("uniform", low, high), ("lognormal", sd),
# ("exponential",), ("triangular", low, high), ("beta", sd, low, high),
# ("gamma", sd), or {"type": ..., "sd", "low", "high", "truncate": (low, high)};
# in the unit of its input.
_Shape = Union[tuple[str], tuple[str, float], tuple[str, float, float], tuple[str, float, float, float],
               Mapping[str, Any]]
_Language = Literal["en", "zh"]

class Result:
    block: str
    contact: Contact | None
    kc: float | None
    kc_note: str | None
    volume: float | None  # m³
    height: float | None  # m
    plunge: float | None  # degrees
    fs_contact: Contact | None
    fs: float | None
    fs_note: str | None
    fs_error: str | None
    fs_error_kind: str | None
    state: str | None  # the data's Chinese name
    state_code: State | None
    weight: float | None  # kN
    areas: dict[str, float] | None  # m²
    required_bolt_force: float | None  # kN
    required_bolt_trend: float | None  # degrees
    required_bolt_plunge: float | None  # degrees
    scale: float | None
    scale_limit: str | None
    scaled_height: float | None  # m
    wedge_volume: float | None  # m³
    too_small: bool | None
    back_break: float | None  # m
    back_break_length: float | None  # m
    remaining_bench: float | None  # m
    bench_too_narrow: bool | None
    strength: dict[str, Any] | None
    messages: list[str]
    error: str | None
    error_kind: str | None
    def __init__(self, figures: dict[str, Any]) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class Block:
    def __init__(self, plane1: _Attitude, plane2: _Attitude, top: _Attitude, face: _Attitude, *, rock: float,
                 water: float, height: float, c1: float, f1: float, c2: float, f2: float, u1: float | None = ...,
                 u2: float | None = ..., overhang: int = ..., computed_water: bool = ...,
                 loads: Mapping[str, Any] | str | None = ..., name: str = ...) -> None: ...
    @property
    def name(self) -> str: ...
    @property
    def attitudes(self) -> dict[str, _Attitude]: ...
    @property
    def parameters(self) -> dict[str, float | int | bool]: ...
    @property
    def loads(self) -> dict[str, Any] | None: ...
    def data_text(self) -> str: ...
    def analyse(self) -> Result: ...
    def analyze(self) -> Result: ...
    def save(self, folder: _Path) -> list[pathlib.Path]: ...
    def write_reports(self, folder: _Path) -> list[pathlib.Path]: ...
    def write_dxf(self, folder: _Path) -> pathlib.Path: ...
    def write_pictures(self, folder: _Path) -> list[pathlib.Path]: ...
    def calculation_report(self, date: str | None = ...) -> dict[str, Any]: ...
    def probabilistic(self, samples: int = ..., seed: int = ..., method: Literal["mc", "lhs"] = ...,
                      distributions: Mapping[str, _Shape] | None = ..., fisher: Mapping[str, float] | None = ...,
                      correlation: Mapping[str, float] | None = ..., required: float | None = ..., bins: int = ...,
                      threads: int = ..., keep_factors: bool = ...) -> ProbabilisticResult: ...
    def sample_inputs(self, samples: int = ..., seed: int = ..., method: Literal["mc", "lhs"] = ...,
                      distributions: Mapping[str, _Shape] | None = ..., fisher: Mapping[str, float] | None = ...,
                      correlation: Mapping[str, float] | None = ..., threads: int = ...) -> dict[str, _Floats]: ...
    def sensitivity(self, input: str, start: float, stop: float, steps: int = ...,
                    required: float | None = ...) -> Curve: ...

def set_language(name: _Language) -> None: ...
def language() -> _Language: ...
def read_block(path: _Path) -> Block: ...

class ProbabilisticResult:
    summary: dict[str, Any]
    kc: _Floats | None
    fs: _Floats | None
    def __init__(self, summary: dict[str, Any], kc: _Floats | None, fs: _Floats | None) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...
    def to_frame(self) -> Any: ...  # a pandas.DataFrame

def target_beta(safety_class: int, failure_type: Literal["ductile", "brittle"]) -> float: ...
def reliability(block: Block, distributions: Mapping[str, _Shape] | None = ...,
                fisher: Mapping[str, float] | None = ..., correlation: Mapping[str, float] | None = ...,
                factor: Literal["fs", "kc"] = ..., target_beta: float | tuple[int, str] | None = ...,
                design_bolt: _Attitude | Literal["least"] | None = ..., is_cov: float = ..., max_samples: int = ..., seed: int = ...,
                threads: int = ...) -> ReliabilityResult: ...

class ReliabilityResult:
    beta: float | None
    pf_form: float | None
    pf_sorm: float | None
    pf_is: float | None
    pf_is_cov: float | None
    design_point: dict[str, float] | None
    alpha: dict[str, float] | None
    fs_at_design_point: float | None
    evaluations: int
    modes: list[dict[str, Any]]
    pf_system: float | None
    target_beta: float | None
    meets_target: bool | None
    required_bolt_force: float | None  # kN
    required_bolt_trend: float | None  # degrees
    required_bolt_plunge: float | None  # degrees
    required_bolt_lower_bound: float | None  # kN
    required_bolt_confirmed: bool | None
    error: str | None
    pf_breitung: float | None
    is_samples: int | None
    iterations: int
    curvatures: list[float]
    pf_system_cov: float | None
    ditlevsen_bounds: tuple[float, float] | None
    system_beta: float | None
    bolt_evaluations: int | None
    def to_dict(self) -> dict[str, Any]: ...

class FactorArrays(NamedTuple):
    kc: _Floats
    fs: _Floats
    kc_outcome: _Codes
    fs_outcome: _Codes
    def to_frame(self) -> Any: ...  # a pandas.DataFrame

def factors(block: Block, threads: int = ..., **inputs: _ArrayLike) -> FactorArrays: ...

class Measurements:
    def __init__(self, data: str | bytes, name: str = ...) -> None: ...
    def __len__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def summary(self) -> str: ...
    def planes(self) -> dict[str, Any]: ...
    def sets(self, grouping: str = ..., seed: int = ...) -> list[dict[str, Any]]: ...

def read_measurements(path: _Path) -> Measurements: ...
def read_sectors(path: _Path) -> list[dict[str, Any]]: ...
def combinations(block: Block, measurements: Measurements | _Path, sets: str = ..., probabilistic: bool = ...,
                 samples: int = ..., seed: int = ..., threads: int = ...) -> Rows: ...
def kinematics(sectors: _Path, measurements: Measurements | _Path, friction: float = ...,
               lateral: float = ...) -> Rows: ...
def read_cloud(path: _Path, frame: str = ...) -> _Floats: ...
def facets(points: numpy.typing.ArrayLike, voxel: float = ..., neighbours: int = ..., min_facet_area: float = ...,
           sets: str | int = ..., weight: str = ...) -> dict[str, Any]: ...
