/// \file
/// The drawing surface of the host layer: pen, brush and font objects and the abstract canvas with
/// the conventions of desktop GDI drawing (half-open filled rectangles, the last point of a line
/// left out, one-pixel solid pen), plus the themed and classic button faces a canvas can draw.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "keymora/host/types.h"

namespace keymora {

/// How the brush fills: solid in its colour, or clear (nothing filled; text without a
/// background).
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };
///@{
/// Shorthands for the TBrushStyle values.
constexpr TBrushStyle bsSolid = TBrushStyle::bsSolid;
constexpr TBrushStyle bsClear = TBrushStyle::bsClear;
///@}

/// The pen: always one pixel wide and solid; only its colour changes.
struct TPen {
    /// The colour of lines and outlines.
    TColor Color = clBlack;
};

/// The brush. Setting a colour makes the brush solid, as the host's brush object does.
struct TBrush {
    /// The fill colour while Style is bsSolid.
    TColor Color = clWhite;
    /// Solid or clear.
    TBrushStyle Style = bsSolid;
    /// Sets the colour and makes the brush solid.
    void SetColor(TColor C) {
        Color = C;
        Style = bsSolid;
    }
};

/// Font style attributes.
enum class TFontStyleItem : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
/// Font style attributes, as a set.
using TFontStyles = TSet<TFontStyleItem>;
///@{
/// Shorthands for the TFontStyleItem values.
constexpr TFontStyleItem fsBold = TFontStyleItem::fsBold;
constexpr TFontStyleItem fsItalic = TFontStyleItem::fsItalic;
constexpr TFontStyleItem fsUnderline = TFontStyleItem::fsUnderline;
constexpr TFontStyleItem fsStrikeOut = TFontStyleItem::fsStrikeOut;
///@}

/// The character set of a new font: the system's default.
constexpr std::uint8_t DEFAULT_CHARSET = 1;

/// A font description; sizes are in points at 96 dots per inch.
struct TFont {
    /// The face name.
    std::string Name = "Tahoma";
    /// The size in points.
    int Size = 8;
    /// The text colour.
    TColor Color = clWindowText;
    /// Bold, italic, underline, strike-out.
    TFontStyles Style;
    /// The character set, 0..255; kept and saved, not used for drawing.
    std::uint8_t Charset = DEFAULT_CHARSET;
    /// Takes every attribute of Source.
    void Assign(const TFont& Source) { *this = Source; }
    /// Equal when every attribute is.
    friend bool operator==(const TFont& A, const TFont& B) {
        return A.Name == B.Name && A.Size == B.Size && A.Color == B.Color && A.Style == B.Style &&
               A.Charset == B.Charset;
    }
    /// Unequal when any attribute differs.
    friend bool operator!=(const TFont& A, const TFont& B) { return !(A == B); }
};

/// Visual-style elements a canvas can draw through the platform's theme services.
enum class TThemedElement : std::uint8_t {
    tbPushButtonNormal,
    tbPushButtonPressed,
    tsArrowBtnUpNormal,
    tsArrowBtnUpPressed,
    tsArrowBtnDownNormal,
    tsArrowBtnDownPressed,
    tsArrowBtnLeftNormal,
    tsArrowBtnLeftPressed,
    tsArrowBtnRightNormal,
    tsArrowBtnRightPressed,
};

///@{
/// Classic frame-control kinds for DrawFrameControl's Type: a scroll-bar arrow (DFC_SCROLL) or
/// a push button (DFC_BUTTON).
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
///@}

///@{
/// Classic frame-control states for DrawFrameControl's State: the arrow's direction
/// (DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT) or DFCS_BUTTONPUSH, with
/// DFCS_PUSHED and DFCS_FLAT or-ed in for a pressed face.
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_FLAT = 0x4000;
///@}

/// An integer-pixel drawing surface in client coordinates. Implementations keep the GDI
/// conventions: FillRect covers [Left, Right) x [Top, Bottom) with the brush; LineTo and Polyline
/// leave out the last point; Polygon fills with the brush and outlines with the pen; TextOut
/// draws at the top-left corner of the text cell, over a brush-coloured background unless the
/// brush is clear. Coordinates pass through the viewport origin and are clipped to the
/// intersection of every IntersectClipRect since the last RestoreDC.
class TCanvas {
public:
    virtual ~TCanvas() = default;

    /// The pen lines and outlines are drawn with.
    TPen Pen;
    /// The brush fills and text backgrounds are drawn with.
    TBrush Brush;
    /// The font of TextOut, TextWidth and TextHeight.
    TFont Font;

    /// Fills [Left, Right) x [Top, Bottom) of R with the brush (nothing while it is clear).
    virtual void FillRect(const TRect& R) = 0;
    /// Fills the polygon through Count points with the brush and outlines it with the pen.
    virtual void Polygon(const TPoint* Points, int Count) = 0;
    /// Draws lines through Count points with the pen, leaving out the last point.
    virtual void Polyline(const TPoint* Points, int Count) = 0;
    /// Moves the pen position to (X, Y) without drawing.
    virtual void MoveTo(int X, int Y) = 0;
    /// Draws a line from the pen position to (X, Y), leaving out (X, Y), and moves the pen there.
    virtual void LineTo(int X, int Y) = 0;
    /// Draws Text in the font with its text cell's top-left corner at (X, Y), over a background
    /// in the brush colour unless the brush is clear.
    virtual void TextOut(int X, int Y, std::string_view Text) = 0;
    /// The width of Text in the font, in pixels.
    virtual int TextWidth(std::string_view Text) = 0;
    /// The height of a line of Text in the font, in pixels.
    virtual int TextHeight(std::string_view Text) = 0;

    /// Narrows the clip region to R, given in logical (unshifted) coordinates.
    virtual void IntersectClipRect(const TRect& R) = 0;
    /// Moves the logical origin: logical (0, 0) is drawn at device (X, Y).
    virtual void SetViewportOrg(int X, int Y) = 0;
    /// Bounds of the current clip region in logical coordinates.
    virtual TRect ClipRect() const = 0;
    /// Bounds, in logical coordinates, of what drawing can still change: the clip box of a
    /// canvas that discards what falls outside its clip, unbounded for one that keeps every call
    /// whatever its clip. A paint pass may leave out whatever lies wholly outside it.
    virtual TRect ClipBox() const = 0;
    /// Saves clip and origin; RestoreDC brings back the last saved pair.
    virtual void SaveDC() = 0;
    /// Brings back the clip and origin of the last SaveDC.
    virtual void RestoreDC() = 0;

    /// Draws a visual-style element into R (no clip rectangle of its own).
    virtual void DrawElement(TThemedElement Element, const TRect& R) = 0;
    /// Draws a classic frame control (DFC_* kind, DFCS_* state) on R.
    virtual void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) = 0;

    /// Polygon through every point of an array.
    template <std::size_t N>
    void Polygon(const TPoint (&Points)[N]) {
        Polygon(Points, static_cast<int>(N));
    }
    /// Polyline through every point of an array.
    template <std::size_t N>
    void Polyline(const TPoint (&Points)[N]) {
        Polyline(Points, static_cast<int>(N));
    }
};

}  // namespace keymora
