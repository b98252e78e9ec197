// What the pad's window tests share: one QApplication on the offscreen platform (unless the run
// chose another), and a wait for a condition that spins the event loop.
#pragma once

#include <QtCore/QDeadlineTimer>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <functional>

namespace keymora::pad::test {

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int Argc = 1;
    static char Name[] = "keymora_pad_tests";
    static char* Argv[] = {Name, nullptr};
    new QApplication(Argc, Argv);
}

/// Spins the event loop until Done, for Ms at most; false when the time ran out.
inline bool SpinUntil(const std::function<bool()>& Done, int Ms = 5000) {
    QDeadlineTimer Deadline(Ms);
    QTimer Wake;  // ends each wait for events in time to look at the deadline
    Wake.start(20);
    while (!Done()) {
        if (Deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace keymora::pad::test
