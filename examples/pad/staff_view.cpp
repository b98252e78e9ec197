// The grand staff: layout of the pieces into systems, and painting from that layout with shapes
// built once (heads, flags, accidentals, rests, clefs, brace) in logical pixels.
#include "staff_view.h"

#include <QtGui/QFont>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPainterPathStroker>
#include <QtWidgets/QScrollBar>
#include <algorithm>
#include <cmath>
#include <string>

#include "keymora/pitch/pitch.h"

namespace keymora::pad {

using namespace staff;

namespace {

const QColor Ink(20, 20, 20);
const QColor Paper(255, 255, 255);
const QColor SelectedInk(21, 101, 192);
const QColor SelectedLight(221, 235, 255);
const QColor PlayingInk(230, 81, 0);
const QColor PlayingLight(255, 233, 214);
const QColor CaretInk(198, 40, 40);

// Diatonic step of a written note: 7 per octave, C4 = 28; the staves read it as lines and spaces.
int DiatonicStep(const TEntry& E) {
    const TNote N{E.Octave, E.Note, E.Tone};
    return 7 * N.ScientificOctave() + N.Letter();
}
// Half spaces below the top line of each staff: F5 and A3 are 0, E4 and G2 are 8.
constexpr int TrebleTopStep = 38;
constexpr int BassTopStep = 26;

// Rounds rectangles to whole device pixels, so that lines and stems are sharp at any ratio.
struct Snapper {
    double Sx = 1, Sy = 1, Dx = 0, Dy = 0;
    explicit Snapper(const QTransform& T) : Sx(T.m11()), Sy(T.m22()), Dx(T.dx()), Dy(T.dy()) {}
    // Halves round up everywhere (not away from zero), so a scrolled view rounds as an unscrolled one.
    double X(double V) const { return (std::floor(V * Sx + Dx + 0.5) - Dx) / Sx; }
    double Y(double V) const { return (std::floor(V * Sy + Dy + 0.5) - Dy) / Sy; }
    // The start rounded, the size rounded apart from it (so every 1 pixel line is as thick as
    // every other), at least one device pixel each way.
    QRectF Rect(double X0, double Y0, double X1, double Y1) const {
        const double W = std::max(1.0, std::round((X1 - X0) * Sx)) / Sx;
        const double H = std::max(1.0, std::round((Y1 - Y0) * Sy)) / Sy;
        return QRectF(X(X0), Y(Y0), W, H);
    }
};

// The area a broad nib covers moving along a centre line (its half vector Nib), with at least
// MinWidth across: the calligraphic strokes of clefs, brace and rests.
QPainterPath NibSweep(const QPainterPath& Given, QPointF Nib, double MinWidth) {
    // Curves are flattened at 64 times the size, so the outline stays smooth when drawn large.
    constexpr double Fine = 64;
    const QPainterPath Centre = QTransform::fromScale(Fine, Fine).map(Given);
    Nib *= Fine;
    MinWidth *= Fine;
    QPainterPath Out;
    Out.setFillRule(Qt::WindingFill);
    auto AddQuad = [&Out](QPointF A, QPointF B, QPointF C, QPointF D) {
        const double Area = (B.x() - A.x()) * (C.y() - A.y()) - (C.x() - A.x()) * (B.y() - A.y()) +
                            (C.x() - A.x()) * (D.y() - A.y()) - (D.x() - A.x()) * (C.y() - A.y());
        if (std::abs(Area) < 1e-9) return;
        QPolygonF Q;
        if (Area > 0)
            Q << A << B << C << D;
        else
            Q << A << D << C << B;
        Out.addPolygon(Q);
        Out.closeSubpath();
    };
    for (const QPolygonF& Poly : Centre.toSubpathPolygons()) {
        for (int I = 0; I + 1 < Poly.size(); ++I) {
            const QPointF A = Poly[I], B = Poly[I + 1];
            const QPointF U = B - A;
            const double L = std::hypot(U.x(), U.y());
            if (L < 1e-9) continue;
            const QPointF N(-U.y() / L * MinWidth / 2, U.x() / L * MinWidth / 2);
            AddQuad(A - Nib, B - Nib, B + Nib, A + Nib);
            AddQuad(A - N, B - N, B + N, A + N);
        }
    }
    return QTransform::fromScale(1 / Fine, 1 / Fine).map(Out.simplified());
}

// Union and difference computed at 64 times the size: the boolean operations flatten curves
// into polygons, and this keeps those fine enough for any ratio.
QPainterPath Unite(const QPainterPath& A, const QPainterPath& B) {
    const QTransform Up = QTransform::fromScale(64, 64), Down = QTransform::fromScale(1.0 / 64, 1.0 / 64);
    return Down.map(Up.map(A).united(Up.map(B)));
}
QPainterPath Subtract(const QPainterPath& A, const QPainterPath& B) {
    const QTransform Up = QTransform::fromScale(64, 64), Down = QTransform::fromScale(1.0 / 64, 1.0 / 64);
    return Down.map(Up.map(A).subtracted(Up.map(B)));
}

QPainterPath Ellipse(double Rx, double Ry, double Degrees) {
    QPainterPath P;
    P.addEllipse(QPointF(0, 0), Rx, Ry);
    return QTransform().rotate(Degrees).map(P);
}

QPainterPath Scaled(const QPainterPath& P, double S) { return QTransform::fromScale(S, S).map(P); }

QPainterPath RectPath(double X0, double Y0, double X1, double Y1) {
    QPainterPath P;
    P.addRect(QRectF(QPointF(X0, Y0), QPointF(X1, Y1)));
    return P;
}

// A parallelogram from (X0, Y0) to (X1, Y1) along its middle, Thick tall.
QPainterPath Slab(double X0, double Y0, double X1, double Y1, double Thick) {
    QPainterPath P;
    P.moveTo(X0, Y0 - Thick / 2);
    P.lineTo(X1, Y1 - Thick / 2);
    P.lineTo(X1, Y1 + Thick / 2);
    P.lineTo(X0, Y0 + Thick / 2);
    P.closeSubpath();
    return P;
}

// Every shape in logical pixels, with its origin where the painter puts it: the shapes of the
// notation, the same for every view, built on first use.
struct Shapes {
    QPainterPath BlackHead, HalfHead, WholeHead;  // centred on the head
    QPainterPath Flag;                             // up stem: origin at the stem's top left
    QPainterPath FlagDown;  // the flag mirrored, for down stems (origin at the stem's bottom left)
    QPainterPath Sharp, Flat, Natural;             // right edge at 0, centred on the head's row
    QPainterPath Rest[8];  // origin: centre column, top line of the staff
    QPainterPath TrebleClef, BassClef, Brace;

