// The published-property table: order, kinds and stored defaults, what a new control saves,
// value round trips through the setters, values a property's type cannot hold, and a form
// saved from one control and loaded into another.
#include "keymora/model/published.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keymora/model/keymora.h"

namespace keymora {
namespace {

struct TExpectedProp {
    const char* Name;
    TPropKind Kind;
    bool HasDefault;
    long long Default;
    bool Inherited;
};

using K = TPropKind;

// Declaration order with the stored defaults; sets as bits (akLeft|akTop = 3, all edges = 15),
// enumerations as ordinals (bvRaised = 2, bvLowered = 1).
const TExpectedProp Expected[] = {
    {"Orientation", K::Enumeration, false, 0, false},
    {"Style", K::Set, false, 0, false},
    {"SettingWidth", K::Integer, true, 30, false},
    {"DurationWidth", K::Integer, true, 5, false},
    {"DurationPosition", K::Integer, true, 0, false},
    {"Octave", K::Integer, true, 5, false},
    {"AutoTone", K::Enumeration, false, 0, false},
    {"OffsetOctave", K::Integer, true, 0, false},
    {"MaxOffsetDuration", K::Integer, true, 3, false},
    {"MaxOffsetOttave", K::Integer, true, 4, false},
    {"Keys", K::String, false, 0, false},
    {"MaxDuration", K::Integer, true, 6, false},
    {"MouseTrack", K::Boolean, true, 0, false},
    {"OffsetDuration", K::Integer, true, 0, false},
    {"CtrlMove", K::Boolean, false, 0, false},
    {"Align", K::Enumeration, true, 0, true},
    {"Anchors", K::Set, true, 3, true},
    {"Color", K::Color, true, 0xFFFFFF, true},
    {"Font", K::Font, false, 0, true},
    {"BevelEdges", K::Set, true, 15, true},
    {"BevelInner", K::Enumeration, true, 2, true},
    {"BevelOuter", K::Enumeration, true, 1, true},
    {"BevelKind", K::Enumeration, true, 0, true},
    {"BevelWidth", K::Integer, true, 1, true},
    {"BorderWidth", K::Integer, true, 0, true},
    {"Ctl3D", K::Boolean, false, 0, true},
    {"ShowHint", K::Boolean, true, 0, true},
    {"Enabled", K::Boolean, true, 1, true},
    {"TabStop", K::Boolean, true, 1, true},
    {"Visible", K::Boolean, true, 1, true},
};

TEST(PublishedTable, DeclarationOrderKindsAndDefaults) {
    const auto Props = PublishedProperties();
    ASSERT_EQ(Props.size(), std::size(Expected));
    for (std::size_t I = 0; I < Props.size(); ++I) {
        SCOPED_TRACE(Expected[I].Name);
        EXPECT_EQ(Props[I].Name, Expected[I].Name);
        EXPECT_EQ(Props[I].Kind, Expected[I].Kind);
        EXPECT_EQ(Props[I].HasDefault, Expected[I].HasDefault);
        if (Expected[I].HasDefault) {
            EXPECT_EQ(Props[I].Default, Expected[I].Default);
        }
        EXPECT_EQ(Props[I].Inherited, Expected[I].Inherited);
    }
}

TEST(PublishedTable, ValueNamesInOrdinalAndBitOrder) {
    const auto Names = [](const char* Prop) {
        std::vector<std::string> Out;
        for (auto N : FindProperty(Prop)->Names) Out.emplace_back(N);
        return Out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(Names("Orientation"), (V{"koHorizontal", "koVertical"}));
    EXPECT_EQ(Names("Style"),
              (V{"msShowMarks", "msColorOctave", "msScrollDuration", "msScrollOctave"}));
    EXPECT_EQ(Names("AutoTone"), (V{"atAutoMajor", "atBemol", "atDiesis", "atAutoMinor"}));
    EXPECT_EQ(Names("BevelInner"), (V{"bvNone", "bvLowered", "bvRaised", "bvSpace"}));
    EXPECT_EQ(Names("Anchors"), (V{"akLeft", "akTop", "akRight", "akBottom"}));
    EXPECT_TRUE(Names("Octave").empty());
}

TEST(PublishedTable, FindIgnoresCaseAndKnowsOnlyPublishedNames) {
    ASSERT_NE(FindProperty("octave"), nullptr);
    EXPECT_EQ(FindProperty("octave")->Name, "Octave");
    EXPECT_EQ(FindProperty("MAXOFFSETOTTAVE")->Name, "MaxOffsetOttave");
    EXPECT_EQ(FindProperty("RealWidth"), nullptr);
    EXPECT_EQ(FindProperty("OnKeyClick"), nullptr);
    EXPECT_EQ(FindProperty("Octave "), nullptr);
    EXPECT_EQ(FindProperty(""), nullptr);
}

// A new control saves exactly the properties without default, plus DurationWidth, whose
// constructor value 6 differs from its default 5. Color and TabStop match their new defaults.
TEST(PublishedStored, NewControlSavesPropertiesWithoutDefaultAndDurationWidth) {
    TKeymora C;
    std::vector<std::string> Stored;
    for (const TPropInfo& P : PublishedProperties())
        if (IsPropertyStored(C, P)) Stored.emplace_back(P.Name);
    EXPECT_EQ(Stored, (std::vector<std::string>{"Orientation", "Style", "DurationWidth", "AutoTone",
                                                "Keys", "CtrlMove", "Font", "Ctl3D"}));
}

// Saves the stored properties of Saved and assigns them to Loaded in declaration order while
// it is loading, as a form does.
void SaveAndLoad(const TKeymora& Saved, TKeymora& Loaded) {
    std::vector<std::pair<const TPropInfo*, TPropValue>> Form;
    for (const TPropInfo& P : PublishedProperties())
        if (IsPropertyStored(Saved, P)) Form.emplace_back(&P, GetPropertyValue(Saved, P));
    Loaded.BeginLoading();
    for (const auto& [P, V] : Form) SetPropertyValue(Loaded, *P, V);
    Loaded.Loaded();
}

TEST(PublishedStored, DurationWidthFiveIsNotSavedAndLoadsBackAsSix) {
    const TPropInfo& P = *FindProperty("DurationWidth");
    TKeymora Saved;
    EXPECT_EQ(GetPropertyValue(Saved, P).Int, 6);
    EXPECT_TRUE(IsPropertyStored(Saved, P));
    SetPropertyValue(Saved, P, {5, {}, {}});
    EXPECT_EQ(Saved.DurationWidth(), 5);
    EXPECT_FALSE(IsPropertyStored(Saved, P));
    TKeymora Loaded;
    SaveAndLoad(Saved, Loaded);
    EXPECT_EQ(Loaded.DurationWidth(), 6);
}

// A value other than the constructor's that each setter accepts on a new control.
struct TRoundTrip {
    const char* Name;
    long long Int;
    const char* Str;
};

class PublishedRoundTrip : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(PublishedRoundTrip, SetThroughTheSetterThenGetGivesTheValueBack) {
    const TRoundTrip& Case = GetParam();
    const TPropInfo* P = FindProperty(Case.Name);
    ASSERT_NE(P, nullptr);
    TKeymora C;
    TPropValue V;
    V.Int = Case.Int;
    V.Str = Case.Str;
    const TPropValue Before = GetPropertyValue(C, *P);
    SetPropertyValue(C, *P, V);
    const TPropValue After = GetPropertyValue(C, *P);
    if (P->Kind == TPropKind::String) {
        EXPECT_NE(Before.Str, V.Str);
        EXPECT_EQ(After.Str, V.Str);
    } else {
        EXPECT_NE(Before.Int, V.Int);
        EXPECT_EQ(After.Int, V.Int);
    }
    EXPECT_TRUE(IsPropertyStored(C, *P));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOrdinalAndString, PublishedRoundTrip,
    ::testing::Values(TRoundTrip{"Orientation", 1, ""}, TRoundTrip{"Style", 0b0101, ""},
                      TRoundTrip{"SettingWidth", 10, ""}, TRoundTrip{"DurationWidth", -3, ""},
                      TRoundTrip{"DurationPosition", 5, ""}, TRoundTrip{"Octave", 9, ""},
                      TRoundTrip{"AutoTone", 3, ""}, TRoundTrip{"OffsetOctave", 4, ""},
                      TRoundTrip{"MaxOffsetDuration", 1, ""}, TRoundTrip{"MaxOffsetOttave", 8, ""},
                      TRoundTrip{"Keys", 0, "QWERTYU"}, TRoundTrip{"MaxDuration", 8, ""},
                      TRoundTrip{"MouseTrack", 1, ""}, TRoundTrip{"OffsetDuration", 3, ""},
                      TRoundTrip{"CtrlMove", 1, ""}, TRoundTrip{"Align", 5, ""},
                      TRoundTrip{"Anchors", 0b1100, ""}, TRoundTrip{"Color", 0x00FF0000, ""},
                      TRoundTrip{"BevelEdges", 0, ""}, TRoundTrip{"BevelInner", 3, ""},
                      TRoundTrip{"BevelOuter", 0, ""}, TRoundTrip{"BevelKind", 3, ""},
                      TRoundTrip{"BevelWidth", 4, ""}, TRoundTrip{"BorderWidth", 2, ""},
                      TRoundTrip{"Ctl3D", 0, ""}, TRoundTrip{"ShowHint", 1, ""},
                      TRoundTrip{"Enabled", 0, ""}, TRoundTrip{"TabStop", 0, ""},
                      TRoundTrip{"Visible", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PublishedRoundTripFont, FontIsAssignedWhole) {
    TKeymora C;
    const TPropInfo& P = *FindProperty("Font");
    TPropValue V;
    V.Font.Name = "Liberation Sans";
    V.Font.Size = 12;
    V.Font.Color = clMaroon;
    V.Font.Style.Include(fsBold);
    SetPropertyValue(C, P, V);
    EXPECT_EQ(GetPropertyValue(C, P).Font, V.Font);
}

// What the field's type cannot hold is refused, never truncated into an accepted value.
struct TRefused {
    const char* Name;
    long long Int;
    long long Kept;
};

class PublishedRefused : public ::testing::TestWithParam<TRefused> {};

TEST_P(PublishedRefused, ValueIsIgnored) {
    const TRefused& Case = GetParam();
    TKeymora C;
    const TPropInfo& P = *FindProperty(Case.Name);
    SetPropertyValue(C, P, {Case.Int, {}, {}});
    EXPECT_EQ(GetPropertyValue(C, P).Int, Case.Kept);
}

INSTANTIATE_TEST_SUITE_P(OutOfType, PublishedRefused,
                         ::testing::Values(
                             // 2^32 + 6 would be 6 once truncated to 32 bits, which Octave accepts.
                             TRefused{"Octave", 4294967302LL, 5},
                             TRefused{"SettingWidth", -4294967286LL, 30},
                             TRefused{"Orientation", 2, 0}, TRefused{"Orientation", -1, 0},
                             TRefused{"AutoTone", 4, 0}, TRefused{"Style", 16, 15},
                             TRefused{"Style", -1, 15}, TRefused{"Anchors", 0x13, 3},
                             TRefused{"Color", 0x100000000LL, 0xFFFFFF},
                             // A setter's own range still applies behind the table.
                             TRefused{"SettingWidth", 9, 30}, TRefused{"MaxDuration", 9, 6}),
                         [](const auto& Info) {
                             return std::string(Info.param.Name) + "_" + std::to_string(Info.index);
                         });

TEST(PublishedColor, NegativeIsTheSigned32BitFormOfTheSameColour) {
    TKeymora C;
    const TPropInfo& P = *FindProperty("Color");
    SetPropertyValue(C, P, {-16777201, {}, {}});  // $FF00000F read as a signed integer
    EXPECT_EQ(C.Color(), 0xFF00000Fu);
    EXPECT_EQ(GetPropertyValue(C, P).Int, 0xFF00000FLL);
}

TEST(PublishedSet, GoesThroughTheSetterWithItsEvents) {
    TKeymora C;
    int Offsets = 0;
    C.OnOffsetChanged = [&](TObject*) { ++Offsets; };
    SetPropertyValue(C, *FindProperty("Octave"), {6, {}, {}});
    EXPECT_EQ(C.OffsetOctave(), 1);
    EXPECT_EQ(Offsets, 1);
    // A copy of a table entry is recognised by its name.
    TPropInfo Copy = *FindProperty("Octave");
    SetPropertyValue(C, Copy, {7, {}, {}});
    EXPECT_EQ(C.Octave(), 7);
}

// Saving the stored properties of one control and assigning them in declaration order to a new
// one, as a form does, gives the same values wherever each fits those loaded before it.
TEST(PublishedForm, SavedPropertiesLoadIntoAnEqualControl) {
    TKeymora Saved;
    const auto Set = [&](const char* Name, long long Int, const char* Str = "") {
        SetPropertyValue(Saved, *FindProperty(Name), {Int, Str, {}});
    };
    Set("Orientation", 1);
    Set("Style", 0b1001);
    Set("SettingWidth", 40);
    Set("DurationWidth", 7);
    Set("DurationPosition", 2);
    Set("AutoTone", 2);
    Set("Keys", 0, "ZXCVBNM");
    Set("MaxDuration", 7);
    Set("MouseTrack", 1);
    Set("Color", 0x00C0C0C0);
    Set("TabStop", 0);

    TKeymora Loaded;
    SaveAndLoad(Saved, Loaded);

    for (const TPropInfo& P : PublishedProperties()) {
        SCOPED_TRACE(std::string(P.Name));
        const TPropValue A = GetPropertyValue(Saved, P);
        const TPropValue B = GetPropertyValue(Loaded, P);
        EXPECT_EQ(A.Int, B.Int);
        EXPECT_EQ(A.Str, B.Str);
        EXPECT_EQ(A.Font, B.Font);
    }
}

// Loading checks each value against what is loaded before it: an offset saved ahead of its
// larger maximum meets the constructor's maximum of 4 and is refused.
TEST(PublishedForm, OffsetSavedAheadOfItsMaximumIsRefused) {
    TKeymora Saved;
    Saved.SetOutOctave(6);
    Saved.SetOffsetOctave(5);
    TKeymora Loaded;
    SaveAndLoad(Saved, Loaded);
    EXPECT_EQ(Loaded.MaxOffsetOttave(), 6);
    EXPECT_EQ(Loaded.OffsetOctave(), 0);
}

}  // namespace
}  // namespace keymora
