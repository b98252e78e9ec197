// The arguments of generated lines: property values, names to get, method calls, bounds, keys and
// modifiers. Every value is one the tool accepts; many are ones the control refuses or clamps.
#pragma once

#include <string>
#include <string_view>

#include "random.h"

namespace keymora {
class TKeymora;
}

namespace keymora::sessiongen {

/// "set NAME VALUE" for any published property; ranges follow the control's current state so
/// that values just inside and just outside them come up often.
std::string SetLine(TRandom& R, const TKeymora& Control);
/// "get NAME" for any property, field or host value the tool prints.
std::string GetLine(TRandom& R);
/// "call NAME ARGS..." for any public method, arguments in and out of range.
std::string CallLine(TRandom& R);
/// "bounds L T W H". Paintable bounds give a client of 1..2000 pixels each way in a shape
/// typical of the orientation; otherwise anything from nothing to the tool's limits.
std::string BoundsLine(TRandom& R, bool Horizontal, bool Paintable);
/// A key as "keydown"/"keyup" name it: letters of Keys and others, digits, navigation keys,
/// the numeric pad, modifier keys and other codes in hexadecimal.
std::string KeyToken(TRandom& R, const TKeymora& Control);
/// Nothing, or " shift", " ctrl" or both, in either order and any letter case.
std::string KeyModifiers(TRandom& R);
/// Text as a token: as it is where it can be, quoted with escapes where it must be (and now and
/// then where it need not be).
std::string Token(TRandom& R, std::string_view Text);
/// Name in its declared spelling, now and then in lower or upper case (the tool ignores case).
std::string AnyCase(TRandom& R, std::string_view Name);

}  // namespace keymora::sessiongen
