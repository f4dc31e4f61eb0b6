#pragma once

// How far an iteration starts beyond the factors just kept, as a fraction
// beta of the step that found them: beta grows while pushing pays and falls
// back when an iteration from pushed factors raises f, its ceiling dropping
// to the beta that failed and creeping back up to 1. (The schedule of Ang
// and Gillis's extrapolated NMF, Neural Computation 31, 2019: growth 1.05,
// ceiling growth 1.01, fall 1.5.)
struct Extrapolation {
    double beta = 0.5;
    double ceiling = 1.0;

    // After a push by beta.
    void pushed() {
        beta = smaller(ceiling, 1.05 * beta);
        ceiling = smaller(1.0, 1.01 * ceiling);
    }
    // After an iteration from pushed factors is undone.
    void undone() {
        ceiling = beta;
        beta = beta / 1.5;
    }

private:
    static double smaller(double a, double b) { return b < a ? b : a; }
};

// X + beta·(X − before), each operation rounded on its own, below zero set to +0.0.
inline double pushedOn(double x, double before, double beta) {
    const double y = x + beta * (x - before);
    return y < 0.0 ? 0.0 : y;
}