    static const Shapes& Shared() {
        static const Shapes The;
        return The;
    }

    Shapes() {
        const double S = Space;
        // Heads: a tilted ellipse 10 wide and 7.8 tall; the half note's hollow a thinner,
        // steeper one; the whole note upright and wider with a hollow tilted the other way.
        BlackHead = Ellipse(5.135, 3.825, -20);
        HalfHead = Subtract(BlackHead, Ellipse(4.0, 1.75, -32));
        WholeHead = Subtract(Ellipse(6.5, 4.0, 0), Ellipse(3.3, 2.3, 55));

        // A flag: thick at the stem, swelling out and tapering down to a point.
        QPainterPath F;
        F.moveTo(0, 0);
        F.cubicTo(0.1 * S, 0.9 * S, 1.15 * S, 1.25 * S, 0.85 * S, 2.9 * S);
        F.cubicTo(0.95 * S, 1.8 * S, 0.35 * S, 1.35 * S, 0, 1.15 * S);
        F.closeSubpath();
        Flag = Unite(F, RectPath(0, 0, 1, 1.15 * S));

        // Sharp: two uprights and two thick bars rising to the right.
        Sharp = RectPath(-7, -10, -5.8, 11.5).united(RectPath(-3.2, -11.5, -2, 10));
        Sharp = Sharp.united(Slab(-9, -2.4, 0, -4.6, 3)).united(Slab(-9, 4.6, 0, 2.4, 3));
        // Flat: an upright and a bowl leaning on it.
        QPainterPath Bowl;
        Bowl.moveTo(-6.5, -1.5);
        Bowl.cubicTo(-3.8, -5.0, 1.4, -4.2, -0.2, -0.6);
        Bowl.cubicTo(-1.4, 1.8, -4.2, 3.4, -6.5, 4.4);
        Bowl.closeSubpath();
        QPainterPath Hollow;
        Hollow.moveTo(-6, -0.5);
        Hollow.cubicTo(-4.2, -2.6, -1.4, -2.4, -2.0, -0.6);
        Hollow.cubicTo(-2.6, 0.6, -4.2, 1.8, -6, 2.6);
        Hollow.closeSubpath();
        Flat = Unite(RectPath(-7.4, -13, -6.2, 4.4), Subtract(Bowl, Hollow));
        // Natural: two offset uprights joined by two bars.
        Natural = RectPath(-6.2, -11, -5, 4.8).united(RectPath(-1.7, -4.8, -0.5, 11));
        Natural = Natural.united(Slab(-6.2, -1.6, -0.5, -3.4, 2.8)).united(Slab(-6.2, 3.4, -0.5, 1.6, 2.8));

        // Rests, from the top line of the staff: the whole hangs from the second line, the half
        // sits on the middle one, the quarter is the zigzag, shorter ones the hooked strokes.
        Rest[0] = RectPath(-5, 8, 5, 12);
        Rest[1] = RectPath(-5, 12.5, 5, 16.5);
        {
            QPainterPath Z;
            Z.moveTo(-0.3 * S, 0.6 * S);
            Z.lineTo(0.35 * S, 1.3 * S);
            Z.lineTo(-0.3 * S, 2.05 * S);
            Z.lineTo(0.35 * S, 2.8 * S);
            Z.cubicTo(-0.35 * S, 2.55 * S, -0.55 * S, 3.2 * S, 0.0 * S, 3.55 * S);
            Rest[2] = NibSweep(Z, QPointF(0.19 * S, 0.19 * S), 0.28 * S);
        }
        for (int N = 1; N <= 5; ++N) {
            // Blobs in the spaces, the first in the second space down for one or two hooks and
            // one space higher per two more.
            const double FirstBlob = (1.5 - (N - 1) / 2) * S;
            const double Slope = 0.3;  // the stroke leans left by this much per row down
            const double TopY = FirstBlob - 0.5 * S;
            const double TopX = 0.45 * S;
            const double BottomY = FirstBlob + (N - 1) * S + 1.6 * S;
            const double BottomX = TopX - Slope * (BottomY - TopY);
            QPainterPath Shape = NibSweep(
                [&] {
                    QPainterPath L;
                    L.moveTo(TopX, TopY);
                    L.lineTo(BottomX, BottomY);
                    return L;
                }(),
                QPointF(0, 0), 0.16 * S);
            for (int J = 0; J < N; ++J) {
                const double By = FirstBlob + J * S;
                const double HookY = By - 0.5 * S;
                const double HookX = TopX - Slope * (HookY - TopY);
                const double Bx = HookX - 0.75 * S;
                QPainterPath Hook;
                Hook.moveTo(Bx, By + 0.05 * S);
                Hook.cubicTo(Bx + 0.35 * S, By + 0.35 * S, HookX - 0.25 * S, By + 0.1 * S, HookX,
                             HookY);
                Shape = Unite(Shape, NibSweep(Hook, QPointF(0, 0.06 * S), 0.2 * S));
                QPainterPath Dot;
                Dot.addEllipse(QPointF(Bx, By), 0.28 * S, 0.28 * S);
                Shape = Unite(Shape, Dot);
            }
            Rest[N + 2] = Shape;
        }

        // The G clef, in spaces from the middle of its curl on the G line.
        {
            // From the inner end of the curl round the bowl (left side down, right side up),
            // up the S to the top loop, then the spine down through the bowl to the hook.
            QPainterPath G;
            G.moveTo(0.25, -0.5);
            G.cubicTo(-0.35, -0.75, -0.85, -0.2, -0.75, 0.45);
            G.cubicTo(-0.65, 1.1, 0.2, 1.35, 0.7, 1.05);
            G.cubicTo(1.3, 0.65, 1.2, -0.45, 0.65, -1.05);
            G.cubicTo(0.2, -1.5, -0.45, -1.55, -0.7, -2.1);
            G.cubicTo(-0.95, -2.8, 0.45, -3.2, 0.45, -4.0);
            G.cubicTo(0.45, -4.45, 0.05, -4.65, -0.2, -4.25);
            G.cubicTo(-0.45, -3.8, -0.15, -2.5, 0.0, -1.3);
            G.cubicTo(0.15, -0.2, 0.3, 1.3, 0.3, 2.0);
            G.cubicTo(0.3, 2.6, -0.2, 2.8, -0.55, 2.55);
            QPainterPath Clef = NibSweep(G, QPointF(0.17, 0.05), 0.1);
            QPainterPath Dot;
            Dot.addEllipse(QPointF(-0.42, 2.2), 0.34, 0.34);
            TrebleClef = Scaled(Unite(Clef, Dot), S);
        }
        // The F clef, in spaces from its dot on the F line.
        {
            QPainterPath F;
            F.moveTo(-0.1, 0.0);
            F.cubicTo(-0.3, -0.9, 0.9, -1.25, 1.55, -0.85);
            F.cubicTo(2.3, -0.4, 2.2, 0.9, 1.45, 1.7);
            F.cubicTo(0.9, 2.3, 0.1, 2.8, -0.65, 3.1);
            QPainterPath Clef = NibSweep(F, QPointF(0.24, -0.03), 0.1);
            QPainterPath Dots;
            Dots.addEllipse(QPointF(0.05, 0.05), 0.42, 0.42);
            Dots.addEllipse(QPointF(2.65, -0.5), 0.17, 0.17);
            Dots.addEllipse(QPointF(2.65, 0.5), 0.17, 0.17);
            BassClef = Scaled(Unite(Clef, Dots), S);
        }
        // The brace: two mirrored swells meeting in a point, 112 rows tall (treble top line to
        // bass bottom line), in columns 7 .. 19.
        {
            const double H = BassTop + 4 * S - TrebleTop;
            QPainterPath B;
            B.moveTo(9.5, 0);
            B.cubicTo(3.0, 6, 6.5, H / 2 - 12, 0.5, H / 2);
            B.cubicTo(6.5, H / 2 + 12, 3.0, H - 6, 9.5, H);
            Brace = NibSweep(B, QPointF(1.6, 0), 0.6).translated(8, 0);
        }
        FlagDown = QTransform::fromScale(1, -1).map(Flag);
    }
};

}  // namespace

// A view's shapes (shared paths), its meter, and the images painting stamps.
struct StaffView::Glyphs : Shapes {
    QPainterPath Time;  // both staves' numbers, origin at the system's top left
    TTimeSignature TimeOf{0, 0};
    QBrush InkBrush{Ink}, SelectedBrush{SelectedInk}, PlayingBrush{PlayingInk};
    QBrush SelectedLightBrush{SelectedLight}, PlayingLightBrush{PlayingLight}, CaretBrush{CaretInk},
        PaperBrush{Paper};

