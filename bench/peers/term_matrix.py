"""A term-document matrix from counted documents, written as make_data.m
reads it: terms are those in at least 3 documents and at most half of them,
entry (document, term) is log(1 + count) (or the count itself, for fits of
counts), and FOLDER gets rows.i32,
cols.i32 and vals.f64 (zero-based positions and values, little-endian) and
size.txt (documents, terms, entries)."""
import collections
import math
import os

import numpy as np


def write_term_matrix(documents, folder, raw_counts=False):
    """DOCUMENTS: a list of collections.Counter of lower-cased words."""
    frequency = collections.Counter()
    for counts in documents:
        frequency.update(counts.keys())
    kept = sorted(t for t, c in frequency.items() if 3 <= c <= len(documents) / 2)
    column = {t: j for j, t in enumerate(kept)}
    rows, cols, vals = [], [], []
    for i, counts in enumerate(documents):
        for term in sorted(counts):
            if term in column:
                rows.append(i)
                cols.append(column[term])
                count = counts[term]
                vals.append(float(count) if raw_counts else math.log1p(count))
    os.makedirs(folder, exist_ok=True)
    np.asarray(rows, dtype="<i4").tofile(os.path.join(folder, "rows.i32"))
    np.asarray(cols, dtype="<i4").tofile(os.path.join(folder, "cols.i32"))
    np.asarray(vals, dtype="<f8").tofile(os.path.join(folder, "vals.f64"))
    with open(os.path.join(folder, "size.txt"), "w") as f:
        f.write(f"{len(documents)} {len(kept)} {len(vals)}\n")
