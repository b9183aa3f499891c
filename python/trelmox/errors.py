"""The exceptions of trelmox, one class per kind of failure.

Every failure of the engine is a TrelmoxError whose message is the text the
command-line tool prints, and whose attributes say where it came from:

    kind    "other", "arithmetic", "number_text", "file" or "refused_input"
    fault   for arithmetic failures: "division_by_zero", "invalid_operation",
            "overflow" or "no_driving_force"; else "none"
    field   the input the failure is about ("SlopeHeight", "seismic.k", ...)
    line    the data-file line (from 1), row the table row (from 0)
    path    the file, errno the system's error number of a file operation

Decide by the class or by `kind`, never by the message.
"""


class TrelmoxError(Exception):
    kind = "other"
    fault = "none"
    field = None
    line = None
    row = None
    path = None
    errno = None

    def __reduce__(self):
        # Keeps the source of the failure across processes (Dask ships a
        # task's exception back to the client by pickling it).
        return (_rebuild, (type(self), self.args, dict(self.__dict__)))


def _rebuild(cls, args, state):
    error = cls(*args)
    error.__dict__.update(state)
    return error


class CalculationError(TrelmoxError, ArithmeticError):
    """A division by zero, an invalid operation or an overflow in a computation."""
    kind = "arithmetic"


class NumberTextError(TrelmoxError, ValueError):
    """A text that is not a number, or one beyond a number's range."""
    kind = "number_text"


class TrelmoxFileError(TrelmoxError, OSError):
    """A file that could not be read or written."""
    kind = "file"

    def __str__(self):
        return self.args[0] if self.args else ""


class MissingFileError(TrelmoxFileError, FileNotFoundError):
    """A file that is not there: both a TrelmoxFileError and Python's
    FileNotFoundError, so either catches it."""


class RefusedInputError(TrelmoxError, ValueError):
    """A value or a line out of its range or shape."""
    kind = "refused_input"


_CLASSES = {
    "other": TrelmoxError,
    "arithmetic": CalculationError,
    "number_text": NumberTextError,
    "file": TrelmoxFileError,
    "refused_input": RefusedInputError,
    "missing_file": MissingFileError,
}


def error_class(kind):
    return _CLASSES.get(kind, TrelmoxError)
