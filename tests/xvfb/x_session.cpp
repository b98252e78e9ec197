// Xvfb started with -displayfd (it picks a free display and writes its number to a pipe), and
// libXtst loaded at run time, so that the test builds without its development files.
#include "x_session.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <vector>

extern char** environ;

namespace keymora::test {

namespace {

std::string FindInPath(const char* Name) {
    const char* Path = std::getenv("PATH");
    std::string_view Rest = Path ? Path : "/usr/bin:/bin";
    while (!Rest.empty()) {
        const std::size_t Colon = Rest.find(':');
        std::string Candidate(Rest.substr(0, Colon));
        Candidate += '/';
        Candidate += Name;
        if (access(Candidate.c_str(), X_OK) == 0) return Candidate;
        if (Colon == std::string_view::npos) break;
        Rest.remove_prefix(Colon + 1);
    }
    return {};
}

using FakeMotionFn = int (*)(::Display*, int, int, int, unsigned long);
using FakeButtonFn = int (*)(::Display*, unsigned int, int, unsigned long);
using FakeKeyFn = int (*)(::Display*, unsigned int, int, unsigned long);

}  // namespace

struct XSession::Impl {
    pid_t Server = -1;
    ::Display* Connection = nullptr;
    void* Xtst = nullptr;
    FakeMotionFn FakeMotion = nullptr;
    FakeButtonFn FakeButton = nullptr;
    FakeKeyFn FakeKey = nullptr;
};

XSession::XSession() : I_(std::make_unique<Impl>()) {
    const std::string Xvfb = FindInPath("Xvfb");
    if (Xvfb.empty()) {
        Why_ = "Xvfb is not installed";
        return;
    }
    int Pipe[2];
    if (pipe(Pipe) != 0) {
        Why_ = "no pipe";
        return;
    }
    const std::string Fd = std::to_string(Pipe[1]);
    std::vector<std::string> Args = {Xvfb,         "-displayfd", Fd,    "-screen", "0",
                                     "800x600x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char*> Argv;
    for (std::string& A : Args) Argv.push_back(A.data());
    Argv.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addclose(&Actions, Pipe[0]);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    const int Spawned =
        posix_spawn(&I_->Server, Xvfb.c_str(), &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    close(Pipe[1]);
    if (Spawned != 0) {
        close(Pipe[0]);
        I_->Server = -1;
        Why_ = "Xvfb could not be started";
        return;
    }

    // The display number arrives once the server listens.
    std::string Number;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Number.empty() || Number.back() != '\n') {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
            Deadline - std::chrono::steady_clock::now());
        pollfd P{Pipe[0], POLLIN, 0};
        if (Left.count() <= 0 || poll(&P, 1, static_cast<int>(Left.count())) <= 0) break;
        char C;
        if (read(Pipe[0], &C, 1) != 1) break;
        Number += C;
    }
    close(Pipe[0]);
    if (Number.empty() || Number.back() != '\n') {
        Why_ = "Xvfb did not start";
        return;
    }
    Number.pop_back();
    Display_ = ":" + Number;

    I_->Connection = XOpenDisplay(Display_.c_str());
    if (!I_->Connection) {
        Why_ = "cannot connect to Xvfb";
        return;
    }
    int Opcode, Event, Error;
    if (!XQueryExtension(I_->Connection, "XTEST", &Opcode, &Event, &Error)) {
        Why_ = "Xvfb has no XTEST extension";
        return;
    }
    I_->Xtst = dlopen("libXtst.so.6", RTLD_NOW);
    if (!I_->Xtst) {
        Why_ = "libXtst is not installed";
        return;
    }
    I_->FakeMotion = reinterpret_cast<FakeMotionFn>(dlsym(I_->Xtst, "XTestFakeMotionEvent"));
    I_->FakeButton = reinterpret_cast<FakeButtonFn>(dlsym(I_->Xtst, "XTestFakeButtonEvent"));
    I_->FakeKey = reinterpret_cast<FakeKeyFn>(dlsym(I_->Xtst, "XTestFakeKeyEvent"));
    if (!I_->FakeMotion || !I_->FakeButton || !I_->FakeKey) {
        Why_ = "libXtst lacks the fake-input calls";
        return;
    }
    Ok_ = true;
}

XSession::~XSession() {
    if (I_->Connection) XCloseDisplay(I_->Connection);
    if (I_->Xtst) dlclose(I_->Xtst);
    if (I_->Server > 0) {
        kill(I_->Server, SIGTERM);
        waitpid(I_->Server, nullptr, 0);
    }
}

void XSession::Click(int X, int Y) {
    I_->FakeMotion(I_->Connection, -1, X, Y, 0);
    I_->FakeButton(I_->Connection, 1, True, 0);
    I_->FakeButton(I_->Connection, 1, False, 0);
    XSync(I_->Connection, False);
}

void XSession::Type(const char* KeysymName) {
    const KeyCode Code = XKeysymToKeycode(I_->Connection, XStringToKeysym(KeysymName));
    I_->FakeKey(I_->Connection, Code, True, 0);
    I_->FakeKey(I_->Connection, Code, False, 0);
    XSync(I_->Connection, False);
}

}  // namespace keymora::test
