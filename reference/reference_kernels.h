#pragma once

// The executable form of docs/operation-order.md: plain loops, kept apart
// from the kernels so that every path is compared with them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reference {

inline void greedyCoordinateUpdate(double* GW, const double* HHt, double* W, double tol,
                                   std::int32_t n, std::int32_t k, std::int32_t maxinner) {
    if (n <= 0) return;
    const std::ptrdiff_t K = k;
    std::vector<double> diag(static_cast<std::size_t>(k > 0 ? k : 0));
    std::vector<double> step(diag.size());
    for (std::ptrdiff_t i = 0; i < K; ++i) diag[i] = HHt[i * (K + 1)];

    auto reduction = [&](std::ptrdiff_t pos, std::ptrdiff_t i, double& s) {
        double g = GW[pos], w = W[pos], d = diag[i];
        double t = w - g / d;
        if (t < 0) t = 0;
        s = t - w;
        return -(g * s + ((d * 0.5) * s) * s);
    };

    double init = 0.0;
    for (std::ptrdiff_t pos = 0; pos < K * n; ++pos) {
        double s;
        double r = reduction(pos, pos % K, s);
        if (r > init) init = r;
    }

    for (std::ptrdiff_t j = 0; j < n; ++j) {
        std::int32_t moves = 0;
        if (maxinner <= 0) continue;
        for (;;) {
            std::ptrdiff_t best = -1;
            double bestReduction = 0.0;
            for (std::ptrdiff_t i = 0; i < K; ++i) {
                double r = reduction(i + j * K, i, step[i]);
                if (r > bestReduction) {
                    bestReduction = r;
                    best = i;
                }
            }
            if (best == -1) break;
            double s = step[best];
            W[best + j * K] = s + W[best + j * K];
            for (std::ptrdiff_t l = 0; l < K; ++l)
                GW[l + j * K] = s * HHt[l + best * K] + GW[l + j * K];
            if (init * tol > bestReduction) break;
            ++moves;
            if (!(moves < maxinner)) break;
        }
    }
}

enum class Rule { hardThreshold, nonNegative };

inline void forwardSweep(Rule rule, double* X, const double* M, const double* C, double lambda,
                         std::int32_t n, std::int32_t m) {
    const std::ptrdiff_t N = n;
    for (std::ptrdiff_t i = 0; i < m; ++i) {
        for (std::ptrdiff_t j = 0; j < N; ++j) {
            double acc = 0.0;
            for (std::ptrdiff_t l = 0; l < j; ++l) acc = acc + M[j + l * N] * X[l + i * N];
            double d = M[j + j * N];
            double q = -((acc + C[j + i * N]) / d);
            double x;
            if (rule == Rule::hardThreshold) {
                double p = (q * d) * q;
                x = (lambda * 2.0 >= p) ? 0.0 : q;
            } else {
                x = (q < 0) ? 0.0 : q;
            }
            X[j + i * N] = x;
        }
    }
}

// The products: each entry of P one running sum from +0.0 over the shared
// index in increasing order, one entry of P at a time.

// P = X·A, X k×m, A m×n.
inline void fullTimesFull(double* P, const double* X, const double* A, std::ptrdiff_t k,
                          std::ptrdiff_t m, std::ptrdiff_t n) {
    for (std::ptrdiff_t j = 0; j < n; ++j)
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            double sum = 0.0;
            for (std::ptrdiff_t s = 0; s < m; ++s) sum = sum + X[r + s * k] * A[s + j * m];
            P[r + j * k] = sum;
        }
}

// P = X·Aᵀ, X k×n, A m×n: the sum runs along row i of A.
inline void fullTimesTransposed(double* P, const double* X, const double* A, std::ptrdiff_t k,
                                std::ptrdiff_t m, std::ptrdiff_t n) {
    for (std::ptrdiff_t i = 0; i < m; ++i)
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            double sum = 0.0;
            for (std::ptrdiff_t s = 0; s < n; ++s) sum = sum + X[r + s * k] * A[i + s * m];
            P[r + i * k] = sum;
        }
}

// P = X·A, X full k×m, A sparse m×n in compressed columns: a running sum over
// column j's entries in storage order.
template <typename Index>
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t n,
                     const Index* columnStart, const Index* rowIndex, const double* values) {
    for (std::ptrdiff_t j = 0; j < n; ++j)
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            double sum = 0.0;
            for (std::ptrdiff_t t = columnStart[j]; t < columnStart[j + 1]; ++t)
                sum = sum + X[r + static_cast<std::ptrdiff_t>(rowIndex[t]) * k] * values[t];
            P[r + j * k] = sum;
        }
}

// P = X·Aᵀ, X k×n, A sparse m×n: a running sum along row i of A, j
// increasing (a search of each column for row i).
template <typename Index>
void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const Index* columnStart,
                               const Index* rowIndex, const double* values) {
    for (std::ptrdiff_t i = 0; i < m; ++i)
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            double sum = 0.0;
            for (std::ptrdiff_t j = 0; j < n; ++j)
                for (std::ptrdiff_t t = columnStart[j]; t < columnStart[j + 1]; ++t)
                    if (static_cast<std::ptrdiff_t>(rowIndex[t]) == i)
                        sum = sum + X[r + j * k] * values[t];
            P[r + i * k] = sum;
        }
}

// One line of the Kullback-Leibler coordinate step: v_p = v_p + d·b_p, and
// the slope's two sums, Σ a_p·u_p and Σ (a_p·u_p)·u_p with u_p = b_p/v_p,
// each one running sum from +0.0 in entry order.
inline void klScaledAdd(double* v, const double* b, double d, std::ptrdiff_t count) {
    for (std::ptrdiff_t p = 0; p < count; ++p) v[p] = v[p] + d * b[p];
}

inline void klSlopeSums(const double* a, const double* b, const double* v, std::ptrdiff_t count,
                        double& weighted, double& curvature) {
    weighted = 0.0, curvature = 0.0;
    for (std::ptrdiff_t p = 0; p < count; ++p) {
        const double u = b[p] / v[p];
        const double t = a[p] * u;
        weighted = weighted + t;
        curvature = curvature + t * u;
    }
}

}  // namespace reference
