// P = fixedtimes(X, A) or fixedtimes(X, A, true): X*A or X*A', full or sparse
// A, every entry one running sum in a fixed order.

#include "product_gateway.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    product_gateway::run({"fixedtimes", false}, nlhs, plhs, nrhs, prhs);
}
