"""Threads on a shared machine: OpenMP's idle threads sleep unless the user
says otherwise, a task of a threaded Dask worker takes its share of the
cores, and a probabilistic run keeps every sample's factors only when asked."""
import os
import subprocess
import sys

import pytest

import trelmox


@pytest.mark.parametrize("environment, policy", [
    ({}, "PASSIVE"),                               # the module's default
    ({"OMP_WAIT_POLICY": "active"}, "active"),     # the user's own kept
    ({"GOMP_SPINCOUNT": "1000"}, None),            # the runtime's own spin count kept
])
def test_the_wait_policy_is_passive_unless_the_user_sets_one(environment, policy):
    env = {k: v for k, v in os.environ.items() if k not in ("OMP_WAIT_POLICY", "GOMP_SPINCOUNT")}
    env.update(environment)
    done = subprocess.run([sys.executable, "-c", "import os, trelmox; print(os.environ.get('OMP_WAIT_POLICY'))"],
                          env=env, capture_output=True, text=True, check=True)
    assert done.stdout.strip() == str(policy)


def test_idle_threads_use_no_cpu_between_runs(data):
    """After a run on two threads the process sleeps without burning a core."""
    script = """
import resource, time, numpy, trelmox
block = trelmox.read_block({path!r})
trelmox.factors(block, c1=numpy.linspace(0, 40, 1 << 20), threads=2)
before = resource.getrusage(resource.RUSAGE_SELF)
time.sleep(0.5)
after = resource.getrusage(resource.RUSAGE_SELF)
print(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
""".format(path=str(data / "example_block.txt"))
    env = {k: v for k, v in os.environ.items() if k not in ("OMP_WAIT_POLICY", "GOMP_SPINCOUNT")}
    done = subprocess.run([sys.executable, "-c", script], env=env, capture_output=True, text=True, check=True)
    assert float(done.stdout) < 0.05


def test_a_threaded_dask_worker_shares_its_cores_among_its_tasks():
    distributed = pytest.importorskip("distributed")
    assert trelmox._threads(0) == 0 and trelmox._threads(3) == 3  # outside a worker: as given
    with distributed.LocalCluster(n_workers=1, threads_per_worker=2, processes=False, dashboard_address=None) as c, \
            distributed.Client(c) as client:
        share = client.submit(trelmox._threads, 0, pure=False).result()
        asked = client.submit(trelmox._threads, 3, pure=False).result()
    cores = int(os.environ.get("OMP_NUM_THREADS") or len(os.sched_getaffinity(0)))
    assert share == max(1, cores // 2) and asked == 3


def test_a_run_keeps_the_factors_only_when_asked(data):
    block = trelmox.read_block(data / "example_block.txt")
    settings = dict(samples=5000, seed=3, distributions={"c1": ("normal", 5), "dip1": ("normal", 2)})
    lean = block.probabilistic(**settings)
    kept = block.probabilistic(keep_factors=True, **settings)
    assert lean.kc is None and lean.fs is None
    assert lean.summary == kept.summary
    assert len(kept.kc) == kept.summary["wedges"] and len(kept.fs) == kept.summary["fs"]["wedges"]
