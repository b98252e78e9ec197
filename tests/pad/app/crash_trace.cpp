// A test that crashes (a fault inside the JACK client library was seen twice on a loaded CI
// machine) prints the stack of the crashing thread before the process dies, so that the CI log
// shows where. Sanitizer builds keep their own handler, which reports more.
#include <execinfo.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

#if defined(__SANITIZE_ADDRESS__)
#define KEYMORA_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEYMORA_TEST_SANITIZED 1
#endif
#endif

#ifndef KEYMORA_TEST_SANITIZED
namespace {

void PrintStack(int Signal) {
    static const char Head[] = "\n*** fatal signal: the stack of the thread that received it\n";
    (void)!write(STDERR_FILENO, Head, sizeof Head - 1);
    void* Frames[64];
    backtrace_symbols_fd(Frames, backtrace(Frames, 64), STDERR_FILENO);
    std::signal(Signal, SIG_DFL);
    std::raise(Signal);
}

[[maybe_unused]] const bool Installed = [] {
    // The first backtrace loads libgcc's unwinder, which must not happen inside the handler.
    void* Warm[1];
    backtrace(Warm, 1);
    for (const int Signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE}) std::signal(Signal, PrintStack);
    return true;
}();

}  // namespace
#endif
