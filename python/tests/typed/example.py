"""A script as a user would write it, checked by `mypy --strict` against the
package's stubs (and run by the tests)."""
import sys
from pathlib import Path

import numpy

import trelmox


def main(data: Path, out: Path) -> None:
    block = trelmox.read_block(data / "example_block.txt")
    result: trelmox.Result = block.analyse()
    kc: float | None = result.kc
    if result.contact is trelmox.Contact.BOTH_PLANES and result.state_code is not None:
        print(kc, result.fs, result.state_code.value, result.state_code.data_name)
    made = trelmox.Block(plane1=(43, 102), plane2=(70, 235), top=(12, 195), face=(65, 185), rock=25, water=9.81,
                         height=40, c1=24, f1=0.364, c2=48, f2=0.577, computed_water=True, name="typed")
    written: list[Path] = made.save(out)
    dxf: Path = made.write_dxf(out)
    run = made.probabilistic(samples=500, distributions={"c1": ("normal", 5), "f1": ("uniform", 0.3, 0.45)},
                             keep_factors=True)
    p_failure: float = run.summary["p_failure"]
    grid = trelmox.factors(made, c1=numpy.linspace(0, 40, 5), f1=0.364)
    codes = [trelmox.Outcome(int(code)) for code in grid.kc_outcome]
    curve = made.sensitivity("c1", 0, 40, steps=4)
    rows: list[dict[str, object]] = trelmox.combinations(made, data / "joint_measurements.csv", sets="auto:3")
    try:
        trelmox.read_block(out / "missing.txt")
    except FileNotFoundError as missing:
        assert isinstance(missing, trelmox.TrelmoxFileError)
        print(missing.errno, missing.path)
    beta: float | None = trelmox.reliability(made, distributions={"c1": ("normal", 5)}).beta
    print(len(written), dxf.name, p_failure, codes[0].name, curve["kc"][0], len(rows), beta)


if __name__ == "__main__":
    main(Path(sys.argv[1]), Path(sys.argv[2]))
