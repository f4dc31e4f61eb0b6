#pragma once

#include <cstddef>

#include "greedy_nmf.h"
#include "workers.h"

// The Kullback-Leibler fit and projection on a team: greedyNmf and
// nmfProject hand them runs with loss kl.
template <typename Index>
NmfStatus klFactorise(const Workers& workers, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                      double* Wt, double* H, const NmfOptions& options, NmfRun& run,
                      NmfProgress progress, void* context);

template <typename Index>
NmfStatus klProject(const Workers& workers, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                    const double* Wt, double* H, const NmfProjectOptions& options,
                    NmfProjectRun& run);
