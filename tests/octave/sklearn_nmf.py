"""Fits scikit-learn's NMF (coordinate descent) from a given start.

    sklearn_nmf.py FOLDER ALPHA_W ALPHA_H L1_RATIO

reads A.txt, W0.txt and H0.txt from FOLDER and writes W.txt and H.txt.
"""
import os
import sys
import warnings

import numpy as np
from sklearn.decomposition import NMF
from sklearn.exceptions import ConvergenceWarning


def main():
    folder = sys.argv[1]
    alpha_W, alpha_H, l1_ratio = (float(x) for x in sys.argv[2:5])
    read = lambda name: np.atleast_2d(np.loadtxt(os.path.join(folder, name)))
    A, W0, H0 = read("A.txt"), read("W0.txt"), read("H0.txt")
    warnings.simplefilter("ignore", ConvergenceWarning)
    model = NMF(n_components=W0.shape[1], init="custom", solver="cd", tol=1e-12,
                max_iter=100000, alpha_W=alpha_W, alpha_H=alpha_H, l1_ratio=l1_ratio)
    W = model.fit_transform(A, W=W0.copy(), H=H0.copy())
    np.savetxt(os.path.join(folder, "W.txt"), W, fmt="%.17g")
    np.savetxt(os.path.join(folder, "H.txt"), model.components_, fmt="%.17g")


if __name__ == "__main__":
    main()
