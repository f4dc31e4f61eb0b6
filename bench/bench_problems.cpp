#include "bench_problems.h"

#include <cstddef>
#include <random>

SweepProblem makeSweepProblem(std::int32_t n, std::int32_t m, unsigned seed) {
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const std::size_t N = static_cast<std::size_t>(n);
    SweepProblem p{n, m, std::vector<double>(N * N), std::vector<double>(N * m)};
    for (double& v : p.M) v = unit(engine) / n;
    for (std::size_t j = 0; j < N; ++j) p.M[j * (N + 1)] = 1.5 + unit(engine);
    for (double& v : p.C) v = unit(engine);
    return p;
}

GreedyBenchProblem makeGreedyProblem(std::int32_t k, std::int32_t n, unsigned seed) {
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::size_t K = static_cast<std::size_t>(k), N = static_cast<std::size_t>(n);
    const std::size_t samples = 2 * K;  // columns of H
    std::vector<double> H(K * samples);
    for (double& v : H) v = unit(engine);

    GreedyBenchProblem p{k, n, std::vector<double>(K * N), std::vector<double>(K * K),
                         std::vector<double>(K * N)};
    for (std::size_t a = 0; a < K; ++a)
        for (std::size_t b = 0; b < K; ++b) {
            double sum = 0.0;
            for (std::size_t l = 0; l < samples; ++l) sum += H[a + l * K] * H[b + l * K];
            p.HHt[a + b * K] = sum;
        }
    for (double& v : p.W) v = unit(engine) < 0.5 ? 0.0 : unit(engine);

    std::vector<double> v(samples);
    for (std::size_t j = 0; j < N; ++j) {
        for (double& x : v) x = unit(engine);
        for (std::size_t i = 0; i < K; ++i) {
            double gradient = 0.0;
            for (std::size_t l = 0; l < K; ++l) gradient += p.HHt[i + l * K] * p.W[l + j * K];
            for (std::size_t l = 0; l < samples; ++l) gradient -= H[i + l * K] * v[l];
            p.GW[i + j * K] = gradient;
        }
    }
    return p;
}

std::vector<double> makeUniform(std::ptrdiff_t count, unsigned seed) {
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> out(static_cast<std::size_t>(count));
    for (double& v : out) v = unit(engine);
    return out;
}
