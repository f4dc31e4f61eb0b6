// [Wnew, GWnew] = greedycd(GW, HHt, W, tol, maxinner)
//
// The kernel updates W and GW in place, so it runs on private copies: the
// caller's arrays, and any variable sharing their storage, stay as they were.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "arguments.h"
#include "greedy_coordinate_update.h"
#include "mex.h"

namespace {

constexpr const char* plugin = "greedycd";

void printUsage() {
    mexPrintf("Error calling greedycd.\n");
    mexPrintf("Usage: Wnew = greedycd(GW, HH^T, W, tol, maxinner)\n");
}

// Host counts are compared at full width with the sizes taken from GW.
bool hasShape(const mxArray* array, std::int32_t rows, std::int32_t cols) {
    return mxGetM(array) == static_cast<std::size_t>(rows) &&
           mxGetN(array) == static_cast<std::size_t>(cols);
}

// A new k×n matrix holding a copy of `source`'s data.
mxArray* copyOf(const mxArray* source, std::int32_t k, std::int32_t n) {
    mxArray* copy = arguments::newMatrix(static_cast<std::size_t>(k), static_cast<std::size_t>(n));
    if (copy) {
        const std::size_t count = static_cast<std::size_t>(k) * static_cast<std::size_t>(n);
        if (count > 0) std::memcpy(mxGetPr(copy), mxGetPr(source), count * sizeof(double));
    }
    return copy;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    arguments::checkArgumentCounts(plugin, nlhs, 2, nrhs, 5);
    const char* const names[] = {"GW", "HH^T", "W", "tol", "maxinner"};
    for (int i = 0; i < 5; ++i) arguments::checkRealFullDouble(plugin, prhs[i], names[i]);
    arguments::checkNotEmpty(plugin, prhs[3], "tol");
    arguments::checkNotEmpty(plugin, prhs[4], "maxinner");

    const mxArray* GW = prhs[0];
    const mxArray* HHt = prhs[1];
    const mxArray* W = prhs[2];
    const std::int32_t k = static_cast<std::int32_t>(mxGetM(GW));
    const std::int32_t n = static_cast<std::int32_t>(mxGetN(GW));

    const bool HHtFits = hasShape(HHt, k, k);
    if (!HHtFits) {
        printUsage();
        mexPrintf("Error: %d %d HH^T should be a %d by %d matrix\n",
                  static_cast<int>(mxGetM(HHt)), static_cast<int>(mxGetN(HHt)), k, k);
    }
    const bool WFits = hasShape(W, k, n);
    if (!WFits) {
        printUsage();
        mexPrintf("Error: W should be a %d by %d matrix", k, n);
    }
    if (!HHtFits && !WFits)
        arguments::refuse(plugin, "shape",
                          "HH^T is %zu by %zu and W is %zu by %zu; they must be %d by %d and "
                          "%d by %d (GW is %d by %d)",
                          mxGetM(HHt), mxGetN(HHt), mxGetM(W), mxGetN(W), k, k, k, n, k, n);
    if (!HHtFits)
        arguments::refuse(plugin, "shape", "HH^T is %zu by %zu; it must be %d by %d (GW is %d by %d)",
                          mxGetM(HHt), mxGetN(HHt), k, k, k, n);
    if (!WFits)
        arguments::refuse(plugin, "shape", "W is %zu by %zu; it must be %d by %d (GW is %d by %d)",
                          mxGetM(W), mxGetN(W), k, n, k, n);

    const double tol = mxGetPr(prhs[3])[0];
    const std::int32_t maxinner = arguments::truncateToInt32(mxGetPr(prhs[4])[0]);

    mxArray* Wnew = copyOf(W, k, n);
    if (!Wnew) arguments::refuse(plugin, "outOfMemory", "no memory for the result");
    mxArray* GWnew = copyOf(GW, k, n);
    if (!GWnew) {
        mxDestroyArray(Wnew);
        arguments::refuse(plugin, "outOfMemory", "no memory for the gradient");
    }

    // An empty W has nothing to update, and the kernel would still walk
    // every one of up to 2^31 - 1 empty columns.
    if (k > 0 && n > 0 &&
        !greedyCoordinateUpdate(mxGetPr(GWnew), mxGetPr(HHt), mxGetPr(Wnew), tol, n, k, maxinner)) {
        mxDestroyArray(Wnew);
        mxDestroyArray(GWnew);
        arguments::refuse(plugin, "outOfMemory", "no memory for the kernel's scratch vectors");
    }

    plhs[0] = Wnew;
    if (nlhs >= 2)
        plhs[1] = GWnew;
    else
        mxDestroyArray(GWnew);
}