    Glyphs() : Shapes(Shared()) {}

    // Painting stamps every glyph from an image of it drawn once per device scale, colour and
    // half-pixel phase (positions are rounded to half a device pixel), instead of filling its
    // outline again for every note.
    enum Id {
        BlackId, HalfId, WholeId, FlagUpId, FlagDownId, SharpId, FlatId, NaturalId,
        RestId,  // eight of them
        TrebleId = RestId + 8, BassId, BraceId, TimeId, IdCount
    };
    enum Colour { InkColour, SelectedColour, PlayingColour, ColourCount };
    const QPainterPath& PathOf(int Glyph) const {
        switch (Glyph) {
        case BlackId: return BlackHead;
        case HalfId: return HalfHead;
        case WholeId: return WholeHead;
        case FlagUpId: return Flag;
        case FlagDownId: return FlagDown;
        case SharpId: return Sharp;
        case FlatId: return Flat;
        case NaturalId: return Natural;
        case TrebleId: return TrebleClef;
        case BassId: return BassClef;
        case BraceId: return Brace;
        case TimeId: return Time;
        default: return Rest[Glyph - RestId];
        }
    }
    struct Sprite {
        QImage Image;
        QPoint Offset;  // of the image's top left from the origin's device pixel
    };
    Sprite Sprites[IdCount][ColourCount][4];
    double SpriteSx = 0, SpriteSy = 0;

