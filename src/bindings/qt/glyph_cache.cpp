// Building glyph tables from Qt fonts, and text from a table as glyph runs (see glyph_cache.h).
#include "bindings/qt/glyph_cache.h"

#include <QtGui/QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace keymora::qt {

namespace {

constexpr int TextChunk = 128;  // glyphs sent to Qt per glyph run

void Build(GlyphTable& E, const TFont& Font) {
    // "Arial" and other family names go through fontconfig as they stand, so metric aliases
    // (Arial -> Liberation Sans) apply. Glyphs are bitmaps (no antialiasing), hinted fully and
    // not kerned, as the host's text is.
    E = GlyphTable{};
    E.Name = Font.Name;
    E.Size = Font.Size;
    E.StyleBits = Font.Style.Bits();
    QFont Q;
    if (!Font.Name.empty()) Q.setFamily(QString::fromStdString(Font.Name));
    Q.setPixelSize(PixelSizeForPoints(Font.Size));
    Q.setBold(Font.Style.Contains(fsBold));
    Q.setItalic(Font.Style.Contains(fsItalic));
    Q.setUnderline(Font.Style.Contains(fsUnderline));
    Q.setStrikeOut(Font.Style.Contains(fsStrikeOut));
    Q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    Q.setHintingPreference(QFont::PreferFullHinting);
    Q.setKerning(false);
    E.Font = Q;
    E.Raw = QRawFont::fromFont(Q);
    const QFontMetrics Metrics(Q);
    E.Ascent = Metrics.ascent();
    E.Height = Metrics.ascent() + Metrics.descent();
    std::array<QChar, 256> Chars;
    for (int I = 0; I < 256; ++I)
        Chars[static_cast<std::size_t>(I)] = QChar(static_cast<char16_t>(I));
    std::array<QPointF, 256> Advances;
    int N = 256;
    if (E.Raw.isValid() && E.Raw.glyphIndexesForChars(Chars.data(), 256, E.Glyph.data(), &N)) {
        E.Raw.advancesForGlyphIndexes(E.Glyph.data(), Advances.data(), 256,
                                      QRawFont::SeparateAdvances);
        for (std::size_t I = 0; I < 256; ++I) {
            E.Advance[I] = qRound(Advances[I].x());
            const QRectF Box = E.Raw.boundingRect(E.Glyph[I]);
            E.InkLeft[I] = static_cast<std::int16_t>(std::floor(Box.left()));
            E.InkRight[I] = static_cast<std::int16_t>(std::ceil(Box.right()));
            E.InkTop[I] = static_cast<std::int16_t>(std::floor(Box.top()));
            E.InkBottom[I] = static_cast<std::int16_t>(std::ceil(Box.bottom()));
        }
    } else {
        for (std::size_t I = 0; I < 256; ++I) E.Advance[I] = Metrics.horizontalAdvance(Chars[I]);
    }
}

}  // namespace

int PixelSizeForPoints(int Points) {
    // MulDiv(Points, 96, 72): rounded to nearest, halves away from zero.
    const int Magnitude = (std::abs(Points) * 96 + 36) / 72;
    return std::max(1, Magnitude);
}

int GlyphTable::Width(std::string_view Text) const {
    int W = 0;
    for (char C : Text) W += Advance[static_cast<unsigned char>(C)];
    return W;
}

TRect GlyphTable::InkBox(int X, int Y, std::string_view Text) const {
    TRect Ink{X, Y, X, Y + Height};
    int Pen = X;
    for (char Ch : Text) {
        const auto C = static_cast<unsigned char>(Ch);
        Ink.Left = std::min(Ink.Left, Pen + InkLeft[C]);
        Ink.Right = std::max(Ink.Right, Pen + std::max<int>(Advance[C], InkRight[C]));
        Ink.Top = std::min(Ink.Top, Y + Ascent + InkTop[C]);
        Ink.Bottom = std::max(Ink.Bottom, Y + Ascent + InkBottom[C]);
        Pen += Advance[C];
    }
    return {Ink.Left - 1, Ink.Top - 1, Ink.Right + 1, Ink.Bottom + 1};
}

void GlyphTable::Draw(QPainter& P, QGlyphRun& Run, int X, int Y, std::string_view Text) const {
    std::array<quint32, TextChunk> Glyphs;
    std::array<QPointF, TextChunk> Positions;
    std::size_t Done = 0;
    int PenX = X;
    while (Done < Text.size()) {
        const std::size_t N = std::min<std::size_t>(TextChunk, Text.size() - Done);
        int Offset = 0;
        for (std::size_t I = 0; I < N; ++I) {
            const auto C = static_cast<unsigned char>(Text[Done + I]);
            Glyphs[I] = Glyph[C];
            Positions[I] = QPointF(Offset, 0);
            Offset += Advance[C];
        }
        Run.setRawData(Glyphs.data(), Positions.data(), static_cast<int>(N));
        P.drawGlyphRun(QPointF(PenX, Y + Ascent), Run);
        PenX += Offset;
        Done += N;
    }
}

const GlyphTable& GlyphCache::For(const TFont& Font) {
    const std::uint8_t Bits = Font.Style.Bits();
    return Tables_.Get(
        [&](const GlyphTable& E) {
            return E.Size == Font.Size && E.StyleBits == Bits && E.Name == Font.Name;
        },
        [&](GlyphTable& E) { Build(E, Font); });
}

}  // namespace keymora::qt
