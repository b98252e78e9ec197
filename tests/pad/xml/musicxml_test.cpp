// MusicXML documents: saved and opened back equal, read independently as complete bars, what
// other programs write accepted, everything else refused with its line and the document kept,
// and the save and open faults reported with the old file intact.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "../../support/write_faults.h"
#include "musicxml.h"

namespace keymora::pad {
namespace {

namespace fs = std::filesystem;

TEntry Note(int Octave, int Letter, int Tone, int Duration) {
    return {false, Octave, Letter, Tone, Duration};
}
TEntry Rest(int Duration) { return {true, 0, 0, 0, Duration}; }

TNoteList Make(std::vector<TEntry> Entries, TTimeSignature Time = {4, 4}, int Tempo = 120) {
    TNoteList L;
    L.Assign(std::move(Entries), Time, Tempo);
    return L;
}

QString TempPath(const char* Name) {
    return QString::fromStdString((fs::path(::testing::TempDir()) / Name).native());
}

// Every value, and every spelling the keyboard reports: naturals, sharps, flats, the white-key
// sharps and flats (Fb, Cb, E#, B#), the lowest and the highest key.
TNoteList Everything(TTimeSignature Time, int Tempo) {
    std::vector<TEntry> E;
    const TEntry Spellings[] = {Note(5, 1, 0, 0),  Note(5, 1, 1, 0),  Note(5, 2, -1, 0),
                                Note(5, 4, -1, 0), Note(5, 1, -1, 0), Note(5, 3, 1, 0),
                                Note(4, 7, 1, 0),  Note(1, 6, 0, 0),  Note(9, 1, 0, 0),
                                Note(1, 7, -1, 0), Note(8, 7, 1, 0),  Note(3, 5, 0, 0)};
    int K = 0;
    for (int D = 0; D < 8; ++D)
        for (TEntry S : Spellings) {
            S.Duration = (D + K++) % 8;
            E.push_back(S);
            if (K % 5 == 0) E.push_back(Rest(K % 8));
        }
    return Make(E, Time, Tempo);
}

struct TRoundCase {
    const char* Name;
    TNoteList List;
};

const TRoundCase RoundCases[] = {
    {"empty", Make({})},
    {"everything_four_four", Everything({4, 4}, 120)},
    {"everything_three_four", Everything({3, 4}, 20)},
    {"everything_six_eight", Everything({6, 8}, 400)},
    {"everything_five_sixteen", Everything({5, 16}, 77)},
    // A melody whose notes and rests cross bar lines, ending in a part bar.
    {"melody_four_four",
     Make({Note(5, 5, 0, 1), Note(5, 5, 0, 2), Note(5, 6, 0, 1), Rest(1), Note(5, 4, 1, 0),
           Rest(0), Note(4, 7, -1, 3)},
          {4, 4}, 96)},
    {"melody_three_four",
     Make({Note(5, 1, 0, 1), Note(5, 3, 0, 1), Rest(0), Note(5, 5, 0, 0), Note(4, 5, 0, 3)},
          {3, 4}, 60)},
    {"melody_six_eight",
     Make({Note(5, 3, -1, 2), Note(5, 3, 0, 0), Rest(1), Rest(0), Note(4, 1, 1, 1)}, {6, 8}, 132)},
    {"one_bar_rest", Make({Rest(0)}, {2, 2}, 100)},
};

class RoundTrip : public ::testing::TestWithParam<TRoundCase> {};

TEST_P(RoundTrip, SavedAndOpenedEqual) {
    const TNoteList& L = GetParam().List;
    const QString Path = TempPath("round.musicxml");
    QString Error;
    ASSERT_TRUE(SaveMusicXml(Path, L, Error)) << Error.toStdString();
    TNoteList Back = Make({Note(5, 1, 0, 2)}, {3, 8}, 50);
    ASSERT_TRUE(OpenMusicXml(Path, Back, Error)) << Error.toStdString();
    EXPECT_TRUE(Back == L);
    EXPECT_EQ(Back.Entries(), L.Entries());
    EXPECT_EQ(Back.Time(), L.Time());
    EXPECT_EQ(Back.Tempo(), L.Tempo());
    QFile::remove(Path);
}

// Read independently of the reader: every measure is full, pitched notes below middle C sit on
// staff 2, and every tie start is answered by a stop on the next note.
TEST_P(RoundTrip, BarsAreCompleteNotation) {
    const TNoteList& L = GetParam().List;
    QXmlStreamReader X(ToMusicXml(L));
    const int Bar = L.Time().BarTicks() / 15;
    int Measures = 0, InMeasure = 0, Duration = 0, Midi = 0, Staff = 0, OpenTies = 0;
    QString Step;
    bool Rest = false;
    while (!X.atEnd()) {
        X.readNext();
        if (X.isStartElement()) {
            if (X.name() == u"measure") InMeasure = 0, ++Measures;
            if (X.name() == u"note") Rest = false, Midi = 0;
            if (X.name() == u"rest") Rest = true;
            // C D E F G A B: semitones above C, counted here rather than through TNote.
            if (X.name() == u"step") {
                Step = X.readElementText();
                const int Semitones[] = {0, 2, 4, 5, 7, 9, 11};
                Midi += Semitones[std::max<qsizetype>(0, QStringLiteral("CDEFGAB").indexOf(Step))];
            }
            if (X.name() == u"alter") Midi += X.readElementText().toInt();
            if (X.name() == u"octave") Midi += 12 * (X.readElementText().toInt() + 1);
            if (X.name() == u"duration") Duration = X.readElementText().toInt();
            if (X.name() == u"staff") Staff = X.readElementText().toInt();
            if (X.name() == u"tie" && X.attributes().value(QLatin1StringView("type")) == u"start")
                ++OpenTies;
            if (X.name() == u"tie" && X.attributes().value(QLatin1StringView("type")) == u"stop")
                --OpenTies;
        } else if (X.isEndElement()) {
            if (X.name() == u"note") {
                InMeasure += Duration;
                EXPECT_EQ(Staff, !Rest && Midi < 60 ? 2 : 1) << Step.toStdString() << Midi;
                EXPECT_GE(OpenTies, 0);
                EXPECT_LE(OpenTies, 1);
            }
            if (X.name() == u"measure") {
                EXPECT_EQ(InMeasure, Bar) << "measure " << Measures;
            }
        }
    }
    EXPECT_FALSE(X.hasError()) << X.errorString().toStdString();
    EXPECT_EQ(OpenTies, 0);
    EXPECT_GE(Measures, 1);
}

INSTANTIATE_TEST_SUITE_P(Documents, RoundTrip, ::testing::ValuesIn(RoundCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(MusicXmlWriter, HeaderStavesClefsAndSigns) {
    const QByteArray X = ToMusicXml(
        Make({Note(5, 4, 1, 2), Note(5, 4, 0, 2), Note(5, 4, -1, 1), Note(4, 1, 0, 1)}, {4, 4},
             90));
    for (const char* Part :
         {"<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\"",
          "<score-partwise version=\"4.0\">", "<divisions>32</divisions>", "<staves>2</staves>",
          "<sign>G</sign>", "<sign>F</sign>", "<per-minute>90</per-minute>",
          "<sound tempo=\"90\"/>", "<accidental>sharp</accidental>",
          "<accidental>natural</accidental>", "<accidental>flat</accidental>",
          "<step>F</step>\n     <alter>-1</alter>\n     <octave>4</octave>"})
        EXPECT_TRUE(X.contains(Part)) << Part << "\n" << X.toStdString();
}

// Documents other programs write: the part after the five lines of Head, in measure 1.
constexpr const char* Head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<score-partwise version=\"4.0\">\n"
    "<part-list><score-part id=\"P1\"><part-name>M</part-name></score-part></part-list>\n"
    "<part id=\"P1\"><measure number=\"1\">\n"
    "<attributes><divisions>2</divisions></attributes>\n";
constexpr const char* Tail = "</measure></part></score-partwise>\n";

QByteArray Doc(const QByteArray& Body, bool Closed = true) {
    return QByteArray(Head) + Body + (Closed ? Tail : "");
}

struct TForeignCase {
    const char* Name;
    const char* Body;
    std::vector<TEntry> Entries;
    TTimeSignature Time;
    int Tempo;
};

#define C4(D, X)                                                                          \
    "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" #D "</duration>" X \
    "</note>\n"
#define R(D) "<note><rest/><duration>" #D "</duration></note>\n"

const TForeignCase ForeignCases[] = {
    {"dotted_quarter_tied_to_an_eighth_is_a_half",
     C4(3, "<tie type=\"start\"/><type>quarter</type><dot/>") C4(1, "<tie type=\"stop\"/>") R(4),
     {Note(5, 1, 0, 1), Rest(1)}, {4, 4}, 120},
    {"type_without_duration",
     "<note><pitch><step>B</step><alter>-1</alter><octave>3</octave></pitch>"
     "<type>16th</type></note>"
     "<forward><duration>7</duration></forward>\n",
     {Note(4, 7, -1, 4), Rest(1), Rest(2), Rest(3)}, {4, 4}, 120},
    {"whole_bar_rest_in_three_four_and_metronome_in_halves",
     "<attributes><time><beats>3</beats><beat-type>4</beat-type></time></attributes>"
     "<direction><direction-type><metronome><beat-unit>half</beat-unit><per-minute>45</per-minute>"
     "</metronome></direction-type></direction>\n"
     "<note><rest measure=\"yes\"/><duration>6</duration></note>",
     {Rest(1), Rest(2)}, {3, 4}, 90},
    {"staff_two_voice_one_and_a_harmless_backup",
     C4(4, "<voice>1</voice><staff>2</staff>") "<backup><duration>4</duration></backup>"
     "<forward><duration>4</duration></forward>" C4(4, "<voice>1</voice>"),
     {Note(5, 1, 0, 1), Note(5, 1, 0, 1)}, {4, 4}, 120},
    // MuseScore's filler for an empty staff: an invisible rest in a voice of its own.
    {"invisible_rest_in_another_voice_holds_a_place",
     C4(8, "<voice>1</voice>") "<backup><duration>8</duration></backup>"
     "<note print-object=\"no\"><rest/><duration>8</duration><voice>5</voice>"
     "<staff>2</staff></note>",
     {Note(5, 1, 0, 0)}, {4, 4}, 120},
    {"sound_tempo_wins_and_layout_is_ignored",
     "<print new-page=\"yes\"/><direction><direction-type><metronome><beat-unit>quarter</beat-unit>"
     "<per-minute>60</per-minute></metronome></direction-type><sound tempo=\"72.4\"/></direction>"
     C4(8, "<stem>up</stem><notations><fermata/></notations>"),
     {Note(5, 1, 0, 0)}, {4, 4}, 72},
};

class Foreign : public ::testing::TestWithParam<TForeignCase> {};

TEST_P(Foreign, Accepted) {
    const TForeignCase& C = GetParam();
    TNoteList Out;
    QString Error;
    ASSERT_TRUE(FromMusicXml(Doc(C.Body), Out, Error)) << Error.toStdString();
    EXPECT_EQ(Out.Entries(), C.Entries);
    EXPECT_EQ(Out.Time(), C.Time);
    EXPECT_EQ(Out.Tempo(), C.Tempo);
}

INSTANTIATE_TEST_SUITE_P(Documents, Foreign, ::testing::ValuesIn(ForeignCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct THostileCase {
    const char* Name;
    QByteArray Data;
    const char* Said;  // part of the message, line included
};

const char* const Laughs =
    "<?xml version=\"1.0\"?>\n<!DOCTYPE score-partwise [\n<!ENTITY a \"aaaaaaaaaa\">\n"
    "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
    "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
    "]>\n<score-partwise><part-list/><part id=\"P1\"><measure><note>&c;</note></measure></part>"
    "</score-partwise>\n";

const THostileCase HostileCases[] = {
    {"truncated", Doc(C4(2, ""), false), "line 7: the document ends early"},
    {"wrong_root", "<?xml version=\"1.0\"?>\n<score-timewise version=\"4.0\"/>\n",
     "line 2: a score-timewise document"},
    {"other_root", "<html>\n</html>", "line 1: not a MusicXML score: the root element is <html>"},
    {"not_xml", "MThd\x01\x02 not xml", "line 1: not well-formed XML"},
    {"empty", "", "line 1: the document is empty"},
    {"compressed", QByteArray("PK\x03\x04\x14\0\0\0", 8), "line 1: a compressed MusicXML file"},
    {"huge", QByteArray(MaxMusicXmlBytes + 1, ' '),
     "line 1: the document is 33554433 bytes, and documents over 32 MiB are not read"},
    {"chord", Doc(C4(2, "") "<note><chord/><pitch><step>E</step><octave>4</octave></pitch>"
                            "<duration>2</duration></note>"),
     "line 7: a chord (<chord/>)"},
    {"tuplet", Doc("\n<note><rest/><duration>1</duration>\n<time-modification/></note>"),
     "line 8: a tuplet (<time-modification>)"},
    {"grace", Doc("<note><grace/>" "</note>"), "line 6: a grace note"},
    {"unknown_type", Doc(C4(16, "<type>breve</type>")), "line 6: a note value <type>breve</type>"},
    {"inconsistent_duration", Doc(C4(3, "<type>quarter</type>")),
     "line 6: a <duration> of 3 (3/8 at 2 divisions a quarter) that does not match"},
    {"backup_into_the_previous_note", Doc(C4(1, "") "<backup><duration>1</duration></backup>"
                                       "<note><rest/><type>64th</type></note>"),
     "line 7: a note that starts before the previous one ends"},
    {"several_parts",
     "<score-partwise>\n<part-list>\n<score-part id=\"P1\"/>\n<score-part id=\"P2\"/></part-list>",
     "line 4: a second <score-part>"},
    {"second_part_element", Doc("</measure></part>\n<part id=\"P2\"><measure>"),
     "line 7: a second <part>"},
    {"two_voices", Doc(C4(8, "<voice>1</voice>") "<backup><duration>8</duration></backup>\n"
                       C4(8, "<voice>2</voice>")),
     "line 8: voice 2: only one voice"},
    {"below_a0", Doc("<note><pitch><step>A</step><alter>-1</alter><octave>0</octave></pitch>"
                     "<duration>8</duration></note>"),
     "line 6: Ab0 is off the keyboard's 88 keys"},
    {"above_c8",
     Doc("\n<note><pitch><step>D</step><octave>8</octave></pitch><duration>8</duration></note>"),
     "line 7: D8 is off"},
    {"double_sharp", Doc("<note><pitch><step>F</step>\n<alter>2</alter><octave>4</octave></pitch>"
                         "<duration>8</duration></note>"),
     "line 7: an <alter> of '2'"},
    {"entities", Laughs, "line 6: the DOCTYPE declares entities"},
    {"lone_dotted_note", Doc(C4(3, "<type>quarter</type><dot/>") R(5)),
     "line 6: a dotted note, a length of 3/8"},
    {"tie_from_nowhere", Doc(R(2) C4(6, "<tie type=\"stop\"/>")), "line 7: a tie that stops here"},
    {"tie_to_nowhere", Doc(C4(2, "<tie type=\"start\"/>") R(6)), "line 6: a tie that starts here"},
    {"meter_change", Doc(R(8) "</measure><measure>\n<attributes><time><beats>3</beats>"
                              "<beat-type>4</beat-type></time></attributes>"),
     "line 8: a change of meter from 4/4 to 3/4"},
    {"pickup_measure", Doc(R(2) "</measure>\n<measure number=\"2\">" R(8)),
     "line 4: measure 1 lasts 1/4 where the meter wants 4/4"},
    {"long_measure", Doc(R(8) R(1)), "line 7: measure 1 lasts longer than its meter's 4/4"},
    {"deep_nesting",
     Doc(QByteArray("<a>").repeated(70) + "\n" + QByteArray("</a>").repeated(70)),
     "line 6: elements nested deeper than 64 levels"},
    {"note_after_the_fill",
     Doc("<note><?keymora fill?><rest/><duration>2</duration></note>\n" R(6)),
     "line 7: a note after the rests that complete the last bar"},
    {"tempo_out_of_range", Doc("<sound tempo=\"1000\"/>"), "line 6: a tempo of '1000'"},
    // 31,251 bars of 32/1, each rest split into 32 whole rests: one bar more than the cap holds.
    {"too_many_entries",
     Doc("<attributes><time><beats>32</beats><beat-type>1</beat-type></time></attributes>" R(256) +
         QByteArray("</measure><measure>" R(256)).repeated(31250)),
     "line 31256: more than 1000000 notes and rests"},
    {"element_in_a_value", Doc("<note><rest/><duration>4<b/></duration></note>"),
     "line 6: <b> inside an element that holds text alone"},
    {"duration_not_in_128ths", Doc("<attributes><divisions>3</divisions></attributes>" C4(1, "")),
     "line 6: a <duration> of 1 at 3 divisions a quarter is no whole number"},
};

#undef C4
#undef R

class Hostile : public ::testing::TestWithParam<THostileCase> {};

TEST_P(Hostile, RefusedWithLineAndDocumentKept) {
    const TNoteList Before = Make({Note(5, 1, 0, 2), Rest(3)}, {3, 8}, 66);
    TNoteList Out = Before;
    QString Error;
    EXPECT_FALSE(FromMusicXml(GetParam().Data, Out, Error));
    EXPECT_TRUE(Error.contains(QString::fromUtf8(GetParam().Said))) << Error.toStdString();
    EXPECT_TRUE(Out == Before);
}

INSTANTIATE_TEST_SUITE_P(Documents, Hostile, ::testing::ValuesIn(HostileCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

using keymora::testing::TFaultCase;
class MusicXmlWriteFaults : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(MusicXmlWriteFaults, OldFileKept) {
    const TNoteList L = Everything({4, 4}, 120);
    keymora::testing::CheckWriteFault(GetParam(), "musicxml", [&](const fs::path& P) {
        QString Error;
        if (SaveMusicXml(QString::fromStdString(P.native()), L, Error))
            return std::optional<std::string>();
        EXPECT_TRUE(Error.contains(QString::fromStdString(P.native()))) << Error.toStdString();
        return std::optional(Error.toStdString());
    }, 4096, "out.musicxml");
}

INSTANTIATE_TEST_SUITE_P(Faults, MusicXmlWriteFaults,
                         ::testing::ValuesIn(keymora::testing::WriteFaultCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// A real full disk: a 16 KiB tmpfs holding the old file, where the new one does not fit. Mounting
// needs root (or the right to mount); elsewhere the file-size limit above stands in for it.
TEST(MusicXmlSave, FullDiskKeepsTheOldFile) {
    // A folder of this process's own: a mount on a shared one would stack on another run's.
    const fs::path Folder =
        fs::path(::testing::TempDir()) / ("keymora_musicxml_full_" + std::to_string(::getpid()));
    fs::create_directories(Folder);
    if (::mount("tmpfs", Folder.c_str(), "tmpfs", 0, "size=16k") != 0) {
        const int Errno = errno;
        fs::remove_all(Folder);
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(Errno);
    }
    const std::string Old = "old contents that must survive\n";
    std::ofstream(Folder / "out.musicxml", std::ios::binary) << Old;
    QString Error;
    const bool Saved = SaveMusicXml(QString::fromStdString((Folder / "out.musicxml").native()),
                                    Everything({4, 4}, 120), Error);
    const std::string After = keymora::testing::ReadWhole(Folder / "out.musicxml");
    const int Stray = keymora::testing::StrayEntries(Folder, {"out.musicxml"});
    ::umount(Folder.c_str());
    fs::remove_all(Folder);
    EXPECT_FALSE(Saved);
    EXPECT_TRUE(Error.contains(QStringLiteral("No space left on device"))) << Error.toStdString();
    EXPECT_EQ(After, Old);
    EXPECT_EQ(Stray, 0) << "a temporary was left";
}

TEST(MusicXmlOpen, RefusesWhatItCannotReadAndKeepsTheDocument) {
    const fs::path Folder = fs::path(::testing::TempDir()) / "keymora_musicxml_open";
    fs::remove_all(Folder);
    fs::create_directories(Folder / "folder");
    {
        // Sparse: over the limit without writing it.
        QFile Big(QString::fromStdString((Folder / "big.musicxml").native()));
        ASSERT_TRUE(Big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(Big.resize(MaxMusicXmlBytes + 1));
    }
    std::ofstream(Folder / "bad.musicxml") << "<score-partwise>\n<part>";
    const struct {
        const char* Name;
        const char* Said;
    } Cases[] = {{"missing.musicxml", "No such file"},
                 {"folder", "it is a directory"},
                 {"big.musicxml", "larger than 32 MiB"},
                 {"bad.musicxml", "bad.musicxml: line 2: the document ends early"}};
    for (const auto& C : Cases) {
        const TNoteList Before = Make({Rest(1)}, {2, 4}, 70);
        TNoteList Out = Before;
        QString Error;
        const QString Path = QString::fromStdString((Folder / C.Name).native());
        EXPECT_FALSE(OpenMusicXml(Path, Out, Error)) << C.Name;
        EXPECT_TRUE(Error.contains(QString::fromUtf8(C.Said))) << Error.toStdString();
        EXPECT_TRUE(Error.contains(Path)) << Error.toStdString();
        EXPECT_TRUE(Out == Before) << C.Name;
    }
    fs::remove_all(Folder);
}

}  // namespace
}  // namespace keymora::pad