    void ForgetSprites(int Glyph) {
        for (auto& ByColour : Sprites[Glyph])
            for (Sprite& S : ByColour) S.Image = QImage();
    }

    // Device is the painter's device matrix under no world transform: a scale and a translation.
    void Stamp(QPainter& Painter, const QTransform& Device, int Glyph, int Colour, double X, double Y) {
        const double Sx = Device.m11(), Sy = Device.m22();
        if (Sx != SpriteSx || Sy != SpriteSy) {
            for (int I = 0; I < IdCount; ++I) ForgetSprites(I);
            SpriteSx = Sx;
            SpriteSy = Sy;
        }
        const double Dx = X * Sx + Device.dx(), Dy = Y * Sy + Device.dy();
        double Ix = std::floor(Dx), Iy = std::floor(Dy);
        const auto PhaseOf = [](double F, double& I) {
            if (F < 0.25) return 0;
            if (F < 0.75) return 1;
            I += 1;
            return 0;
        };
        const int Px = PhaseOf(Dx - Ix, Ix), Py = PhaseOf(Dy - Iy, Iy);
        Sprite& S = Sprites[Glyph][Colour][Px * 2 + Py];
        if (S.Image.isNull()) {
            const QPainterPath D = QTransform::fromScale(Sx, Sy).map(PathOf(Glyph));
            const QRectF R = D.boundingRect().translated(Px * 0.5, Py * 0.5);
            const int L = static_cast<int>(std::floor(R.left())) - 1;
            const int T = static_cast<int>(std::floor(R.top())) - 1;
            S.Image = QImage(static_cast<int>(std::ceil(R.right())) - L + 1,
                             static_cast<int>(std::ceil(R.bottom())) - T + 1, QImage::Format_ARGB32_Premultiplied);
            S.Image.fill(Qt::transparent);
            QPainter Q(&S.Image);
            Q.setRenderHint(QPainter::Antialiasing);
            Q.translate(-L + Px * 0.5, -T + Py * 0.5);
            Q.fillPath(D, Colour == SelectedColour ? SelectedBrush : Colour == PlayingColour ? PlayingBrush : InkBrush);
            S.Offset = QPoint(L, T);
        }
        // Under this world transform the device transform is a translation: whole pixels stay whole.
        Painter.setWorldTransform(QTransform::fromScale(1 / Sx, 1 / Sy));
        Painter.drawImage(QPointF(Ix + S.Offset.x() - Device.dx(), Iy + S.Offset.y() - Device.dy()), S.Image);
    }

