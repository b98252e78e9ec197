// The pad's keyboard settings on disk: the keyboard's own properties (orientation, style, PC
// keys, how black keys are named, octave, durations) in the control's text form, one file in a
// configuration folder. Plain C++; the window decides where the folder is.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace keymora {
class TKeymora;
}

namespace keymora::pad {

class TSettingsFile {
  public:
    /// The settings live in Folder/keyboard.txt; Folder is made on the first write.
    explicit TSettingsFile(std::filesystem::path Folder);

    const std::filesystem::path& Path() const { return Path_; }

    /// Reads the file into Control. A missing file leaves the defaults without a word; a file
    /// that cannot be read or does not parse leaves Control as it was and returns a message
    /// saying so. Either way the file is not written until the settings differ from what Control
    /// holds now, so a file that did not load is kept until the user changes something. Values
    /// the keyboard refuses are listed by Refused(), each with its line.
    std::optional<std::string> Load(TKeymora& Control);

    /// What the last Load could not apply: "the settings file F, line N: ...", one a value.
    const std::vector<std::string>& Refused() const { return Refused_; }

    /// Writes Control's settings when they differ from those last loaded or written, atomically
    /// (a unique temporary beside the file, synced and renamed over it), keeping the lines of
    /// the loaded file the pad does not manage (comments, the window's font and colour) as they
    /// were. Returns the message, with its reason, when the file cannot be written; the same
    /// settings are not tried again until they change.
    std::optional<std::string> SaveIfChanged(const TKeymora& Control);

    /// The settings as written to the file: the keyboard's own properties of the text form.
    static std::string Text(const TKeymora& Control);

  private:
    std::filesystem::path Path_;
    std::string Known_;   // Text() of the settings the file stands for
    std::string Failed_;  // Text() of settings that could not be written
    std::string Loaded_;  // the file as loaded, when it loaded: its other lines are kept
    std::vector<std::string> Refused_;
};

}  // namespace keymora::pad
