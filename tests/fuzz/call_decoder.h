#pragma once

// Turns fuzzer bytes into one host call of a plug-in: how many outputs are
// requested, how many inputs are given and what each input is (class, shape,
// values, or another input again), and how many arrays the host will still
// create before it runs out of memory.
//
// Layout, one byte each unless said otherwise; reading past the end gives 0:
//   outputs requested (mod 4), inputs given (mod 8), memory (>= 0xC0: the
//   host creates only (byte mod 4) more arrays), then per input:
//   kind, and for a fresh array rows, cols and one value code per element;
//   an array with 8 or more rows or columns instead takes a seed (two bytes)
//   and a special-value rate (one byte), and its values are generated.
//   A kind with the top bit set repeats an earlier input (next byte picks
//   which): bit 6 set passes the very same handle, clear a second handle on
//   the same storage, as a host does for B = A.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "testhost.h"

namespace fuzzcall {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    double rawDouble() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= std::uint64_t{byte()} << (8 * i);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

enum class Kind {
    realDouble,
    complexDouble,
    sparseDouble,
    single,
    int32,
    logical,
    character,
    cell,
    structure,
};

// Real doubles come up most often, so that well-formed calls are common.
inline constexpr Kind kindTable[] = {
    Kind::realDouble, Kind::realDouble, Kind::realDouble, Kind::realDouble,
    Kind::realDouble, Kind::realDouble, Kind::realDouble, Kind::realDouble,
    Kind::complexDouble, Kind::sparseDouble, Kind::single, Kind::int32,
    Kind::logical, Kind::character, Kind::cell, Kind::structure,
};

// Counts the host can hold without storage, as the other count is then 0.
inline constexpr std::size_t hugeCounts[] = {
    (std::size_t{1} << 31) - 1, std::size_t{1} << 31, (std::size_t{1} << 31) + 1,
    (std::size_t{1} << 32) - 1, std::size_t{1} << 32, (std::size_t{1} << 32) + 1,
    std::size_t{1} << 53, std::numeric_limits<std::size_t>::max(),
};

// Codes from 0xF8 pick a huge count, 0xC0 to 0xF7 give 8..63 (past every
// vector tile and remainder of the kernels), and the rest give 0..7.
inline constexpr std::size_t largestGeneratedCount = 63;
inline std::size_t decodeCount(std::uint8_t code) {
    if (code >= 0xF8) return hugeCounts[code - 0xF8];
    if (code >= 0xC0) return 8 + (code - 0xC0);
    return code % 8;
}

// Values that sit on an edge for a scalar argument or for the arithmetic.
inline constexpr double specialValues[] = {
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    0.0, -0.0,
    std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
    std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
    2147483647.0, 2147483647.5, 2147483648.0, 2147483649.0,
    -2147483648.0, -2147483648.5, -2147483649.0, 4294967296.0,
    4294967297.0, 9007199254740992.0, 1e300, -1e300,
    2.9, -2.9, 0.5, -0.5, 1e-300, 3e9,
    46341.0, 65536.0, 0.999999999999, -1.0,
};
static_assert(sizeof specialValues / sizeof specialValues[0] == 32);

// 0xE0 and up pick a special value, 0xDF reads eight raw bytes, and the
// rest are multiples of 1/8 in [-12, 15].
inline double decodeValue(ByteReader& in) {
    const std::uint8_t code = in.byte();
    if (code >= 0xE0) return specialValues[code - 0xE0];
    if (code == 0xDF) return in.rawDouble();
    return (static_cast<double>(code) - 96.0) / 8.0;
}

struct Call {
    int nlhs = 0;
    std::vector<testhost::ArrayPtr> arrays;  // each array once, owned here
    std::vector<const mxArray*> inputs;      // what the plug-in is handed
    long long arraysLeft = -1;               // negative: the host never runs out
};

// Values for a large array: a short input still fills it, with special
// values at a rate of up to one in four that the input chooses.
inline std::vector<double> generateValues(ByteReader& in, std::size_t count) {
    std::uint64_t state = in.byte() | (std::uint64_t{in.byte()} << 8);
    const std::uint64_t specialsPer1024 = in.byte();
    std::vector<double> values(count);
    for (double& value : values) {
        // splitmix64
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        z ^= z >> 31;
        if ((z & 1023) < specialsPer1024)
            value = specialValues[(z >> 10) % 32];
        else
            value = (static_cast<double>((z >> 16) % 216) - 96.0) / 8.0;
    }
    return values;
}

inline std::vector<double> decodeValues(ByteReader& in, std::size_t count) {
    if (count > 49) return generateValues(in, count);
    std::vector<double> values(count);
    for (double& value : values) value = decodeValue(in);
    return values;
}

// An array of another numeric class, holding the decoded values as that
// class holds them (saturated, with NaN as 0 for integers, as a host
// converts them).
template <typename T>
testhost::ArrayPtr decodeOfClass(ByteReader& in, mxClassID classId, std::size_t rows,
                                 std::size_t cols) {
    auto array = testhost::makeOfClass(classId, rows, cols);
    auto* data = reinterpret_cast<unsigned char*>(mxGetPr(array.get()));
    const std::vector<double> values = decodeValues(in, rows * cols);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        T element;
        if constexpr (std::is_same_v<T, float>) {
            constexpr double largest = std::numeric_limits<float>::max();
            element = v > largest    ? std::numeric_limits<float>::infinity()
                      : v < -largest ? -std::numeric_limits<float>::infinity()
                                     : static_cast<float>(v);
        } else if constexpr (std::is_same_v<T, bool>) {
            element = v != 0;
        } else {
            constexpr double low = std::numeric_limits<T>::min(), high = std::numeric_limits<T>::max();
            element = std::isnan(v) ? T{0} : v <= low ? std::numeric_limits<T>::min()
                                    : v >= high       ? std::numeric_limits<T>::max()
                                                      : static_cast<T>(v);
        }
        std::memcpy(data + i * sizeof element, &element, sizeof element);
    }
    return array;
}

