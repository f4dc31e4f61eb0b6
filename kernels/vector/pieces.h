#pragma once

// Loads and stores of a piece of lanes doubles that may be cut short: a
// whole piece (known when the code is compiled) takes no masks.

namespace {

template <class L, bool whole>
inline typename L::Vec loadPiece(const double* p, typename L::Part part) {
    if constexpr (whole) return L::load(p);
    else return L::load(p, part);
}

template <class L, bool whole>
inline void storePiece(double* p, typename L::Part part, typename L::Vec v) {
    if constexpr (whole) L::store(p, v);
    else L::store(p, part, v);
}

}  // namespace
