// Letters and octave numbers on the keys. The recording canvas measures a size-8 letter as 6 x 14
// pixels; with KeyWidth 10 a horizontal letter starts 2 pixels into its key, a vertical one 2
// pixels before it ((10 - 14) div 2 = -2).
#include "render_support.h"

namespace keymora::test::paint {
namespace {

struct MarkCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    bool Focused;
    std::vector<std::string> Expected;  // every text of keys C1 and C4, in order
};

class MarkText : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkText, LetterThenNumberInPlaceAndColour) {
    const MarkCase& C = GetParam();
    const bool H = C.Orientation == koHorizontal;
    Painter P(H ? 551 : 100, H ? 100 : 551, Marks, C.Orientation);
    if (C.Focused) P.Window->GiveFocus();
    const auto Texts = Starting(P.Paint(), "text ");
    // C1 is white key 2 at 20, C4 (the current octave 5) white key 23 at 230.
    std::vector<std::string> Got = From(Texts, C.Expected[0], 2);
    const auto C4 = From(Texts, C.Expected[2], 2);
    Got.insert(Got.end(), C4.begin(), C4.end());
    EXPECT_EQ(Got, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orientations, MarkText,
    ::testing::Values(
        MarkCase{"HorizontalFocused",
                 koHorizontal,
                 true,
                 {"text 22 84 C Arial 8 $00C0C0C0", "text 22 2 2 Arial 7 $00000000",
                  "text 232 84 C Arial 8 $00000080", "text 232 2 5 Arial 7 $00000000"}},
        MarkCase{"HorizontalUnfocused",
                 koHorizontal,
                 false,
                 {"text 22 84 C Arial 8 $00C0C0C0", "text 22 2 2 Arial 7 $00000000",
                  "text 232 84 C Arial 8 $00808080", "text 232 2 5 Arial 7 $00000000"}},
        MarkCase{"VerticalFocused",
                 koVertical,
                 true,
                 {"text 86 18 C Arial 8 $00C0C0C0", "text 2 22 2 Arial 7 $00000000",
                  "text 86 228 C Arial 8 $00000080", "text 2 232 5 Arial 7 $00000000"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Marks, OctaveNumbersKeepTheControlFontAndSkipC8) {
    Painter P(551, 100, Marks);
    TFont F = P.Control.Font();
    F.Color = 0x00336699;
    F.Style = TFontStyles{fsItalic};
    P.Control.SetFont(F);
    P.Control.SetOctave(9);
    std::vector<std::string> Numbers;
    std::vector<std::string> Letters;  // text and colour
    for (const TCanvasCall& Call : P.PaintCalls()) {
        if (Call.Op != TCanvasOp::TextOut) continue;
        if (Call.Font.Size == 8) Letters.push_back(Call.Text + " " + Hex(Call.Font.Color));
        if (Call.Font.Size != 7 || Call.Font.Color != 0x00336699) continue;
        EXPECT_EQ(Call.Font.Name, "Arial");
        EXPECT_TRUE(Call.Font.Style.Contains(fsItalic));
        Numbers.push_back(Call.Text);
    }
    EXPECT_EQ(Numbers, (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8"}));
    // Octave 9 is current: only C8, the last of the 52 letters, stands out.
    ASSERT_EQ(Letters.size(), 52u);
    EXPECT_EQ(Letters.back(), "C $00808080");
    EXPECT_EQ(Letters[50], "B $00C0C0C0");
}

struct KeysCase {
    const char* Name;
    const char* Keys;
    std::string Octave5Letters;  // C4..B4 in order
    std::size_t LetterCount;
};

class MarkLetters : public ::testing::TestWithParam<KeysCase> {};

TEST_P(MarkLetters, ComeFromKeysAsStoredAndStopAtItsEnd) {
    const KeysCase& C = GetParam();
    Painter P(551, 100, Marks);
    P.Control.SetKeys(C.Keys);
    std::string Current;
    std::size_t Count = 0;
    for (const TCanvasCall& Call : P.PaintCalls()) {
        if (Call.Op != TCanvasOp::TextOut || Call.Font.Size != 8) continue;
        ++Count;
        if (Call.Font.Color == clGray) Current += Call.Text;
    }
    EXPECT_EQ(Current, C.Octave5Letters);
    EXPECT_EQ(Count, C.LetterCount);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MarkLetters,
    ::testing::Values(KeysCase{"Default", "CDEFGAB", "CDEFGAB", 52},
                      KeysCase{"LowerCaseStays", "qwertyu", "qwertyu", 52},
                      // Three letters: 8 Cs, 7 Ds and 7 Es carry one, the rest none.
                      KeysCase{"Short", "zxc", "zxc", 22}, KeysCase{"Empty", "", "", 0},
                      // Only the first seven letters are notes.
                      KeysCase{"Long", "ABCDEFGHI", "ABCDEFG", 52}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// A key in the application's colour carries its note name, letter and octave number in black or
// white, whichever stands out on it; a selected key shows red, not the colour, and its marks keep
// their own colours. C4 (white key 23 at 230, KeyWidth 10, height 100): the name (size 7, 5
// pixels wide) at 230 + (10 - 5) / 2 = 232, 100 - 30 = 70; the letter (size 8, 6 wide) at 232,
// 100 - 16 = 84; the number at 232, 2.
struct TintCase {
    const char* Name;
    TColor Tint;
    bool Selected;
    std::vector<std::string> Expected;
};

class TintedMarks : public ::testing::TestWithParam<TintCase> {};

TEST_P(TintedMarks, StandOutOnTheKeysColour) {
    const TintCase& C = GetParam();
    Painter P(551, 100, Marks);
    P.Control.SetNoteNames(true);
    P.Control.SetKeyColor(23, false, C.Tint);
    if (C.Selected) P.Control.SelectNote(5, 0, 0);  // C of octave 5 (C4)
    const auto Texts = Starting(P.Paint(), "text ");
    const auto Name = Starting(Texts, "text 232 70 ");
    ASSERT_EQ(Name.size(), 1u);
    EXPECT_EQ(From(Texts, Name[0], 3), C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, TintedMarks,
    ::testing::Values(
        // Navy: 114 * 128 = 14,592 < 128,000, dark.
        TintCase{"DarkColourWhiteMarks",
                 0x00800000,
                 false,
                 {"text 232 70 C Arial 7 $00FFFFFF", "text 232 84 C Arial 8 $00FFFFFF",
                  "text 232 2 5 Arial 7 $00FFFFFF"}},
        // 299 * 255 + 587 * 255 + 114 * 192 = 247,818: light.
        TintCase{"LightColourBlackMarks",
                 0x00C0FFFF,
                 false,
                 {"text 232 70 C Arial 7 $00000000", "text 232 84 C Arial 8 $00000000",
                  "text 232 2 5 Arial 7 $00000000"}},
        // Unfocused, current octave: a grey name and letter, the number in the font's colour.
        TintCase{"SelectedKeyOwnColours",
                 0x00800000,
                 true,
                 {"text 232 70 C Arial 7 $00808080", "text 232 84 C Arial 8 $00808080",
                  "text 232 2 5 Arial 7 $00000000"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Marks, AbsentWithoutShowMarks) {
    Painter P(551, 100, Colors | ScrollDur);
    for (const TCanvasCall& Call : P.PaintCalls()) {
        if (Call.Op == TCanvasOp::TextOut) {
            EXPECT_EQ(Call.Font.Size, 7) << Call.Text;
        }
    }
}

}  // namespace
}  // namespace keymora::test::paint
