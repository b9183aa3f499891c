"""The enumerations of trelmox's results and their tables as pandas DataFrames.

pandas is optional: it is imported only when a `to_frame()` is called, and
its absence is said then, plainly. A DataFrame's columns are the keys of
the tool's JSON rows, in their order; a figure that does not exist (JSON
null) is NaN in a numeric column and None in a column of texts.
"""
import enum as _enum


class Contact(str, _enum.Enum):
    """How the wedge rests on its cutting planes. Each member equals (and
    hashes as) the tool's name of the case, the text a result held before:
    `result.contact == "BothPlanes"` still holds."""

    NO_BLOCK = "NoBlock"
    BOTH_PLANES = "BothPlanes"
    FIRST_PLANE_ONLY = "FirstPlaneOnly"
    SECOND_PLANE_ONLY = "SecondPlaneOnly"
    LIFT_OFF = "LiftOff"
    UNRESOLVED = "Unresolved"

    __hash__ = str.__hash__

    def __str__(self):
        return self.value

    __format__ = str.__format__


_STATE_NAMES = {"stable": "稳定", "basically_stable": "基本稳定", "marginal": "欠稳定", "unstable": "不稳定"}


class State(str, _enum.Enum):
    """The stability state of the real wedge against the required factor,
    by the tool's `state_code` (equal to and hashing as that text).
    `data_name` is the Chinese name the data files, JSON and CSV keep as
    `state`."""

    STABLE = "stable"
    BASICALLY_STABLE = "basically_stable"
    MARGINAL = "marginal"
    UNSTABLE = "unstable"

    __hash__ = str.__hash__

    def __str__(self):
        return self.value

    __format__ = str.__format__

    @property
    def data_name(self):
        return _STATE_NAMES[self.value]


class Outcome(_enum.IntEnum):
    """The outcome code of a sample in trelmox.factors (kc_outcome,
    fs_outcome): its contact case, or the failure that left its factor
    NaN. The codes index trelmox.OUTCOMES, whose names are the tool's."""

    NO_BLOCK = 0
    BOTH_PLANES = 1
    FIRST_PLANE_ONLY = 2
    SECOND_PLANE_ONLY = 3
    LIFT_OFF = 4
    UNRESOLVED = 5
    OVERFLOW = 6
    DIVISION_BY_ZERO = 7
    INVALID_OPERATION = 8
    NO_DRIVING = 9


# The tool's names of the outcomes, in code order.
OUTCOMES = ("NoBlock", "BothPlanes", "FirstPlaneOnly", "SecondPlaneOnly", "LiftOff", "Unresolved",
            "Overflow", "DivisionByZero", "InvalidOperation", "NoDriving")


def pandas():
    """The pandas module, or an ImportError that says what to install."""
    try:
        import pandas as pd
    except ImportError:
        raise ImportError("to_frame() needs pandas, which is not installed (Debian: apt install python3-pandas); "
                          "the results themselves need no pandas") from None
    return pd


def frame_of_rows(rows, keys=None):
    """A DataFrame of JSON rows (dicts): a column per key, in the rows'
    order, nested objects flattened to "a.b" as the tool's CSV names them."""
    pd = pandas()
    flat = [_flattened(row) for row in rows]
    if keys is None:
        keys = []
        for row in flat:
            keys.extend(k for k in row if k not in keys)
    columns = {}
    for key in keys:
        values = [row.get(key) for row in flat]
        present = [v for v in values if v is not None]
        if all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in present):
            columns[key] = pd.Series([float("nan") if v is None else v for v in values], dtype="float64")
        else:
            columns[key] = pd.Series(values, dtype=object)
    return pd.DataFrame(columns, columns=keys)


def _flattened(row, prefix=""):
    flat = {}
    for key, value in row.items():
        if isinstance(value, dict):
            flat.update(_flattened(value, prefix + key + "."))
        else:
            flat[prefix + key] = value
    return flat


class Rows(list):
    """The tool's JSON rows as a list of dicts (what it always was), with
    `to_frame()`: the rows as a pandas DataFrame whose columns are the JSON
    keys."""

    def to_frame(self):
        return frame_of_rows(self)


class Curve(dict):
    """A sensitivity run: the tool's JSON object (block, param, steps,
    kc_method, fs_method, required_factor) with NumPy arrays "values", "kc"
    and "fs" beside it, and `to_frame()`: its steps as a pandas DataFrame
    whose columns are the keys of a step (value, contact, kc, error,
    error_kind, fs_contact, fs, state, state_code, fs_error, fs_error_kind)."""

    def to_frame(self):
        return frame_of_rows(self["steps"])
