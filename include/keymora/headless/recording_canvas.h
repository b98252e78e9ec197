/// \file
/// A canvas that draws nothing and logs every call with the pen, brush and font in force, for
/// tests that check the exact drawing of a pass and for measuring the pass's own cost. Text is
/// measured with fixed metrics: every character is (Size - 2) pixels wide, a line 2 * Size - 2
/// pixels high (at least 1 each).
#pragma once

#include <string>
#include <vector>

#include "keymora/host/canvas.h"

namespace keymora {

/// Which TCanvas call a TCanvasCall logs: one value for each drawing, clip, origin, save,
/// restore and face call (TextWidth, TextHeight, ClipRect and ClipBox are not logged).
enum class TCanvasOp : std::uint8_t {
    FillRect,
    Polygon,
    Polyline,
    MoveTo,
    LineTo,
    TextOut,
    IntersectClipRect,
    SetViewportOrg,
    SaveDC,
    RestoreDC,
    DrawElement,
    DrawFrameControl,
};

/// One logged call. Rect holds FillRect's, IntersectClipRect's and the faces' rectangles;
/// Points the polygon or polyline, or the single point of MoveTo, LineTo, TextOut and
/// SetViewportOrg.
struct TCanvasCall {
    /// The call.
    TCanvasOp Op = TCanvasOp::FillRect;
    /// FillRect, IntersectClipRect, DrawElement, DrawFrameControl: the rectangle.
    TRect Rect;
    /// Polygon, Polyline: the points; MoveTo, LineTo, TextOut, SetViewportOrg: the one point.
    std::vector<TPoint> Points;
    /// TextOut: the text.
    std::string Text;
    /// DrawElement: the element.
    TThemedElement Element = TThemedElement::tbPushButtonNormal;
    /// DrawFrameControl: the DFC_ kind.
    unsigned Type = 0;
    /// DrawFrameControl: the DFCS_ state.
    unsigned State = 0;
    /// The canvas's pen when the call was made.
    TPen Pen;
    /// The canvas's brush when the call was made.
    TBrush Brush;
    /// The canvas's font when the call was made.
    TFont Font;
};

/// A canvas that draws nothing and logs every call in Calls; text is measured with fixed
/// metrics (a character is Font.Size - 2 pixels wide, a line 2 * Font.Size - 2 high, at least 1).
class TRecordingCanvas : public TCanvas {
public:
    void FillRect(const TRect& R) override;
    void Polygon(const TPoint* Points, int Count) override;
    void Polyline(const TPoint* Points, int Count) override;
    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void TextOut(int X, int Y, std::string_view Text) override;
    int TextWidth(std::string_view Text) override;
    int TextHeight(std::string_view Text) override;
    void IntersectClipRect(const TRect& R) override;
    void SetViewportOrg(int X, int Y) override;
    TRect ClipRect() const override;
    /// Unbounded unless Clipping is set: a log keeps every call of a pass.
    TRect ClipBox() const override;
    void SaveDC() override;
    void RestoreDC() override;
    void DrawElement(TThemedElement Element, const TRect& R) override;
    void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) override;

    using TCanvas::Polygon;
    using TCanvas::Polyline;

    /// The size of the surface: the clip region starts as (0, 0, Width, Height).
    void SetSize(int Width, int Height);
    /// Current origin and clip (device coordinates).
    TPoint Origin() const { return Origin_; }
    /// The current clip in device coordinates.
    TRect DeviceClip() const { return Clip_; }

    /// Every logged call in order, while Keep is true.
    std::vector<TCanvasCall> Calls;
    /// When false, calls are only counted: nothing is copied, so a pass costs what its drawing
    /// code costs.
    bool Keep = true;
    /// When true the canvas stands for a clipped device: ClipBox reports the clip, so a pass
    /// leaves out what lies outside it and the log holds what such a device would be sent.
    bool Clipping = false;
    /// The number of calls made, kept or not.
    long long CallCount = 0;

private:
    TCanvasCall* Add(TCanvasOp Op);
    TPoint Origin_;
    TRect Clip_{0, 0, 1 << 20, 1 << 20};
    struct TSaved {
        TPoint Origin;
        TRect Clip;
    };
    std::vector<TSaved> Saved_;
};

}  // namespace keymora