    // The meter's numbers in a bold face, each two spaces tall and centred on the second and
    // fourth lines of both staves.
    void SetTime(TTimeSignature Meter) {
        if (Meter == TimeOf) return;
        TimeOf = Meter;
        ForgetSprites(TimeId);
        QFont F(QStringLiteral("Liberation Serif"));
        F.setBold(true);
        F.setPixelSize(40);
        QPainterPath Out;
        const double CentreX = SystemLineX + ClefWidth + TimeWidth / 2.0;
        for (int Staff = 0; Staff < 2; ++Staff) {
            const double Top = Staff == 0 ? TrebleTop : BassTop;
            for (int Half = 0; Half < 2; ++Half) {
                const int Value = Half == 0 ? Meter.Beats : Meter.BeatType;
                QPainterPath Digits;
                Digits.addText(0, 0, F, QString::number(Value));
                // Every digit scaled as "0" is: two spaces and a line from top to bottom.
                QPainterPath Zero;
                Zero.addText(0, 0, F, QStringLiteral("0"));
                const QRectF Z = Zero.boundingRect();
                const double K = (2 * Space + 1) / Z.height();
                const QRectF R = Digits.boundingRect();
                const double Cy = Top + (Half == 0 ? Space : 3 * Space) + 0.5;
                QTransform M;
                M.translate(CentreX - R.center().x() * K, Cy - Z.center().y() * K);
                M.scale(K, K);
                Out.addPath(M.map(Digits));
            }
        }
        Time = Out;
    }
};

StaffView::StaffView(QWidget* Parent) : QAbstractScrollArea(Parent), Glyphs_(new Glyphs) {
    TieBuffer_.resize(26);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    Relayout();
}

StaffView::~StaffView() = default;

QSize StaffView::sizeHint() const { return QSize(600, TopMargin + SystemHeight + BottomMargin); }

void StaffView::setNotes(const TNoteList* Notes) {
    Notes_ = Notes;
    notesChanged();
}

void StaffView::notesChanged() {
    Relayout();
    UpdateScrollBars();
    viewport()->update();
}

void StaffView::setSelection(int Entry) {
    if (Entry < -1) Entry = -1;
    if (Entry == Selection_) return;
    Selection_ = Entry;
    EnsureVisible(Selection_);
    viewport()->update();
}

void StaffView::setPlaying(int Entry) {
    if (Entry < -1) Entry = -1;
    if (Entry == Playing_) return;
    Playing_ = Entry;
    viewport()->update();
}

void StaffView::setEntryPoint(int Entry) {
    EntryPoint_ = std::max(0, Entry);
    EnsureVisible(Selection_);
    int System = 0;
    const float X = CaretX(EntryPoint_, System);
    Reveal(System, X - 20, X + 20);
    viewport()->update();
}

void StaffView::setSplit(int Midi) {
    if (Midi == Split_) return;
    Split_ = Midi;
    notesChanged();
}

float StaffView::SystemTop(int System) const {
    return static_cast<float>(TopMargin + System * SystemHeight);
}

int StaffView::documentHeight() const {
    return TopMargin + std::max<int>(1, systemCount()) * SystemHeight + BottomMargin;
}

int StaffView::systemOf(int Entry) const {
    if (Entry < 0 || Entry + 1 >= static_cast<int>(FirstPiece_.size())) return -1;
    return Pieces_[static_cast<std::size_t>(FirstPiece_[static_cast<std::size_t>(Entry)])].System;
}

void StaffView::Relayout() {
    LayoutWidth_ = viewport()->width();
    Pieces_.clear();
    FirstPiece_.clear();
    Bars_.clear();
    Systems_.clear();
    Glyphs_->SetTime(Notes_ ? Notes_->Time() : TTimeSignature{});
    const auto Start = [](int System) {
        return static_cast<float>(SystemLineX + ClefWidth + (System == 0 ? TimeWidth : 0));
    };
    const float End = static_cast<float>(std::max(LayoutWidth_ - RightMargin, 200));
    ContentWidth_ = End + RightMargin;
    if (!Notes_ || Notes_->Size() == 0) {
        Systems_.push_back({0, 0, 0, 0, Start(0), End});
        FirstPiece_.push_back(0);
        return;
    }

    const std::vector<TEntry>& Entries = Notes_->Entries();
    const std::vector<TPiece> Pieces = Notes_->Pieces();
    const std::vector<TAccidental> Signs = Accidentals(*Notes_, Pieces);
    const int BarTicks = Notes_->Time().BarTicks();
    Pieces_.resize(Pieces.size());
    FirstPiece_.assign(Entries.size() + 1, static_cast<int>(Pieces.size()));

    // What each piece is, and on which staff: notes by the split, rests on the staff of the note
    // before them (of the first note, for rests that open the piece).
    int LastStaff = -1;
    for (std::size_t I = 0; I < Pieces.size(); ++I) {
        const TPiece& P = Pieces[I];
        const TEntry& E = Entries[static_cast<std::size_t>(P.Entry)];
        Placed& Q = Pieces_[I];
        Q.Entry = P.Entry;
        Q.Duration = static_cast<std::uint8_t>(std::clamp(P.Duration, 0, 7));
        Q.Sign = Signs[I];
        Q.Rest = E.Rest;
        Q.TieToNext = P.TieToNext && !E.Rest;
        Q.TieFromPrevious = P.TieFromPrevious && !E.Rest;
        if (!P.TieFromPrevious) FirstPiece_[static_cast<std::size_t>(P.Entry)] = static_cast<int>(I);
        if (E.Rest) {
            Q.Bass = LastStaff == 1;
            continue;
        }
        const TNote N{E.Octave, E.Note, E.Tone};
        Q.Bass = N.Midi() < Split_;
        LastStaff = Q.Bass ? 1 : 0;
        const int Step = DiatonicStep(E);
        Q.Position = static_cast<std::int8_t>(std::clamp((Q.Bass ? BassTopStep : TrebleTopStep) - Step, -120, 120));
        Q.StemUp = Q.Position > 4;
    }
    const auto FirstNote = std::find_if(Pieces_.begin(), Pieces_.end(), [](const Placed& Q) { return !Q.Rest; });
    const bool OpeningBass = FirstNote != Pieces_.end() && FirstNote->Bass;
    for (auto Rest = Pieces_.begin(); Rest != FirstNote; ++Rest) Rest->Bass = OpeningBass;

    // Bars into systems: a bar goes on the current system when it fits, else it opens the next;
    // a bar wider than a system has one of its own.
    struct BarSpan {
        int First, End;
        float Natural;
        float Stretchable;
    };
    std::vector<BarSpan> BarsOf;
    BarsOf.reserve(static_cast<std::size_t>(Pieces.back().Bar + 1));
    for (std::size_t I = 0; I < Pieces.size();) {
        const int Bar = Pieces[I].Bar;
        BarSpan B{static_cast<int>(I), 0, BarLead, 0};
        for (; I < Pieces.size() && Pieces[I].Bar == Bar; ++I) {
            const float A = static_cast<float>(Advance[Pieces_[I].Duration]);
            B.Natural += A + (Pieces_[I].Sign != TAccidental::None ? AccidentalRoom : 0);
            B.Stretchable += A;
        }
        B.End = static_cast<int>(I);
        BarsOf.push_back(B);
    }
    std::vector<int> SystemOfBar(BarsOf.size());
    {
        int System = 0;
        float At = Start(0);
        bool Empty = true;
        for (std::size_t B = 0; B < BarsOf.size(); ++B) {
            if (!Empty && At + BarsOf[B].Natural > End) {
                ++System;
                At = Start(System);
            }
            SystemOfBar[B] = System;
            At += BarsOf[B].Natural;
            Empty = false;
        }
    }
    // Every system but the last stretched to the width, in proportion to each piece's room.
    Bars_.reserve(BarsOf.size());
    for (std::size_t B = 0; B < BarsOf.size();) {
        const int System = SystemOfBar[B];
        std::size_t E = B;
        float Natural = 0, Stretchable = 0;
        for (; E < BarsOf.size() && SystemOfBar[E] == System; ++E) {
            Natural += BarsOf[E].Natural;
            Stretchable += BarsOf[E].Stretchable;
        }
        const bool Last = E == BarsOf.size();
        const float Extra = End - Start(System) - Natural;
        const float K = !Last && Extra > 0 && Stretchable > 0 ? Extra / Stretchable : 0;
        StaffView::System S{BarsOf[B].First, BarsOf[E - 1].End, static_cast<int>(Bars_.size()), 0,
                            Start(System), End};
        float At = Start(System);
        const float Top = SystemTop(System);
        for (std::size_t Bar = B; Bar < E; ++Bar) {
            At += BarLead;
            for (int I = BarsOf[Bar].First; I < BarsOf[Bar].End; ++I) {
                Placed& Q = Pieces_[static_cast<std::size_t>(I)];
                Q.System = System;
                Q.Left = At;
                if (Q.Sign != TAccidental::None) At += AccidentalRoom;
                Q.X = At + (Q.Duration == 0 && !Q.Rest ? 6.5f : HeadWidth / 2.0f);
                At += static_cast<float>(Advance[Q.Duration]) * (1 + K);
                Q.Right = At;
                const float StaffTop = Top + (Q.Bass ? BassTop : TrebleTop);
                Q.Y = Q.Rest ? StaffTop : StaffTop + 0.5f + Q.Position * Space / 2.0f;
            }
            // A bar line after every full bar; an unfinished last bar is left open.
            const TPiece& LastPiece = Pieces[static_cast<std::size_t>(BarsOf[Bar].End - 1)];
            if (LastPiece.Start + DurationTicks(LastPiece.Duration) >= BarTicks)
                Bars_.push_back({std::round(At), System});
        }
        S.EndBar = static_cast<int>(Bars_.size());
        S.End = std::max(End, At + 4);
        ContentWidth_ = std::max(ContentWidth_, S.End + RightMargin);
        Systems_.push_back(S);
        B = E;
    }
}

void StaffView::UpdateScrollBars() {
    QScrollBar* V = verticalScrollBar();
    V->setRange(0, std::max(0, documentHeight() - viewport()->height()));
    V->setPageStep(viewport()->height());
    V->setSingleStep(SystemHeight / 4);
    QScrollBar* H = horizontalScrollBar();
    H->setRange(0, std::max(0, static_cast<int>(std::ceil(ContentWidth_)) - viewport()->width()));
    H->setPageStep(viewport()->width());
    H->setSingleStep(Space * 4);
}

void StaffView::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    if (viewport()->width() != LayoutWidth_) Relayout();
    UpdateScrollBars();
}

