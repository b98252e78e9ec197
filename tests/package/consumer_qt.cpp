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
    std::printf("duration %d, events %d, real width %d\n", Keyboard.durationPosition(), Durations,
                Keyboard.control().RealWidth());
    return Keyboard.durationPosition() == 2 && Durations == 1 &&
                   Keyboard.control().RealWidth() == 588
               ? 0
               : 1;
}
