// Random scripted sessions for keymora-script. A session is a script of command lines drawn
// from a seed; each line is run at once on an engine of the generator's own, so the next line
// can be chosen from the control's real state: no line is impossible, and mouse lines aim with
// the control's current geometry.
#pragma once

#include <cstdint>
#include <string>

namespace keymora::sessiongen {

struct TSessionOptions {
    std::uint64_t Seed = 1;
    /// Command lines in the session (a comment line naming the options comes first).
    int Lines = 200;
    /// On average one "paint" line every PaintEvery lines; none when 0.
    int PaintEvery = 25;
};

/// Generates the session of Options into Script. False with Error set if a generated line was
/// refused by the engine (which is a fault of the generator: sessions are meant to run to their
/// end); Script then holds the lines up to the refused one.
bool GenerateSession(const TSessionOptions& Options, std::string& Script, std::string& Error);

}  // namespace keymora::sessiongen
