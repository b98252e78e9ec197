// Draws a short melody on the pad's staff view into a PNG: the picture of the staff in the docs.
//   keymora-pad-staff-picture OUT.png [--ratio 2] [--width 900] [--height rows, the top only]
//                                     [--crop x,y,w,h: that part of the view]
// The file is written whole or not at all (QSaveFile), then read back and checked.
#include <QtCore/QRect>
#include <QtCore/QSaveFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <QtWidgets/QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "note_list.h"
#include "staff_view.h"

using keymora::pad::StaffView;
using keymora::pad::TEntry;
using keymora::pad::TNoteList;

namespace {
// Octave 5 starts at middle C; Note 1 = C .. 7 = B; Duration 2 = quarter.
TEntry N(int Octave, int Note, int Tone, int Duration) { return {false, Octave, Note, Tone, Duration}; }
TEntry R(int Duration) { return {true, 0, 0, 0, Duration}; }
}  // namespace

int main(int Argc, char** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication App(Argc, Argv);
    const char* Out = nullptr;
    double Ratio = 2;
    int Width = 900;
    int Height = 0;  // 0: the whole document
    QRect Crop;      // a part of the view only, to look at closely
    for (int I = 1; I < Argc; ++I) {
        if (!std::strcmp(Argv[I], "--ratio") && I + 1 < Argc) Ratio = std::atof(Argv[++I]);
        else if (!std::strcmp(Argv[I], "--width") && I + 1 < Argc) Width = std::atoi(Argv[++I]);
        else if (!std::strcmp(Argv[I], "--height") && I + 1 < Argc) Height = std::atoi(Argv[++I]);
        else if (!std::strcmp(Argv[I], "--crop") && I + 1 < Argc) {
            int X = 0, Y = 0, W = 0, H = 0;
            if (std::sscanf(Argv[++I], "%d,%d,%d,%d", &X, &Y, &W, &H) == 4) Crop = QRect(X, Y, W, H);
        }
        else Out = Argv[I];
    }
    if (!Out || Ratio <= 0 || Width < 200) {
        std::fprintf(stderr, "usage: keymora-pad-staff-picture OUT.png [--ratio R] [--width W] [--height H] [--crop x,y,w,h]\n");
        return 2;
    }

    TNoteList Notes;
    // Seven bars: a tune in the treble with a sharp and the natural after it, a note tied over
    // a bar line, then a bass phrase opened by a rest, and a last bar with flats in both staves.
    Notes.Assign({N(5, 3, 0, 2), N(5, 3, 0, 2), N(5, 4, 0, 2), N(5, 5, 0, 2),                 //
                  N(5, 5, 0, 2), N(5, 4, 1, 3), N(5, 4, 0, 3), N(5, 3, 0, 2), N(5, 2, 0, 2),  //
                  N(5, 1, 0, 2), N(5, 1, 0, 3), N(5, 2, 0, 3), N(5, 3, 0, 2), N(5, 3, 0, 1),  //
                  N(5, 2, 0, 3), N(5, 2, 0, 3), N(5, 2, 0, 1),                                //
                  R(2), N(4, 1, 0, 2), N(3, 5, 0, 3), N(3, 6, 0, 4), N(3, 7, 0, 4), N(4, 1, 0, 2),
                  N(4, 7, -1, 1), R(3), N(5, 5, 0, 3), N(5, 6, 0, 4), N(5, 7, -1, 4), N(6, 1, 0, 3),
                  N(6, 1, 0, 0)},
                 {4, 4}, 96);
    StaffView View;
    View.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    View.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    View.resize(Width, 400);
    View.show();  // the offscreen platform: lays the viewport out at this width
    View.setNotes(&Notes);
    View.resize(Width, View.documentHeight());
    View.setSelection(5);
    View.setEntryPoint(Notes.Size());

    if (Crop.isEmpty()) Crop = QRect(0, 0, Width, Height > 0 ? Height : View.height());
    QImage Image(Crop.size() * Ratio, QImage::Format_RGB32);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(Qt::white);
    View.render(&Image, QPoint(), QRegion(Crop));

    QSaveFile File(QString::fromLocal8Bit(Out));
    if (!File.open(QIODevice::WriteOnly) || !Image.save(&File, "PNG") || !File.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", Out, qPrintable(File.errorString()));
        return 1;
    }
    const QImage Back(QString::fromLocal8Bit(Out));
    if (Back.size() != Image.size()) {
        std::fprintf(stderr, "%s does not read back as the picture drawn\n", Out);
        return 1;
    }
    std::printf("%s: %d x %d\n", Out, Back.width(), Back.height());
    return 0;
}
