// KeymoraWidget in a real top-level window on an Xvfb server: a mouse click on a key and a PC key
// sent as real X input reach the control as notes, and what the X server shows is what the widget
// paints. Positions are worked out for a 600 x 100 widget: 35 keys of 15 pixels from x = 16.
#include <gtest/gtest.h>

#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <array>
#include <cstdlib>
#include <vector>

#include "keymora/qt/keymora_widget.h"
#include "x_session.h"

namespace keymora::test {
namespace {

TEST(RealWindow, ClickAndKeyPlayNotesAndTheScreenShowsThePaint) {
    XSession X;
    if (!X.Ok()) GTEST_SKIP() << X.Why();
    setenv("DISPLAY", X.Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    static int Argc = 1;
    static char Name[] = "keymora_xvfb_test";
    static char* Argv[] = {Name, nullptr};
    QApplication App(Argc, Argv);

    KeymoraWidget Keyboard;
    Keyboard.setWindowTitle(QStringLiteral("Keymora"));
    Keyboard.setGeometry(40, 40, 600, 100);
    std::vector<std::array<int, 3>> Notes;
    QObject::connect(&Keyboard, &KeymoraWidget::keyClick, [&](int O, int N, int T) {
        Notes.push_back({O, N, T});
    });
    Keyboard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Keyboard));

    // White key 23 (C4) spans x 361..375; y = 90 is below the black keys (which end at 80).
    const QPoint Key = Keyboard.mapToGlobal(QPoint(368, 90));
    X.Click(Key.x(), Key.y());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Notes.size() >= 1; }, 5000));
    EXPECT_EQ(Notes[0], (std::array<int, 3>{5, 1, 0}));
    // The press took the focus, so the PC keyboard plays: D is note 2 of octave 5.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Keyboard.hasFocus(); }, 5000));
    X.Type("d");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Notes.size() >= 2; }, 5000));
    EXPECT_EQ(Notes[1], (std::array<int, 3>{5, 2, 0}));
    EXPECT_EQ(Notes.size(), 2u);

    // Let the repaints of the release land, then compare the window's pixels on the server with
    // a paint of the widget of its own.
    QTest::qWait(200);
    const QImage Screen = Keyboard.screen()
                              ->grabWindow(Keyboard.winId())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    const QImage Painted = Keyboard.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(Screen.size(), QSize(600, 100));
    EXPECT_TRUE(Screen == Painted);
    // The middle of white key 20 (G3, x 316..330) above the marks shows octave 4's tint
    // $00FFFFEA: red EA, green FF, blue FF.
    EXPECT_EQ(Screen.pixel(323, 50), qRgb(0xEA, 0xFF, 0xFF));
}

}  // namespace
}  // namespace keymora::test
