// Scripted sessions of the pad: keymora-script commands against the pad's own keyboard, plus the
// pad's commands
//   notes            prints the entered notes: {"notes":["E4 1/4","rest 1/4",...]}
//   undo / clear     removes the last note / every note (no output)
//   export FILE      writes the notes as a MIDI file: {"export":"FILE","entries":N}
//   screenshot FILE  writes the whole window as a PNG: {"screenshot":"FILE","width":W,"height":H}
// The keyboard belongs to the pad, so create, parent, window, bounds, focus, blur and themes are
// refused. After each line the window catches up (layout, repaints, the settings file).
#pragma once

#include <iosfwd>
#include <string>

namespace keymora::pad {

class PadWindow;

/// Runs the script In against Window, printing to Out; returns the exit status (0, or 2 after
/// an error line).
int RunPadScript(PadWindow& Window, std::istream& In, std::ostream& Out);
/// RunPadScript on the file at Path; a file that cannot be opened is an error line numbered 0.
int RunPadScriptFile(PadWindow& Window, const std::string& Path, std::ostream& Out);

}  // namespace keymora::pad
