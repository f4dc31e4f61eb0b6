// P = fixedtimes(X, A) or fixedtimes(X, A, true): X*A or X*A', full or sparse
// A, every entry one running sum in a fixed order.

#include <cstddef>

#include "arguments.h"
#include "mex.h"
#include "products.h"

namespace {

constexpr const char* plugin = "fixedtimes";

void checkRealDouble(const mxArray* input, const char* name) {
    if (!mxIsDouble(input) || mxIsComplex(input))
        arguments::refuse(plugin, "notRealDouble", "%s must be a real double matrix, full or sparse",
                          name);
    arguments::checkCounts(plugin, input, name);
}

bool readTransposeFlag(const mxArray* flag) {
    arguments::checkRealFullNumeric(plugin, flag, "transposeA");
    const double value = mxGetNumberOfElements(flag) == 1 ? mxGetScalar(flag) : -1.0;
    if (value != 0.0 && value != 1.0)
        arguments::refuse(plugin, "badFlag", "transposeA must be true or false");
    return value == 1.0;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    if (nrhs != 2 && nrhs != 3)
        arguments::refuse(plugin, "nargin", "takes 2 or 3 inputs, got %d", nrhs);
    arguments::checkArgumentCounts(plugin, nlhs, 1, nrhs, nrhs);
    const mxArray* X = prhs[0];
    const mxArray* A = prhs[1];
    arguments::checkRealFullDouble(plugin, X, "X");
    checkRealDouble(A, "A");
    const bool transposed = nrhs == 3 && readTransposeFlag(prhs[2]);

    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(mxGetM(X));
    const std::ptrdiff_t depth = static_cast<std::ptrdiff_t>(mxGetN(X));
    const std::ptrdiff_t rows = static_cast<std::ptrdiff_t>(mxGetM(A));
    const std::ptrdiff_t columns = static_cast<std::ptrdiff_t>(mxGetN(A));
    if ((transposed ? columns : rows) != depth)
        arguments::refuse(plugin, "shape",
                          "X is %zu by %zu and A is %zu by %zu; X*%s needs as many columns in X "
                          "as %s in A",
                          mxGetM(X), mxGetN(X), mxGetM(A), mxGetN(A), transposed ? "A'" : "A",
                          transposed ? "columns" : "rows");
    const std::ptrdiff_t n = transposed ? rows : columns;

    // Only a structure the host itself would build is read: a row index
    // outside X (or P) would reach outside its storage.
    const bool sparse = mxIsSparse(A);
    if (sparse && !validSparseColumns(rows, columns, mxGetJc(A), mxGetIr(A)))
        arguments::refuse(plugin, "badSparse",
                          "A's column starts or row indices are out of order or out of range");

    mxArray* P = arguments::newMatrix(static_cast<std::size_t>(k), static_cast<std::size_t>(n));
    if (!P) arguments::refuse(plugin, "outOfMemory", "no memory for the %td by %td result", k, n);
    double* p = mxGetPr(P);
    const double* x = mxGetPr(X);
    const double* a = mxGetPr(A);
    if (sparse) {
        if (transposed)
            fullTimesSparseTransposed(p, x, k, rows, columns, mxGetJc(A), mxGetIr(A), a);
        else
            fullTimesSparse(p, x, k, rows, columns, mxGetJc(A), mxGetIr(A), a);
    } else {
        const bool done = transposed ? fullTimesTransposed(p, x, a, k, depth, n)
                                     : fullTimesFull(p, x, a, k, depth, n);
        if (!done) {
            mxDestroyArray(P);
            arguments::refuse(plugin, "outOfMemory", "no memory for the product's 256 KB panel");
        }
    }
    plhs[0] = P;
}
