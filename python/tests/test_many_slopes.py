import importlib.machinery
import types
import os
import pathlib

import pytest

EXAMPLES = pathlib.Path(os.environ.get("TRELMOX_EXAMPLES", pathlib.Path(__file__).parents[2] / "examples"))


@pytest.fixture(scope="module")
def many_slopes():
    loader = importlib.machinery.SourceFileLoader("many_slopes", str(EXAMPLES / "many_slopes.py"))
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    return module


def test_the_study_on_a_local_cluster_equals_the_serial_run(many_slopes, data):
    distributed = pytest.importorskip("distributed")
    files = (data / "pit_sectors.csv", data / "joint_measurements.csv", data / "example_block.txt")
    serial = many_slopes.study(*files, sets="auto:3", samples=2000)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as client:
        spread = many_slopes.study(*files, sets="auto:3", samples=2000, client=client, threads=1)
    assert spread == serial
    assert list(dict.fromkeys(row["sector"] for row in serial)) == ["北帮", "东帮", "南帮", "西帮"]
    assert any(row["pf"] is not None for row in serial)


def test_an_overhanging_sector_is_one_row_with_its_error(many_slopes, data):
    # 西帮 faces 95 degrees: no slope of the wedge analysis overhangs.
    table = many_slopes.study(data / "pit_sectors.csv", data / "joint_measurements.csv", data / "example_block.txt",
                              sets="auto:3", samples=200)
    west = [row for row in table if row["sector"] == "西帮"]
    assert len(west) == 1 and west[0]["error"] and west[0]["fs"] is None
    assert all(sum(row["sector"] == name for row in table) > 1 for name in ("北帮", "东帮", "南帮"))
    assert "90" in west[0]["error"]
