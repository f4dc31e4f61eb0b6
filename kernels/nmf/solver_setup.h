#pragma once

// The solvers with the kernel tables and the cut of their steps given:
// the entry points of greedy_nmf.h take the dispatched tables and the
// default cut, and the tests bring tables of their own (an emulated layer)
// and cut every step however small.

#include "../kernel_table.h"
#include "greedy_nmf.h"

struct SolverSetup {
    const KernelTable* greedy;
    const KernelTable* product;
    double minimumPartWork;  // see Workers
    double klGroupBytes;     // see Workers
};

// The default: dispatched tables, and parts of at least this much work.
SolverSetup dispatchedSolverSetup();
// Every kernel on `path`, which this CPU must be able to execute.
SolverSetup solverSetupOn(KernelPath path);

template <typename Index>
NmfStatus greedyNmfWith(const SolverSetup& setup, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                        double* Wt, double* H, const NmfOptions& options, NmfRun& run,
                        NmfProgress progress, void* context);

template <typename Index>
NmfStatus nmfProjectWith(const SolverSetup& setup, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                         const double* Wt, double* H, const NmfProjectOptions& options,
                         NmfProjectRun& run);
