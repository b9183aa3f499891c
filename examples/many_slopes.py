#!/usr/bin/python3
"""Many slopes on a Dask cluster: every sector of a slope, one task each.

Reads a sectors file (name,dip,dipdir[,height][,top_dip][,top_dipdir]: one
face a line) and a measurement file, sets each sector's face, upper slope and
height into a template block (its rock, joints, water and loads), and runs
the combination analysis with probability for every sector - every pair of
planes or joint sets as the wedge's cutting planes, each pair's probability
of failure from a probabilistic run with the sets' Fisher scatter - as one
Dask task per sector. The rows of all sectors come back as one table (CSV),
the sectors in file order, each sector's pairs the likeliest to fail first.

    many_slopes.py SECTORS MEASUREMENTS TEMPLATE_BLOCK [--sets labels] [--samples N]
                   [--scheduler ADDRESS | --workers N] [--output table.csv]

Without --scheduler a LocalCluster of --workers processes runs on this
machine (--workers 0: no cluster, every sector in this process, one after
the other, each on all cores). With --scheduler tcp://host:8786 the tasks go
to a running Dask scheduler; every worker needs the trelmox package
installed (the .deb, or PYTHONPATH at a build's python folder). Only the
blocks and the measurement file's bytes travel, so workers need no shared
folder.

Threads: the workers of a LocalCluster share this machine's cores, each
task on cores // workers threads (one when there are as many workers as
cores); a task on a scheduler's worker takes what that worker gives it
(one thread for a worker process that Dask started, as Dask sets
OMP_NUM_THREADS=1 there).
"""
import argparse
import csv
import os
import sys
import time

import trelmox

COLUMNS = ("sector", "plane1", "plane2", "dip1", "dipdir1", "dip2", "dipdir2", "kinematic", "contact", "kc", "fs",
           "fs_contact", "pf", "p_sliding", "fs_mean", "failed_volume_mean", "too_small", "error")


def sector_block(template, sector):
    """The template block with the sector's face, upper slope and height."""
    planes = template.attitudes
    p = template.parameters
    computed = p["computed_water"]
    height = sector["height"] if sector["height"] is not None else p["height"]
    return trelmox.Block(planes["plane1"], planes["plane2"], (sector["top_dip"], sector["top_dipdir"]),
                         (sector["dip"], sector["dipdir"]), rock=p["rock"], water=p["water"], height=height,
                         c1=p["c1"], f1=p["f1"], c2=p["c2"], f2=p["f2"], overhang=p["overhang"],
                         computed_water=computed, u1=None if computed else p["u1"],
                         u2=None if computed else p["u2"], loads=template.loads, name=sector["name"])


def sector_rows(name, pairs):
    """The table's rows of one sector: its pairs, or one row with its failure."""
    if isinstance(pairs, Exception):
        return [dict({key: None for key in COLUMNS}, sector=name, error=str(pairs))]
    return [dict({key: row.get(key) for key in COLUMNS}, sector=name) for row in pairs]


def analyse_sector(block, measurements, sets, samples, seed, threads):
    """One task: the sector's pairs, or the failure that stopped it (kept as
    a row, so that one bad sector does not stop the study)."""
    try:
        return trelmox.combinations(block, measurements, sets=sets, probabilistic=True, samples=samples, seed=seed,
                                    threads=threads)
    except trelmox.TrelmoxError as error:
        return error


def study(sectors_file, measurements_file, template_file, sets="labels", samples=10000, seed=1, client=None,
          threads=0):
    """The table of every sector's pairs (a list of dicts). With a Dask
    client every sector is a task (each on `threads` threads: 1 lets as many
    worker processes as cores share them; 0 takes what the worker gives);
    without one, the sectors run here in turn. Both give the same table."""
    template = trelmox.read_block(template_file)
    measurements = trelmox.read_measurements(measurements_file)
    sectors = trelmox.read_sectors(sectors_file)
    jobs = []
    for sector in sectors:
        try:
            jobs.append((sector["name"], sector_block(template, sector)))
        except trelmox.TrelmoxError as error:
            jobs.append((sector["name"], error))
    if client is None:
        results = [block if isinstance(block, Exception) else
                   analyse_sector(block, measurements, sets, samples, seed, threads) for _, block in jobs]
    else:
        shared = client.scatter(measurements, broadcast=True)
        futures = [None if isinstance(block, Exception) else
                   client.submit(trelmox.combinations, block, shared, sets=sets, probabilistic=True,
                                 samples=samples, seed=seed, threads=threads, pure=False) for _, block in jobs]
        results = []
        for (name, block), future in zip(jobs, futures):
            if future is None:
                results.append(block)
                continue
            try:
                results.append(future.result())
            except trelmox.TrelmoxError as error:
                results.append(error)
    table = []
    for (name, _), pairs in zip(jobs, results):
        table.extend(sector_rows(name, pairs))
    return table


def local_threads(workers):
    """The threads of each task when `workers` processes share this machine's cores."""
    return max(1, len(os.sched_getaffinity(0)) // workers)


def write_csv(table, out):
    writer = csv.DictWriter(out, fieldnames=COLUMNS, lineterminator="\n")
    writer.writeheader()
    for row in table:
        writer.writerow({key: "" if value is None else repr(value) if isinstance(value, float) else value
                         for key, value in row.items()})


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("sectors")
    parser.add_argument("measurements")
    parser.add_argument("template", help="block data file whose rock, joints, water and loads every sector takes")
    parser.add_argument("--sets", default="labels", help="planes, labels (default) or auto:N")
    parser.add_argument("--samples", type=int, default=10000, help="samples per pair (default 10000)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--scheduler", help="address of a running Dask scheduler (tcp://host:8786)")
    parser.add_argument("--workers", type=int, default=2, help="local worker processes (default 2; 0: no cluster)")
    parser.add_argument("--output", help="CSV file (default: standard output)")
    args = parser.parse_args(argv)

    start = time.perf_counter()
    if args.scheduler or args.workers > 0:
        from distributed import Client, LocalCluster
        cluster = None if args.scheduler else LocalCluster(n_workers=args.workers, threads_per_worker=1,
                                                           processes=True, host="127.0.0.1",
                                                           dashboard_address=None)
        try:
            with Client(args.scheduler or cluster) as client:
                table = study(args.sectors, args.measurements, args.template, args.sets, args.samples,
                              args.seed, client=client, threads=0 if args.scheduler else local_threads(args.workers))
        finally:
            if cluster is not None:
                cluster.close()
    else:
        table = study(args.sectors, args.measurements, args.template, args.sets, args.samples, args.seed)
    took = time.perf_counter() - start
    if args.output:
        with open(args.output, "w", newline="", encoding="utf-8") as out:
            write_csv(table, out)
    else:
        write_csv(table, sys.stdout)
    sectors = len({row["sector"] for row in table})
    print("{} sectors, {} rows, {:.2f} s".format(sectors, len(table), took), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
