#pragma once

// The one gateway of the products in a fixed order: fixedtimes (X*A or X*A'
// for a full or sparse A) and sparsetimes (X*A for a sparse A, the product
// an NMF loop needs twice an iteration) read, check, call and return
// through it, each under its own name.

#include <cstddef>

#include "arguments.h"
#include "mex.h"
#include "products.h"

namespace product_gateway {

struct Plugin {
    const char* name;
    bool sparseOnly;  // sparsetimes: A sparse, and no transpose flag
};

inline void checkA(const Plugin& plugin, const mxArray* A) {
    if (plugin.sparseOnly) {
        if (!mxIsDouble(A) || mxIsComplex(A) || !mxIsSparse(A))
            arguments::refuse(plugin.name, "notSparse", "A must be a real, sparse double matrix");
    } else if (!mxIsDouble(A) || mxIsComplex(A)) {
        arguments::refuse(plugin.name, "notRealDouble",
                          "A must be a real double matrix, full or sparse");
    }
    arguments::checkCounts(plugin.name, A, "A");
}

inline bool readTransposeFlag(const Plugin& plugin, const mxArray* flag) {
    arguments::checkRealFullNumeric(plugin.name, flag, "transposeA");
    const double value = mxGetNumberOfElements(flag) == 1 ? mxGetScalar(flag) : -1.0;
    if (value != 0.0 && value != 1.0)
        arguments::refuse(plugin.name, "badFlag", "transposeA must be true or false");
    return value == 1.0;
}

inline void run(const Plugin& plugin, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    if (plugin.sparseOnly) {
        arguments::checkArgumentCounts(plugin.name, nlhs, 1, nrhs, 2);
    } else {
        if (nrhs != 2 && nrhs != 3)
            arguments::refuse(plugin.name, "nargin", "takes 2 or 3 inputs, got %d", nrhs);
        arguments::checkArgumentCounts(plugin.name, nlhs, 1, nrhs, nrhs);
    }
    const mxArray* X = prhs[0];
    const mxArray* A = prhs[1];
    arguments::checkRealFullDouble(plugin.name, X, "X");
    checkA(plugin, A);
    const bool transposed = nrhs == 3 && readTransposeFlag(plugin, prhs[2]);

    // A is m×n; X·A needs X k×m, X·Aᵀ X k×n.
    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(mxGetM(X));
    const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(mxGetM(A));
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(mxGetN(A));
    if (static_cast<std::ptrdiff_t>(mxGetN(X)) != (transposed ? n : m))
        arguments::refuse(plugin.name, "shape",
                          "X is %zu by %zu and A is %zu by %zu; X*%s needs as many columns in X "
                          "as %s in A",
                          mxGetM(X), mxGetN(X), mxGetM(A), mxGetN(A), transposed ? "A'" : "A",
                          transposed ? "columns" : "rows");
    const std::ptrdiff_t columns = transposed ? m : n;

    // Only a structure the host itself would build is read: a row index
    // outside X (or P) would reach outside its storage.
    const bool sparse = mxIsSparse(A);
    if (sparse && !validSparseColumns(m, n, mxGetJc(A), mxGetIr(A)))
        arguments::refuse(plugin.name, "badSparse",
                          "A's column starts or row indices are out of order or out of range");

    mxArray* P = arguments::newMatrix(static_cast<std::size_t>(k), static_cast<std::size_t>(columns));
    if (!P)
        arguments::refuse(plugin.name, "outOfMemory", "no memory for the %td by %td result", k,
                          columns);
    double* p = mxGetPr(P);
    const double* x = mxGetPr(X);
    const double* a = mxGetPr(A);
    if (sparse) {
        if (transposed) fullTimesSparseTransposed(p, x, k, m, n, mxGetJc(A), mxGetIr(A), a);
        else fullTimesSparse(p, x, k, m, n, mxGetJc(A), mxGetIr(A), a);
    } else if (!(transposed ? fullTimesTransposed(p, x, a, k, m, n) : fullTimesFull(p, x, a, k, m, n))) {
        mxDestroyArray(P);
        arguments::refuse(plugin.name, "outOfMemory", "no memory for the product's 256 KB panel");
    }
    plhs[0] = P;
}

}  // namespace product_gateway
