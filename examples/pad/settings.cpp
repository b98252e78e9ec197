// Reading and writing the pad's settings file.
#include "settings.h"

#include <array>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

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

bool IsKept(std::string_view Line) {
    const std::size_t End = Line.find_first_of(" =");
    const std::string_view Name = Line.substr(0, End);
    for (std::string_view K : Kept)
        if (K == Name) return true;
    return false;
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
    std::error_code Ec;
    if (!std::filesystem::exists(Path_, Ec) && !Ec) return std::nullopt;
    std::ifstream In(Path_, std::ios::binary);
    if (!std::filesystem::is_regular_file(Path_, Ec) || !In)
        return "cannot read the settings file " + Path_.string();
    std::ostringstream Buffer;
    Buffer << In.rdbuf();
    if (In.bad()) return "cannot read the settings file " + Path_.string();
    const std::string Form = Buffer.str();
    if (const auto Error = LoadTextForm(Control, Form))
        return "the settings file " + Path_.string() + " does not read (" + Error->What() + ")";
    // The form assigns in declaration order, where DurationPosition and OffsetOctave come before
    // the MaxDuration and MaxOffsetOttave that bound them: a second pass applies what the first
    // refused against the old limits (values already in place are left alone by their setters).
    LoadTextForm(Control, Form);
    Known_ = Text(Control);
    return std::nullopt;
}

std::optional<std::string> TSettingsFile::SaveIfChanged(const TKeymora& Control) {
    std::string Now = Text(Control);
    if (Now == Known_) return std::nullopt;
    std::error_code Ec;
    std::filesystem::create_directories(Path_.parent_path(), Ec);
    // Written beside and renamed over, so a failed write never leaves half a file.
    const std::filesystem::path Temp = Path_.string() + ".new";
    {
        std::ofstream Out(Temp, std::ios::binary | std::ios::trunc);
        Out << Now;
        Out.close();
        if (!Out) return "cannot write the settings file " + Path_.string();
    }
    std::filesystem::rename(Temp, Path_, Ec);
    if (Ec) return "cannot write the settings file " + Path_.string() + ": " + Ec.message();
    Known_ = std::move(Now);
    return std::nullopt;
}

}  // namespace keymora::pad
