# SPDX-License-Identifier: MIT
"""Extracts of Dask collections, computed where the data lies: on the
workers of a dask.distributed cluster, or by any other Dask scheduler.

    >>> import dask.bag as db
    >>> from dask.distributed import Client, LocalCluster
    >>> import brennic.dask
    >>> client = Client(LocalCluster(n_workers=2))
    >>> texts = db.read_text("corpus/*/article.txt", files_per_partition=50,
    ...                      linedelimiter="\\0")  # one text a file
    >>> extracts = brennic.dask.summarize_bag(texts, keep="25%").compute()

Each partition is summarized by brennic.summarize_many() in its worker, so
the workers need the brennic package too. The options are those of
brennic.summarize(): rate, keep, words, sentences, query, mean, condense,
encoding and language (auto by default). A text that fails makes its
partition fail with brennic.Error, as summarize_many() does.

Dask itself is needed only to call these functions (Debian:
python3-distributed and python3-dask).
"""

import brennic

__all__ = ["summarize_bag", "summarize_series"]


def _summarize_partition(texts, options, threads):
    return brennic.summarize_many(list(texts), threads=threads, **options)


def _summarize_column(column, separator, options, threads):
    extracts = brennic.summarize_many(list(column), threads=threads, **options)
    return column.__class__([separator.join(e) for e in extracts], index=column.index,
                            name=column.name, dtype=object)


def summarize_bag(bag, *, threads=1, **options):
    """A bag of the extracts of a bag of texts (str or bytes), one list of
    sentences per text, in the order of the texts. threads: the native
    threads each partition is summarized with (Dask's own worker threads
    run partitions side by side already)."""
    return bag.map_partitions(_summarize_partition, options, threads)


def summarize_series(series, *, separator="\n", threads=1, **options):
    """A Dask Series of the extracts of a Series of str texts (a DataFrame
    column, say), each extract's sentences joined by separator."""
    return series.map_partitions(_summarize_column, separator, options, threads,
                                 meta=(series.name, "object"))
