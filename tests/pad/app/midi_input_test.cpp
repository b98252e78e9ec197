// MidiInput against a JACK server of the test's own and a real RtMidi sender: the messages that
// become signals and those ignored, the connection to a source, the notes released when a port
// closes, ALSA and JACK failing with a reason, and the time from send to signal.
#include "midi_input.h"

#include <gtest/gtest.h>

#include "app_support.h"
#include <unistd.h>

#include <QtCore/QDeadlineTimer>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <memory>

#include "jack_server.h"

namespace keymora::pad {
namespace {

using test::EnsureApplication;
using test::SpinUntil;

// A MidiInput's signals as text, in order: "on 60 90", "off 60 0", "all", "error TEXT".
struct Log {
    std::vector<std::string> Lines;
    void Watch(MidiInput& In) {
        auto Add = [this](std::string Line) { Lines.push_back(std::move(Line)); };
        QObject::connect(&In, &MidiInput::noteOn, [Add](int N, int V) {
            Add("on " + std::to_string(N) + " " + std::to_string(V));
        });
        QObject::connect(&In, &MidiInput::noteOff, [Add](int N, int V) {
            Add("off " + std::to_string(N) + " " + std::to_string(V));
        });
        QObject::connect(&In, &MidiInput::allNotesOff, [Add] { Add("all"); });
        QObject::connect(&In, &MidiInput::error,
                         [Add](const QString& T) { Add("error " + T.toStdString()); });
    }
    bool Has(const std::string& Line) const {
        return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
    }
    bool WaitFor(const std::string& Line) {
        return SpinUntil([&] { return Has(Line); });
    }
};

using Messages = std::vector<std::vector<unsigned char>>;

#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK

// A JACK server, the pad's input open on it, and a sender connected to the input's port.
class MidiJack : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        if (const std::string Why = test::JackServer::Unavailable(); !Why.empty())
            GTEST_SKIP() << Why;
        Server = std::make_unique<test::JackServer>(Frames);
        ASSERT_EQ(Server->Error(), "");
        Input = std::make_unique<MidiInput>();
        Signals.Watch(*Input);
        QString Error;
        ASSERT_TRUE(test::Retry([&] { return Input->open(MidiInput::Backend::Jack, Error); }))
            << Error.toStdString();
        Sender = std::make_unique<test::JackSender>();
        ASSERT_TRUE(Sender->ConnectTo("Keymora Pad:Keymora Pad"));
    }
    void TearDown() override {
        Sender.reset();
        Input.reset();
    }

    // Sends Sent, then a note off no case sends, and gives the lines before that one's.
    std::vector<std::string> Receive(const Messages& Sent) {
        const std::size_t From = Signals.Lines.size();
        for (const auto& Bytes : Sent) Sender->Send(Bytes);
        Sender->Send({0x8F, 127, 127});
        EXPECT_TRUE(Signals.WaitFor("off 127 127"));
        std::vector<std::string> Got(Signals.Lines.begin() + From, Signals.Lines.end());
        if (!Got.empty() && Got.back() == "off 127 127") Got.pop_back();
        return Got;
    }

    int Frames = 256;
    Log Signals;
    std::unique_ptr<test::JackServer> Server;
    std::unique_ptr<MidiInput> Input;
    std::unique_ptr<test::JackSender> Sender;
};

