#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "workers.h"

// One half of an outer iteration: the greedy update of a factor X
// (k×columns) with the other held fixed. Each column x of X is the problem
//   min ½·xᵀQx − bᵀx + l1·Σx  over x ≥ 0,  Q = gram + l2·I,
// b the column of B; the weights enter exactly, l2 on Q's diagonal and l1 in
// the gradient G = Q·X − B + l1, which the update keeps in step with X.
struct HalfStepProblem {
    const double* gram;  // k×k
    const double* B;     // k×columns
    double l1, l2;
    double tol;          // the greedy update's, against the largest first reduction
    std::int32_t maxinner;
};

class HalfStep {
public:
    HalfStep(std::ptrdiff_t k, int parts) : k_(k), parts_(parts) {}
    // The scratch it needs for rank k on up to `parts` parts; false when
    // memory runs out.
    bool prepare();

    // X and G (both k×columns) in place: on return X is updated and G holds
    // the gradient at it. False when a product's scratch panel cannot be had,
    // X untouched.
    bool run(const Workers& workers, const HalfStepProblem& problem, double* X, double* G,
             std::ptrdiff_t columns) {
        if (!gradient(workers, problem, X, G, columns)) return false;
        update(workers, problem, X, G, columns);
        return true;
    }

    // The two stages of run: Q and G = Q·X − B + l1 at X, with the largest
    // reduction any entry of X offers; then the greedy moves from there,
    // which may be made on copies of X and G.
    bool gradient(const Workers& workers, const HalfStepProblem& problem, double* X,
                  double* G, std::ptrdiff_t columns);
    void update(const Workers& workers, const HalfStepProblem& problem, double* X, double* G,
                std::ptrdiff_t columns) const;

    // gram + l2·I, as the last gradient formed it.
    const double* hessian() const { return Q_.get(); }

private:
    std::ptrdiff_t k_;
    int parts_;
    std::unique_ptr<double[]> Q_, diag_, largest_;
    double threshold_ = 0;  // the largest first reduction times tol
};
