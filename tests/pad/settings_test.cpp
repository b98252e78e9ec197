// The pad's settings file: the keyboard's settings come back in a fresh keyboard, an unchanged
// keyboard writes nothing, and a file that does not load is reported and kept until a setting
// changes.
#include "settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "keymora/model/keymora.h"

namespace keymora::pad {
namespace {

namespace fs = std::filesystem;

fs::path FreshFolder(const std::string& Name) {
    const fs::path Folder = fs::path(::testing::TempDir()) / ("keymora_pad_" + Name);
    fs::remove_all(Folder);
    return Folder;
}

std::string ReadAll(const fs::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

TEST(Settings, RoundTripThroughTheFile) {
    const fs::path Folder = FreshFolder("round_trip") / "nested";
    TKeymora A(nullptr);
    TSettingsFile Store(Folder);
    EXPECT_EQ(Store.Load(A), std::nullopt);  // no file yet: defaults, no message
    EXPECT_EQ(Store.SaveIfChanged(A), std::nullopt);
    EXPECT_FALSE(fs::exists(Store.Path())) << "nothing changed, nothing written";

    A.SetOrientation(koVertical);
    A.SetStyle(TMusicStyles{msShowMarks, msScrollOctave});
    A.SetKeys("ZXCVBNM");
    A.SetAutoTone(atBemol);
    A.SetOctave(3);
    A.SetDurationCount(8);
    A.SetDurationPosition(7);
    A.SetMouseTrack(true);
    ASSERT_EQ(Store.SaveIfChanged(A), std::nullopt);
    ASSERT_TRUE(fs::exists(Store.Path()));

    TKeymora B(nullptr);
    TSettingsFile Again(Folder);
    ASSERT_EQ(Again.Load(B), std::nullopt);
    EXPECT_EQ(B.Orientation(), koVertical);
    EXPECT_EQ(B.Style(), (TMusicStyles{msShowMarks, msScrollOctave}));
    EXPECT_EQ(B.Keys(), "ZXCVBNM");
    EXPECT_EQ(B.AutoTone(), atBemol);
    EXPECT_EQ(B.Octave(), 3);
    EXPECT_EQ(B.MaxDuration(), 8);
    EXPECT_EQ(B.DurationPosition(), 7);
    EXPECT_EQ(B.OffsetDuration(), A.OffsetDuration());
    EXPECT_TRUE(B.MouseTrack());
    // Only the keyboard's own settings are kept: the window's font and colour are not.
    EXPECT_EQ(ReadAll(Store.Path()).find("Font"), std::string::npos);
}

struct BadCase {
    const char* Name;
    const char* Content;  // null: a folder stands where the file should be
    const char* Said;     // part of the message
};

class BadSettings : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadSettings, ReportedDefaultsKeptAndFileUntouchedUntilAChange) {
    const BadCase& C = GetParam();
    const fs::path Folder = FreshFolder(C.Name);
    TSettingsFile Store(Folder);
    fs::create_directories(Folder);
    if (C.Content)
        std::ofstream(Store.Path(), std::ios::binary) << C.Content;
    else
        fs::create_directories(Store.Path());

    TKeymora K(nullptr);
    const auto Message = Store.Load(K);
    ASSERT_TRUE(Message.has_value());
    EXPECT_NE(Message->find(Store.Path().string()), std::string::npos) << *Message;
    EXPECT_NE(Message->find(C.Said), std::string::npos) << *Message;
    EXPECT_EQ(K.Octave(), 5);  // the defaults, not half of the file
    EXPECT_EQ(K.Orientation(), koHorizontal);

    EXPECT_EQ(Store.SaveIfChanged(K), std::nullopt);
    if (C.Content) {
        EXPECT_EQ(ReadAll(Store.Path()), C.Content) << "kept while nothing changed";
    }

    K.SetOctave(2);
    const auto Written = Store.SaveIfChanged(K);
    if (!C.Content) {
        EXPECT_TRUE(Written.has_value()) << "a folder in the way is reported";
        return;
    }
    ASSERT_EQ(Written, std::nullopt);
    TKeymora Back(nullptr);
    ASSERT_EQ(TSettingsFile(Folder).Load(Back), std::nullopt);
    EXPECT_EQ(Back.Octave(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadSettings,
    ::testing::Values(BadCase{"garbage", "Octave = 3\nthis is not a setting\n", "line 2"},
                      BadCase{"unknown", "Octave = 3\nLoudness = 11\n", "line 2"},
                      BadCase{"twice", "Octave = 3\nOctave = 4\n", "line 2"},
                      BadCase{"folder", nullptr, "cannot read"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::pad
