#!/usr/bin/python3
"""Figures of the Python module (README, "Python module"), run by hand:

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [--samples N] [--sectors N]

1. trelmox.factors over N samples (default 10^7) of the example block, the
   inputs drawn beforehand, against the probabilistic run of the same N
   samples and distributions (which draws them itself): seconds and samples
   per second of each, best of three.
2. examples/many_slopes.py on a LocalCluster of one and of two worker
   processes (one thread each), the same study: seconds and the speed-up.
"""
import argparse
import importlib.machinery
import types
import pathlib
import tempfile
import time

import trelmox

ROOT = pathlib.Path(__file__).resolve().parents[1]
DATA = ROOT / "tests" / "data"
SPREADS = {"c1": ("normal", 5), "f1": ("normal", 0.04), "c2": ("normal", 8), "f2": ("normal", 0.05),
           "dip1": ("normal", 2), "dip2": ("normal", 2), "height": ("uniform", 35, 45)}


def best(run, repeat=3):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return min(times)


def factors_against_the_run(samples):
    block = trelmox.read_block(DATA / "example_block.txt")
    inputs = block.sample_inputs(samples=samples, distributions=SPREADS)
    vectorised = best(lambda: trelmox.factors(block, **inputs))
    run = best(lambda: block.probabilistic(samples=samples, distributions=SPREADS))
    kept = best(lambda: block.probabilistic(samples=samples, distributions=SPREADS, keep_factors=True))
    print("{:,} samples, {} inputs varied".format(samples, len(inputs)))
    print("  trelmox.factors      {:7.3f} s  {:6.2f} M samples/s".format(vectorised, samples / vectorised / 1e6))
    print("  probabilistic run    {:7.3f} s  {:6.2f} M samples/s".format(run, samples / run / 1e6))
    print("    keep_factors=True  {:7.3f} s  {:6.2f} M samples/s".format(kept, samples / kept / 1e6))
    print("  factors / run time   {:7.3f}".format(vectorised / run))


def many_slopes(sectors, samples):
    from distributed import Client, LocalCluster
    loader = importlib.machinery.SourceFileLoader("many_slopes", str(ROOT / "examples" / "many_slopes.py"))
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    with tempfile.TemporaryDirectory() as folder:
        path = pathlib.Path(folder) / "sectors.csv"
        lines = ["name,dip,dipdir,height,top_dip"]
        for i in range(sectors):  # faces turning around a pit, 55..75 degrees
            lines.append("S{},{},{},{},{}".format(i + 1, 55 + (i * 7) % 21, (i * 360.0 / sectors) % 360,
                                                 30 + (i * 5) % 20, (i * 3) % 12))
        path.write_text("\n".join(lines) + "\n", encoding="utf-8")
        files = (path, DATA / "joint_measurements.csv", DATA / "example_block.txt")
        took = {}
        for workers in (1, 2):
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, host="127.0.0.1",
                              dashboard_address=None) as cluster, Client(cluster) as client:
                took[workers] = best(lambda: module.study(*files, sets="planes", samples=samples, client=client,
                                                          threads=1), repeat=2)
        planes = len(trelmox.read_measurements(files[1]))
        print("{} sectors x {} pairs x {} samples (sets=planes)".format(sectors, planes * (planes - 1) // 2, samples))
        for workers, seconds in took.items():
            print("  {} worker(s)          {:7.2f} s".format(workers, seconds))
        print("  speed-up             {:7.2f}".format(took[1] / took[2]))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--samples", type=int, default=10**7)
    parser.add_argument("--sectors", type=int, default=24)
    parser.add_argument("--pair-samples", type=int, default=1000)
    args = parser.parse_args()
    factors_against_the_run(args.samples)
    many_slopes(args.sectors, args.pair_samples)
