// The pitch headers are public and compile as C++17: this file is built in that mode alone, and
// checks that their conversions evaluate at compile time there too.
#include "keymora/pitch/duration.h"
#include "keymora/pitch/pitch.h"

namespace {

using namespace keymora;

static_assert(TKey::White(23).Midi() == 60, "C4");
static_assert(TKey::FromMidi(108) == TKey::White(51), "C8");
static_assert(TKey::BlackAfter(23).Name(atBemol) == TNote{5, 2, -1}, "Db4");
static_assert(TNote{5, 4, -1}.Midi() == 64, "Fb4");
static_assert(TNote{5, 1, 1}.Text().View() == "C#4", "C#4");
static_assert(TNote{5, 2, -1}.SpokenText().View() == "D flat 4", "D flat 4");
static_assert(TDurationLabel(7).View() == "1/128", "1/128");
static_assert(DurationName(3) == "eighth", "eighth");

}  // namespace
