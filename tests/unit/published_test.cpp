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
    // A value other than the constructor's that the setter accepts on a new control: Int, or
    // Str for the string.
    long long Accepted;
    const char* AcceptedStr;
};

using K = TPropKind;

// Declaration order with the stored defaults; sets as bits (akLeft|akTop = 3, all edges = 15),
// enumerations as ordinals (bvRaised = 2, bvLowered = 1). The font's accepted value is
// AcceptedFont() below.
const TExpectedProp Expected[] = {
    {"Orientation", K::Enumeration, false, 0, false, 1, ""},
    {"Style", K::Set, false, 0, false, 0b0101, ""},
    {"SettingWidth", K::Integer, true, 30, false, 10, ""},
    {"DurationWidth", K::Integer, true, 5, false, -3, ""},
    {"DurationPosition", K::Integer, true, 0, false, 5, ""},
    {"Octave", K::Integer, true, 5, false, 9, ""},
    {"AutoTone", K::Enumeration, false, 0, false, 3, ""},
    {"OffsetOctave", K::Integer, true, 0, false, 4, ""},
    {"MaxOffsetDuration", K::Integer, true, 3, false, 1, ""},
    {"MaxOffsetOttave", K::Integer, true, 4, false, 8, ""},
    {"Keys", K::String, false, 0, false, 0, "QWERTYU"},
    {"MaxDuration", K::Integer, true, 6, false, 8, ""},
    {"MouseTrack", K::Boolean, true, 0, false, 1, ""},
    {"OffsetDuration", K::Integer, true, 0, false, 3, ""},
    {"CtrlMove", K::Boolean, false, 0, false, 1, ""},
    {"Align", K::Enumeration, true, 0, true, 5, ""},
    {"Anchors", K::Set, true, 3, true, 0b1100, ""},
    {"Color", K::Color, true, 0xFFFFFF, true, 0x00FF0000, ""},
    {"Font", K::Font, false, 0, true, 0, ""},
    {"BevelEdges", K::Set, true, 15, true, 0, ""},
    {"BevelInner", K::Enumeration, true, 2, true, 3, ""},
    {"BevelOuter", K::Enumeration, true, 1, true, 0, ""},
    {"BevelKind", K::Enumeration, true, 0, true, 3, ""},
    {"BevelWidth", K::Integer, true, 1, true, 4, ""},
    {"BorderWidth", K::Integer, true, 0, true, 2, ""},
    {"Ctl3D", K::Boolean, false, 0, true, 0, ""},
    {"ShowHint", K::Boolean, true, 0, true, 1, ""},
    {"Enabled", K::Boolean, true, 1, true, 0, ""},
    {"TabStop", K::Boolean, true, 1, true, 0, ""},
    {"Visible", K::Boolean, true, 1, true, 0, ""},
};

TFont AcceptedFont() {
    TFont F;
    F.Name = "Liberation Sans";
    F.Size = 12;
    F.Color = clMaroon;
    F.Style.Include(fsBold);
    return F;
}

TPropValue AcceptedValue(const TExpectedProp& E) {
    TPropValue V;
    V.Int = E.Accepted;
    V.Str = E.AcceptedStr;
    if (E.Kind == K::Font) V.Font = AcceptedFont();
    return V;
}

// Whether two values of Kind are equal in the member that holds the kind.
bool SameValue(TPropKind Kind, const TPropValue& A, const TPropValue& B) {
    if (Kind == K::String) return A.Str == B.Str;
    if (Kind == K::Font) return A.Font == B.Font;
    return A.Int == B.Int;
}

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

// Each row of the table, with its expected entry (the same index: DeclarationOrderKindsAndDefaults
// checks that the names agree).
class PublishedRow : public ::testing::TestWithParam<std::size_t> {
  protected:
    const TPropInfo& Info() const { return PublishedProperties()[GetParam()]; }
    const TExpectedProp& Expect() const { return Expected[GetParam()]; }
};

