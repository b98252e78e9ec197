// The table of TKeymora's published properties and the generic get, set and stored tests that
// dispatch through a table row. Each row names the property's getter and setter; its kind and
// the encoding of its value in a TPropValue follow from their types.
#include "keymora/model/published.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/host/rtl.h"
#include "keymora/model/keymora.h"

namespace keymora {

namespace {

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

// ---- Field types and their encoding in a TPropValue ----

template <class T>
struct TIsSet : std::false_type {};
template <class E>
struct TIsSet<TSet<E>> : std::true_type {};

// The kind a field of type T is published as. TColor is the only unsigned 32-bit field.
template <class T>
constexpr TPropKind KindOf() {
    if constexpr (std::is_same_v<T, bool>)
        return TPropKind::Boolean;
    else if constexpr (std::is_same_v<T, int>)
        return TPropKind::Integer;
    else if constexpr (std::is_same_v<T, TColor>)
        return TPropKind::Color;
    else if constexpr (std::is_enum_v<T>)
        return TPropKind::Enumeration;
    else if constexpr (TIsSet<T>::value)
        return TPropKind::Set;
    else if constexpr (std::is_same_v<T, std::string>)
        return TPropKind::String;
    else {
        static_assert(std::is_same_v<T, TFont>, "a published field of an unknown type");
        return TPropKind::Font;
    }
}

template <class T>
void Encode(const T& Field, TPropValue& V) {
    if constexpr (std::is_same_v<T, std::string>)
        V.Str = Field;
    else if constexpr (std::is_same_v<T, TFont>)
        V.Font = Field;
    else if constexpr (TIsSet<T>::value)
        V.Int = Field.Bits();
    else
        V.Int = static_cast<long long>(Field);
}

// The setter's argument from a value SetPropertyValue has checked against the kind.
template <class T>
T Decode(const TPropValue& V) {
    if constexpr (std::is_same_v<T, std::string_view> || std::is_same_v<T, std::string>)
        return V.Str;
    else if constexpr (std::is_same_v<T, TFont>)
        return V.Font;
    else if constexpr (std::is_same_v<T, bool>)
        return V.Int != 0;
    else if constexpr (std::is_same_v<T, TColor>)
        // Negative 32-bit values are the same colours in their signed encoding.
        return static_cast<TColor>(static_cast<std::uint32_t>(V.Int & 0xFFFFFFFFLL));
    else if constexpr (TIsSet<T>::value)
        return T::FromBits(static_cast<std::uint8_t>(V.Int));
    else if constexpr (std::is_enum_v<T>)
        return static_cast<T>(static_cast<std::underlying_type_t<T>>(V.Int));
    else
        return static_cast<T>(V.Int);
}

template <auto Getter>
using TFieldOf = std::remove_cvref_t<decltype((std::declval<const TKeymora&>().*Getter)())>;

template <class Setter>
struct TArgumentOf;
template <class Class, class Arg>
struct TArgumentOf<void (Class::*)(Arg)> {
    using Type = std::remove_cvref_t<Arg>;
};

template <auto Getter>
TPropValue Read(const TKeymora& C) {
    TPropValue V;
    Encode((C.*Getter)(), V);
    return V;
}

template <auto Setter>
void Write(TKeymora& C, const TPropValue& V) {
    (C.*Setter)(Decode<typename TArgumentOf<decltype(Setter)>::Type>(V));
}

// ---- Rows ----

struct TStored {
    bool HasDefault;
    long long Default;
};
// Saved whatever its value.
constexpr TStored Always{false, 0};
// Saved when it differs from V (in the Int encoding).
constexpr TStored Unless(long long V) {
    return {true, V};
}

template <auto Getter, auto Setter>
constexpr TPropInfo Row(std::string_view Name, TStored Stored,
                        TArrayView<std::string_view> Names, bool Inherited) {
    return {.Name = Name,
            .Kind = KindOf<TFieldOf<Getter>>(),
            .HasDefault = Stored.HasDefault,
            .Default = Stored.Default,
            .Names = Names,
            .Inherited = Inherited,
            .Get = &Read<Getter>,
            .Set = &Write<Setter>};
}

// A property of the control itself.
template <auto Getter, auto Setter>
constexpr TPropInfo Own(std::string_view Name, TStored Stored,
                        TArrayView<std::string_view> Names = {}) {
    return Row<Getter, Setter>(Name, Stored, Names, false);
}

// A property of the host base class that the control re-publishes.
template <auto Getter, auto Setter>
constexpr TPropInfo Base(std::string_view Name, TStored Stored,
                         TArrayView<std::string_view> Names = {}) {
    return Row<Getter, Setter>(Name, Stored, Names, true);
}

using C = TKeymora;

constexpr TPropInfo Table[] = {
    Own<&C::Orientation, &C::SetOrientation>("Orientation", Always, OrientationNames),
    Own<&C::Style, &C::SetStyle>("Style", Always, StyleNames),
    Own<&C::SettingWidth, &C::SetSettingWidth>("SettingWidth", Unless(30)),
    // The stored default differs from the constructor's 6 on purpose: a new control saves 6.
    Own<&C::DurationWidth, &C::SetDurationWidth>("DurationWidth", Unless(5)),
    Own<&C::DurationPosition, &C::SetDurationPosition>("DurationPosition", Unless(0)),
    Own<&C::Octave, &C::SetOctave>("Octave", Unless(5)),
    Own<&C::AutoTone, &C::SetAutoTone>("AutoTone", Always, AutoToneNames),
    Own<&C::OffsetOctave, &C::SetOffsetOctave>("OffsetOctave", Unless(0)),
    Own<&C::MaxOffsetDuration, &C::SetOutDuration>("MaxOffsetDuration", Unless(3)),
    Own<&C::MaxOffsetOttave, &C::SetOutOctave>("MaxOffsetOttave", Unless(4)),
    // Strings have no default: an empty Keys left out of a form would come back as the
    // constructor's letters.
    Own<&C::Keys, &C::SetKeys>("Keys", Always),
    Own<&C::MaxDuration, &C::SetDurationCount>("MaxDuration", Unless(6)),
    Own<&C::MouseTrack, &C::SetMouseTrack>("MouseTrack", Unless(0)),
    Own<&C::OffsetDuration, &C::SetOffsetDuration>("OffsetDuration", Unless(0)),
    Own<&C::CtrlMove, &C::SetCtrlMove>("CtrlMove", Always),
    Base<&C::Align, &C::SetAlign>("Align", Unless(0), AlignNames),
    Base<&C::Anchors, &C::SetAnchors>("Anchors", Unless(0b0011), AnchorNames),
    Base<&C::Color, &C::SetColor>("Color", Unless(clWhite)),
    Base<&C::Font, &C::SetFont>("Font", Always),
    Base<&C::BevelEdges, &C::SetBevelEdges>("BevelEdges", Unless(0b1111), BevelEdgeNames),
    Base<&C::BevelInner, &C::SetBevelInner>("BevelInner", Unless(2), BevelCutNames),
    Base<&C::BevelOuter, &C::SetBevelOuter>("BevelOuter", Unless(1), BevelCutNames),
    Base<&C::BevelKind, &C::SetBevelKind>("BevelKind", Unless(0), BevelKindNames),
    Base<&C::BevelWidth, &C::SetBevelWidth>("BevelWidth", Unless(1)),
    Base<&C::BorderWidth, &C::SetBorderWidth>("BorderWidth", Unless(0)),
    Base<&C::Ctl3D, &C::SetCtl3D>("Ctl3D", Always),
    Base<&C::ShowHint, &C::SetShowHint>("ShowHint", Unless(0)),
    Base<&C::Enabled, &C::SetEnabled>("Enabled", Unless(1)),
    Base<&C::TabStop, &C::SetTabStop>("TabStop", Unless(1)),
    Base<&C::Visible, &C::SetVisible>("Visible", Unless(1)),
};

// Callers may hand in a copy of a table entry rather than the entry itself; the name decides.
const TPropInfo* Entry(const TPropInfo& Info) {
    for (const TPropInfo& Row : Table)
        if (&Row == &Info) return &Row;
    return FindProperty(Info.Name);
}

bool FitsInt(long long V) {
    return V >= std::numeric_limits<int>::min() && V <= std::numeric_limits<int>::max();
}

// Whether the field's type holds V, so that no setter sees a truncated value.
bool Holds(const TPropInfo& Info, long long V) {
    switch (Info.Kind) {
        case TPropKind::Integer:
            return FitsInt(V);
        case TPropKind::Enumeration:
            return V >= 0 && V < static_cast<long long>(Info.Names.size());
        case TPropKind::Set:
            return V >= 0 && V < (1LL << Info.Names.size());
        case TPropKind::Color:
            return V >= std::numeric_limits<std::int32_t>::min() &&
                   V <= std::numeric_limits<std::uint32_t>::max();
        case TPropKind::Boolean:
        case TPropKind::String:
        case TPropKind::Font:
            break;
    }
    return true;
}

}  // namespace

TArrayView<TPropInfo> PublishedProperties() {
    return Table;
}

const TPropInfo* FindProperty(std::string_view Name) {
    for (const TPropInfo& Info : Table)
        if (CompareText(Info.Name, Name) == 0) return &Info;
    return nullptr;
}

TPropValue GetPropertyValue(const TKeymora& Control, const TPropInfo& Info) {
    const TPropInfo* Row = Entry(Info);
    return Row ? Row->Get(Control) : TPropValue{};
}

void SetPropertyValue(TKeymora& Control, const TPropInfo& Info, const TPropValue& Value) {
    const TPropInfo* Row = Entry(Info);
    if (Row && Holds(*Row, Value.Int)) Row->Set(Control, Value);
}

bool IsPropertyStored(const TKeymora& Control, const TPropInfo& Info) {
    const TPropInfo* Row = Entry(Info);
    if (!Row) return false;
    if (!Row->HasDefault) return true;
    return Row->Get(Control).Int != Row->Default;
}

}  // namespace keymora
