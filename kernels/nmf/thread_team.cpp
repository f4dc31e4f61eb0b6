#include "no_fp_contract.h"

#include "thread_team.h"

#include <atomic>
#include <new>

#include "architecture.h"
#include "platform_threads.h"

#if GREEDYSWEEP_X86_64
#include <emmintrin.h>
#endif

namespace {

// A waiting thread looks this many times (a millisecond or so) before it
// sleeps: the parts of one step follow those of the last after at most a
// serial sum over a factor, and waking a sleeping thread costs tens of
// microseconds. After the first few looks it yields its core between them,
// so that a team larger than the cores it gets (or sharing them with other
// work) still lets every part run.
constexpr int spinChecks = 2000, pausedChecks = 64;

inline void relax(int check) {
    if (check >= pausedChecks) {
        platform::yieldThread();
        return;
    }
#if GREEDYSWEEP_X86_64
    _mm_pause();
#endif
}

template <class Ready>
bool spinUntil(const Ready& ready) {
    for (int i = 0; i < spinChecks; ++i) {
        if (ready()) return true;
        relax(i);
    }
    return ready();
}

}  // namespace

// A step is published by moving `generation` on, under the mutex, after
// its fields are written; every worker counts `pending` down once per step,
// whether or not it has a part, so that the next step's fields are written
// only after every worker has read this one's.
struct ThreadTeam::Crew {
    struct Worker {
        Crew* crew;
        int index;
        platform::Thread thread;
    };

    platform::Mutex mutex;
    platform::Condition wake, finished;
    std::atomic<unsigned> generation{0};
    std::atomic<int> pending{0};
    int parts = 0;
    void (*call)(const void*, int) = nullptr;  // none: the workers stop
    const void* context = nullptr;
    std::unique_ptr<Worker[]> workers;
    int started = 0;

    static void begin(void* worker) {
        Worker& w = *static_cast<Worker*>(worker);
        w.crew->serve(w.index);
    }

    void serve(int index) {
        unsigned seen = 0;
        for (;;) {
            const auto published = [&] { return generation.load(std::memory_order_acquire) != seen; };
            if (!spinUntil(published)) {
                mutex.lock();
                while (!published()) wake.wait(mutex);
                mutex.unlock();
            }
            seen = generation.load(std::memory_order_acquire);
            if (!call) return;
            if (index < parts) call(context, index);
            if (pending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                mutex.lock();
                finished.notifyAll();
                mutex.unlock();
            }
        }
    }
};

ThreadTeam::ThreadTeam(int threads) {
    if (threads <= 1) return;
    crew_.reset(new (std::nothrow) Crew);
    if (!crew_) return;
    crew_->workers.reset(new (std::nothrow) Crew::Worker[threads - 1]);
    if (!crew_->workers) {
        crew_.reset();
        return;
    }
    for (int i = 1; i < threads; ++i) {
        Crew::Worker& worker = crew_->workers[i - 1];
        worker.crew = crew_.get();
        worker.index = i;
        if (!worker.thread.start(&Crew::begin, &worker)) break;
        ++crew_->started;
    }
    size_ = 1 + crew_->started;
}

ThreadTeam::~ThreadTeam() {
    if (!crew_ || crew_->started == 0) return;
    Crew& crew = *crew_;
    crew.mutex.lock();
    crew.call = nullptr;
    crew.generation.fetch_add(1, std::memory_order_release);
    crew.mutex.unlock();
    crew.wake.notifyAll();
    for (int i = 0; i < crew.started; ++i) crew.workers[i].thread.join();
}

void ThreadTeam::runParts(int parts, void (*call)(const void*, int), const void* context) {
    Crew& crew = *crew_;
    crew.mutex.lock();
    crew.parts = parts;
    crew.call = call;
    crew.context = context;
    crew.pending.store(crew.started, std::memory_order_relaxed);
    crew.generation.fetch_add(1, std::memory_order_release);
    crew.mutex.unlock();
    crew.wake.notifyAll();

    call(context, 0);
    const auto done = [&] { return crew.pending.load(std::memory_order_acquire) == 0; };
    if (!spinUntil(done)) {
        crew.mutex.lock();
        while (!done()) crew.finished.wait(crew.mutex);
        crew.mutex.unlock();
    }
}
