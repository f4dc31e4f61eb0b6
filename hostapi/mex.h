#pragma once

// The host interface the plug-ins are written against, as our test host
// provides it: array queries and creation from libmx, printing and errors
// from libmex. Names, types and the 32-bit size mapping follow the MEX API so
// the same gateway sources build unchanged against MATLAB's and Octave's mex.h.

#include <stddef.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#define TESTHOST_EXPORT __declspec(dllexport)
#define TESTHOST_IMPORT __declspec(dllimport)
#else
#define TESTHOST_EXPORT __attribute__((visibility("default")))
#define TESTHOST_IMPORT
#endif

// Each library exports its own half of the interface and imports the other.
#ifdef TESTHOST_BUILDING_MX
#define TESTHOST_MX_API TESTHOST_EXPORT
#else
#define TESTHOST_MX_API TESTHOST_IMPORT
#endif
#ifdef TESTHOST_BUILDING_MEX
#define TESTHOST_MEX_API TESTHOST_EXPORT
#else
#define TESTHOST_MEX_API TESTHOST_IMPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray;

#ifdef MX_COMPAT_32
typedef int mwSize;
typedef int mwIndex;
#else
typedef size_t mwSize;
typedef size_t mwIndex;
#endif

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS,
    mxSTRUCT_CLASS,
    mxLOGICAL_CLASS,
    mxCHAR_CLASS,
    mxVOID_CLASS,
    mxDOUBLE_CLASS,
    mxSINGLE_CLASS,
    mxINT8_CLASS,
    mxUINT8_CLASS,
    mxINT16_CLASS,
    mxUINT16_CLASS,
    mxINT32_CLASS,
    mxUINT32_CLASS,
    mxINT64_CLASS,
    mxUINT64_CLASS,
    mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX } mxComplexity;

// libmx
TESTHOST_MX_API double* mxGetPr(const mxArray* array);
TESTHOST_MX_API size_t mxGetM(const mxArray* array);
TESTHOST_MX_API size_t mxGetN(const mxArray* array);
TESTHOST_MX_API size_t mxGetNumberOfElements(const mxArray* array);
TESTHOST_MX_API double mxGetScalar(const mxArray* array);
TESTHOST_MX_API mxClassID mxGetClassID(const mxArray* array);
TESTHOST_MX_API bool mxIsDouble(const mxArray* array);
TESTHOST_MX_API bool mxIsNumeric(const mxArray* array);
TESTHOST_MX_API bool mxIsLogical(const mxArray* array);
TESTHOST_MX_API bool mxIsComplex(const mxArray* array);
TESTHOST_MX_API bool mxIsSparse(const mxArray* array);
TESTHOST_MX_API bool mxIsEmpty(const mxArray* array);
TESTHOST_MX_API void mxDestroyArray(mxArray* array);

// With 32-bit array sizes a plug-in binds creation to the _700 entry point,
// which takes int counts; otherwise it gets the full-width one.
TESTHOST_MX_API mxArray* mxCreateDoubleMatrix_700(int rows, int cols, mxComplexity complexity);
#ifdef MX_COMPAT_32
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_700
#else
TESTHOST_MX_API mxArray* mxCreateDoubleMatrix(mwSize rows, mwSize cols, mxComplexity complexity);
#endif

// A sparse array's compressed columns: row index of each stored entry, and
// where each column's entries start (one more than the column count). The
// test host serves plug-ins built with 32-bit sizes, whose indices are ints
// from the _700 entry points.
TESTHOST_MX_API int* mxGetIr_700(const mxArray* array);
TESTHOST_MX_API int* mxGetJc_700(const mxArray* array);
#ifdef MX_COMPAT_32
#define mxGetIr mxGetIr_700
#define mxGetJc mxGetJc_700
#endif

// libmex
TESTHOST_MEX_API int mexPrintf(const char* format, ...);
#ifdef __cplusplus
[[noreturn]]
#endif
TESTHOST_MEX_API void mexErrMsgIdAndTxt(const char* identifier, const char* format, ...);

// The entry point every plug-in exports.
TESTHOST_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

#ifdef __cplusplus
}
#endif
