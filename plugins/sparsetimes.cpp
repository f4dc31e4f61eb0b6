// P = sparsetimes(X, A): the full-by-sparse product X*A.

#include <cstddef>
#include <cstdint>

#include "arguments.h"
#include "mex.h"
#include "products.h"

namespace {

constexpr const char* plugin = "sparsetimes";

void checkRealSparseDouble(const mxArray* input, const char* name) {
    if (!mxIsDouble(input) || mxIsComplex(input) || !mxIsSparse(input))
        arguments::refuse(plugin, "notSparse", "%s must be a real, sparse double matrix", name);
    arguments::checkCounts(plugin, input, name);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    arguments::checkArgumentCounts(plugin, nlhs, 1, nrhs, 2);
    const mxArray* X = prhs[0];
    const mxArray* A = prhs[1];
    arguments::checkRealFullDouble(plugin, X, "X");
    checkRealSparseDouble(A, "A");

    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(mxGetM(X));
    const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(mxGetN(X));
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(mxGetN(A));
    if (mxGetM(A) != mxGetN(X))
        arguments::refuse(plugin, "shape",
                          "X is %zu by %zu and A is %zu by %zu; X*A needs as many columns in X "
                          "as rows in A",
                          mxGetM(X), mxGetN(X), mxGetM(A), mxGetN(A));

    // Only a structure the host itself would build is read: a row index
    // outside X would read outside its storage.
    const mwIndex* columnStart = mxGetJc(A);
    const mwIndex* rowIndex = mxGetIr(A);
    if (!validSparseColumns(m, n, columnStart, rowIndex))
        arguments::refuse(plugin, "badSparse", "A's column starts or row indices are out of order "
                                               "or out of range");

    mxArray* P = arguments::newMatrix(static_cast<std::size_t>(k), static_cast<std::size_t>(n));
    if (!P) arguments::refuse(plugin, "outOfMemory", "no memory for the %td by %td result", k, n);
    fullTimesSparse(mxGetPr(P), mxGetPr(X), k, m, n, columnStart, rowIndex, mxGetPr(A));
    plhs[0] = P;
}
