// libmx of the test host: arrays and the queries the plug-ins make on them.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "testhost.h"

// Double arrays keep real and imaginary parts apart; sparse ones hold only
// their non-zeros, in compressed columns with 32-bit indices; other classes keep raw elements of their own size, so a
// plug-in that read them as doubles would run off the end.
struct mxArray_tag {
    mxClassID classId = mxDOUBLE_CLASS;
    bool complex = false;
    bool sparse = false;
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::shared_ptr<std::vector<double>> real = std::make_shared<std::vector<double>>();
    std::shared_ptr<std::vector<double>> imag = std::make_shared<std::vector<double>>();
    std::shared_ptr<std::vector<unsigned char>> raw = std::make_shared<std::vector<unsigned char>>();
    std::shared_ptr<std::vector<int>> rowIndex = std::make_shared<std::vector<int>>();
    std::shared_ptr<std::vector<int>> columnStart = std::make_shared<std::vector<int>>();
};

namespace {

std::atomic<std::size_t> arraysAlive{0};
std::atomic<long long> creationsLeft{-1};

std::size_t elementSize(mxClassID classId) {
    switch (classId) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS: return 1;
    case mxCHAR_CLASS:
    case mxINT16_CLASS:
    case mxUINT16_CLASS: return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS: return 4;
    default: return 8;
    }
}

// Every array comes from here, so the live count and the creation limit
// see all of them.
mxArray* newArray() {
    long long left = creationsLeft.load();
    while (left >= 0) {
        if (left == 0) return nullptr;
        if (creationsLeft.compare_exchange_weak(left, left - 1)) break;
    }
    mxArray* array = new (std::nothrow) mxArray;
    if (array) ++arraysAlive;
    return array;
}

testhost::ArrayPtr adopt(mxArray* array) {
    if (!array) throw std::runtime_error("test host: array creation refused");
    return testhost::ArrayPtr(array);
}

void requireCount(std::size_t given, std::size_t rows, std::size_t cols) {
    if (given != rows * cols) throw std::invalid_argument("test host: wrong number of values");
}

double firstElementAsDouble(const mxArray* array) {
    const auto& raw = *array->raw;
    if (raw.empty()) return 0.0;
    const unsigned char* p = raw.data();
    switch (array->classId) {
    case mxLOGICAL_CLASS:
    case mxUINT8_CLASS: return *p;
    case mxINT8_CLASS: return static_cast<std::int8_t>(*p);
    case mxCHAR_CLASS:
    case mxUINT16_CLASS: { std::uint16_t v; std::memcpy(&v, p, sizeof v); return v; }
    case mxINT16_CLASS: { std::int16_t v; std::memcpy(&v, p, sizeof v); return v; }
    case mxSINGLE_CLASS: { float v; std::memcpy(&v, p, sizeof v); return v; }
    case mxINT32_CLASS: { std::int32_t v; std::memcpy(&v, p, sizeof v); return v; }
    case mxUINT32_CLASS: { std::uint32_t v; std::memcpy(&v, p, sizeof v); return v; }
    case mxINT64_CLASS: { std::int64_t v; std::memcpy(&v, p, sizeof v); return static_cast<double>(v); }
    case mxUINT64_CLASS: { std::uint64_t v; std::memcpy(&v, p, sizeof v); return static_cast<double>(v); }
    default: return 0.0;
    }
}

}  // namespace

extern "C" {

double* mxGetPr(const mxArray* array) {
    if (array->classId != mxDOUBLE_CLASS)
        return reinterpret_cast<double*>(array->raw->empty() ? nullptr : array->raw->data());
    return array->real->empty() ? nullptr : array->real->data();
}

size_t mxGetM(const mxArray* array) { return array->rows; }
size_t mxGetN(const mxArray* array) { return array->cols; }
size_t mxGetNumberOfElements(const mxArray* array) { return array->rows * array->cols; }

double mxGetScalar(const mxArray* array) {
    if (array->classId != mxDOUBLE_CLASS) return firstElementAsDouble(array);
    // Empty arrays give 0, and sparse ones their first stored non-zero.
    return array->real->empty() ? 0.0 : array->real->front();
}

mxClassID mxGetClassID(const mxArray* array) { return array->classId; }
bool mxIsDouble(const mxArray* array) { return array->classId == mxDOUBLE_CLASS; }
bool mxIsNumeric(const mxArray* array) {
    return array->classId >= mxDOUBLE_CLASS && array->classId <= mxUINT64_CLASS;
}
bool mxIsLogical(const mxArray* array) { return array->classId == mxLOGICAL_CLASS; }
bool mxIsComplex(const mxArray* array) { return array->complex; }
bool mxIsSparse(const mxArray* array) { return array->sparse; }
int* mxGetIr_700(const mxArray* array) {
    return array->sparse ? array->rowIndex->data() : nullptr;
}
int* mxGetJc_700(const mxArray* array) {
    return array->sparse ? array->columnStart->data() : nullptr;
}
bool mxIsEmpty(const mxArray* array) { return array->rows == 0 || array->cols == 0; }

void mxDestroyArray(mxArray* array) {
    if (!array) return;
    delete array;
    --arraysAlive;
}

mxArray* mxCreateDoubleMatrix(size_t rows, size_t cols, mxComplexity complexity) {
    mxArray* array = newArray();
    if (!array) return nullptr;
    try {
        array->rows = rows;
        array->cols = cols;
        array->complex = complexity == mxCOMPLEX;
        array->real->assign(rows * cols, 0.0);
        if (array->complex) array->imag->assign(rows * cols, 0.0);
    } catch (const std::bad_alloc&) {
        mxDestroyArray(array);
        return nullptr;
    }
    return array;
}

// Negative counts are refused rather than wrapped into huge ones.
mxArray* mxCreateDoubleMatrix_700(int rows, int cols, mxComplexity complexity) {
    if (rows < 0 || cols < 0) return nullptr;
    return mxCreateDoubleMatrix(static_cast<size_t>(rows), static_cast<size_t>(cols), complexity);
}

}  // extern "C"

