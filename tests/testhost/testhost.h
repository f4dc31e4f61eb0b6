#pragma once

// The test side of our host: building arrays the way a host program would
// hand them to a plug-in, and calling a plug-in loaded from disk.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mex.h"

namespace testhost {

struct ArrayDeleter {
    void operator()(mxArray* array) const { mxDestroyArray(array); }
};
using ArrayPtr = std::unique_ptr<mxArray, ArrayDeleter>;

// A real full double array; values in column-major order, rows*cols of them.
TESTHOST_MX_API ArrayPtr makeDouble(std::size_t rows, std::size_t cols,
                                    const std::vector<double>& values);
TESTHOST_MX_API ArrayPtr makeScalar(double value);
TESTHOST_MX_API ArrayPtr makeComplex(std::size_t rows, std::size_t cols,
                                     const std::vector<double>& real,
                                     const std::vector<double>& imag);
// A sparse double array holding the non-zeros of a dense column-major matrix.
TESTHOST_MX_API ArrayPtr makeSparse(std::size_t rows, std::size_t cols,
                                    const std::vector<double>& dense);
// A sparse double array from its compressed columns as given, unchecked, so
// that a test can hand a plug-in a structure no host would build. Needs
// cols + 1 column starts and one row index per value.
TESTHOST_MX_API ArrayPtr makeSparseParts(std::size_t rows, std::size_t cols,
                                         const std::vector<int>& columnStart,
                                         const std::vector<int>& rowIndex,
                                         const std::vector<double>& values);
// A zero-filled array of another class, with that class's element size.
TESTHOST_MX_API ArrayPtr makeOfClass(mxClassID classId, std::size_t rows, std::size_t cols);
// A second handle on the same storage, as a host gives for B = A.
TESTHOST_MX_API ArrayPtr shareData(const mxArray* array);

// The real part of a double array, in storage order.
TESTHOST_MX_API std::vector<double> values(const mxArray* array);
// Everything a plug-in could change in an array: class, flags, sizes and
// every stored byte. Equal snapshots mean the array was left alone.
TESTHOST_MX_API std::vector<unsigned char> snapshot(const mxArray* array);

// Arrays alive now; a call that fails must leave this unchanged.
TESTHOST_MX_API std::size_t liveArrays();
// From now on let only `count` more arrays be created (then creation returns
// nothing, as a host out of memory would); a negative count lifts the limit.
TESTHOST_MX_API void limitNewArrays(long long count);

struct HostError {
    std::string identifier;
    std::string message;
};

struct CallResult {
    std::vector<ArrayPtr> outputs;  // one per slot; empty pointer where nothing was stored
    std::string printed;            // everything the plug-in printed, in order
    std::optional<HostError> error; // set when the plug-in raised a host error
};

using Entry = void (*)(int, mxArray*[], int, const mxArray*[]);

// A plug-in module loaded from disk.
class TESTHOST_MEX_API Plugin {
public:
    explicit Plugin(const std::string& path);  // throws std::runtime_error
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Calls mexFunction as a host does: with max(nlhs, 1) output slots. On a
    // host error the outputs already stored are released, as a host would.
    CallResult call(int nlhs, const std::vector<const mxArray*>& inputs) const;

private:
    void* module_;
    Entry entry_;
};

}  // namespace testhost
