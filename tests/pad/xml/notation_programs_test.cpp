// The export opens in notation programs: MuseScore turns it into MIDI whose notes are the pad's
// own MIDI export's and into MusicXML of its own that the pad opens again, and LilyPond's
// musicxml2ly into a score with the same notes, ties and values. Each program is skipped where it
// is not installed (scripts/install-deps.sh installs both).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "keymora/pitch/pitch.h"
#include "midi_reader.h"
#include "musicxml.h"

namespace keymora::pad {
namespace {

TEntry Note(int Octave, int Letter, int Tone, int Duration) {
    return {false, Octave, Letter, Tone, Duration};
}
TEntry Rest(int Duration) {
    return {true, 0, 0, 0, Duration};
}

// Every value, sharps, flats and naturals in a bar, Fb, E# and Cb, the lowest and the highest
// key, notes on the bass staff, notes tied across bar lines and rests split by them.
TNoteList Sample() {
    TNoteList L;
    L.Assign(
        {Note(5, 4, 1, 2), Note(5, 4, 0, 3), Note(4, 7, -1, 3), Note(6, 3, 0, 1),  Note(5, 2, 0, 0),
         Rest(2),          Note(5, 5, 1, 1), Note(6, 1, 0, 1),  Note(5, 1, 0, 4),  Note(5, 2, 0, 5),
         Note(5, 3, 0, 6), Note(5, 4, 0, 7), Rest(7),           Rest(6),           Rest(5),
         Rest(4),          Note(1, 6, 0, 3), Note(9, 1, 0, 3),  Note(5, 4, -1, 2), Note(5, 3, 1, 1),
         Rest(0),          Note(4, 1, -1, 2)},
        {4, 4}, 96);
    return L;
}

struct TRun {
    int Exit = -1;
    QString Output;
};

TRun RunProgram(const QString& Program, const QStringList& Arguments, const QString& Folder) {
    QProcess P;
    P.setWorkingDirectory(Folder);
    P.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Env.insert(QStringLiteral("HOME"), Folder);  // MuseScore writes its settings there
    P.setProcessEnvironment(Env);
    P.start(Program, Arguments);
    TRun R;
    if (!P.waitForFinished(180000)) {
        P.kill();
        P.waitForFinished();
        R.Output = QStringLiteral("timed out");
        return R;
    }
    R.Output = QString::fromUtf8(P.readAll());
    R.Exit = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    return R;
}

QString Find(std::initializer_list<const char*> Names) {
    for (const char* N : Names)
        if (const QString Path = QStandardPaths::findExecutable(QString::fromLatin1(N));
            !Path.isEmpty())
            return Path;
    return {};
}

TEST(NotationPrograms, MuseScoreMidiHasThePadsNotes) {
    const QString MuseScore = Find({"mscore3", "musescore3", "mscore"});
    if (MuseScore.isEmpty()) GTEST_SKIP() << "MuseScore is not installed";
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    const TNoteList L = Sample();
    QString Error;
    ASSERT_TRUE(SaveMusicXml(Folder.filePath(QStringLiteral("in.musicxml")), L, Error));
    const TRun R = RunProgram(
        MuseScore, {QStringLiteral("-o"), QStringLiteral("out.mid"), QStringLiteral("in.musicxml")},
        Folder.path());
    ASSERT_EQ(R.Exit, 0) << R.Output.toStdString();
    QFile Midi(Folder.filePath(QStringLiteral("out.mid")));
    ASSERT_TRUE(Midi.open(QIODevice::ReadOnly)) << R.Output.toStdString();
    const QByteArray Bytes = Midi.readAll();
    const ReadFile Theirs = ReadMidi({Bytes.begin(), Bytes.end()});
    const ReadFile Ours = ReadMidi(L.ToMidi());
    ASSERT_GT(Theirs.Division, 0);
    EXPECT_EQ(Theirs.Tempo, Ours.Tempo);
    ASSERT_EQ(Theirs.Notes.size(), Ours.Notes.size());
    for (std::size_t I = 0; I < Ours.Notes.size(); ++I) {
        const ReadNote& A = Ours.Notes[I];
        const ReadNote& B = Theirs.Notes[I];
        EXPECT_EQ(B.Number, A.Number) << "note " << I;
        EXPECT_EQ(B.Start * 480 / Theirs.Division, A.Start) << "note " << I;
        // MuseScore releases a note a tick early.
        const long Length = B.Length * 480 / Theirs.Division;
        EXPECT_LE(Length, A.Length) << "note " << I;
        EXPECT_GE(Length, A.Length - 2) << "note " << I;
    }
}

// The notes of a document with the tick each starts on: what any faithful copy keeps, even one
// that splits or joins its rests differently.
std::vector<std::pair<long long, TEntry>> TimedNotes(const TNoteList& L) {
    std::vector<std::pair<long long, TEntry>> Out;
    const std::vector<long long> Starts = L.StartTicks();
    for (std::size_t I = 0; I < L.Entries().size(); ++I)
        if (!L.Entries()[I].Rest) Out.emplace_back(Starts[I], L.Entries()[I]);
    return Out;
}

// MuseScore's own MusicXML export of the file (layout, beams, a voice of invisible rests on the
// empty staff, no processing instructions) opens in the pad with the same notes at the same times.
TEST(NotationPrograms, MuseScoresOwnExportOpens) {
    const QString MuseScore = Find({"mscore3", "musescore3", "mscore"});
    if (MuseScore.isEmpty()) GTEST_SKIP() << "MuseScore is not installed";
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    const TNoteList L = Sample();
    QString Error;
    ASSERT_TRUE(SaveMusicXml(Folder.filePath(QStringLiteral("in.musicxml")), L, Error));
    const TRun R = RunProgram(
        MuseScore,
        {QStringLiteral("-o"), QStringLiteral("out.musicxml"), QStringLiteral("in.musicxml")},
        Folder.path());
    ASSERT_EQ(R.Exit, 0) << R.Output.toStdString();
    TNoteList Back;
    ASSERT_TRUE(OpenMusicXml(Folder.filePath(QStringLiteral("out.musicxml")), Back, Error))
        << Error.toStdString();
    EXPECT_EQ(TimedNotes(Back), TimedNotes(L));
    EXPECT_EQ(Back.Time(), L.Time());
    EXPECT_EQ(Back.Tempo(), L.Tempo());
}

/// A note as LilyPond writes it in absolute pitch: "fis'4", "bes8", "a,,,8", with "~" when tied.
QString LilyNote(const TEntry& E, int Duration, bool Tied) {
    const keymora::TNote N{E.Octave, E.Note, E.Tone};
    QString S(QChar::fromLatin1("cdefgab"[N.Letter()]));
    if (N.Tone > 0) S += QStringLiteral("is");
    if (N.Tone < 0) S += QStringLiteral("es");
    const int Marks = N.ScientificOctave() - 3;
    S += QString(std::abs(Marks), Marks > 0 ? QLatin1Char('\'') : QLatin1Char(','));
    S += QString::number(1 << Duration);
    if (Tied) S += QStringLiteral("~");
    return S;
}

TEST(NotationPrograms, MusicXml2LyHasThePadsNotes) {
    const QString Converter = Find({"musicxml2ly"});
    if (Converter.isEmpty()) GTEST_SKIP() << "musicxml2ly is not installed";
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    const TNoteList L = Sample();
    QString Error;
    ASSERT_TRUE(SaveMusicXml(Folder.filePath(QStringLiteral("in.musicxml")), L, Error));
    const TRun R = RunProgram(Converter,
                              {QStringLiteral("--absolute"), QStringLiteral("-o"),
                               QStringLiteral("out.ly"), QStringLiteral("in.musicxml")},
                              Folder.path());
    ASSERT_EQ(R.Exit, 0) << R.Output.toStdString();
    QFile Ly(Folder.filePath(QStringLiteral("out.ly")));
    ASSERT_TRUE(Ly.open(QIODevice::ReadOnly));
    const QString Text = QString::fromUtf8(Ly.readAll());

    QStringList Expected;
    int Rests = 0;
    for (const TPiece& P : L.Pieces()) {
        const TEntry& E = L.Entries()[static_cast<std::size_t>(P.Entry)];
        if (E.Rest)
            ++Rests;
        else
            Expected << LilyNote(E, P.Duration, P.TieToNext);
    }
    QStringList Notes;
    int TheirRests = 0;
    static const QRegularExpression Token(
        QStringLiteral(R"((?<![\w\\"])([a-g](?:is|es)?[',]*\d+ ?~?|r\d+))"));
    for (auto M = Token.globalMatch(Text); M.hasNext();) {
        const QString T = M.next().captured(1).remove(QLatin1Char(' '));
        if (T.startsWith(QLatin1Char('r')))
            ++TheirRests;
        else
            Notes << T;
    }
    EXPECT_EQ(Notes, Expected) << Text.toStdString();
    // The rests split at bar lines, and those that fill the last bar.
    EXPECT_GE(TheirRests, Rests);
}

}  // namespace
}  // namespace keymora::pad
