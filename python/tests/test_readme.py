"""The README's Python example runs as written, from the repository's root,
with the module under test: the README cannot drift from the module or the
shipped example block again."""
import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]


def test_the_readmes_python_example_runs_as_written():
    readme = (ROOT / "README.md").read_text(encoding="utf-8")
    blocks = re.findall(r"^```python\n(.*?)^```", readme, flags=re.S | re.M)
    assert blocks, "README.md has no ```python block"
    for block in blocks:
        done = subprocess.run([sys.executable, "-c", block], cwd=ROOT, capture_output=True, text=True,
                              env=dict(os.environ))
        assert done.returncode == 0, "the README's example fails:\n" + block + "\n" + done.stderr
        assert done.stdout.strip(), "the README's example prints nothing"
