#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "half_step.h"
#include "observed_lines.h"
#include "workers.h"

// One half of an outer iteration under a mask: the greedy update of a
// factor X (k×lines) with the other factor Y (k×length) held fixed. Each
// line x is the problem
//   min ½·xᵀQx − bᵀx + l1·Σx  over x ≥ 0,  Q = Σ w·y·yᵀ + l2·I,
// the sum over the line's observed entries (y the column of Y each
// meets), b the line's column of B = Y·Ã; the problem's gram is Y·Yᵀ, for
// the lines that list their missing entries. Q comes from the line's
// shorter list (observed_lines.h): those terms summed, or the missing
// entries' subtracted from the full Gram matrix. Each line has its own Q,
// so each is one greedy update of its own, which stops once a move lowers
// f by at most tol times the largest reduction the line's entries offered
// at the start. A line with no observed entry is set to 0.

// What a projection of each line to the end did.
struct MaskedProjection {
    double tol;             // a line stops at the first update gaining at most
                            // tol times its f at x = 0, which is not taken
    double maxiter;         // updates per line, at most
    double before, after;   // Σ of the lines' f at the start and the end
    std::int64_t updates;   // the most any line took
    bool allMetTol;
};

class MaskedHalfStep {
public:
    MaskedHalfStep(std::ptrdiff_t k, int parts, const ObservedLines& lines)
        : k_(k), parts_(parts), lines_(lines) {}
    // The scratch for up to `parts` parts; false when memory runs out.
    bool prepare();

    // X and G (both k×lines) in place: on return X is updated and G holds
    // the gradient Q·X − B + l1 at it. False when a product's scratch
    // cannot be had; each line is then as it was or updated.
    bool run(const Workers& workers, const HalfStepProblem& problem, const double* Y, double* X,
             double* G);

    // Each line from X to the end: from the gradient formed afresh, greedy
    // updates of maxinner moves, each taken while it gains more than
    // projection.tol times the line's ½·Σ (w·a)·a (`zero`, one per line).
    bool project(const Workers& workers, const HalfStepProblem& problem, const double* Y,
                 const double* zero, double* X, MaskedProjection& projection);

private:
    // A part's own work space, for one line at a time.
    struct Scratch {
        std::unique_ptr<double[]> storage;
        double *X, *Yt;              // k×longest and longest×k (formHessian)
        double *Q, *listedPart;      // k×k
        double *diag, *halfDiag;     // k each
        double *x, *g, *step, *Qs;   // k each: a projection's candidate update
    };
    // Q (with l2) and its diagonal for `line`, in `s`.
    bool formHessian(const KernelTable& product, const HalfStepProblem& problem, const double* Y,
                     std::ptrdiff_t line, Scratch& s) const;
    // g = Q·x − b + l1.
    bool formGradient(const KernelTable& product, const HalfStepProblem& problem,
                      std::ptrdiff_t line, const double* x, double* g, const Scratch& s) const;
    // The line's greedy update of x and g on Q.
    void update(const Workers& workers, const HalfStepProblem& problem, double* x, double* g,
                const Scratch& s) const;

    std::ptrdiff_t k_;
    int parts_;
    const ObservedLines& lines_;
    std::unique_ptr<Scratch[]> scratch_;
};
