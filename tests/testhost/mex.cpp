// libmex of the test host: printing, host errors, and calling a plug-in.

#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "module.h"
#include "testhost.h"

namespace {

// What one plug-in call has printed or raised so far. A host error jumps
// back to the frame of the call, skipping the plug-in's own frames as a
// real host does; anything the plug-in allocated by then is lost.
struct CallFrame {
    std::jmp_buf errorJump;
    std::string printed;
    testhost::HostError error;
    bool raised = false;
};

thread_local CallFrame* currentFrame = nullptr;

std::string format(const char* pattern, std::va_list args) {
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), pattern, args);
    text.pop_back();
    return text;
}

// Kept apart from mexErrMsgIdAndTxt so that no string is alive at the jump.
void recordError(const char* identifier, const char* pattern, std::va_list args) {
    currentFrame->raised = true;
    currentFrame->error.identifier = identifier ? identifier : "";
    currentFrame->error.message = format(pattern, args);
}

}  // namespace

extern "C" {

int mexPrintf(const char* pattern, ...) {
    std::va_list args;
    va_start(args, pattern);
    std::string text = format(pattern, args);
    va_end(args);
    if (currentFrame)
        currentFrame->printed += text;
    else
        std::fputs(text.c_str(), stdout);
    return static_cast<int>(text.size());
}

void mexErrMsgIdAndTxt(const char* identifier, const char* pattern, ...) {
    if (!currentFrame) {
        std::fprintf(stderr, "host error %s outside a plug-in call\n", identifier);
        std::abort();
    }
    std::va_list args;
    va_start(args, pattern);
    recordError(identifier, pattern, args);
    va_end(args);
    std::longjmp(currentFrame->errorJump, 1);
}

}  // extern "C"

namespace testhost {

Plugin::Plugin(const std::string& path) : module_(nullptr), entry_(nullptr) {
    std::string error;
    module_ = openModule(path, error);
    if (!module_) throw std::runtime_error("cannot load " + path + ": " + error);
    entry_ = reinterpret_cast<Entry>(findSymbol(module_, "mexFunction"));
    if (!entry_) {
        closeModule(module_);
        throw std::runtime_error(path + " exports no mexFunction");
    }
}

Plugin::~Plugin() { closeModule(module_); }

CallResult Plugin::call(int nlhs, const std::vector<const mxArray*>& inputs) const {
    std::vector<mxArray*> slots(static_cast<std::size_t>(nlhs > 1 ? nlhs : 1), nullptr);
    std::vector<const mxArray*> handles(inputs);
    CallFrame frame;
    CallFrame* const outer = currentFrame;
    currentFrame = &frame;
    if (setjmp(frame.errorJump) == 0)
        entry_(nlhs, slots.data(), static_cast<int>(handles.size()), handles.data());
    const bool raised = frame.raised;
    currentFrame = outer;

    CallResult result;
    result.printed = std::move(frame.printed);
    for (mxArray* slot : slots) {
        if (raised) {
            mxDestroyArray(slot);
            result.outputs.emplace_back();
        } else {
            result.outputs.emplace_back(slot);
        }
    }
    if (raised) result.error = std::move(frame.error);
    return result;
}

}  // namespace testhost
