// A program using the installed Qt binding: a KeymoraWidget with a signal connected.
#include <keymora/qt/keymora_widget.h>

#include <QtWidgets/QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    KeymoraWidget Keyboard;
    int Durations = 0;
    QObject::connect(&Keyboard, &KeymoraWidget::durationChanged, [&] { ++Durations; });
    Keyboard.resize(600, 100);
    Keyboard.setDurationPosition(2);
    Keyboard.ensurePolished();
    // A chord by MIDI numbers, a key coloured, and the notes the keyboard reports.
    for (int Note : {60, 64, 67}) Keyboard.lightNote(Note);
    Keyboard.setNoteColor(62, QColor(0, 160, 0));
    int On = 0;
    QObject::connect(&Keyboard, &KeymoraWidget::noteOn, [&](int Note, int Velocity) {
        On = Note * 1000 + Velocity;
    });
    Keyboard.control().PressKey(23, false);  // C4, as a touch would
    std::printf("duration %d, events %d, real width %d, note on %d\n",
                Keyboard.durationPosition(), Durations, Keyboard.control().RealWidth(), On);
    return Keyboard.durationPosition() == 2 && Durations == 1 &&
                   Keyboard.control().RealWidth() == 588 && On == 60100 &&
                   Keyboard.noteColor(62) == QColor(0, 160, 0)
               ? 0
               : 1;
}
