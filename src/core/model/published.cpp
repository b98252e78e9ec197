// The table of TKeymora's published properties and the generic get, set and stored tests that
// dispatch on a table entry.
#include "keymora/model/published.h"

#include <array>
#include <cstdint>
#include <limits>

#include "core/host/rtl.h"
#include "keymora/model/keymora.h"

namespace keymora {

namespace {

// One identifier per table row, in the same order; the table index is the identifier.
enum class TPropId : std::uint8_t {
    Orientation,
    Style,
    SettingWidth,
    DurationWidth,
    DurationPosition,
    Octave,
    AutoTone,
    OffsetOctave,
    MaxOffsetDuration,
    MaxOffsetOttave,
    Keys,
    MaxDuration,
    MouseTrack,
    OffsetDuration,
    CtrlMove,
    Align,
    Anchors,
    Color,
    Font,
    BevelEdges,
    BevelInner,
    BevelOuter,
    BevelKind,
    BevelWidth,
    BorderWidth,
    Ctl3D,
    ShowHint,
    Enabled,
    TabStop,
    Visible,
    Count
};

constexpr std::string_view OrientationNames[] = {"koHorizontal", "koVertical"};
constexpr std::string_view StyleNames[] = {"msShowMarks", "msColorOctave", "msScrollDuration",
                                           "msScrollOctave"};
constexpr std::string_view AutoToneNames[] = {"atAutoMajor", "atBemol", "atDiesis", "atAutoMinor"};
constexpr std::string_view AlignNames[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                           "alRight", "alClient", "alCustom"};
constexpr std::string_view AnchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
constexpr std::string_view BevelEdgeNames[] = {"beLeft", "beTop", "beRight", "beBottom"};
constexpr std::string_view BevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
constexpr std::string_view BevelKindNames[] = {"bkNone", "bkTile", "bkSoft", "bkFlat"};

using K = TPropKind;
constexpr long long NoDefault = 0;

constexpr std::array<TPropInfo, static_cast<std::size_t>(TPropId::Count)> Table = {{
    {"Orientation", K::Enumeration, false, NoDefault, OrientationNames, false},
    {"Style", K::Set, false, NoDefault, StyleNames, false},
    {"SettingWidth", K::Integer, true, 30, {}, false},
    // The stored default differs from the constructor's 6 on purpose: a new control saves 6.
    {"DurationWidth", K::Integer, true, 5, {}, false},
    {"DurationPosition", K::Integer, true, 0, {}, false},
    {"Octave", K::Integer, true, 5, {}, false},
    {"AutoTone", K::Enumeration, false, NoDefault, AutoToneNames, false},
    {"OffsetOctave", K::Integer, true, 0, {}, false},
    {"MaxOffsetDuration", K::Integer, true, 3, {}, false},
    {"MaxOffsetOttave", K::Integer, true, 4, {}, false},
    {"Keys", K::String, false, NoDefault, {}, false},
    {"MaxDuration", K::Integer, true, 6, {}, false},
    {"MouseTrack", K::Boolean, true, 0, {}, false},
    {"OffsetDuration", K::Integer, true, 0, {}, false},
    {"CtrlMove", K::Boolean, false, NoDefault, {}, false},
    {"Align", K::Enumeration, true, 0, AlignNames, true},
    {"Anchors", K::Set, true, 0b0011, AnchorNames, true},
    {"Color", K::Color, true, clWhite, {}, true},
    {"Font", K::Font, false, NoDefault, {}, true},
    {"BevelEdges", K::Set, true, 0b1111, BevelEdgeNames, true},
    {"BevelInner", K::Enumeration, true, 2, BevelCutNames, true},
    {"BevelOuter", K::Enumeration, true, 1, BevelCutNames, true},
    {"BevelKind", K::Enumeration, true, 0, BevelKindNames, true},
    {"BevelWidth", K::Integer, true, 1, {}, true},
    {"BorderWidth", K::Integer, true, 0, {}, true},
    {"Ctl3D", K::Boolean, false, NoDefault, {}, true},
    {"ShowHint", K::Boolean, true, 0, {}, true},
    {"Enabled", K::Boolean, true, 1, {}, true},
    {"TabStop", K::Boolean, true, 1, {}, true},
    {"Visible", K::Boolean, true, 1, {}, true},
}};

// Callers may hand in a copy of a table entry rather than the entry itself; the name decides.
bool Identify(const TPropInfo& Info, TPropId& Id) {
    for (std::size_t I = 0; I < Table.size(); ++I) {
        if (&Table[I] != &Info) continue;
        Id = static_cast<TPropId>(I);
        return true;
    }
    const TPropInfo* Entry = FindProperty(Info.Name);
    if (!Entry) return false;
    Id = static_cast<TPropId>(Entry - Table.data());
    return true;
}

bool FitsInt(long long V) {
    return V >= std::numeric_limits<int>::min() && V <= std::numeric_limits<int>::max();
}

bool IsOrdinalOf(long long V, const TPropInfo& Info) {
    return V >= 0 && V < static_cast<long long>(Info.Names.size());
}

bool IsSetOf(long long V, const TPropInfo& Info) {
    return V >= 0 && V < (1LL << Info.Names.size());
}

template <class E>
E Ordinal(long long V) {
    return static_cast<E>(static_cast<std::uint8_t>(V));
}

template <class E>
TSet<E> Bits(long long V) {
    return TSet<E>::FromBits(static_cast<std::uint8_t>(V));
}

}  // namespace

std::span<const TPropInfo> PublishedProperties() {
    return Table;
}

const TPropInfo* FindProperty(std::string_view Name) {
    for (const TPropInfo& Info : Table)
        if (CompareText(Info.Name, Name) == 0) return &Info;
    return nullptr;
}

TPropValue GetPropertyValue(const TKeymora& C, const TPropInfo& Info) {
    TPropValue V;
    TPropId Id{};
    if (!Identify(Info, Id)) return V;
    switch (Id) {
        case TPropId::Orientation:
            V.Int = static_cast<long long>(C.Orientation());
            break;
        case TPropId::Style:
            V.Int = C.Style().Bits();
            break;
        case TPropId::SettingWidth:
            V.Int = C.SettingWidth();
            break;
        case TPropId::DurationWidth:
            V.Int = C.DurationWidth();
            break;
        case TPropId::DurationPosition:
            V.Int = C.DurationPosition();
            break;
        case TPropId::Octave:
            V.Int = C.Octave();
            break;
        case TPropId::AutoTone:
            V.Int = static_cast<long long>(C.AutoTone());
            break;
        case TPropId::OffsetOctave:
            V.Int = C.OffsetOctave();
            break;
        case TPropId::MaxOffsetDuration:
            V.Int = C.MaxOffsetDuration();
            break;
        case TPropId::MaxOffsetOttave:
            V.Int = C.MaxOffsetOttave();
            break;
        case TPropId::Keys:
            V.Str = C.Keys();
            break;
        case TPropId::MaxDuration:
            V.Int = C.MaxDuration();
            break;
        case TPropId::MouseTrack:
            V.Int = C.MouseTrack();
            break;
        case TPropId::OffsetDuration:
            V.Int = C.OffsetDuration();
            break;
        case TPropId::CtrlMove:
            V.Int = C.CtrlMove();
            break;
        case TPropId::Align:
            V.Int = static_cast<long long>(C.Align());
            break;
        case TPropId::Anchors:
            V.Int = C.Anchors().Bits();
            break;
        case TPropId::Color:
            V.Int = C.Color();
            break;
        case TPropId::Font:
            V.Font = C.Font();
            break;
        case TPropId::BevelEdges:
            V.Int = C.BevelEdges().Bits();
            break;
        case TPropId::BevelInner:
            V.Int = static_cast<long long>(C.BevelInner());
            break;
        case TPropId::BevelOuter:
            V.Int = static_cast<long long>(C.BevelOuter());
            break;
        case TPropId::BevelKind:
            V.Int = static_cast<long long>(C.BevelKind());
            break;
        case TPropId::BevelWidth:
            V.Int = C.BevelWidth();
            break;
        case TPropId::BorderWidth:
            V.Int = C.BorderWidth();
            break;
        case TPropId::Ctl3D:
            V.Int = C.Ctl3D();
            break;
        case TPropId::ShowHint:
            V.Int = C.ShowHint();
            break;
        case TPropId::Enabled:
            V.Int = C.Enabled();
            break;
        case TPropId::TabStop:
            V.Int = C.TabStop();
            break;
        case TPropId::Visible:
            V.Int = C.Visible();
            break;
        case TPropId::Count:
            break;
    }
    return V;
}

void SetPropertyValue(TKeymora& C, const TPropInfo& Info, const TPropValue& V) {
    TPropId Id{};
    if (!Identify(Info, Id)) return;
    const TPropInfo& Entry = Table[static_cast<std::size_t>(Id)];
    // Refuse what the field's type cannot hold before any setter sees a truncated value.
    switch (Entry.Kind) {
        case TPropKind::Integer:
            if (!FitsInt(V.Int)) return;
            break;
        case TPropKind::Enumeration:
            if (!IsOrdinalOf(V.Int, Entry)) return;
            break;
        case TPropKind::Set:
            if (!IsSetOf(V.Int, Entry)) return;
            break;
        case TPropKind::Color:
            if (V.Int < std::numeric_limits<std::int32_t>::min() ||
                V.Int > std::numeric_limits<std::uint32_t>::max())
                return;
            break;
        case TPropKind::Boolean:
        case TPropKind::String:
        case TPropKind::Font:
            break;
    }
    const int I = static_cast<int>(FitsInt(V.Int) ? V.Int : 0);
    const bool B = V.Int != 0;
    switch (Id) {
        case TPropId::Orientation:
            C.SetOrientation(Ordinal<TKeyboardOrientation>(V.Int));
            break;
        case TPropId::Style:
            C.SetStyle(Bits<TMusicStyle>(V.Int));
            break;
        case TPropId::SettingWidth:
            C.SetSettingWidth(I);
            break;
        case TPropId::DurationWidth:
            C.SetDurationWidth(I);
            break;
        case TPropId::DurationPosition:
            C.SetDurationPosition(I);
            break;
        case TPropId::Octave:
            C.SetOctave(I);
            break;
        case TPropId::AutoTone:
            C.SetAutoTone(Ordinal<TAutoTone>(V.Int));
            break;
        case TPropId::OffsetOctave:
            C.SetOffsetOctave(I);
            break;
        case TPropId::MaxOffsetDuration:
            C.SetOutDuration(I);
            break;
        case TPropId::MaxOffsetOttave:
            C.SetOutOctave(I);
            break;
        case TPropId::Keys:
            C.SetKeys(V.Str);
            break;
        case TPropId::MaxDuration:
            C.SetDurationCount(I);
            break;
        case TPropId::MouseTrack:
            C.SetMouseTrack(B);
            break;
        case TPropId::OffsetDuration:
            C.SetOffsetDuration(I);
            break;
        case TPropId::CtrlMove:
            C.SetCtrlMove(B);
            break;
        case TPropId::Align:
            C.SetAlign(Ordinal<TAlign>(V.Int));
            break;
        case TPropId::Anchors:
            C.SetAnchors(Bits<TAnchorKind>(V.Int));
            break;
        case TPropId::Color:
            // Negative 32-bit values are the same colours in their signed encoding.
            C.SetColor(static_cast<TColor>(static_cast<std::uint32_t>(V.Int & 0xFFFFFFFFLL)));
            break;
        case TPropId::Font:
            C.SetFont(V.Font);
            break;
        case TPropId::BevelEdges:
            C.SetBevelEdges(Bits<TBevelEdge>(V.Int));
            break;
        case TPropId::BevelInner:
            C.SetBevelInner(Ordinal<TBevelCut>(V.Int));
            break;
        case TPropId::BevelOuter:
            C.SetBevelOuter(Ordinal<TBevelCut>(V.Int));
            break;
        case TPropId::BevelKind:
            C.SetBevelKind(Ordinal<TBevelKind>(V.Int));
            break;
        case TPropId::BevelWidth:
            C.SetBevelWidth(I);
            break;
        case TPropId::BorderWidth:
            C.SetBorderWidth(I);
            break;
        case TPropId::Ctl3D:
            C.SetCtl3D(B);
            break;
        case TPropId::ShowHint:
            C.SetShowHint(B);
            break;
        case TPropId::Enabled:
            C.SetEnabled(B);
            break;
        case TPropId::TabStop:
            C.SetTabStop(B);
            break;
        case TPropId::Visible:
            C.SetVisible(B);
            break;
        case TPropId::Count:
            break;
    }
}

bool IsPropertyStored(const TKeymora& C, const TPropInfo& Info) {
    TPropId Id{};
    if (!Identify(Info, Id)) return false;
    const TPropInfo& Entry = Table[static_cast<std::size_t>(Id)];
    // Strings and the font have no default either, so they are always saved: an empty Keys left
    // out of a form would come back as the constructor's letters.
    if (!Entry.HasDefault) return true;
    return GetPropertyValue(C, Entry).Int != Entry.Default;
}

}  // namespace keymora
