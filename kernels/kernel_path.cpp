#include "kernel_path.h"

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
#endif

}  // namespace

const char* kernelPathName(KernelPath path) {
    switch (path) {
    case KernelPath::scalar:
        return "scalar";
#if GREEDYSWEEP_X86_64
    case KernelPath::avx2:
        return "avx2";
    case KernelPath::avx512:
        return "avx512";
#endif
    }
    return "unknown";
}

bool kernelPathAvailable(KernelPath path) {
    switch (path) {
    case KernelPath::scalar:
        return true;
#if GREEDYSWEEP_X86_64
    case KernelPath::avx2:
        return x86Features().avx2;
    case KernelPath::avx512:
        return x86Features().avx512;
#endif
    }
    return false;
}

KernelPath fastestKernelPath() {
#if GREEDYSWEEP_X86_64
    if (x86Features().avx512) return KernelPath::avx512;
    if (x86Features().avx2) return KernelPath::avx2;
#endif
    return KernelPath::scalar;
}
