#pragma once

#include <memory>

// Threads that run the parts of one step side by side: part 0 on the
// calling thread, the others on workers that live as long as the team. The
// parts of a step must write disjoint outputs; which thread runs which part
// then never changes a bit.
class ThreadTeam {
public:
    // Starts threads − 1 workers. Where the system starts fewer, the team is
    // smaller (size() says how large), never wrong.
    explicit ThreadTeam(int threads);
    ~ThreadTeam();
    ThreadTeam(const ThreadTeam&) = delete;
    ThreadTeam& operator=(const ThreadTeam&) = delete;

    int size() const { return size_; }

    // part(i) for i = 0 … parts − 1, side by side when parts is at most
    // size(); returns once all have returned, their writes visible to the
    // caller.
    template <class Part>
    void run(int parts, const Part& part) {
        if (parts <= 1 || parts > size_) {
            for (int i = 0; i < parts; ++i) part(i);
            return;
        }
        runParts(parts, [](const void* p, int i) { (*static_cast<const Part*>(p))(i); }, &part);
    }

private:
    struct Crew;
    void runParts(int parts, void (*call)(const void*, int), const void* context);

    std::unique_ptr<Crew> crew_;
    int size_ = 1;
};
