// Drives a control through any sequence of what a host and an application can do to it, and checks
// the control's promises after every step: properties in range, key states 0, 2 or 3, the layout
// equal to what CalculateWidth gives for the current size, events sent by the control itself, and a
// canvas handed back without clip or shift after a paint pass.
//
// A paint step paints what the control asked to have repainted since the last one, through a
// clipping canvas, as a host's paint event does; when nothing was asked for, no pixel can have
// changed and nothing is painted. Whole-control passes at every step made this fuzzer ten times
// slower without reaching more code.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "keymora/headless/headless_window.h"
#include "keymora/headless/recording_canvas.h"
#include "keymora/model/keymora.h"
#include "promise.h"

using namespace keymora;

namespace {

using fuzz::Broken;
using fuzz::Check;

struct Session {
    std::unique_ptr<TKeymora> Control;
    std::unique_ptr<THeadlessWindow> Window;
    THeadlessForm Form;
    bool LayoutComputed = false;
    // What the control asked to have repainted since the last paint step, in client coordinates.
    TRect Dirty{};
    bool AllDirty = true;

    void Repaint(const TRect& R) {
        if (R.Left >= R.Right || R.Top >= R.Bottom) return;
        if (Dirty.Left >= Dirty.Right || Dirty.Top >= Dirty.Bottom) {
            Dirty = R;
            return;
        }
        Dirty = {std::min(Dirty.Left, R.Left), std::min(Dirty.Top, R.Top),
                 std::max(Dirty.Right, R.Right), std::max(Dirty.Bottom, R.Bottom)};
    }

    // True from Create until the next step: a control no step has touched yet is as new as the one
    // another Create would make in its place.
    bool Fresh = false;

    void Create() {
        Fresh = true;
        Window.reset();
        Control = std::make_unique<TKeymora>();
        LayoutComputed = false;
        TKeymora* Self = Control.get();
        auto Sender = [Self](TObject* S) { Check(S == Self, "event sender is the control"); };
        Control->OnKeyClick = [Sender](TObject* S, int, int, int) { Sender(S); };
        Control->OnTrackMouse = [Sender](TObject* S, bool) { Sender(S); };
        Control->OnOffsetChanged = [Sender](TObject* S) { Sender(S); };
        Control->OnDurationChanged = [Sender](TObject* S) { Sender(S); };
        Control->OnMaxChanged = [Sender](TObject* S) { Sender(S); };
        Control->OnMouseDown = [Sender](TObject* S, TMouseButton, TShiftState, int, int) {
            Sender(S);
        };
        Control->OnKeyDown = [Sender](TObject* S, std::uint16_t&, TShiftState) { Sender(S); };
    }

    void MakeWindow() {
        if (!Control->Parent()) Control->SetParent(&Form);
        if (!Window) {
            Window = std::make_unique<THeadlessWindow>(*Control);
            Window->Keep = false;
            Window->OnRecord = [this](const THostRecord& R) {
                if (R.Kind == THostRecord::TKind::InvalidateAll) AllDirty = true;
                if (R.Kind == THostRecord::TKind::InvalidateRect) Repaint(R.Rect);
            };
            AllDirty = true;
        }
    }
};

int AnyCoordinate(FuzzedDataProvider& In) {
    static constexpr int Special[] = {0, 1, -1, 2, 15, 16, 17, 100, 600, -100, 32767, -32768,
                                      INT_MAX, INT_MIN};
    if (In.ConsumeBool()) return Special[In.ConsumeIntegralInRange<std::size_t>(0, 13)];
    return In.ConsumeIntegral<std::int16_t>();
}

int AnyValue(FuzzedDataProvider& In) {
    static constexpr int Special[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 30, INT_MAX, INT_MIN};
    if (In.ConsumeBool()) return Special[In.ConsumeIntegralInRange<std::size_t>(0, 14)];
    return In.ConsumeIntegral<int>();
}

TShiftState AnyShift(FuzzedDataProvider& In) { return TShiftState::FromBits(In.ConsumeIntegral<std::uint8_t>() & 0x7F); }

void SetAny(TKeymora& K, FuzzedDataProvider& In) {
    const int V = AnyValue(In);
    switch (In.ConsumeIntegralInRange(0, 15)) {
        case 0: K.SetOrientation(static_cast<TKeyboardOrientation>(V & 1)); break;
        case 1: K.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(V & 0x0F))); break;
        case 2: K.SetSettingWidth(V); break;
        case 3: K.SetDurationWidth(V); break;
        case 4: K.SetDurationPosition(V); break;
        case 5: K.SetOctave(V); break;
        case 6: K.SetAutoTone(static_cast<TAutoTone>(V & 3)); break;
        case 7: K.SetOffsetOctave(V); break;
        case 8: K.SetOutDuration(V); break;
        case 9: K.SetOutOctave(V); break;
        case 10: K.SetKeys(In.ConsumeRandomLengthString(12)); break;
        case 11: K.SetDurationCount(V); break;
        case 12: K.SetMouseTrack(V & 1); break;
        case 13: K.SetOffsetDuration(V); break;
        case 14: K.SetCtrlMove(V & 1); break;
        default: K.SetShowHint(V & 1); break;
    }
}

