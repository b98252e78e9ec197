// Scripted sessions of the pad: keymora-script commands against the pad's own keyboard, plus the
// pad's commands
//   notes            prints the entered notes: {"notes":["E4 1/4","rest 1/4",...]}
//   undo / clear     undoes the last edit / removes every entry (no output)
//   export FILE      writes the notes as a MIDI file: {"export":"FILE","entries":N}
//   screenshot FILE  writes the whole window as a PNG: {"screenshot":"FILE","width":W,"height":H}
//   new / open FILE / save [FILE]
//                    documents in MusicXML; each prints the document line below
//   document         {"file":F,"entries":N,"modified":B,"selection":S,"time":"4/4","tempo":T}
//   answer save|discard|cancel
//                    the answer to the next question about unsaved changes (none: cancel)
//   select N|end     selects entry N (from 1), or none: notes played then append
//   insert on|off    notes played go in before the selection instead of replacing it
//   delete / rest / redo
//                    deletes the selection (or the last entry), inserts a rest, redoes
//   tempo N / time B/T
//                    the document's tempo and time signature
//   play [N] / stop  plays N entries (all) in real time from the selection:
//                    {"played":["E4","rest",...],"coloured":0}
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