struct MessageCase {
    const char* Name;
    Messages Sent;
    std::vector<std::string> Expected;
};
void PrintTo(const MessageCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class MidiMessages : public MidiJack, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MidiMessages, BecomeTheseSignalsInOrder) {
    EXPECT_EQ(Receive(GetParam().Sent), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Jack, MidiMessages,
    ::testing::Values(MessageCase{"NotesOnAndOff",
                                  {{0x90, 60, 90}, {0x90, 64, 100}, {0x80, 60, 64}, {0x90, 67, 0}},
                                  {"on 60 90", "on 64 100", "off 60 64", "off 67 0"}},
                      MessageCase{"AnyChannel",
                                  {{0x99, 36, 100}, {0x8F, 36, 0}, {0x9F, 36, 16}},
                                  {"on 36 100", "off 36 0", "on 36 16"}},
                      MessageCase{"AllNotesOffAndAllSoundOffButNotOtherControllers",
                                  {{0xB0, 123, 0}, {0xB5, 120, 0}, {0xB0, 7, 100}, {0xB0, 64, 127}},
                                  {"all", "all"}},
                      MessageCase{"SysExIgnored",
                                  {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, {0x90, 60, 64}},
                                  {"on 60 64"}},
                      MessageCase{"ClockStartAndActiveSensingIgnored",
                                  {{0xF8}, {0xFA}, {0xFE}, {0x90, 60, 64}},
                                  {"on 60 64"}},
                      MessageCase{"OtherVoiceMessagesIgnored",
                                  {{0xC0, 5}, {0xE0, 0, 64}, {0xA0, 60, 16}, {0xD0, 64}},
                                  {}},
                      MessageCase{"RunningStatusAndAClockByteInside",
                                  {{0x90, 60, 64, 62, 65}, {0x90, 0xF8, 64, 66}},
                                  {"on 60 64", "on 62 65", "on 64 66"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct ReleaseCase {
    const char* Name;
    Messages Sent;
    std::function<void(std::unique_ptr<MidiInput>&)> Release;
    std::vector<std::string> Released;
};
void PrintTo(const ReleaseCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class HeldNotes : public MidiJack, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(HeldNotes, GetTheirNoteOffWhenThePortCloses) {
    Receive(GetParam().Sent);
    const std::size_t From = Signals.Lines.size();
    GetParam().Release(Input);
    // Nothing is released twice, nor after the port closed.
    if (Input) Input->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::vector<std::string>(Signals.Lines.begin() + From, Signals.Lines.end()),
              GetParam().Released);
}

const auto Close = [](std::unique_ptr<MidiInput>& In) { In->close(); };
const auto Destroy = [](std::unique_ptr<MidiInput>& In) { In.reset(); };

INSTANTIATE_TEST_SUITE_P(
    Jack, HeldNotes,
    ::testing::Values(ReleaseCase{"OnClose",
                                  {{0x90, 60, 90}, {0x91, 64, 90}, {0x90, 67, 90}, {0x81, 64, 0}},
                                  Close,
                                  {"off 60 0", "off 67 0"}},
                      ReleaseCase{"OnDestruction", {{0x90, 60, 90}}, Destroy, {"off 60 0"}},
                      ReleaseCase{"OneForEachChannel",
                                  {{0x90, 60, 90}, {0x93, 60, 90}},
                                  Close,
                                  {"off 60 0", "off 60 0"}},
                      ReleaseCase{"NoneAfterVelocityZeroOrAllNotesOff",
                                  {{0x90, 60, 90}, {0x90, 60, 0}, {0x9F, 61, 90}, {0xBF, 123, 0}},
                                  Close,
                                  {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(MidiJack, ConnectsToASourceAndLetsGoOfIt) {
    test::JackSender A("Source A"), B("Source B");
    ASSERT_TRUE(A.OpenVirtual() && B.OpenVirtual());
    const QStringList Sources = Input->sources();
    EXPECT_TRUE(Sources.contains("Source A:out") && Sources.contains("Source B:out"))
        << Sources.join(", ").toStdString();
    EXPECT_TRUE(Sources.filter("Keymora Pad").isEmpty()) << Sources.join(", ").toStdString();

    QString Error;
    ASSERT_TRUE(test::Retry([&] { return Input->connectTo("Source A:out", Error); }))
        << Error.toStdString();
    EXPECT_EQ(Input->connectedSource(), "Source A:out");
    A.NoteOn(60, 100);
    ASSERT_TRUE(Signals.WaitFor("on 60 100"));

    // Connecting B lets go of A, and of the note A holds.
    ASSERT_TRUE(test::Retry([&] { return Input->connectTo("Source B:out", Error); }))
        << Error.toStdString();
    EXPECT_EQ(Signals.Lines.back(), "off 60 0");
    A.NoteOn(61, 1);
    B.NoteOn(62, 2);
    ASSERT_TRUE(Signals.WaitFor("on 62 2"));
    EXPECT_EQ(Receive({}), std::vector<std::string>{});
    EXPECT_FALSE(Signals.Has("on 61 1"));

    // A source that is not there fails with its name and leaves B connected.
    EXPECT_FALSE(Input->connectTo("No Such:port", Error));
    EXPECT_NE(Error.indexOf("No Such:port"), -1) << Error.toStdString();
    EXPECT_EQ(Input->connectedSource(), "Source B:out");

    Input->disconnectSource();
    EXPECT_EQ(Signals.Lines.back(), "off 62 0");
    EXPECT_EQ(Input->connectedSource(), "");
    EXPECT_TRUE(Input->isOpen());
}

TEST_F(MidiJack, OpenFirstAvailableGivesTheReasonOfEachBackEndSkipped) {
    QString Error;
    ASSERT_TRUE(test::Retry([&] { return Input->openFirstAvailable(Error); }))
        << Error.toStdString();
    if (access("/dev/snd/seq", R_OK | W_OK) == 0) {
        EXPECT_EQ(Input->backend(), MidiInput::Backend::Alsa);
    } else {
        EXPECT_EQ(Input->backend(), MidiInput::Backend::Jack);
        EXPECT_TRUE(Error.startsWith("ALSA: ")) << Error.toStdString();
    }
}

// The time from a note on sent to its signal, over 200 notes, at two JACK periods; the median is
// printed and kept in the test's XML output. Each note is sent as soon as the previous one's note
// off arrived, at the start of a period, so each waits a whole period for the next one.
class Latency : public MidiJack, public ::testing::WithParamInterface<int> {
  protected:
    Latency() { Frames = GetParam(); }
};

TEST_P(Latency, FromSendToSignal) {
    std::vector<double> Ms;
    for (int I = 0; I < 200; ++I) {
        const std::size_t Before = Signals.Lines.size();
        const std::string Note = std::to_string(I % 100);
        const auto Sent = std::chrono::steady_clock::now();
        Sender->NoteOn(I % 100, 100);
        ASSERT_TRUE(SpinUntil([&] { return Signals.Lines.size() > Before; })) << "note " << I;
        Ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Sent)
                .count());
        Sender->NoteOff(I % 100);
        ASSERT_TRUE(SpinUntil([&] { return Signals.Lines.size() > Before + 1; }))
            << "note " << I << ": " << Signals.Lines.back();
        ASSERT_EQ(std::vector<std::string>(Signals.Lines.begin() + Before, Signals.Lines.end()),
                  (std::vector<std::string>{"on " + Note + " 100", "off " + Note + " 0"}))
            << "note " << I;
    }
    std::sort(Ms.begin(), Ms.end());
    const double Median = (Ms[99] + Ms[100]) / 2;
    std::cout << "send to signal over JACK (dummy, 48 kHz, period " << Frames
              << " frames = " << Frames / 48.0 << " ms): median " << Median
              << " ms, 90th percentile " << Ms[179] << " ms, max " << Ms.back() << " ms\n";
    RecordProperty("median_us", static_cast<int>(Median * 1000));
}

INSTANTIATE_TEST_SUITE_P(Jack, Latency, ::testing::Values(256, 64));

#endif

// Without a server, JACK fails with RtMidi's reason, and so does ALSA without a sequencer.
TEST(MidiInputFailure, BackEndsThatCannotOpenSayWhy) {
    EnsureApplication();
    if (MidiInput::available().isEmpty()) {
        MidiInput In;
        QString Error;
        EXPECT_FALSE(In.openFirstAvailable(Error));
        EXPECT_EQ(Error, "built without MIDI input");
        return;
    }
    const QByteArray Previous = qgetenv("JACK_DEFAULT_SERVER");
    qputenv("JACK_DEFAULT_SERVER", "keymora-test-no-server-" + QByteArray::number(getpid()));
    MidiInput In;
    QString Error;
    EXPECT_FALSE(In.open(MidiInput::Backend::Jack, Error));
    EXPECT_NE(Error.indexOf("JACK server not running"), -1) << Error.toStdString();
    EXPECT_FALSE(In.isOpen());
    EXPECT_TRUE(In.sources().isEmpty());
    EXPECT_FALSE(In.connectTo("Source A:out", Error));
    EXPECT_EQ(Error, "MIDI input is not open");

    const bool Alsa = access("/dev/snd/seq", R_OK | W_OK) == 0;
    EXPECT_EQ(In.open(MidiInput::Backend::Alsa, Error), Alsa) << Error.toStdString();
    EXPECT_EQ(In.isOpen(), Alsa);
    if (!Alsa) {
        EXPECT_NE(Error.indexOf("/dev/snd/seq"), -1) << Error.toStdString();
        EXPECT_FALSE(In.openFirstAvailable(Error));
        EXPECT_TRUE(Error.startsWith("ALSA: ") && Error.contains("; JACK: "))
            << Error.toStdString();
    }
    if (Previous.isNull())
        qunsetenv("JACK_DEFAULT_SERVER");
    else
        qputenv("JACK_DEFAULT_SERVER", Previous);
}

}  // namespace
}  // namespace keymora::pad
