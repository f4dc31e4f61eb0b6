#pragma once

// Replaces the whole global allocator (so every new and delete agree) and
// makes nothrow new[], which the greedy kernel takes its scratch vectors
// from, fail on demand. Include it in exactly one source of a test binary.

#include <cstdlib>
#include <new>

namespace failing_allocator {
inline int allocationsBeforeFailure = -1;  // −1: never fail
inline long long arrayRequests = 0;        // nothrow new[] calls seen

// Fails the nothrow new[] after `succeeding` more, until it goes out of scope.
struct FailAfter {
    explicit FailAfter(int succeeding) { allocationsBeforeFailure = succeeding; }
    ~FailAfter() { allocationsBeforeFailure = -1; }
};
}  // namespace failing_allocator

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    using namespace failing_allocator;
    ++arrayRequests;
    if (allocationsBeforeFailure == 0) return nullptr;
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    return std::malloc(size ? size : 1);
}
// Every new here is malloc, so free is the matching release; GCC sees only
// the new-expression on the caller's side.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
