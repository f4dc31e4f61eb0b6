"""Reads what make_data.m wrote, and the objective every solver is scored by."""
import os

import numpy as np
import scipy.sparse


def load_problem(folder):
    m, n, k, count = (int(x) for x in open(os.path.join(folder, "shape.txt")).read().split())
    read = lambda name, dtype: np.fromfile(os.path.join(folder, name), dtype=np.dtype(dtype).newbyteorder("<"))
    if count > 0:
        A = scipy.sparse.csr_matrix((read("vals.f64", "f8"), (read("rows.i32", "i4"), read("cols.i32", "i4"))),
                                    shape=(m, n))
    else:
        # Stored in column order; scikit-learn takes a row-major sample matrix.
        A = np.ascontiguousarray(read("A.f64", "f8").reshape(n, m).T)
    W0 = np.ascontiguousarray(read("W0.f64", "f8").reshape(k, m).T)
    H0 = np.ascontiguousarray(read("H0.f64", "f8").reshape(n, k).T)
    return A, W0, H0


def objective(A, W, H):
    """0.5*||A - W*H||^2 by its expansion, as greedynmf computes it."""
    if scipy.sparse.issparse(A):
        norm2 = float(A.data @ A.data)
        cross = float(np.sum(np.asarray(A @ H.T) * W))
    else:
        norm2 = float(np.vdot(A, A))
        cross = float(np.sum((A @ H.T) * W))
    return 0.5 * norm2 - cross + 0.5 * float(np.sum((W.T @ W) * (H @ H.T)))


def kl_objective(A, W, H):
    """D(A||W*H) = sum a*log(a/(WH)) - a + WH, over A's positive entries
    but for the sum of W*H, which is that of W's column sums times H's row
    sums."""
    if scipy.sparse.issparse(A):
        coo = A.tocoo()
        keep = coo.data > 0
        i, j, a = coo.row[keep], coo.col[keep], coo.data[keep]
    else:
        i, j = np.nonzero(A > 0)
        a = A[i, j]
    model = np.einsum("pk,kp->p", W[i, :], H[:, j])
    total = float(W.sum(axis=0) @ H.sum(axis=1))
    return float(np.sum(a * np.log(a / model) - a)) + total
