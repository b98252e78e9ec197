// How entries are written in bars: Pieces() splits them at bar lines into plain values, largest
// first, and Accidentals() gives the sign before each piece by the bar rule. Every expected piece
// below was worked out by hand from the meter, not from the code.
#include <gtest/gtest.h>

#include "note_list.h"

namespace keymora::pad {
namespace {

constexpr TAccidental N = TAccidental::None, Sh = TAccidental::Sharp, Fl = TAccidental::Flat,
                      Na = TAccidental::Natural;

TEntry Note(int Octave, int Letter, int Tone, int Duration) {
    return {false, Octave, Letter, Tone, Duration};
}
TEntry Rest(int Duration) { return {true, 0, 0, 0, Duration}; }

struct TPiecesCase {
    const char* Name;
    TTimeSignature Time;
    std::vector<TEntry> Entries;
    std::vector<TPiece> Pieces;  // Entry, Bar, Start (ticks), Duration, TieFromPrevious, TieToNext
    std::vector<TAccidental> Signs;
};

const TPiecesCase PiecesCases[] = {
    {"half_on_beat_four_of_four_four",
     {4, 4},
     {Note(5, 1, 0, 2), Note(5, 1, 0, 2), Note(5, 1, 0, 2), Note(5, 2, 0, 1)},
     {{0, 0, 0, 2, false, false},
      {1, 0, 480, 2, false, false},
      {2, 0, 960, 2, false, false},
      {3, 0, 1440, 2, false, true},
      {3, 1, 0, 2, true, false}},
     {N, N, N, N, N}},
    // 720 ticks a bar: a quarter and an eighth fill it, twice, and a quarter is left.
    {"whole_in_three_eight",
     {3, 8},
     {Note(5, 1, 0, 0)},
     {{0, 0, 0, 2, false, true},
      {0, 0, 480, 3, true, true},
      {0, 1, 0, 2, true, true},
      {0, 1, 480, 3, true, true},
      {0, 2, 0, 2, true, false}},
     {N, N, N, N, N}},
    {"sharp_natural_sharp_in_one_bar",
     {4, 4},
     {Note(5, 4, 1, 2), Note(5, 4, 0, 2), Note(5, 4, 1, 2)},
     {{0, 0, 0, 2, false, false}, {1, 0, 480, 2, false, false}, {2, 0, 960, 2, false, false}},
     {Sh, Na, Sh}},
    // The tied continuation shows no sign and does not carry the sharp into the new bar.
    {"tie_across_the_bar_then_the_same_sharp",
     {4, 4},
     {Rest(1), Rest(2), Note(5, 4, 1, 1), Note(5, 4, 1, 2)},
     {{0, 0, 0, 1, false, false},
      {1, 0, 960, 2, false, false},
      {2, 0, 1440, 2, false, true},
      {2, 1, 0, 2, true, false},
      {3, 1, 480, 2, false, false}},
     {N, N, Sh, N, Sh}},
    {"bar_line_cancels_a_sharp",
     {2, 4},
     {Note(5, 4, 1, 1), Note(5, 4, 0, 1)},
     {{0, 0, 0, 1, false, false}, {1, 1, 0, 1, false, false}},
     {Sh, N}},
    {"other_octave_is_another_line_and_a_repeat_needs_no_sign",
     {4, 4},
     {Note(5, 4, 1, 2), Note(6, 4, 0, 2), Note(5, 4, 1, 2), Note(5, 7, -1, 2)},
     {{0, 0, 0, 2, false, false},
      {1, 0, 480, 2, false, false},
      {2, 0, 960, 2, false, false},
      {3, 0, 1440, 2, false, false}},
     {Sh, N, N, Fl}},
    // Note 8 flat is Cb of the next octave: the same line as that octave's C.
    {"carried_note_shares_the_line",
     {4, 4},
     {Note(5, 8, -1, 1), Note(6, 1, 0, 1)},
     {{0, 0, 0, 1, false, false}, {1, 0, 960, 1, false, false}},
     {Fl, Na}},
    // Rests split the same way, largest first: 3/4 leaves a quarter, then a half and an eighth.
    {"rest_across_bars_in_three_four",
     {3, 4},
     {Note(5, 1, 0, 1), Rest(0), Note(5, 1, 0, 3)},
     {{0, 0, 0, 1, false, false},
      {1, 0, 960, 2, false, true},
      {1, 1, 0, 1, true, true},
      {1, 1, 960, 2, true, false},
      {2, 2, 0, 3, false, false}},
     {N, N, N, N, N}},
    {"sixteenths_after_a_dotted_start_in_six_eight",
     {6, 8},
     {Note(5, 1, 0, 3), Note(5, 2, 0, 1), Note(5, 3, -1, 4)},
     {{0, 0, 0, 3, false, false},
      {1, 0, 240, 1, false, false},
      {2, 0, 1200, 4, false, false}},
     {N, N, Fl}},
};

class PiecesTable : public ::testing::TestWithParam<TPiecesCase> {};

TEST_P(PiecesTable, SplitAndSigns) {
    const TPiecesCase& C = GetParam();
    TNoteList L;
    L.Assign(C.Entries, C.Time, 120);
    const std::vector<TPiece> Pieces = L.Pieces();
    EXPECT_EQ(Pieces, C.Pieces);
    EXPECT_EQ(Accidentals(L, Pieces), C.Signs);
}

INSTANTIATE_TEST_SUITE_P(ByHand, PiecesTable, ::testing::ValuesIn(PiecesCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::pad
