// Glyph tables of the last few fonts a canvas used, and text drawn from them as glyph runs: with
// a table per font, measuring and drawing single-byte text needs neither text layout nor any
// allocation once the font has been seen.
#pragma once

#include <QtGui/QFont>
#include <QtGui/QGlyphRun>
#include <QtGui/QPainter>
#include <QtGui/QRawFont>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/util/lru_cache.h"
#include "keymora/host/canvas.h"

namespace keymora::qt {

/// Pixel size of a font of Points points at 96 dots per inch, rounded as the host does.
int PixelSizeForPoints(int Points);

/// One font resolved for drawing: its cell metrics and, for every byte value (text being
/// single-byte Latin-1), the glyph, its advance and its ink box.
struct GlyphTable {
    std::string Name;
    int Size = 0;
    std::uint8_t StyleBits = 0;
    QFont Font;
    QRawFont Raw;
    int Ascent = 0;
    int Height = 0;
    // Ink box of every glyph, relative to its pen position on the baseline (negative is left and
    // up).
    std::array<std::int16_t, 256> InkLeft{};
    std::array<std::int16_t, 256> InkRight{};
    std::array<std::int16_t, 256> InkTop{};
    std::array<std::int16_t, 256> InkBottom{};
    std::array<quint32, 256> Glyph{};
    std::array<int, 256> Advance{};

    /// The advance of Text: its cell's width.
    int Width(std::string_view Text) const;
    /// Where the ink of Text with its cell's top-left corner at (X, Y) can reach: the cell
    /// (underline and strike-out stay inside it) and every glyph's box, one pixel wider all round
    /// for hinting.
    TRect InkBox(int X, int Y, std::string_view Text) const;
    /// Draws Text with its cell's top-left corner at (X, Y) of P, through Run (kept by the caller
    /// with this table's raw font set, so that a warm run does not allocate).
    void Draw(QPainter& P, QGlyphRun& Run, int X, int Y, std::string_view Text) const;
};

/// The glyph tables of the last few fonts.
class GlyphCache {
  public:
    /// The table of Font, built on first use.
    const GlyphTable& For(const TFont& Font);

  private:
    static constexpr int Slots = 4;
    TLruCache<GlyphTable, Slots> Tables_;
};

}  // namespace keymora::qt