void StaffView::scrollContentsBy(int, int) { viewport()->update(); }

void StaffView::EnsureVisible(int Entry) {
    const int System = systemOf(Entry);
    if (System < 0) return;
    const Placed& P = Pieces_[static_cast<std::size_t>(FirstPiece_[static_cast<std::size_t>(Entry)])];
    Reveal(System, P.Left - 8, P.Right + 8);
}

void StaffView::Reveal(int System, float Left, float Right) {
    // The whole system with the margin above it, and the columns; where the viewport is too
    // small, the top and the left win.
    const int Top = static_cast<int>(SystemTop(System)) - TopMargin;
    QScrollBar* V = verticalScrollBar();
    if (Top + TopMargin + SystemHeight > V->value() + viewport()->height())
        V->setValue(Top + TopMargin + SystemHeight - viewport()->height());
    if (Top < V->value()) V->setValue(Top);
    QScrollBar* H = horizontalScrollBar();
    if (Right > H->value() + viewport()->width()) H->setValue(static_cast<int>(std::ceil(Right)) - viewport()->width());
    if (Left < H->value()) H->setValue(static_cast<int>(std::floor(Left)));
}

float StaffView::CaretX(int Entry, int& SystemIndex) const {
    const int Size = static_cast<int>(FirstPiece_.size()) - 1;
    if (Pieces_.empty()) {
        SystemIndex = 0;
        return Systems_.front().ContentStart + BarLead - 3;
    }
    if (Entry < Size) {
        const Placed& P = Pieces_[static_cast<std::size_t>(FirstPiece_[static_cast<std::size_t>(Entry)])];
        SystemIndex = P.System;
        return P.Left - 3;
    }
    // After a full last bar the next note opens a bar: the caret stands past the bar line.
    const Placed& P = Pieces_.back();
    SystemIndex = P.System;
    const bool Closed = !Bars_.empty() && Bars_.back().System == P.System && Bars_.back().X == std::round(P.Right);
    return P.Right + (Closed ? BarLead : 0) - 3;
}

