// Reading and writing the pad's settings file.
#include "settings.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>

#include "core/host/atomic_file.h"
#include "keymora/model/keymora.h"
#include "keymora/model/text_form.h"

namespace keymora::pad {

namespace {

// The keyboard's own properties. The base ones (font, colour, anchors ...) belong to the window
// the pad puts the keyboard in, so they are not kept; a hand-edited file may still set them.
constexpr std::array<std::string_view, 15> Kept = {
    "Orientation", "Style",       "SettingWidth", "DurationWidth",     "DurationPosition",
    "Octave",      "AutoTone",    "OffsetOctave", "MaxOffsetDuration", "MaxOffsetOttave",
    "Keys",        "MaxDuration", "MouseTrack",   "OffsetDuration",    "CtrlMove"};

// A settings file larger than this is not one the pad wrote.
constexpr std::size_t MaxFileSize = 4 * 1024 * 1024;

bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I) {
        const auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C; };
        if (Lower(A[I]) != Lower(B[I])) return false;
    }
    return true;
}

// The property a line sets, as written (names are matched without regard to case); empty for
// blank and comment lines.
std::string_view NameOf(std::string_view Line) {
    while (!Line.empty() && (Line.front() == ' ' || Line.front() == '\t')) Line.remove_prefix(1);
    if (Line.empty() || Line.front() == '#') return {};
    return Line.substr(0, std::min(Line.find_first_of(" \t="), Line.size()));
}

const std::string_view* KeptName(std::string_view Line) {
    const std::string_view Name = NameOf(Line);
    for (const std::string_view& K : Kept)
        if (SameName(K, Name)) return &K;
    return nullptr;
}

bool IsKept(std::string_view Line) { return KeptName(Line) != nullptr; }

// Splits Text into lines, each with its '\n' (the last may lack one).
std::vector<std::string_view> Lines(std::string_view Text) {
    std::vector<std::string_view> Out;
    for (std::size_t Start = 0; Start < Text.size();) {
        const std::size_t End = std::min(Text.find('\n', Start), Text.size() - 1);
        Out.push_back(Text.substr(Start, End - Start + 1));
        Start = End + 1;
    }
    return Out;
}

// The file to write: the loaded file's lines with the keyboard's settings brought up to date
// (those back at their defaults dropped, new ones added at the end), every other line as it was.
std::string Merge(std::string_view Loaded, std::string_view Managed) {
    if (Loaded.empty()) return std::string(Managed);
    std::vector<std::string_view> Fresh = Lines(Managed);
    std::string Out;
    for (std::string_view Line : Lines(Loaded)) {
        const std::string_view* Name = KeptName(Line);
        if (!Name) {
            Out += Line;
            if (Line.back() != '\n') Out += '\n';
            continue;
        }
        for (std::string_view& F : Fresh) {
            if (F.empty() || KeptName(F) != Name) continue;
            Out += F;
            F = {};
        }
    }
    for (std::string_view F : Fresh)
        if (!F.empty() && IsKept(F)) Out += F;
    return Out;
}

}  // namespace

TSettingsFile::TSettingsFile(std::filesystem::path Folder)
    : Path_(std::move(Folder) / "keyboard.txt") {}

std::string TSettingsFile::Text(const TKeymora& Control) {
    const std::string Form = SaveTextForm(Control);
    std::string Out = "# Keymora Pad keyboard settings\n";
    std::size_t Start = 0;
    while (Start < Form.size()) {
        std::size_t End = Form.find('\n', Start);
        if (End == std::string::npos) End = Form.size() - 1;
        const std::string_view Line(Form.data() + Start, End - Start + 1);
        if (IsKept(Line)) Out += Line;
        Start = End + 1;
    }
    return Out;
}

std::optional<std::string> TSettingsFile::Load(TKeymora& Control) {
    Known_ = Text(Control);
    Loaded_.clear();
    Refused_.clear();
    std::string Form, Error;
    switch (host::ReadFileBounded(Path_, MaxFileSize, Form, Error)) {
        case host::TReadResult::Missing: return std::nullopt;
        case host::TReadResult::Failed: return Error;
        case host::TReadResult::Read: break;
    }
    std::vector<TTextFormError> Refused;
    if (const auto Bad = LoadTextForm(Control, Form, Refused))
        return "the settings file " + host::Shown(Path_) + " does not read (" + Bad->What() + ")";
    for (const TTextFormError& R : Refused)
        Refused_.push_back("the settings file " + host::Shown(Path_) + ", " + R.What());
    Known_ = Text(Control);
    Loaded_ = std::move(Form);
    return std::nullopt;
}

std::optional<std::string> TSettingsFile::SaveIfChanged(const TKeymora& Control) {
    std::string Now = Text(Control);
    if (Now == Known_ || Now == Failed_) return std::nullopt;
    std::error_code Ec;
    std::filesystem::create_directories(Path_.parent_path(), Ec);
    if (auto Why = host::WriteFileAtomically(Path_, Merge(Loaded_, Now))) {
        Failed_ = std::move(Now);
        return "cannot save the keyboard settings: " + *Why;
    }
    Failed_.clear();
    Known_ = std::move(Now);
    return std::nullopt;
}

}  // namespace keymora::pad
