// A JACK server of the test's own, and a MIDI sender on it. JackServer starts
// "jackd -S -n NAME -d dummy" (no sound hardware), waits until it takes clients, points
// JACK_DEFAULT_SERVER at it for this process, and stops it when it goes. JackSender is an RtMidi
// output on that server. Both need jackd, RtMidi and JACK's headers; Unavailable() says which is
// missing so that a test can skip.
#pragma once

#include <sys/prctl.h>
#include <unistd.h>

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK
#include <RtMidi.h>
#include <jack/jack.h>
#endif

namespace keymora::pad::test {

/// Calls Try until it succeeds, for 5 s at most. A loaded JACK server now and then turns a new
/// client away; RtMidi opens its client again at each call, so opening again works.
template <class F>
bool Retry(F&& Try) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Try())
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        else
            QThread::msleep(20);
    return true;
}

class JackServer {
  public:
    /// Why no server can be had here, empty when one can.
    static std::string Unavailable() {
#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK
        if (QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty())
            return "jackd is not installed (Debian: jackd2)";
        return {};
#else
        return "built without RtMidi or JACK's headers";
#endif
    }

    /// Starts the server with periods of Frames at 48 kHz; Error() is empty once it takes clients.
    explicit JackServer(int Frames = 256) {
        static std::atomic<int> Count{0};
        Name_ = "keymora-test-" + std::to_string(getpid()) + "-" + std::to_string(Count++);
        if (const char* Old = std::getenv("JACK_DEFAULT_SERVER")) Previous_ = Old;
        if (Error_ = Unavailable(); !Error_.empty()) return;
        Process_.setProcessChannelMode(QProcess::MergedChannels);
        // A test that crashes takes its server with it.
        Process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // Synchronous (-S): a client late for its cycle (a loaded machine, a virtual CPU held up)
        // delays the cycle, where the asynchronous server would start the next one without it and
        // drop the MIDI events it was passing on. A client gets 5 s (-t) to answer instead of
        // half a second, since a sanitizer build beside other tests can be that slow.
        Process_.start(QStringLiteral("jackd"),
                       {"-S", "-t", "5000", "-n", QString::fromStdString(Name_), "-d", "dummy",
                        "-r", "48000", "-p", QString::number(Frames)});
        if (!Process_.waitForStarted(5000)) {
            Error_ = "jackd did not start: " + Process_.errorString().toStdString();
            return;
        }
        setenv("JACK_DEFAULT_SERVER", Name_.c_str(), 1);
#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK
        // libjack says on stderr each time the server is not there yet.
        jack_set_error_function([](const char*) {});
        const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            jack_status_t Status{};
            if (jack_client_t* Probe = jack_client_open(
                    "keymora-probe", JackOptions(JackNoStartServer | JackServerName), &Status,
                    Name_.c_str())) {
                jack_client_close(Probe);
                break;
            }
            if (Process_.state() == QProcess::NotRunning ||
                std::chrono::steady_clock::now() > Deadline) {
                Error_ = "jackd took no client: " + Process_.readAll().toStdString();
                break;
            }
            QThread::msleep(10);
        }
        jack_set_error_function([](const char* Text) { std::fprintf(stderr, "%s\n", Text); });
#endif
    }

    /// Stops the server and gives JACK_DEFAULT_SERVER back its value.
    ~JackServer() {
        if (Process_.state() != QProcess::NotRunning) {
            Process_.terminate();
            if (!Process_.waitForFinished(3000)) {
                Process_.kill();
                Process_.waitForFinished(3000);
            }
        }
        // What the server said (its xruns among it), for a test that lost a message.
        if (std::getenv("KEYMORA_TEST_JACK_LOG"))
            std::fprintf(stderr, "jackd %s:\n%s\n", Name_.c_str(), Process_.readAll().constData());
        if (Previous_)
            setenv("JACK_DEFAULT_SERVER", Previous_->c_str(), 1);
        else
            unsetenv("JACK_DEFAULT_SERVER");
    }

    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    const std::string& Error() const {
        return Error_;
    }
    const std::string& Name() const {
        return Name_;
    }

  private:
    std::string Name_;
    std::string Error_;
    std::optional<std::string> Previous_;
    QProcess Process_;
};

#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK
/// An RtMidi output on the JACK server of JACK_DEFAULT_SERVER.
class JackSender {
  public:
    explicit JackSender(const std::string& Client = "Keymora Test Sender")
        : Out_(RtMidi::UNIX_JACK, Client) {
        Out_.setErrorCallback(&JackSender::OnError, this);
    }

    /// The input ports it could connect to, as "client:port".
    std::vector<std::string> Destinations() {
        std::vector<std::string> Names;
        for (unsigned I = 0; I < Out_.getPortCount(); ++I) Names.push_back(Out_.getPortName(I));
        return Names;
    }

    // A loaded server now and then turns a new client away (probably while waiting on the other
    // clients to hear of it); RtMidi tries to open its client again at each call, so the two
    // below try for a few seconds.

    /// Opens an output port connected to the input port Destination; false when there is none.
    bool ConnectTo(const std::string& Destination) {
        return Retry([&] {
            const std::vector<std::string> Names = Destinations();
            for (unsigned I = 0; I < Names.size(); ++I)
                if (Names[I] == Destination) {
                    Out_.openPort(I, "out");
                    return Out_.isPortOpen();
                }
            return false;
        });
    }

    /// Opens the output port "out" for others to connect to.
    bool OpenVirtual() {
        return Retry([&] {
            Failed_ = false;
            Out_.openVirtualPort("out");
            return !Failed_;
        });
    }

    void Send(std::vector<unsigned char> Bytes) { Out_.sendMessage(&Bytes); }
    /// Channels count from 0.
    void NoteOn(int Note, int Velocity, int Channel = 0) { Voice(0x90, Channel, Note, Velocity); }
    void NoteOff(int Note, int Velocity = 0, int Channel = 0) {
        Voice(0x80, Channel, Note, Velocity);
    }
    void ControlChange(int Controller, int Value, int Channel = 0) {
        Voice(0xB0, Channel, Controller, Value);
    }

  private:

    static void OnError(RtMidiError::Type Type, const std::string&, void* Self) {
        if (Type != RtMidiError::WARNING && Type != RtMidiError::DEBUG_WARNING)
            static_cast<JackSender*>(Self)->Failed_ = true;
    }

    void Voice(int Status, int Channel, int First, int Second) {
        Send({static_cast<unsigned char>(Status | Channel), static_cast<unsigned char>(First),
              static_cast<unsigned char>(Second)});
    }

    RtMidiOut Out_;
    bool Failed_ = false;
};
#endif

}  // namespace keymora::pad::test