QRectF StaffView::PieceBox(const Placed& P) const {
    if (P.Rest) return Glyphs_->Rest[P.Duration].boundingRect().translated(P.X, P.Y);
    const float W = P.Duration == 0 ? 13 : HeadWidth;
    return QRectF(P.X - W / 2, P.Y - 4, W, 8);
}

QRect StaffView::headRect(int Entry) const {
    if (Entry < 0 || Entry + 1 >= static_cast<int>(FirstPiece_.size())) return {};
    const Placed& P = Pieces_[static_cast<std::size_t>(FirstPiece_[static_cast<std::size_t>(Entry)])];
    // The pixels the head touches: its centre pixel is the rectangle's centre.
    return PieceBox(P)
        .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value())
        .toAlignedRect();
}

int StaffView::entryAt(QPoint Point) const {
    const QPointF D(Point.x() + horizontalScrollBar()->value(), Point.y() + verticalScrollBar()->value());
    const int System = static_cast<int>(std::floor((D.y() - TopMargin) / SystemHeight));
    if (System < 0 || System >= systemCount()) return -1;
    const StaffView::System& S = Systems_[static_cast<std::size_t>(System)];
    for (int I = S.FirstPiece; I < S.EndPiece; ++I) {
        const Placed& P = Pieces_[static_cast<std::size_t>(I)];
        if (PieceBox(P).adjusted(-2, -2, 2, 2).contains(D)) return P.Entry;
    }
    return -1;
}

void StaffView::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton) emit entryClicked(entryAt(Event->position().toPoint()));
    Event->accept();
}

