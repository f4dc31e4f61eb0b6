#pragma once

#include <cstddef>
#include <limits>
#include <random>
#include <vector>

// Random doubles with the special values mixed in: NaN, ±Inf, ±0 and exact
// small integers, so that ties, clamps and NaN paths are all exercised.
class RandomData {
public:
    explicit RandomData(unsigned seed) : engine_(seed) {}

    // specialRate: probability that an entry is one of the special values.
    double value(double specialRate = 0.05) {
        if (unit_(engine_) < specialRate) {
            static constexpr double inf = std::numeric_limits<double>::infinity();
            static const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                                              inf, -inf, 0.0, -0.0, 1.0, -1.0};
            return specials[pick(std::size(specials))];
        }
        switch (pick(4)) {
        case 0:
            return static_cast<double>(static_cast<int>(pick(9)) - 4);
        default:
            return normal_(engine_);
        }
    }

    std::vector<double> values(std::size_t count, double specialRate = 0.05) {
        std::vector<double> out(count);
        for (double& v : out) v = value(specialRate);
        return out;
    }

    std::size_t pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(engine_);
    }
    double uniform() { return unit_(engine_); }
    std::mt19937_64& engine() { return engine_; }

private:
    std::mt19937_64 engine_;
    std::uniform_real_distribution<double> unit_{0.0, 1.0};
    std::normal_distribution<double> normal_{0.0, 2.0};
};
