# SPDX-License-Identifier: MIT
"""brennic.dask on a LocalCluster of two worker processes: the extracts are
those summarize() gives. Skipped without Dask (python3-distributed)."""
import os
import pathlib

import pytest

distributed = pytest.importorskip("dask.distributed")
db = pytest.importorskip("dask.bag")
dd = pytest.importorskip("dask.dataframe")
pd = pytest.importorskip("pandas")

import brennic  # noqa: E402
import brennic.dask  # noqa: E402

EXAMPLES = pathlib.Path(os.environ["BRENNIC_EXAMPLES"])
# Debian's tornado warns about its own event loop set-up.
pytestmark = pytest.mark.filterwarnings("ignore::DeprecationWarning")


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            yield client


def texts():
    names = ("sample", "ferry-report", "glass-museum")
    return [(EXAMPLES / f"{name}.txt").read_text() for name in names] * 4


@pytest.mark.parametrize("options", [{}, {"keep": "25%"}, {"sentences": 1, "language": "en"}])
def test_bag_and_column_give_summarize_extracts(client, options):
    expected = [brennic.summarize(t, **options) for t in texts()]
    bag = db.from_sequence(texts(), npartitions=4)
    assert brennic.dask.summarize_bag(bag, **options).compute() == expected
    frame = dd.from_pandas(pd.DataFrame({"text": texts()}), npartitions=3)
    column = brennic.dask.summarize_series(frame["text"], **options).compute()
    assert list(column) == ["\n".join(e) for e in expected]
    # Both ran on the cluster's workers.
    assert len(client.scheduler_info()["workers"]) == 2
