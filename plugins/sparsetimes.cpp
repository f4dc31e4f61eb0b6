// P = sparsetimes(X, A): the full-by-sparse product X*A, as fixedtimes(X, A)
// for a sparse A.

#include "product_gateway.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    product_gateway::run({"sparsetimes", true}, nlhs, plhs, nrhs, prhs);
}
