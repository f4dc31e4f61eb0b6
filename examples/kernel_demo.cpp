// Calls each kernel on a small problem and prints what it did.

#include <cstdio>
#include <vector>

#include "forward_sweep.h"
#include "greedy_coordinate_update.h"

namespace {

void printMatrix(const char* name, const std::vector<double>& a, int rows, int cols) {
    std::printf("%s =\n", name);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) std::printf("  %9.4f", a[i + j * rows]);
        std::printf("\n");
    }
}

}  // namespace

int main() {
    for (Kernel kernel : allKernels)
        std::printf("%s: %s path\n", kernelName(kernel), kernelPathName(dispatchedPath(kernel)));
    std::printf("\n");

    // Two columns of W, each a non-negative least-squares problem with Hessian HHt.
    const int k = 2, n = 2;
    std::vector<double> HHt{2, 0.5, 0.5, 1};
    std::vector<double> W{0, 0, 1, 1};
    std::vector<double> GW{-2, -2, 3.5, 0.5};  // gradient HHt·W + b
    if (!greedyCoordinateUpdate(GW.data(), HHt.data(), W.data(), 1e-6, n, k, 10)) {
        std::fprintf(stderr, "greedy update: out of memory\n");
        return 1;
    }
    printMatrix("greedy update: W", W, k, n);
    printMatrix("gradient GW", GW, k, n);

    // Forward sweeps over a lower-triangular coupling.
    const int order = 3, problems = 2;
    std::vector<double> M{4, 1, 2, 0, 3, 1, 0, 0, 2};
    std::vector<double> C{-4, -1, 3, 2, -6, -2};
    std::vector<double> X(order * problems);
    hardThresholdSweep(X.data(), M.data(), C.data(), 0.5, order, problems);
    printMatrix("\nhard-threshold sweep, lambda = 0.5: X", X, order, problems);
    nonNegativeSweep(X.data(), M.data(), C.data(), 0.0, order, problems);
    printMatrix("non-negative sweep: X", X, order, problems);
    return 0;
}