// The checks run after every step, so they are left out of the coverage instrumentation: their
// edges and comparisons tell the fuzzer nothing about the control and cost more than most steps.
// UBSan's checks stay (this fuzzer is built without the vptr check: see fuzz/CMakeLists.txt), every
// accessor read is still checked by ASan, and any broken promise still aborts.
#define KEYMORA_UNTRACED __attribute__((no_sanitize("coverage")))

// Whether every state is 0, 2 or 3, eight at a time. A byte passes when no bit above the lowest two
// is set and it is not 1 (low bit set, next bit clear).
KEYMORA_UNTRACED inline std::uint64_t BadStates(std::uint64_t W) {
    constexpr std::uint64_t High = 0xFCFCFCFCFCFCFCFCull, Low = 0x0101010101010101ull;
    return (W & High) | (W & ~(W >> 1) & Low);
}

// The words are read in place, each an 8-byte load with ASan's inline check, and the last keys as
// one shorter load padded with idle states; a copy of the whole array went through __asan_memcpy
// and its range check, twice a step.
KEYMORA_UNTRACED bool StatesValid(const TKeyStateArray& States) {
    constexpr std::size_t Full = WhiteKeyCount / 8 * 8;
    std::uint64_t Bad = 0;
    for (std::size_t I = 0; I < Full; I += 8) {
        std::uint64_t W;
        std::memcpy(&W, States.data() + I, 8);
        Bad |= BadStates(W);
    }
    std::uint64_t Tail = 0;
    std::memcpy(&Tail, States.data() + Full, WhiteKeyCount - Full);
    return (Bad | BadStates(Tail)) == 0;
}

KEYMORA_UNTRACED void CheckPromises(const Session& S) {
    const TKeymora& K = *S.Control;
    Check(K.Octave() >= 1 && K.Octave() <= 9, "Octave in 1..9");
    Check(K.MaxOffsetOttave() >= 1 && K.MaxOffsetOttave() <= 8, "MaxOffsetOttave in 1..8");
    Check(K.OffsetOctave() >= 0 && K.OffsetOctave() <= K.MaxOffsetOttave(), "OffsetOctave in range");
    Check(K.MaxDuration() >= 2 && K.MaxDuration() <= 8, "MaxDuration in 2..8");
    Check(K.MaxOffsetDuration() >= 1 && K.MaxOffsetDuration() < K.MaxDuration(),
          "MaxOffsetDuration below MaxDuration");
    Check(K.OffsetDuration() >= 0 && K.OffsetDuration() <= K.MaxOffsetDuration(),
          "OffsetDuration in range");
    Check(K.DurationPosition() >= 0 && K.DurationPosition() < K.MaxDuration(),
          "DurationPosition in range");
    Check(K.SettingWidth() >= 10 && K.SettingWidth() <= 32767, "SettingWidth in range");
    Check(StatesValid(K.KeyStates()), "white key state 0, 2 or 3");
    Check(StatesValid(K.ToneStates()), "black key state 0, 2 or 3");
    if (!S.LayoutComputed || K.ComponentState().Contains(csLoading)) return;
    // The layout, worked out again from the current size.
    const bool Scroll = K.Style().Contains(msScrollOctave);
    const int Count = Scroll ? std::min(63 - 7 * K.MaxOffsetOttave(), 52) : 52;
    const int Zones = Scroll ? 2 * K.ScrollButtonWidth() : 0;
    const int Extent = K.Orientation() == koHorizontal ? K.Width() : K.Height();
    const int Real = ((Extent - K.SettingWidth() - Zones) / Count) * Count + 1 + K.SettingWidth() + Zones;
    Check(K.VisibleKeyCount() == Count, "VisibleKeyCount matches the size");
    Check(K.RealWidth() == Real, "RealWidth matches the size");
    Check(K.KeyWidth() == (Real - K.SettingWidth() - Zones) / Count, "KeyWidth matches the size");
}

}  // namespace

