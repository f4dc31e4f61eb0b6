#include "no_fp_contract.h"

#include "kernel_path.h"

#include "kernel_table.h"

#include <cstdint>
#include <iterator>

#if GREEDYSWEEP_X86_64
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

// What dispatch needs to know of an x86-64 CPU.
struct X86Cpu {
    bool avx2 = false;
    bool avx512 = false;
    bool amd = false;
    std::uint32_t family = 0, model = 0;  // as the vendor numbers them
};

bool bit(std::uint32_t word, int position) { return (word >> position) & 1u; }

X86Cpu detectCpu() {
    X86Cpu cpu;
    const CpuidResult leaf0 = cpuid(0, 0);
    // "AuthenticAMD", spread over ebx, edx and ecx.
    cpu.amd = leaf0.ebx == 0x68747541 && leaf0.edx == 0x69746e65 && leaf0.ecx == 0x444d4163;
    const CpuidResult leaf1 = cpuid(1, 0);
    const std::uint32_t baseFamily = (leaf1.eax >> 8) & 0xf, baseModel = (leaf1.eax >> 4) & 0xf;
    cpu.family = baseFamily == 0xf ? baseFamily + ((leaf1.eax >> 20) & 0xff) : baseFamily;
    cpu.model = baseFamily >= 0x6 ? (((leaf1.eax >> 16) & 0xf) << 4) | baseModel : baseModel;
    if (leaf0.eax < 7) return cpu;
    // The CPU must have AVX and the OS must have enabled XGETBV before we ask it.
    if (!bit(leaf1.ecx, 27) || !bit(leaf1.ecx, 28)) return cpu;
    const std::uint64_t state = enabledRegisterState();
    const bool ymmSaved = (state & 0x6) == 0x6;     // SSE and AVX state
    const bool zmmSaved = (state & 0xe6) == 0xe6;   // plus opmask and both ZMM halves
    const CpuidResult leaf7 = cpuid(7, 0);
    cpu.avx2 = ymmSaved && bit(leaf7.ebx, 5);
    cpu.avx512 = zmmSaved && bit(leaf7.ebx, 16);
    return cpu;
}

const X86Cpu& x86Cpu() {
    static const X86Cpu cpu = detectCpu();
    return cpu;
}

bool hasAvx2() { return x86Cpu().avx2; }
bool hasAvx512() { return x86Cpu().avx512; }
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

// Which path each kernel takes, by CPU, where it was measured: kernel_bench
// on one thread, every path side by side in one run (docs/performance.md
// has the figures behind each row). Each kernel takes its row's path when
// this CPU can execute it, and CPUs no row names take the widest path they
// can execute.
struct MeasuredChoice {
    bool (*matches)();
    KernelPath paths[std::size(allKernels)];  // in the order of Kernel
};

#if GREEDYSWEEP_X86_64
bool amdFamily(std::uint32_t family) { return x86Cpu().amd && x86Cpu().family == family; }
bool amdZen3() { return amdFamily(25) && !hasAvx512(); }
bool amdZen4() { return amdFamily(25) && hasAvx512(); }
bool amdZen5() { return amdFamily(26); }

const MeasuredChoice measuredChoices[] = {
    // Zen 3 (EPYC, no AVX-512): AVX2, the only vector path, for every kernel.
    {amdZen3, {KernelPath::avx2, KernelPath::avx2, KernelPath::avx2}},
    // Zen 4 (EPYC model 17): each 512-bit operation runs as two 256-bit
    // halves, which costs the greedy update's divisions and lane merges
    // twice; the sweeps and products still gain from the width.
    {amdZen4, {KernelPath::avx2, KernelPath::avx512, KernelPath::avx512}},
    // Zen 5 (a 512-bit datapath): AVX-512 ahead of AVX2 per greedy move; the
    // products, not timed there, take its full width as the sweeps do.
    {amdZen5, {KernelPath::avx512, KernelPath::avx512, KernelPath::avx512}},
};

const MeasuredChoice* measuredChoiceForThisCpu() {
    for (const MeasuredChoice& choice : measuredChoices)
        if (choice.matches()) return &choice;
    return nullptr;
}
#else
const MeasuredChoice* measuredChoiceForThisCpu() { return nullptr; }
#endif

}  // namespace

const char* kernelPathName(KernelPath path) {
    const PathRow* row = rowOf(path);
    return row ? row->name : "unknown";
}

bool kernelPathAvailable(KernelPath path) {
    const PathRow* row = rowOf(path);
    return row && row->available();
}

KernelPath widestKernelPath() {
    static const KernelPath widest = [] {
        KernelPath best = KernelPath::scalar;
        for (const PathRow& row : pathRows)
            if (row.available()) best = row.path;
        return best;
    }();
    return widest;
}

const char* kernelName(Kernel kernel) {
    switch (kernel) {
    case Kernel::greedyUpdate: return "greedy update";
    case Kernel::sweep: return "sweep";
    case Kernel::product: return "product";
    }
    return "unknown";
}

KernelPath dispatchedPath(Kernel kernel) {
    static const MeasuredChoice* const choice = measuredChoiceForThisCpu();
    if (choice) {
        const KernelPath path = choice->paths[static_cast<int>(kernel)];
        if (kernelPathAvailable(path)) return path;
    }
    return widestKernelPath();
}

const KernelTable& kernelTable(KernelPath path) { return *rowOf(path)->kernels; }
