import enum
from typing import Any, Iterable

class Contact(str, enum.Enum):
    NO_BLOCK = "NoBlock"
    BOTH_PLANES = "BothPlanes"
    FIRST_PLANE_ONLY = "FirstPlaneOnly"
    SECOND_PLANE_ONLY = "SecondPlaneOnly"
    LIFT_OFF = "LiftOff"
    UNRESOLVED = "Unresolved"

class State(str, enum.Enum):
    STABLE = "stable"
    BASICALLY_STABLE = "basically_stable"
    MARGINAL = "marginal"
    UNSTABLE = "unstable"
    @property
    def data_name(self) -> str: ...

class Outcome(enum.IntEnum):
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

OUTCOMES: tuple[str, ...]

def pandas() -> Any: ...
def frame_of_rows(rows: Iterable[dict[str, Any]], keys: list[str] | None = ...) -> Any: ...

class Rows(list[dict[str, Any]]):
    def to_frame(self) -> Any: ...  # a pandas.DataFrame

class Curve(dict[str, Any]):
    def to_frame(self) -> Any: ...  # a pandas.DataFrame
