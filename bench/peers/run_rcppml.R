# Runs RcppML's nmf on a problem written by make_data.m, on the threads
# GREEDYSWEEP_PEER_THREADS names (one unless set).
#
#   Rscript run_rcppml.R FOLDER SEED [--mask-zeros] ITERATIONS...
#
# RcppML 0.3.7 takes no starting factors, only SEED for its own random
# start. For each iteration count, fits with that maxit and tol = 1e-15 (so
# every iteration runs), times the fit, and prints one line: iterations,
# seconds, objective 0.5*||A - W*H||_F^2 with W = w*diag(d). With
# --mask-zeros, a sparse A's zeros are missing (mask_zeros = TRUE), and the
# objective is the sum over its stored entries only.
suppressMessages({ library(Matrix); library(RcppML) })
threads <- as.integer(Sys.getenv("GREEDYSWEEP_PEER_THREADS", "1"))
setRcppMLthreads(threads)

args <- commandArgs(trailingOnly = TRUE)
folder <- args[1]
seed <- as.integer(args[2])
rest <- args[-(1:2)]
mask_zeros <- length(rest) > 0 && rest[1] == "--mask-zeros"
if (mask_zeros) rest <- rest[-1]
counts <- as.integer(rest)
shape <- scan(file.path(folder, "shape.txt"), quiet = TRUE)
m <- shape[1]; n <- shape[2]; k <- shape[3]; count <- shape[4]
read <- function(name, what, size, length)
  readBin(file.path(folder, name), what = what, n = length, size = size, endian = "little")
if (count > 0) {
  A <- sparseMatrix(i = read("rows.i32", "integer", 4, count) + 1,
                    j = read("cols.i32", "integer", 4, count) + 1,
                    x = read("vals.f64", "double", 8, count), dims = c(m, n))
  norm2 <- sum(A@x^2)
} else {
  A <- matrix(read("A.f64", "double", 8, m * n), m, n)
  norm2 <- sum(A^2)
}

for (iterations in counts) {
  started <- proc.time()[["elapsed"]]
  model <- RcppML::nmf(A, k, tol = 1e-15, maxit = iterations, verbose = FALSE, seed = seed,
                       mask_zeros = mask_zeros)
  seconds <- proc.time()[["elapsed"]] - started
  W <- model$w %*% diag(model$d)
  H <- model$h
  if (mask_zeros) {
    # W*H at the stored entries alone, column by column.
    stored <- summary(A)
    f <- 0
    for (first in seq(1, nrow(stored), by = 100000)) {
      t <- first:min(first + 99999, nrow(stored))
      model_values <- rowSums(W[stored$i[t], , drop = FALSE] * t(H[, stored$j[t], drop = FALSE]))
      f <- f + 0.5 * sum((stored$x[t] - model_values)^2)
    }
  } else {
    # The expansion greedynmf and the Python runner use.
    f <- 0.5 * norm2 - sum((A %*% t(H)) * W) + 0.5 * sum(crossprod(W) * tcrossprod(H))
  }
  cat(sprintf("%d %.6f %.10e\n", iterations, seconds, f))
}
