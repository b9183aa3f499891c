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
"""
import copy as _copy
import json as _json

from . import _trelmox
from .errors import (CalculationError, NumberTextError, RefusedInputError, TrelmoxError,  # noqa: F401
                     TrelmoxFileError)

__all__ = ["Block", "Result", "read_block", "TrelmoxError", "CalculationError", "NumberTextError",
           "RefusedInputError", "TrelmoxFileError"]

_PLANES = ("plane1", "plane2", "top", "face")


class Result:
    """The figures of one block, as the tool's JSON object has them.

    Each key of `to_dict()` is an attribute: block, contact, kc, volume,
    height, plunge, fs_contact, fs, state, weight, areas, required_bolt_force,
    required_bolt_trend, required_bolt_plunge, scale, scale_limit,
    scaled_height, wedge_volume, too_small, back_break, back_break_length,
    remaining_bench, bench_too_narrow, strength (blocks with a strength model
    only), messages and error. A figure that was not worked out is None.
    """

    def __init__(self, figures):
        self.__dict__["_figures"] = figures

    @classmethod
    def _from_json(cls, text):
        return cls(_json.loads(text))

    def __getattr__(self, name):
        try:
            return self._figures[name]
        except KeyError:
            raise AttributeError(name) from None

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

    Attitudes are (dip, dip direction) in degrees; plane1, plane2 the cutting
    planes, top the slope top surface, face the slope face. rock and water
    are the unit weights, height the slope height, c and f each cutting
    plane's cohesion and friction coefficient, u1 and u2 the entered water
    pressures (computed_water=True works them out from water and height
    instead), overhang the overhang coefficient.

    The block is the one its data file would hold: it is written and read
    back (attitudes to 15 significant digits), and checked as a file is.
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
        return Result._from_json(self._core.analyse_json())

    analyze = analyse

    def __repr__(self):
        return "Block(name={!r}, {})".format(self.name, ", ".join(
            "{}=({:g}, {:g})".format(k, *v) for k, v in self.attitudes.items()))


def read_block(path):
    """The block of a data file, with the loads of its companion file (the
    data file's name with .json, beside it) if it has one. Named after the
    file, up to its first "."."""
    return Block._wrap(_trelmox.read_block(str(path)))
