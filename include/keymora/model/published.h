/// \file
/// The published properties of TKeymora as data: name, kind, stored default, value names, getter
/// and setter of each, in declaration order (the order in which a form saves and loads them),
/// with generic access that reads the field and writes through the property's own setter. Form
/// loaders, designer integrations and keymora-script work from this table instead of naming each
/// property.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "keymora/host/canvas.h"

namespace keymora {

class TKeymora;

/// How a property's value is held in a TPropValue.
enum class TPropKind : std::uint8_t { Integer, Boolean, Enumeration, Set, String, Color, Font };

/// A property value. Int holds integers, booleans (0/1), enumeration ordinals, set bits
/// (bit n for element n) and colours ($00BBGGRR, never negative); Str holds strings; Font the
/// Font property.
struct TPropValue {
    /// Integer, Boolean, Enumeration, Set and Color values.
    long long Int = 0;
    /// String values.
    std::string Str;
    /// The Font value.
    TFont Font;
};

/// One published property: what a form saves of it and how it is read and assigned.
struct TPropInfo {
    /// The declared name, as saved with a form.
    std::string_view Name;
    /// How the value is held in a TPropValue.
    TPropKind Kind;
    /// False for a property without a stored default: it is saved whatever its value.
    bool HasDefault;
    /// The stored default in the Int encoding of TPropValue (meaningless without HasDefault).
    long long Default;
    /// Enumeration: the value names by ordinal. Set: the element names by bit. Empty otherwise.
    TArrayView<std::string_view> Names;
    /// True for the properties re-published from the host base class.
    bool Inherited;
    /// Reads the property's field. GetPropertyValue is the way in for a copy of an entry.
    TPropValue (*Get)(const TKeymora& Control);
    /// Assigns through the property's setter a value its type holds; SetPropertyValue checks
    /// the value first and is the way in for any value.
    void (*Set)(TKeymora& Control, const TPropValue& Value);
};

/// Every published property in declaration order: the control's own first, then the
/// re-published base properties.
TArrayView<TPropInfo> PublishedProperties();

/// The property named Name, compared without regard to ASCII letter case; nullptr if unknown.
const TPropInfo* FindProperty(std::string_view Name);

/// Reads the property's field.
TPropValue GetPropertyValue(const TKeymora& Control, const TPropInfo& Info);

/// Assigns the property through its setter, so ranges, repaints and events follow the setter's
/// rules. A value the property's type cannot hold (an integer outside 32 bits, an ordinal with
/// no name, set bits beyond the last element, a colour outside 32 bits) is ignored, as the
/// setters ignore values outside their ranges. Colours accept the negative 32-bit encoding too.
void SetPropertyValue(TKeymora& Control, const TPropInfo& Info, const TPropValue& Value);

/// Whether a form saves the property: false when it equals its stored default; always true for
/// a property without a default.
bool IsPropertyStored(const TKeymora& Control, const TPropInfo& Info);

}  // namespace keymora
