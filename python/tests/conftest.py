import os
import pathlib
import subprocess

import pytest

DATA = pathlib.Path(os.environ.get("TRELMOX_TEST_DATA", pathlib.Path(__file__).parents[2] / "tests" / "data"))


@pytest.fixture(scope="session")
def data():
    return DATA


@pytest.fixture(scope="session")
def cli():
    """Runs trelmox-cli with the arguments; returns its standard output."""
    tool = os.environ.get("TRELMOX_CLI", "trelmox-cli")

    def run(*args, check=True):
        # The tool follows the locale; the module speaks English unless told.
        env = dict(os.environ, LC_ALL="C.UTF-8")
        done = subprocess.run([tool, *map(str, args)], capture_output=True, text=True, env=env)
        if check and done.returncode not in (0, 1):
            raise AssertionError(done.stderr)
        return done.stdout
    return run
