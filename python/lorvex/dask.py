"""Books on a Dask cluster: trades x scenarios split into tasks.

    from dask.distributed import Client
    client = Client("tcp://scheduler:8786")
    results = lorvex.dask.price_book(trades, curves, "2000-01-01", scenarios=scenarios, client=client)

Each task prices one partition of the trades under a group of scenarios
with the C++ book engine (lorvex.price_book); the results come back to the
caller and are put in the order local pricing gives (trade-major, then
scenario order), so the frame equals lorvex.price_book's. A task lost with
a worker is run again by Dask; its result is kept once, by its key.

Worth it when trades x scenarios outgrow one machine's cores; for a book
one machine prices in seconds, lorvex.price_book is faster (no transfers).
"""
import math

import pandas as pd

from .book import _csv, _risk, _valuation, empty_result, price_book as _local_price_book


def _price_part(trades, curves_csv, valuation, risk, scenarios_csv, threads, bump_bp):
    if len(trades) == 0:
        return None
    return _local_price_book(trades, curves_csv, valuation, risk=risk, scenarios=scenarios_csv, threads=threads,
                             bump_bp=bump_bp)


def _partitions(trades, partition_rows):
    if hasattr(trades, "to_delayed"):  # a dask DataFrame keeps its partitions
        return trades.to_delayed()
    n = max(1, math.ceil(len(trades) / partition_rows))
    size = math.ceil(len(trades) / n) if len(trades) else 0
    return [trades.iloc[i * size:(i + 1) * size] for i in range(n)]


def _scenario_groups(scenarios, scenarios_per_task):
    if scenarios is None:
        return [None], 1
    names = list(dict.fromkeys(scenarios["scenario"].astype(str)))
    groups = []
    for i in range(0, len(names), scenarios_per_task):
        chosen = names[i:i + scenarios_per_task]
        groups.append(_csv(scenarios[scenarios["scenario"].astype(str).isin(chosen)]))
    return groups, len(names)


def submit_book(trades, curves, valuation, scenarios=None, risk=None, client=None, partition_rows=10_000,
                scenarios_per_task=5, threads=1, bump_bp=1.0):
    """Submits the tasks; returns a handle for gather_book. See price_book."""
    import dask

    _risk(risk)
    serial = _valuation(valuation)
    curves_csv = _csv(curves)
    groups, n_scenarios = _scenario_groups(scenarios, scenarios_per_task)
    parts = _partitions(trades, partition_rows)
    tasks = [dask.delayed(_price_part, pure=True)(part, curves_csv, serial, risk, group, threads, bump_bp)
             for part in parts for group in groups]
    futures = client.compute(tasks)  # one future a task, partition-major
    return futures, len(groups), n_scenarios, scenarios is not None, risk


def gather_book(client, handle):
    """The results of submit_book's tasks, in local pricing's order."""
    futures, n_groups, n_scenarios, has_scenarios, risk = handle
    done = client.gather(futures)
    frames = []
    for start in range(0, len(done), n_groups):
        groups = done[start:start + n_groups]
        groups = [g for g in groups if g is not None]
        if not groups:
            continue
        if len(groups) == 1:
            frames.append(groups[0])
            continue
        # Each group is trade-major; interleave them back into trade-major,
        # scenario-order rows.
        keyed = []
        first = 0
        for g in groups:
            per_trade = g["scenario"].nunique()
            position = pd.RangeIndex(len(g))
            keyed.append(g.assign(_order=(position // per_trade) * n_scenarios + first + position % per_trade))
            first += per_trade
        frames.append(pd.concat(keyed, ignore_index=True).sort_values("_order", kind="stable")
                      .drop(columns="_order"))
    if not frames:
        return empty_result(risk, has_scenarios)
    return pd.concat(frames, ignore_index=True)


def price_book(trades, curves, valuation, scenarios=None, risk=None, client=None, partition_rows=10_000,
               scenarios_per_task=5, threads=1, bump_bp=1.0):
    """lorvex.price_book on a Dask cluster.

    trades: a pandas or dask DataFrame (a dask one keeps its partitions,
    a pandas one is cut into partition_rows rows); curves, scenarios:
    pandas DataFrames; client: a dask.distributed.Client (None: a local
    cluster for this call). threads: engine threads per task (the workers'
    own threads already fill the cores). bump_bp: as lorvex.price_book.
    """
    own = client is None
    if own:
        from dask.distributed import Client, LocalCluster

        cluster = LocalCluster(processes=True, threads_per_worker=1, dashboard_address=None)
        client = Client(cluster)
    try:
        handle = submit_book(trades, curves, valuation, scenarios=scenarios, risk=risk, client=client,
                             partition_rows=partition_rows, scenarios_per_task=scenarios_per_task,
                             threads=threads, bump_bp=bump_bp)
        return gather_book(client, handle)
    finally:
        if own:
            client.close()
            cluster.close()
