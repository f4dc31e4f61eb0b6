#include "no_fp_contract.h"

#include "kernel_path.h"

#include "kernel_table.h"

#if GREEDYSWEEP_X86_64
#include <cstdint>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#include <immintrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace {

#if GREEDYSWEEP_X86_64
struct CpuidResult {
    std::uint32_t eax, ebx, ecx, edx;
};

CpuidResult cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
#if defined(_MSC_VER) && !defined(__clang__)
    int r[4];
    __cpuidex(r, static_cast<int>(leaf), static_cast<int>(subleaf));
    return {static_cast<std::uint32_t>(r[0]), static_cast<std::uint32_t>(r[1]),
            static_cast<std::uint32_t>(r[2]), static_cast<std::uint32_t>(r[3])};
#else
    CpuidResult r{};
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
#endif
}

// Which register state the operating system saves on a context switch.
std::uint64_t enabledRegisterState() {
#if defined(_MSC_VER) && !defined(__clang__)
    return _xgetbv(0);
#else
    std::uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<std::uint64_t>(high) << 32) | low;
#endif
}

struct X86Features {
    bool avx2 = false;
    bool avx512 = false;
};

bool bit(std::uint32_t word, int position) { return (word >> position) & 1u; }

X86Features detectFeatures() {
    X86Features features;
    const std::uint32_t maxLeaf = cpuid(0, 0).eax;
    if (maxLeaf < 7) return features;
    const CpuidResult leaf1 = cpuid(1, 0);
    // The CPU must have AVX and the OS must have enabled XGETBV before we ask it.
    if (!bit(leaf1.ecx, 27) || !bit(leaf1.ecx, 28)) return features;
    const std::uint64_t state = enabledRegisterState();
    const bool ymmSaved = (state & 0x6) == 0x6;     // SSE and AVX state
    const bool zmmSaved = (state & 0xe6) == 0xe6;   // plus opmask and both ZMM halves
    const CpuidResult leaf7 = cpuid(7, 0);
    features.avx2 = ymmSaved && bit(leaf7.ebx, 5);
    features.avx512 = zmmSaved && bit(leaf7.ebx, 16);
    return features;
}

const X86Features& x86Features() {
    static const X86Features features = detectFeatures();
    return features;
}

bool hasAvx2() { return x86Features().avx2; }
bool hasAvx512() { return x86Features().avx512; }
#endif

bool always() { return true; }

// One row per path, slowest first. AArch64 always has ASIMD (NEON).
struct PathRow {
    KernelPath path;
    const char* name;
    const KernelTable* kernels;
    bool (*available)();
};

const PathRow pathRows[] = {
    {KernelPath::scalar, "scalar", &scalarKernels, always},
#if GREEDYSWEEP_X86_64
    {KernelPath::avx2, "avx2", &avx2Kernels, hasAvx2},
    {KernelPath::avx512, "avx512", &avx512Kernels, hasAvx512},
#endif
#if GREEDYSWEEP_AARCH64
    {KernelPath::neon, "neon", &neonKernels, always},
#endif
};

const PathRow* rowOf(KernelPath path) {
    for (const PathRow& row : pathRows)
        if (row.path == path) return &row;
    return nullptr;
}

}  // namespace

const char* kernelPathName(KernelPath path) {
    const PathRow* row = rowOf(path);
    return row ? row->name : "unknown";
}

bool kernelPathAvailable(KernelPath path) {
    const PathRow* row = rowOf(path);
    return row && row->available();
}

KernelPath fastestKernelPath() {
    static const KernelPath fastest = [] {
        KernelPath best = KernelPath::scalar;
        for (const PathRow& row : pathRows)
            if (row.available()) best = row.path;
        return best;
    }();
    return fastest;
}

const KernelTable& kernelTable(KernelPath path) { return *rowOf(path)->kernels; }