TEST_P(PublishedRow, SetThroughTheSetterThenGetGivesTheValueBack) {
    TKeymora C;
    const TPropValue V = AcceptedValue(Expect());
    const TPropValue Before = GetPropertyValue(C, Info());
    SetPropertyValue(C, Info(), V);
    const TPropValue After = GetPropertyValue(C, Info());
    EXPECT_FALSE(SameValue(Info().Kind, Before, V));
    EXPECT_TRUE(SameValue(Info().Kind, After, V));
    EXPECT_TRUE(IsPropertyStored(C, Info()));
}

// A property with a default is saved exactly while it differs from it; one without is always
// saved.
TEST_P(PublishedRow, StoredUnlessEqualToTheStoredDefault) {
    TKeymora C;
    if (!Expect().HasDefault) {
        EXPECT_TRUE(IsPropertyStored(C, Info()));
        SetPropertyValue(C, Info(), AcceptedValue(Expect()));
        EXPECT_TRUE(IsPropertyStored(C, Info()));
        return;
    }
    SetPropertyValue(C, Info(), {Expect().Default, {}, {}});
    ASSERT_EQ(GetPropertyValue(C, Info()).Int, Expect().Default);
    EXPECT_FALSE(IsPropertyStored(C, Info()));
    SetPropertyValue(C, Info(), AcceptedValue(Expect()));
    EXPECT_TRUE(IsPropertyStored(C, Info()));
    SetPropertyValue(C, Info(), {Expect().Default, {}, {}});
    EXPECT_FALSE(IsPropertyStored(C, Info()));
}

// Values beyond the field's type, each one that a truncation to the field's width would turn
// into the accepted value (plus 2^32 for 32-bit fields, plus 256 for the byte-wide enumerations
// and sets), are refused; a boolean takes any non-zero value, 2^32 too, as true.
TEST_P(PublishedRow, ValuesBeyondTheTypeAreRefusedNotTruncated) {
    const long long Accepted = Expect().Accepted;
    const std::size_t Count = Info().Names.size();
    std::vector<long long> Refused;
    switch (Info().Kind) {
        case K::Integer:
            Refused = {Accepted + (1LL << 32), Accepted - (1LL << 32)};
            break;
        case K::Enumeration:
            Refused = {static_cast<long long>(Count), -1, Accepted + 256};
            break;
        case K::Set:
            Refused = {Accepted | (1LL << Count), -1, Accepted + 256};
            break;
        case K::Color:
            Refused = {Accepted + (1LL << 32), -(1LL << 31) - 1};
            break;
        case K::Boolean: {
            TKeymora C;
            SetPropertyValue(C, Info(), {0, {}, {}});
            SetPropertyValue(C, Info(), {1LL << 32, {}, {}});
            EXPECT_EQ(GetPropertyValue(C, Info()).Int, 1);
            return;
        }
        case K::String:
        case K::Font:
            return;
    }
    for (long long V : Refused) {
        SCOPED_TRACE(V);
        TKeymora C;
        const TPropValue Before = GetPropertyValue(C, Info());
        SetPropertyValue(C, Info(), {V, {}, {}});
        EXPECT_EQ(GetPropertyValue(C, Info()).Int, Before.Int);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProperty, PublishedRow,
                         ::testing::Range<std::size_t>(0, std::size(Expected)),
                         [](const auto& Info) { return std::string(Expected[Info.param].Name); });

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

// An offset saved ahead of its larger maximum meets the constructor's maximum of 4 while it
// loads; Loaded checks it again against the loaded 6 and keeps it.
TEST(PublishedForm, OffsetSavedAheadOfItsMaximumIsKept) {
    TKeymora Saved;
    Saved.SetOutOctave(6);
    Saved.SetOffsetOctave(5);
    TKeymora Loaded;
    SaveAndLoad(Saved, Loaded);
    EXPECT_EQ(Loaded.MaxOffsetOttave(), 6);
    EXPECT_EQ(Loaded.OffsetOctave(), 5);
}

}  // namespace
}  // namespace keymora
