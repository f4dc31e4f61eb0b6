"""Runs scikit-learn's NMF solvers on a problem written by make_data.m.

    run_sklearn.py FOLDER SOLVER ITERATIONS...

SOLVER is cd or mu (least squares), or mu-kl (mu with the Kullback-Leibler
loss). Fits from the stored start with tol = 0 (so every iteration runs),
stopping at each iteration count (in increasing order) to print one line:
iterations, seconds, objective 0.5*||A - W*H||_F^2 (mu-kl: D(A||W*H)). Each stretch continues from where the
last one ended: both solvers carry nothing from one iteration to the next
but W and H, so this is one run, and seconds add up the fits alone.
"""
import sys
import time
import warnings

import numpy as np
import scipy.sparse
from sklearn.decomposition import NMF
from sklearn.exceptions import ConvergenceWarning

from problem import kl_objective, load_problem, objective


def main():
    folder, solver = sys.argv[1], sys.argv[2]
    kl = solver == "mu-kl"
    solver, loss, score = ("mu", "kullback-leibler", kl_objective) if kl else (solver, "frobenius", objective)
    counts = [int(c) for c in sys.argv[3:]]
    A, W0, H0 = load_problem(folder)
    k = W0.shape[1]
    warnings.simplefilter("ignore", ConvergenceWarning)
    W = W0.copy()
    H = H0.copy()
    done = 0
    seconds = 0.0
    for count in sorted(counts):
        model = NMF(n_components=k, init="custom", solver=solver, beta_loss=loss,
                    tol=0.0, max_iter=count - done, alpha_W=0.0, alpha_H="same")
        started = time.perf_counter()
        W = model.fit_transform(A, W=W, H=H)
        seconds += time.perf_counter() - started
        H = model.components_
        done += model.n_iter_
        print(f"{done} {seconds:.6f} {score(A, W, H):.10e}", flush=True)


if __name__ == "__main__":
    main()
