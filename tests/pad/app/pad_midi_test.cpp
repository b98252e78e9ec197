// A MIDI keyboard playing the pad, end to end: a JACK server of the test's own, an RtMidi sender
// connected to the pad's port "Keymora Pad", and the notes the pad's window enters.
#include <gtest/gtest.h>

#include "app_support.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <functional>

#include "jack_server.h"
#include "keymora/qt/keymora_widget.h"
#include "midi_input.h"
#include "pad_window.h"

namespace keymora::pad {
namespace {

using test::EnsureApplication;
using test::SpinUntil;

#if KEYMORA_PAD_RTMIDI && KEYMORA_TEST_JACK

class PadMidi : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        if (const std::string Why = test::JackServer::Unavailable(); !Why.empty())
            GTEST_SKIP() << Why;
        Server = std::make_unique<test::JackServer>();
        ASSERT_EQ(Server->Error(), "");
        Window = std::make_unique<PadWindow>(PadWindow::Options{Config.path(), false, false});
        Window->resize(800, 480);
        Window->show();
        QString Error;
        ASSERT_TRUE(test::Retry(
            [&] { return Window->midiInput()->open(MidiInput::Backend::Jack, Error); }))
            << Error.toStdString();
        Sender = std::make_unique<test::JackSender>();
        ASSERT_TRUE(Sender->ConnectTo("Keymora Pad:Keymora Pad"));
    }
    void TearDown() override {
        Sender.reset();
        Window.reset();
    }
    std::string Names() const {
        std::string N;
        for (const TEntry& E : Window->notes().Entries())
            N += (N.empty() ? "" : " ") + Describe(E);
        return N;
    }
    void Play(int Note) {
        Sender->NoteOn(Note, 90);
        ASSERT_TRUE(SpinUntil([&] { return Window->keyboard().heldNotes().contains(Note); }))
            << Note;
        Sender->Send({0x80, static_cast<unsigned char>(Note), 0});
    }

    QTemporaryDir Config;
    std::unique_ptr<test::JackServer> Server;
    std::unique_ptr<PadWindow> Window;
    std::unique_ptr<test::JackSender> Sender;
};

// Note on presses the key (held while the MIDI key is), note off releases it and enters the note
// with the chosen duration, spelled as the keyboard spells a click.
TEST_F(PadMidi, NotesEnterAsClicksDo) {
    Window->keyboard().setDurationPosition(3);
    Play(64);
    ASSERT_TRUE(SpinUntil([&] { return Window->notes().Size() == 1; }));
    EXPECT_TRUE(Window->keyboard().heldNotes().isEmpty());
    Play(61);    // C#4 under the default AutoTone
    Play(70);    // Bb4
    Play(21);    // A0, the lowest key
    Play(108);   // C8, the highest
    Sender->NoteOn(10, 90);  // below the keyboard: nothing
    Sender->Send({0x80, 10, 0});
    Sender->NoteOn(62, 90);  // a note on with velocity 0 ends it too
    Sender->NoteOn(62, 0);
    ASSERT_TRUE(SpinUntil([&] { return Window->notes().Size() == 6; })) << Names();
    EXPECT_EQ(Names(), "E4 1/8 C#4 1/8 Bb4 1/8 A0 1/8 C8 1/8 D4 1/8");
    // The sound and the export come from the same numbers.
    std::vector<int> Numbers;
    for (const TEntry& E : Window->notes().Entries()) Numbers.push_back(*MidiNumber(E));
    EXPECT_EQ(Numbers, (std::vector<int>{64, 61, 70, 21, 108, 62}));
}

// With a note selected, a MIDI note fixes its pitch; all notes off lets go of held keys without
// entering them.
TEST_F(PadMidi, FixesTheSelectedNoteAndAllNotesOffEntersNothing) {
    Play(60);
    Play(62);
    ASSERT_TRUE(SpinUntil([&] { return Window->notes().Size() == 2; }));
    Window->select(0);
    Play(67);
    ASSERT_TRUE(SpinUntil([&] { return Names().rfind("G4", 0) == 0; })) << Names();
    EXPECT_EQ(Names(), "G4 whole D4 whole");
    Sender->NoteOn(72, 90);
    ASSERT_TRUE(SpinUntil([&] { return Window->keyboard().heldNotes().contains(72); }));
    Sender->Send({0xB0, 123, 0});
    ASSERT_TRUE(SpinUntil([&] { return Window->keyboard().heldNotes().isEmpty(); }));
    EXPECT_EQ(Names(), "G4 whole D4 whole");
}

#endif

}  // namespace
}  // namespace keymora::pad
