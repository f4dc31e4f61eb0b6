// X = clipsweep(M, C, lambda, n, m)
#include "forward_sweep.h"
#include "mex.h"
#include "sweep_gateway.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    sweepGateway("clipsweep", nonNegativeSweep, nlhs, plhs, nrhs, prhs);
}