inline testhost::ArrayPtr decodeArray(ByteReader& in, Kind kind) {
    std::size_t rows = decodeCount(in.byte());
    std::size_t cols = decodeCount(in.byte());
    // A huge count only ever comes with an empty other side.
    if (rows > largestGeneratedCount) cols = 0;
    if (cols > largestGeneratedCount) rows = 0;
    // A sparse array holds a start for every column: no host has room for
    // 2^31 of them.
    if (kind == Kind::sparseDouble && cols > largestGeneratedCount) cols = largestGeneratedCount;
    const std::size_t count = rows * cols;
    switch (kind) {
    case Kind::realDouble: return testhost::makeDouble(rows, cols, decodeValues(in, count));
    case Kind::complexDouble: {
        std::vector<double> real = decodeValues(in, count);
        return testhost::makeComplex(rows, cols, real, decodeValues(in, count));
    }
    case Kind::sparseDouble: return testhost::makeSparse(rows, cols, decodeValues(in, count));
    case Kind::single: return decodeOfClass<float>(in, mxSINGLE_CLASS, rows, cols);
    case Kind::int32: return decodeOfClass<std::int32_t>(in, mxINT32_CLASS, rows, cols);
    case Kind::logical: return decodeOfClass<bool>(in, mxLOGICAL_CLASS, rows, cols);
    case Kind::character: return testhost::makeOfClass(mxCHAR_CLASS, rows, cols);
    case Kind::cell: return testhost::makeOfClass(mxCELL_CLASS, rows, cols);
    case Kind::structure: return testhost::makeOfClass(mxSTRUCT_CLASS, rows, cols);
    }
    return nullptr;
}

inline Call decodeCall(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    Call call;
    call.nlhs = in.byte() % 4;
    const int inputCount = in.byte() % 8;
    const std::uint8_t memory = in.byte();
    if (memory >= 0xC0) call.arraysLeft = memory % 4;

    for (int i = 0; i < inputCount; ++i) {
        const std::uint8_t kind = in.byte();
        if ((kind & 0x80) && !call.inputs.empty()) {
            const mxArray* earlier = call.inputs[in.byte() % call.inputs.size()];
            if (kind & 0x40) {
                call.inputs.push_back(earlier);
            } else {
                call.arrays.push_back(testhost::shareData(earlier));
                call.inputs.push_back(call.arrays.back().get());
            }
            continue;
        }
        call.arrays.push_back(decodeArray(in, kindTable[kind % 16]));
        call.inputs.push_back(call.arrays.back().get());
    }
    return call;
}

}  // namespace fuzzcall