namespace testhost {

ArrayPtr makeDouble(std::size_t rows, std::size_t cols, const std::vector<double>& values) {
    requireCount(values.size(), rows, cols);
    ArrayPtr array = adopt(newArray());
    array->rows = rows;
    array->cols = cols;
    *array->real = values;
    return array;
}

ArrayPtr makeScalar(double value) { return makeDouble(1, 1, {value}); }

ArrayPtr makeComplex(std::size_t rows, std::size_t cols, const std::vector<double>& real,
                     const std::vector<double>& imag) {
    requireCount(real.size(), rows, cols);
    requireCount(imag.size(), rows, cols);
    ArrayPtr array = makeDouble(rows, cols, real);
    array->complex = true;
    *array->imag = imag;
    return array;
}

ArrayPtr makeSparse(std::size_t rows, std::size_t cols, const std::vector<double>& dense) {
    requireCount(dense.size(), rows, cols);
    std::vector<int> columnStart{0}, rowIndex;
    std::vector<double> nonZeros;
    for (std::size_t j = 0; j < cols; ++j) {
        for (std::size_t i = 0; i < rows; ++i)
            if (dense[i + j * rows] != 0.0) {
                rowIndex.push_back(static_cast<int>(i));
                nonZeros.push_back(dense[i + j * rows]);
            }
        columnStart.push_back(static_cast<int>(nonZeros.size()));
    }
    return makeSparseParts(rows, cols, columnStart, rowIndex, nonZeros);
}

ArrayPtr makeSparseParts(std::size_t rows, std::size_t cols, const std::vector<int>& columnStart,
                         const std::vector<int>& rowIndex, const std::vector<double>& values) {
    if (columnStart.size() != cols + 1 || rowIndex.size() != values.size())
        throw std::invalid_argument("test host: sparse parts of the wrong lengths");
    ArrayPtr array = adopt(newArray());
    array->rows = rows;
    array->cols = cols;
    array->sparse = true;
    *array->real = values;
    *array->rowIndex = rowIndex;
    *array->columnStart = columnStart;
    return array;
}

ArrayPtr makeOfClass(mxClassID classId, std::size_t rows, std::size_t cols) {
    if (classId == mxDOUBLE_CLASS) return makeDouble(rows, cols, std::vector<double>(rows * cols));
    ArrayPtr array = adopt(newArray());
    array->classId = classId;
    array->rows = rows;
    array->cols = cols;
    array->raw->assign(rows * cols * elementSize(classId), 0);
    return array;
}

ArrayPtr shareData(const mxArray* source) {
    ArrayPtr array = adopt(newArray());
    *array = *source;  // copies the handles, not the storage
    return array;
}

std::vector<double> values(const mxArray* array) { return *array->real; }

std::vector<unsigned char> snapshot(const mxArray* array) {
    const std::size_t header[] = {static_cast<std::size_t>(array->classId), array->complex,
                                  array->sparse, array->rows, array->cols,
                                  array->real->size(), array->imag->size(), array->raw->size(),
                                  array->rowIndex->size(), array->columnStart->size()};
    const std::size_t realBytes = array->real->size() * sizeof(double);
    const std::size_t imagBytes = array->imag->size() * sizeof(double);
    const std::size_t rawBytes = array->raw->size();
    const std::size_t rowBytes = array->rowIndex->size() * sizeof(int);
    const std::size_t startBytes = array->columnStart->size() * sizeof(int);
    std::vector<unsigned char> bytes(sizeof header + realBytes + imagBytes + rawBytes + rowBytes +
                                     startBytes);
    unsigned char* out = bytes.data();
    std::memcpy(out, header, sizeof header);
    out += sizeof header;
    if (realBytes) std::memcpy(out, array->real->data(), realBytes);
    out += realBytes;
    if (imagBytes) std::memcpy(out, array->imag->data(), imagBytes);
    out += imagBytes;
    if (rawBytes) std::memcpy(out, array->raw->data(), rawBytes);
    out += rawBytes;
    if (rowBytes) std::memcpy(out, array->rowIndex->data(), rowBytes);
    out += rowBytes;
    if (startBytes) std::memcpy(out, array->columnStart->data(), startBytes);
    return bytes;
}

std::size_t liveArrays() { return arraysAlive.load(); }

void limitNewArrays(long long count) { creationsLeft.store(count < 0 ? -1 : count); }

}  // namespace testhost
