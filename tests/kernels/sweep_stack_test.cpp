// The sweeps' stack frames against the stack the entry points touch before
// calling them (sweepStackBound, kernel_table.h). Each call runs on a thread
// whose stack we allocate and fill with a pattern, so that how deep the
// call wrote can be read back once the thread has ended.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "forward_sweep.h"
#include "kernel_paths.h"
#include "kernel_table.h"

#if defined(__unix__) || defined(__APPLE__)
#include <pthread.h>
#define GREEDYSWEEP_PAINTED_STACKS 1
#else
#define GREEDYSWEEP_PAINTED_STACKS 0
#endif

namespace {

#if GREEDYSWEEP_PAINTED_STACKS
struct StackRun {
    std::function<void()> call;
    std::uintptr_t start = 0;  // an address in the thread function's frame
};

void* runOnThread(void* argument) {
    auto* run = static_cast<StackRun*>(argument);
    volatile unsigned char here = 0;
    run->start = reinterpret_cast<std::uintptr_t>(&here);
    run->call();
    return nullptr;
}

// How many bytes below the thread function's frame `call` wrote.
std::size_t stackDepth(std::function<void()> call) {
    constexpr std::size_t size = 1 << 20;
    constexpr unsigned char paint = 0x5a;
    void* memory = nullptr;
    if (posix_memalign(&memory, 4096, size) != 0) {
        ADD_FAILURE() << "no memory for the thread's stack";
        return 0;
    }
    const std::unique_ptr<unsigned char, void (*)(void*)> stack(
        static_cast<unsigned char*>(memory), std::free);
    std::memset(stack.get(), paint, size);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack.get(), size);
    StackRun run{std::move(call)};
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, runOnThread, &run) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        ADD_FAILURE() << "no thread could be started";
        return 0;
    }
    pthread_join(thread, nullptr);
    std::size_t lowest = 0;
    while (lowest < size && stack.get()[lowest] == paint) ++lowest;
    return run.start - reinterpret_cast<std::uintptr_t>(stack.get() + lowest);
}
#endif

class SweepStack : public EveryPath {};

// The largest frames: short columns at the most rows that schedule takes,
// long columns with a full panel of M; every column of a group in use.
TEST_P(SweepStack, EntryPointsTouchMoreStackThanAnySweepWrites) {
#if GREEDYSWEEP_PAINTED_STACKS
    const KernelTable& table = kernelTable(path());
    const std::int32_t m = 64;
    for (std::int32_t n : {128, 192, 256, 600}) {
        std::vector<double> M(static_cast<std::size_t>(n) * n, 0.5), C(static_cast<std::size_t>(n) * m, -1.0);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n;
        std::vector<double> X(C.size());
        for (auto sweep : {table.hardThresholdSweep, table.nonNegativeSweep}) {
            const std::size_t depth =
                stackDepth([&] { sweep(X.data(), M.data(), C.data(), 0.0, n, m); });
            // A page to spare for the frames between the entry point and the sweep.
            EXPECT_LE(depth + 4096, sweepStackBound) << "n " << n;
        }
    }
    std::vector<double> one{1.0}, x{0.0};
    bool done = false;
    const std::size_t touched = stackDepth(
        [&] { done = hardThresholdSweepOn(path(), x.data(), one.data(), one.data(), 0.0, 1, 1); });
    EXPECT_TRUE(done);
    EXPECT_GE(touched, sweepStackBound) << "the entry point did not touch the stack first";
#else
    GTEST_SKIP() << "no thread can be given a stack of ours here; Windows probes large frames itself";
#endif
}

INSTANTIATE_FOR_EVERY_PATH(SweepStack);

}  // namespace
