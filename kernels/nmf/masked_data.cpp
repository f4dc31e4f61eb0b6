#include "no_fp_contract.h"

#include "masked_data.h"

#include <cstdint>
#include <new>

#include "data_matrix.h"

template <typename Index>
bool MaskedData<Index>::prepare() {
    const std::ptrdiff_t m = A_.m, n = A_.n;
    columnSums_.reset(new (std::nothrow) double[n]);
    if (!columnSums_ || !observedLines(A_, columns_, rows_)) return false;
    if (!A_.columnStart) {
        values_.reset(new (std::nothrow) double[m * n]);
        if (!values_) return false;
        double* const values = values_.get();
        for (std::ptrdiff_t i = 0; i < m * n; ++i) values[i] = 0.0;
        for (std::ptrdiff_t j = 0; j < n; ++j)
            forEachObserved(A_, j, [&](std::ptrdiff_t i, double w, double a) {
                values[i + j * m] = w * a;
            });
        weighted_ = {m, n, values, nullptr, nullptr};
        return true;
    }
    std::ptrdiff_t count = 0;
    for (std::ptrdiff_t j = 0; j < n; ++j)
        forEachObserved(A_, j, [&](std::ptrdiff_t, double, double a) { count += a != 0.0; });
    values_.reset(new (std::nothrow) double[count > 0 ? count : 1]);
    start_.reset(new (std::nothrow) Index[n + 1]);
    row_.reset(new (std::nothrow) Index[count > 0 ? count : 1]);
    if (!values_ || !start_ || !row_) return false;
    std::ptrdiff_t t = 0;
    start_[0] = 0;
    for (std::ptrdiff_t j = 0; j < n; ++j) {
        forEachObserved(A_, j, [&](std::ptrdiff_t i, double w, double a) {
            if (a == 0.0) return;
            row_[t] = static_cast<Index>(i);
            values_[t] = w * a;
            ++t;
        });
        start_[j + 1] = static_cast<Index>(t);
    }
    weighted_ = {m, n, values_.get(), start_.get(), row_.get()};
    return true;
}

template <typename Index>
double MaskedData<Index>::squaredNorm() const {
    double sum = 0.0;
    for (std::ptrdiff_t j = 0; j < A_.n; ++j)
        forEachObserved(A_, j, [&](std::ptrdiff_t, double w, double a) { sum = sum + (w * a) * a; });
    return sum;
}

template <typename Index>
void MaskedData<Index>::halfSquaredNorms(double* zero) const {
    for (std::ptrdiff_t j = 0; j < A_.n; ++j) {
        double sum = 0.0;
        forEachObserved(A_, j, [&](std::ptrdiff_t, double w, double a) { sum = sum + (w * a) * a; });
        zero[j] = 0.5 * sum;
    }
}

template <typename Index>
double MaskedData<Index>::residual(const Workers& workers, const double* Wt, const double* H,
                                   std::ptrdiff_t k) const {
    double* const sums = columnSums_.get();
    const double work = static_cast<double>(k) * static_cast<double>(A_.m) * static_cast<double>(A_.n);
    splitColumns(workers, A_.n, work, [&](ColumnRange r) {
        for (std::ptrdiff_t j = r.begin; j < r.end; ++j) {
            const double* h = H + j * k;
            double sum = 0.0;
            forEachObserved(A_, j, [&](std::ptrdiff_t i, double w, double a) {
                const double* wt = Wt + i * k;
                double model = 0.0;
                for (std::ptrdiff_t q = 0; q < k; ++q) model = model + wt[q] * h[q];
                const double r = a - model;
                sum = sum + (w * r) * r;
            });
            sums[j] = sum;
        }
    });
    double total = 0.0;
    for (std::ptrdiff_t j = 0; j < A_.n; ++j) total = total + sums[j];
    return 0.5 * total;
}

template <typename Index>
double observedMean(const NmfMatrix<Index>& A) {
    if (!A.weights) return DataMatrix<Index>(A).mean();
    double sum = 0.0, count = 0.0;
    for (std::ptrdiff_t j = 0; j < A.n; ++j)
        forEachObserved(A, j, [&](std::ptrdiff_t, double, double a) {
            sum = sum + a;
            count = count + 1.0;
        });
    return count > 0.0 ? sum / count : 0.0;
}

template class MaskedData<std::int32_t>;
template class MaskedData<std::int64_t>;
template double observedMean(const NmfMatrix<std::int32_t>&);
template double observedMean(const NmfMatrix<std::int64_t>&);
