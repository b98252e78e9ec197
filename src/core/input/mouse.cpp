// Mouse press and release: a press shows the hit button or key as pressed, picks a duration cell
// and makes the pressed key's octave current; the release runs the pending button action and
// reports every pressed key through OnKeyClick.
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora {

void TKeymora::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!Focused()) SetFocus();
    const TLayout L = Layout();
    const THit Hit = L.HitTest(X, Y);
    switch (Hit.Region) {
        case THitRegion::None:
            break;
        case THitRegion::ZoneButton:
            ZoneButtonFlag(Hit.Button) = true;
            InvalidateRect(L.ZoneButton(Hit.Button));
            break;
        case THitRegion::DurationUp:
            FDurationUpPressed = true;
            InvalidateRect(L.DurationButtons());
            break;
        case THitRegion::DurationDown:
            FDurationDownPressed = true;
            InvalidateRect(L.DurationButtons());
            break;
        case THitRegion::DurationCell:
            SetDurationPosition(FOffsetDuration + Hit.Cell);
            break;
        case THitRegion::Key: {
            const int P = Hit.WhiteKey;
            if (Hit.InBlackZone) {
                if (Hit.BlackKey >= 0) SetToneState(Hit.BlackKey, ksPressed);
                // A black key already held (from the PC keyboard, say) takes a press in the
                // black-key zone over its white key even where the test named no black key.
                const int Tone = Hit.BlackKey >= 0 ? Hit.BlackKey : P;
                if (FToneStates[static_cast<std::size_t>(Tone)] == ksPressed) {
                    InvalidateRect(GetToneRect(Tone));
                    SetOctave(WhiteKeyOctave(Tone));
                    break;
                }
            }
            if (Y < ClientHeight()) {
                SetKeyState(P, ksPressed);
                InvalidateRect(GetKeyRect(P));
                SetOctave(WhiteKeyOctave(P));
            }
            break;
        }
    }
}

void TKeymora::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);

    // Only the first held zone button is served; a later release serves any others.
    static constexpr TZoneButton ServeOrder[] = {
        TZoneButton::MoreOctaves,   TZoneButton::FewerOctaves,   TZoneButton::OctaveDown,
        TZoneButton::MoreDurations, TZoneButton::FewerDurations, TZoneButton::OctaveUp,
    };
    for (TZoneButton Zone : ServeOrder) {
        if (!ZoneButtonFlag(Zone)) continue;
        switch (Zone) {
            case TZoneButton::MoreOctaves:
                SetOutOctave(FMaxOffsetOttave - 1);
                break;
            case TZoneButton::FewerOctaves:
                SetOutOctave(FMaxOffsetOttave + 1);
                break;
            case TZoneButton::OctaveDown:
                SetOffsetOctave(FOffsetOctave - 1);
                break;
            case TZoneButton::MoreDurations:
                SetOutDuration(FMaxOffsetDuration - 1);
                break;
            case TZoneButton::FewerDurations:
                SetOutDuration(FMaxOffsetDuration + 1);
                break;
            case TZoneButton::OctaveUp:
                SetOffsetOctave(FOffsetOctave + 1);
                break;
        }
        ZoneButtonFlag(Zone) = false;
        // Taken after the setter: a changed limit moves the far-end zone.
        InvalidateRect(Layout().ZoneButtonRelease(Zone));
        break;
    }

    if (FDurationUpPressed || FDurationDownPressed) {
        if (FDurationUpPressed) {
            SetOffsetDuration(FOffsetDuration + 1);
            FDurationUpPressed = false;
        } else {
            SetOffsetDuration(FOffsetDuration - 1);
            FDurationDownPressed = false;
        }
        InvalidateRect(Layout().Strip());
    }

    // States are read afresh on every step: an OnKeyClick handler may select or release notes.
    for (int I = 0; I < WhiteKeyCount; ++I) {
        if (FKeyStates[static_cast<std::size_t>(I)] != ksPressed) continue;
        SetKeyState(I, ksIdle);
        InvalidateRect(GetKeyRect(I));
        if (OnKeyClick) {
            const TNote Name = TKey::White(I).Name(FAutoTone);
            OnKeyClick(this, Name.Octave, Name.Note, Name.Tone);
        }
    }
    for (int I = 0; I < WhiteKeyCount; ++I) {
        if (FToneStates[static_cast<std::size_t>(I)] != ksPressed) continue;
        SetToneState(I, ksIdle);
        InvalidateRect(GetToneRect(I));
        if (OnKeyClick) {
            const TNote Name = TKey::BlackAfter(I).Name(FAutoTone);
            OnKeyClick(this, Name.Octave, Name.Note, Name.Tone);
        }
    }
}

bool TKeymora::PressKey(int P, bool Black) {
    if (!(Black ? TKey::BlackAfter(P) : TKey::White(P)).Exists()) return false;
    TKeyStateArray& States = Black ? FToneStates : FKeyStates;
    if (States[static_cast<std::size_t>(P)] == ksPressed) return false;
    StoreState(States, P, Black, ksPressed);
    InvalidateRect(Black ? GetToneRect(P) : GetKeyRect(P));
    return true;
}

bool TKeymora::ReleaseKey(int P, bool Black, bool Click) {
    if (P < 0 || P >= WhiteKeyCount) return false;
    TKeyStateArray& States = Black ? FToneStates : FKeyStates;
    if (States[static_cast<std::size_t>(P)] != ksPressed) return false;
    StoreState(States, P, Black, ksIdle);
    InvalidateRect(Black ? GetToneRect(P) : GetKeyRect(P));
    if (Click && OnKeyClick) {
        const TNote Name = (Black ? TKey::BlackAfter(P) : TKey::White(P)).Name(FAutoTone);
        OnKeyClick(this, Name.Octave, Name.Note, Name.Tone);
    }
    return true;
}

}  // namespace keymora
