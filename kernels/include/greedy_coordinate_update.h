#pragma once

#include <cstdint>

#include "kernel_path.h"

// Greedy coordinate descent on the non-negative factor W (k×n, column-major),
// with Hessian HHt (k×k) held fixed. Each column of W is an independent
// problem; GW is its gradient and is kept in step with every move. A column
// stops after maxinner moves, when no entry can lower the objective, or once
// a move's predicted reduction falls below tol times the largest reduction
// available at entry. GW, HHt and W must not overlap. Every path gives the
// bits of the operation order in docs/operation-order.md.
//
// Returns false, with GW and W untouched, when its scratch block (2k doubles:
// the diagonal and its halves) cannot be allocated; the caller must not take
// W as the result then.
[[nodiscard]] bool greedyCoordinateUpdate(double* GW, const double* HHt, double* W, double tol,
                            std::int32_t n, std::int32_t k, std::int32_t maxinner);

// The same on a named path, for tests and benchmarks. Also returns false,
// with GW and W untouched, when `path` is not one of this build's paths or
// this CPU cannot execute it (see kernelPathAvailable); there is no fallback
// to another path, so that a caller never measures one path under another's name.
[[nodiscard]] bool greedyCoordinateUpdateOn(KernelPath path, double* GW, const double* HHt, double* W,
                              double tol, std::int32_t n, std::int32_t k,
                              std::int32_t maxinner);
