"""Runs scikit-learn's NMF solvers on a problem written by make_data.m.

    run_sklearn.py FOLDER SOLVER ITERATIONS...

For each iteration count, fits from the stored start with that max_iter and
tol = 0 (so every iteration runs), times the fit, and prints one line:
iterations, seconds, objective 0.5*||A - W*H||_F^2.
"""
import sys
import time
import warnings

import numpy as np
import scipy.sparse
from sklearn.decomposition import NMF
from sklearn.exceptions import ConvergenceWarning

from problem import load_problem, objective


def main():
    folder, solver = sys.argv[1], sys.argv[2]
    counts = [int(c) for c in sys.argv[3:]]
    A, W0, H0 = load_problem(folder)
    k = W0.shape[1]
    warnings.simplefilter("ignore", ConvergenceWarning)
    for count in counts:
        model = NMF(n_components=k, init="custom", solver=solver, beta_loss="frobenius",
                    tol=0.0, max_iter=count, alpha_W=0.0, alpha_H="same")
        W = W0.copy()
        H = H0.copy()
        started = time.perf_counter()
        W = model.fit_transform(A, W=W, H=H)
        seconds = time.perf_counter() - started
        print(f"{model.n_iter_} {seconds:.6f} {objective(A, W, model.components_):.10e}", flush=True)


if __name__ == "__main__":
    main()