// The word-wise state check against the rule it stands for: every value of one byte, at every
// place and next to every kind of neighbour, before the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (std::size_t Place = 0; Place < WhiteKeyCount; ++Place)
        for (const std::uint8_t Beside : {ksIdle, ksPressed, ksSelected})
            for (int Value = 0; Value < 256; ++Value) {
                TKeyStateArray States;
                States.fill(Beside);
                States[Place] = static_cast<std::uint8_t>(Value);
                const bool Valid = Value == ksIdle || Value == ksPressed || Value == ksSelected;
                Check(StatesValid(States) == Valid, "the key state check agrees with 0, 2 or 3");
            }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider In(Data, Size);
    Session S;
    S.Create();
    // One canvas for the whole input; it stands for a clipped device, as a window's is.
    static TRecordingCanvas Canvas;
    Canvas.Keep = false;
    Canvas.Clipping = true;
    int PaintedWidth = -1, PaintedHeight = -1;
    while (In.remaining_bytes() > 0) {
        TKeymora& K = *S.Control;
        const int Step = In.ConsumeIntegralInRange(0, 19);
        // A run of step 0 (a run of zero bytes, common in mutated inputs) makes one control, not
        // one per byte: making controls was a fifth of this fuzzer's time.
        if (Step == 0 && S.Fresh) continue;
        S.Fresh = false;
        switch (Step) {
            case 0: S.Create(); break;
            case 1: K.SetParent(In.ConsumeBool() ? &S.Form : nullptr); break;
            case 2: S.MakeWindow(); break;
            case 3: {
                const int L = AnyCoordinate(In), T = AnyCoordinate(In);
                const int W = AnyCoordinate(In), H = AnyCoordinate(In);
                K.SetBounds(L, T, W, H);
                if (!K.ComponentState().Contains(csLoading)) S.LayoutComputed = true;
                break;
            }
            case 4: K.BeginLoading(); break;
            case 5:
                if (K.ComponentState().Contains(csLoading)) {
                    K.Loaded();
                    S.LayoutComputed = true;
                }
                break;
            case 6: {
                SetAny(K, In);
                break;
            }
            case 7: {
                const auto O = In.ConsumeIntegral<std::uint8_t>();
                const auto N = In.ConsumeIntegral<std::uint8_t>();
                const auto T = In.ConsumeIntegral<std::uint8_t>();
                switch (In.ConsumeIntegralInRange(0, 2)) {
                    case 0: K.SelectNote(O, N, T); break;
                    case 1: K.ReleaseNote(O, N, T); break;
                    default: K.ReleaseSelected(); break;
                }
                break;
            }
            case 8:
                K.MouseDown(static_cast<TMouseButton>(In.ConsumeIntegralInRange(0, 2)), AnyShift(In),
                            AnyCoordinate(In), AnyCoordinate(In));
                break;
            case 9: K.MouseMove(AnyShift(In), AnyCoordinate(In), AnyCoordinate(In)); break;
            case 10:
                K.MouseUp(static_cast<TMouseButton>(In.ConsumeIntegralInRange(0, 2)), AnyShift(In),
                          AnyCoordinate(In), AnyCoordinate(In));
                break;
            case 11: {
                std::uint16_t Key = In.ConsumeIntegral<std::uint16_t>();
                const std::uint16_t Sent = Key;
                K.KeyDown(Key, AnyShift(In));
                Check(Key == Sent, "key code left unaltered");
                break;
            }
            case 12: {
                std::uint16_t Key = In.ConsumeIntegral<std::uint16_t>();
                const std::uint16_t Sent = Key;
                K.KeyUp(Key, AnyShift(In));
                Check(Key == Sent, "key code left unaltered");
                break;
            }
            case 13:
                if (S.Window) {
                    if (In.ConsumeBool())
                        S.Window->GiveFocus();
                    else
                        S.Window->TakeFocus();
                }
                break;
            case 14:
                if (S.Window) {
                    // A new client size is a new device: all of it is painted.
                    if (K.ClientWidth() != PaintedWidth || K.ClientHeight() != PaintedHeight)
                        S.AllDirty = true;
                    PaintedWidth = K.ClientWidth();
                    PaintedHeight = K.ClientHeight();
                    const bool Partial = !S.AllDirty;
                    if (Partial && (S.Dirty.Left >= S.Dirty.Right || S.Dirty.Top >= S.Dirty.Bottom))
                        break;  // nothing asked for: no pixel can have changed
                    Canvas.SetSize(K.ClientWidth(), K.ClientHeight());
                    if (Partial) Canvas.IntersectClipRect(S.Dirty);
                    const TRect Clip = Canvas.DeviceClip();
                    K.PaintTo(Canvas);
                    Check(Canvas.Origin() == TPoint{}, "canvas handed back without shift");
                    Check(Canvas.DeviceClip() == Clip, "canvas handed back without clip");
                    S.AllDirty = false;
                    S.Dirty = {};
                }
                break;
            case 15:
                if (S.Window) {
                    S.Window->Themes = !S.Window->Themes;
                    S.AllDirty = true;  // a host repaints all of a window whose theme changes
                }
                break;
            case 16: {
                TMessage Msg{In.ConsumeBool() ? wm::WM_GETDLGCODE : wm::WM_ERASEBKGND, 0, 0, 0};
                K.Dispatch(Msg);
                break;
            }
            case 17: {
                const int I = AnyValue(In);
                (void)K.GetKeyRect(I);
                (void)K.GetToneRect(I);
                (void)K.GetPoint(In.ConsumeIntegral<std::uint8_t>(), In.ConsumeIntegral<std::uint8_t>(),
                                 In.ConsumeIntegral<std::uint8_t>(), In.ConsumeIntegral<std::uint8_t>());
                (void)K.GetRealWidth();
                K.InvalidateOctave();
                K.InvalidateSetting();
                break;
            }
            case 18: {
                char C = static_cast<char>(In.ConsumeIntegral<std::uint8_t>());
                K.KeyPress(C);
                break;
            }
            default:
                K.CalculateWidth();
                S.LayoutComputed = true;
                break;
        }
        CheckPromises(S);
    }
    return 0;
}
