// Building JSON text for keymora-script's output lines: strings escaped so that any byte
// sequence yields valid, pure-ASCII JSON, and the small value shapes the tool prints.
#pragma once

#include <string>
#include <string_view>

#include "keymora/host/types.h"

namespace keymora::script {

/// Appends S as a JSON string literal. Quotes, backslashes and control characters are escaped;
/// well-formed UTF-8 sequences become \u escapes of their code points (surrogate pairs above
/// U+FFFF), and every byte that is not part of one becomes \u00XX, so the result is pure ASCII
/// whatever S holds.
void AppendJsonString(std::string& Out, std::string_view S);

/// Appends a decimal integer.
void AppendJsonInt(std::string& Out, long long Value);

/// Appends true or false.
void AppendJsonBool(std::string& Out, bool Value);

/// Appends [L,T,R,B].
void AppendJsonRect(std::string& Out, const TRect& R);

}  // namespace keymora::script
