#include "no_fp_contract.h"

#include "data_matrix.h"

#include <cstdint>
#include <new>

#include "split_products.h"

template <typename Index>
std::ptrdiff_t DataMatrix<Index>::stored() const {
    return sparse() ? static_cast<std::ptrdiff_t>(A_.columnStart[A_.n]) : A_.m * A_.n;
}

template <typename Index>
bool DataMatrix<Index>::prepare() {
    if (!sparse()) return true;
    const std::ptrdiff_t m = A_.m, n = A_.n, count = stored();
    tStart_.reset(new (std::nothrow) Index[m + 1]);
    tRow_.reset(new (std::nothrow) Index[count > 0 ? count : 1]);
    tValues_.reset(new (std::nothrow) double[count > 0 ? count : 1]);
    if (!tStart_ || !tRow_ || !tValues_) return false;
    // Count each row's entries, turn the counts into starts, then deal the
    // entries out column by column, so that every row lists its columns in
    // increasing order.
    for (std::ptrdiff_t i = 0; i <= m; ++i) tStart_[i] = 0;
    for (std::ptrdiff_t t = 0; t < count; ++t) ++tStart_[A_.rowIndex[t] + 1];
    for (std::ptrdiff_t i = 0; i < m; ++i) tStart_[i + 1] += tStart_[i];
    for (std::ptrdiff_t j = 0; j < n; ++j)
        for (std::ptrdiff_t t = A_.columnStart[j]; t < A_.columnStart[j + 1]; ++t) {
            Index& next = tStart_[A_.rowIndex[t]];
            tRow_[next] = static_cast<Index>(j);
            tValues_[next] = A_.values[t];
            ++next;
        }
    // Each start has moved on to the next row's; move them back.
    for (std::ptrdiff_t i = m; i > 0; --i) tStart_[i] = tStart_[i - 1];
    tStart_[0] = 0;
    return true;
}

template <typename Index>
bool DataMatrix<Index>::timesA(const Workers& workers, double* P, const double* X,
                               std::ptrdiff_t k) const {
    if (!sparse()) return splitDense(workers, {P, X, A_.values, k, A_.m, A_.n, A_.m, false});
    splitSparse(workers, SparseProduct<Index>{P, X, k, A_.m, A_.n, A_.columnStart, A_.rowIndex,
                                              A_.values, false});
    return true;
}

template <typename Index>
bool DataMatrix<Index>::timesTransposed(const Workers& workers, double* P, const double* X,
                                        std::ptrdiff_t k) const {
    if (!sparse()) return splitDense(workers, {P, X, A_.values, k, A_.m, A_.n, A_.m, true});
    splitSparse(workers, SparseProduct<Index>{P, X, k, A_.n, A_.m, tStart_.get(), tRow_.get(),
                                              tValues_.get(), false});
    return true;
}

template <typename Index>
double DataMatrix<Index>::squaredNorm() const {
    double sum = 0.0;
    for (std::ptrdiff_t t = 0, count = stored(); t < count; ++t)
        sum = sum + A_.values[t] * A_.values[t];
    return sum;
}

template <typename Index>
double DataMatrix<Index>::mean() const {
    double sum = 0.0;
    for (std::ptrdiff_t t = 0, count = stored(); t < count; ++t) sum = sum + A_.values[t];
    return sum / (static_cast<double>(A_.m) * static_cast<double>(A_.n));
}

template class DataMatrix<std::int32_t>;
template class DataMatrix<std::int64_t>;
