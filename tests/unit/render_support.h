// Painting a control on a headless window into a recording canvas, with every drawing call
// written as one short line ("fill L T R B $brush", "line X Y $pen", "text X Y T Arial 8 $colour",
// "element NAME L T R B" ...) so that tests compare whole sequences of the pass against lines
// worked out by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/headless/recording_canvas.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora::test::paint {

inline std::string Hex(TColor C) {
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "$%08X", static_cast<unsigned>(C));
    return Buf;
}

inline const char* ElementName(TThemedElement E) {
    static const char* const Names[] = {"tbPushButtonNormal",    "tbPushButtonPressed",
                                        "tsArrowBtnUpNormal",    "tsArrowBtnUpPressed",
                                        "tsArrowBtnDownNormal",  "tsArrowBtnDownPressed",
                                        "tsArrowBtnLeftNormal",  "tsArrowBtnLeftPressed",
                                        "tsArrowBtnRightNormal", "tsArrowBtnRightPressed"};
    return Names[static_cast<int>(E)];
}

inline std::string RectText(const TRect& R) {
    return std::to_string(R.Left) + " " + std::to_string(R.Top) + " " + std::to_string(R.Right) +
           " " + std::to_string(R.Bottom);
}

inline std::string PointsText(const std::vector<TPoint>& Points) {
    std::string S;
    for (const TPoint& P : Points) S += std::to_string(P.X) + "," + std::to_string(P.Y) + " ";
    return S;
}

inline std::string Describe(const TCanvasCall& C) {
    switch (C.Op) {
        case TCanvasOp::FillRect:
            return "fill " + RectText(C.Rect) + " " + Hex(C.Brush.Color) +
                   (C.Brush.Style == bsClear ? " clear" : "");
        case TCanvasOp::Polygon:
            return "polygon " + PointsText(C.Points) + Hex(C.Pen.Color) + " " + Hex(C.Brush.Color);
        case TCanvasOp::Polyline:
            return "polyline " + PointsText(C.Points) + Hex(C.Pen.Color);
        case TCanvasOp::MoveTo:
            return "move " + std::to_string(C.Points[0].X) + " " + std::to_string(C.Points[0].Y) +
                   " " + Hex(C.Pen.Color);
        case TCanvasOp::LineTo:
            return "line " + std::to_string(C.Points[0].X) + " " + std::to_string(C.Points[0].Y) +
                   " " + Hex(C.Pen.Color);
        case TCanvasOp::TextOut:
            return "text " + std::to_string(C.Points[0].X) + " " + std::to_string(C.Points[0].Y) +
                   " " + C.Text + " " + C.Font.Name + " " + std::to_string(C.Font.Size) + " " +
                   Hex(C.Font.Color) + (C.Brush.Style == bsClear ? "" : " opaque");
        case TCanvasOp::IntersectClipRect:
            return "clip " + RectText(C.Rect);
        case TCanvasOp::SetViewportOrg:
            return "origin " + std::to_string(C.Points[0].X) + " " + std::to_string(C.Points[0].Y);
        case TCanvasOp::SaveDC:
            return "save";
        case TCanvasOp::RestoreDC:
            return "restore";
        case TCanvasOp::DrawElement:
            return std::string("element ") + ElementName(C.Element) + " " + RectText(C.Rect);
        case TCanvasOp::DrawFrameControl: {
            char Buf[16];
            std::snprintf(Buf, sizeof Buf, "$%04X", C.State);
            return "frame " + RectText(C.Rect) + " " + std::to_string(C.Type) + " " + Buf;
        }
    }
    return "?";
}

inline std::vector<std::string> Describe(const std::vector<TCanvasCall>& Calls) {
    std::vector<std::string> Lines;
    for (const TCanvasCall& C : Calls) Lines.push_back(Describe(C));
    return Lines;
}

/// Count lines from the first one equal to Anchor (empty when Anchor never occurs).
inline std::vector<std::string> From(const std::vector<std::string>& Lines,
                                     const std::string& Anchor, std::size_t Count) {
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (Lines[I] != Anchor) continue;
        const std::size_t End = std::min(Lines.size(), I + Count);
        return {Lines.begin() + static_cast<std::ptrdiff_t>(I),
                Lines.begin() + static_cast<std::ptrdiff_t>(End)};
    }
    return {};
}

/// The lines whose text starts with Prefix, in order.
inline std::vector<std::string> Starting(const std::vector<std::string>& Lines,
                                         const std::string& Prefix) {
    std::vector<std::string> R;
    for (const std::string& L : Lines)
        if (L.rfind(Prefix, 0) == 0) R.push_back(L);
    return R;
}

/// A control on a form with a headless window, sized and styled before the first paint.
struct Painter {
    TKeymora Control;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;
    TRecordingCanvas Canvas;

    Painter(int Width, int Height, std::uint8_t StyleBits,
            TKeyboardOrientation Orientation = koHorizontal) {
        Control.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(Control);
        Control.SetOrientation(Orientation);
        Control.SetStyle(TMusicStyles::FromBits(StyleBits));
        Control.SetBounds(0, 0, Width, Height);
        Canvas.SetSize(Width, Height);
    }

    /// Presses the mouse at (X, Y), as a user would to hold a key or a button down.
    void Press(int X, int Y) { Control.MouseDown(mbLeft, TShiftState{ssLeft}, X, Y); }

    /// One full pass; the calls it made.
    const std::vector<TCanvasCall>& PaintCalls() {
        Canvas.Calls.clear();
        Control.PaintTo(Canvas);
        return Canvas.Calls;
    }
    std::vector<std::string> Paint() { return Describe(PaintCalls()); }
};

// Style bits.
constexpr std::uint8_t Marks = 1, Colors = 2, ScrollDur = 4, ScrollOct = 8;

}  // namespace keymora::test::paint