void StaffView::paintEvent(QPaintEvent* Event) {
    QPainter Painter(viewport());
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(Qt::NoPen);
    Glyphs& G = *Glyphs_;
    const QTransform Device = Painter.deviceTransform();
    Painter.fillRect(Event->rect(), G.PaperBrush);
    const double Hs = horizontalScrollBar()->value(), Vs = verticalScrollBar()->value();
    const QTransform Base = QTransform::fromTranslate(-Hs, -Vs);
    Painter.setWorldTransform(Base);
    const Snapper Snap(Painter.deviceTransform());
    const QRectF Exposed = QRectF(Event->rect()).translated(Hs, Vs);
    const auto Fill = [&](int Glyph, double X, double Y, int Colour) {
        G.Stamp(Painter, Device, Glyph, Colour, X - Hs, Y - Vs);
    };
    const auto Rect = [&](double X0, double Y0, double X1, double Y1, const QBrush& Brush) {
        Painter.setWorldTransform(Base);
        Painter.fillRect(Snap.Rect(X0, Y0, X1, Y1), Brush);
    };
    // A tie: two parabolas from X0 to X1 bulging 4.9 and 3.6 pixels (a crescent 1.3 thick in
    // the middle, 0.3 at the ends), as a polygon in a reused buffer.
    const auto DrawTie = [&](double X0, double X1, double Y, double Direction, const QBrush& Brush) {
        constexpr int Steps = 12;
        QPointF* Points = TieBuffer_.data();
        for (int K = 0; K <= Steps; ++K) {
            const double T = static_cast<double>(K) / Steps, Bulge = 4 * T * (1 - T);
            const double X = X0 + (X1 - X0) * T - Hs;
            Points[K] = QPointF(X, Y - Vs + Direction * (0.3 + 4.6 * Bulge));
            Points[2 * Steps + 1 - K] = QPointF(X, Y - Vs + Direction * 3.6 * Bulge);
        }
        Painter.setWorldTransform(QTransform());
        Painter.setBrush(Brush);
        Painter.drawPolygon(Points, 2 * Steps + 2);
    };
    const int Size = static_cast<int>(FirstPiece_.size()) - 1;
    const auto Marked = [&](int Entry) {
        if (Entry == Playing_) return Glyphs::PlayingColour;
        if (Entry == Selection_) return Glyphs::SelectedColour;
        return Glyphs::InkColour;
    };

    // Ledger lines of the highest and lowest keys reach into the next system's room: systems
    // within half a system of the exposed rows are drawn too.
    const int FirstSystem = std::max(
        0, static_cast<int>(std::floor((Exposed.top() - SystemHeight / 2 - TopMargin) / SystemHeight)));
    const int LastSystem =
        std::min(systemCount() - 1,
                 static_cast<int>(std::floor((Exposed.bottom() + SystemHeight / 2 - TopMargin) / SystemHeight)));
    for (int SIndex = FirstSystem; SIndex <= LastSystem; ++SIndex) {
        const System& S = Systems_[static_cast<std::size_t>(SIndex)];
        const double Top = SystemTop(SIndex);
        const double GrandTop = Top + TrebleTop, GrandBottom = Top + BassTop + 4 * Space + 1;

        // The highlights behind the marked entries.
        for (int Entry : {Selection_, Playing_}) {
            if (Entry < 0 || Entry >= Size) continue;
            const QBrush& Light = Entry == Playing_ ? G.PlayingLightBrush : G.SelectedLightBrush;
            for (int I = FirstPiece_[static_cast<std::size_t>(Entry)];
                 I < static_cast<int>(Pieces_.size()) && Pieces_[static_cast<std::size_t>(I)].Entry == Entry; ++I) {
                const Placed& P = Pieces_[static_cast<std::size_t>(I)];
                if (P.System != SIndex) continue;
                Rect(P.Left - 3, GrandTop - 14, P.X + 10, GrandBottom + 14, Light);
            }
        }

        // Staves, system line, brace, clefs, the meter on the first system.
        for (int StaffTop : {TrebleTop, BassTop})
            for (int K = 0; K < 5; ++K) {
                const double Y = Top + StaffTop + K * Space;
                Rect(SystemLineX, Y, S.End, Y + 1, G.InkBrush);
            }
        Rect(SystemLineX, GrandTop, SystemLineX + 1, GrandBottom, G.InkBrush);
        Fill(Glyphs::BraceId, 0, GrandTop, Glyphs::InkColour);
        Fill(Glyphs::TrebleId, TrebleClefX, Top + TrebleTop + 3 * Space + 0.5, Glyphs::InkColour);
        Fill(Glyphs::BassId, BassClefX, Top + BassTop + Space + 0.5, Glyphs::InkColour);
        if (SIndex == 0) Fill(Glyphs::TimeId, 0, Top, Glyphs::InkColour);
        for (int B = S.FirstBar; B < S.EndBar; ++B) {
            const double X = Bars_[static_cast<std::size_t>(B)].X;
            Rect(X, GrandTop, X + 1, GrandBottom, G.InkBrush);
        }

        for (int I = S.FirstPiece; I < S.EndPiece; ++I) {
            const Placed& P = Pieces_[static_cast<std::size_t>(I)];
            if (P.Right + 60 < Exposed.left() || P.Left - 60 > Exposed.right()) continue;
            const int Colour = Marked(P.Entry);
            const QBrush& Brush = Colour == Glyphs::PlayingColour    ? G.PlayingBrush
                                  : Colour == Glyphs::SelectedColour ? G.SelectedBrush
                                                                     : G.InkBrush;
            if (P.Rest) {
                Fill(Glyphs::RestId + P.Duration, P.X, P.Y, Colour);
                continue;
            }
            const double StaffTop = Top + (P.Bass ? BassTop : TrebleTop);
            const int Pos = P.Position;
            // Ledger lines through the head and between it and the staff.
            const double Half = P.Duration == 0 ? 9.5 : 8;
            for (int L = -2; L >= Pos; L -= 2)
                Rect(P.X - Half, StaffTop + L * Space / 2, P.X + Half, StaffTop + L * Space / 2 + 1, G.InkBrush);
            for (int L = 10; L <= Pos; L += 2)
                Rect(P.X - Half, StaffTop + L * Space / 2, P.X + Half, StaffTop + L * Space / 2 + 1, G.InkBrush);
            // Accidentals end 3 columns left of the head.
            switch (P.Sign) {
            case TAccidental::Sharp: Fill(Glyphs::SharpId, P.X - HeadWidth / 2.0 - 3, P.Y, Colour); break;
            case TAccidental::Flat: Fill(Glyphs::FlatId, P.X - HeadWidth / 2.0 - 3, P.Y, Colour); break;
            case TAccidental::Natural: Fill(Glyphs::NaturalId, P.X - HeadWidth / 2.0 - 3, P.Y, Colour); break;
            case TAccidental::None: break;
            }
            Fill(P.Duration == 0 ? Glyphs::WholeId : P.Duration == 1 ? Glyphs::HalfId : Glyphs::BlackId, P.X, P.Y, Colour);
            if (P.Duration > 0) {
                const int Flags = std::max(0, P.Duration - 2);
                const double Middle = StaffTop + 2 * Space + 0.5;
                const double Length = StemLength + std::max(0, Flags - 2) * 0.8 * Space;
                if (P.StemUp) {
                    const double EndY = std::min(P.Y - Length, Middle);
                    Rect(P.X + 4, EndY, P.X + 5, P.Y - 1, Brush);
                    for (int F = 0; F < Flags; ++F) Fill(Glyphs::FlagUpId, P.X + 4, EndY + F * 0.8 * Space, Colour);
                } else {
                    const double EndY = std::max(P.Y + Length, Middle);
                    Rect(P.X - 5, P.Y + 1, P.X - 4, EndY, Brush);
                    for (int F = 0; F < Flags; ++F) Fill(Glyphs::FlagDownId, P.X - 5, EndY - F * 0.8 * Space, Colour);
                }
            }
            // Ties on the side away from the stem: to the next piece, or out to the end of the
            // system and in from the start of the next.
            const bool Above = !P.StemUp;
            const double TieY = P.Y + (Above ? -6 : 6);
            if (P.TieToNext && static_cast<std::size_t>(I) + 1 < Pieces_.size()) {
                const Placed& Q = Pieces_[static_cast<std::size_t>(I) + 1];
                const double X1 = Q.System == SIndex ? Q.X - 6 : S.End - 2;
                DrawTie(P.X + 6, X1, TieY, Above ? -1 : 1, Brush);
            }
            if (P.TieFromPrevious && I > 0 && Pieces_[static_cast<std::size_t>(I) - 1].System != SIndex) {
                const double X0 = S.ContentStart;
                DrawTie(X0, P.X - 6, TieY, Above ? -1 : 1, Brush);
            }
        }

        int CaretSystem = 0;
        const double X = CaretX(EntryPoint_, CaretSystem);
        if (CaretSystem == SIndex)
            Rect(X, GrandTop - 12, X + 1.5, GrandBottom + 12, G.CaretBrush);
    }
}

}  // namespace keymora::pad
