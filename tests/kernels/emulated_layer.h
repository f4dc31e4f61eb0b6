#pragma once

// A vector layer written with plain loops over arrays of Tiles::lanes
// doubles, for running the vector schedules with another path's tile sizes
// on any CPU. Each operation rounds each lane on its own, as the real layers
// do; it is not fast, only exact.

#include <cstddef>

namespace emulated_layer {

template <int N>
struct Vector {
    double v[N];
    Vector() = default;
    explicit Vector(double x) {
        for (double& lane : v) lane = x;
    }
};

template <int N>
struct Mask {
    bool m[N];
};

template <int N, class Op>
Vector<N> lanewise(Vector<N> a, Vector<N> b, Op op) {
    Vector<N> r;
    for (int i = 0; i < N; ++i) r.v[i] = op(a.v[i], b.v[i]);
    return r;
}
template <int N, class Op>
Mask<N> compare(Vector<N> a, Vector<N> b, Op op) {
    Mask<N> r;
    for (int i = 0; i < N; ++i) r.m[i] = op(a.v[i], b.v[i]);
    return r;
}

template <int N> Vector<N> operator+(Vector<N> a, Vector<N> b) {
    return lanewise(a, b, [](double x, double y) { return x + y; });
}
template <int N> Vector<N> operator-(Vector<N> a, Vector<N> b) {
    return lanewise(a, b, [](double x, double y) { return x - y; });
}
template <int N> Vector<N> operator*(Vector<N> a, Vector<N> b) {
    return lanewise(a, b, [](double x, double y) { return x * y; });
}
template <int N> Vector<N> operator/(Vector<N> a, Vector<N> b) {
    return lanewise(a, b, [](double x, double y) { return x / y; });
}
template <int N> Vector<N> operator-(Vector<N> a) {
    for (double& lane : a.v) lane = -lane;
    return a;
}
template <int N> Mask<N> operator<(Vector<N> a, Vector<N> b) {
    return compare(a, b, [](double x, double y) { return x < y; });
}
template <int N> Mask<N> operator>(Vector<N> a, Vector<N> b) {
    return compare(a, b, [](double x, double y) { return x > y; });
}
template <int N> Mask<N> operator>=(Vector<N> a, Vector<N> b) {
    return compare(a, b, [](double x, double y) { return x >= y; });
}
template <int N> Mask<N> operator==(Vector<N> a, Vector<N> b) {
    return compare(a, b, [](double x, double y) { return x == y; });
}
template <int N> Mask<N> operator&(Mask<N> a, Mask<N> b) {
    for (int i = 0; i < N; ++i) a.m[i] = a.m[i] && b.m[i];
    return a;
}
template <int N> Mask<N> operator|(Mask<N> a, Mask<N> b) {
    for (int i = 0; i < N; ++i) a.m[i] = a.m[i] || b.m[i];
    return a;
}
template <int N> Vector<N> select(Mask<N> m, Vector<N> ifTrue, Vector<N> ifFalse) {
    for (int i = 0; i < N; ++i)
        if (m.m[i]) ifFalse.v[i] = ifTrue.v[i];
    return ifFalse;
}
template <int N> Vector<N> atLeastZero(Vector<N> t) {
    return select(t < Vector<N>(0.0), Vector<N>(0.0), t);
}
template <int N> Vector<N> smaller(Vector<N> a, Vector<N> b) { return select(a < b, a, b); }

template <class Tiles>
struct Layer : Tiles {
    static constexpr int lanes = Tiles::lanes;
    using Vec = Vector<lanes>;

    struct Part {
        std::ptrdiff_t count;
    };
    static Part firstLanes(std::ptrdiff_t count) { return {count}; }
    static Mask<lanes> inPart(Part part) {
        Mask<lanes> r;
        for (int i = 0; i < lanes; ++i) r.m[i] = i < part.count;
        return r;
    }
    static Vec load(const double* p, Part part) {
        Vec r(0.0);
        for (int i = 0; i < lanes && i < part.count; ++i) r.v[i] = p[i];
        return r;
    }
    static void store(double* p, Part part, Vec v) {
        for (int i = 0; i < lanes && i < part.count; ++i) p[i] = v.v[i];
    }
    static Vec load(const double* p) { return load(p, {lanes}); }
    static void store(double* p, Vec v) { store(p, {lanes}, v); }
    static void prefetch(const double*) {}
    static void prefetchToL2(const double*) {}
    static Vec laneNumbers() {
        Vec r;
        for (int i = 0; i < lanes; ++i) r.v[i] = i;
        return r;
    }
    static double smallestLane(Vec v) {
        double least = v.v[0];
        for (double lane : v.v)
            if (lane < least) least = lane;
        return least;
    }
    static void transpose(Vec* v) {
        for (int a = 0; a < lanes; ++a)
            for (int b = a + 1; b < lanes; ++b) {
                const double t = v[a].v[b];
                v[a].v[b] = v[b].v[a];
                v[b].v[a] = t;
            }
    }
};

}  // namespace emulated_layer
