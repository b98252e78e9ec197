// The MusicXML writer and reader of the pad's documents. Lengths are counted in 1/128 notes
// throughout: the writer's 32 divisions a quarter make a <duration> exactly that count, and the
// reader turns every other division into it, refusing what does not divide.
#include "musicxml.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numeric>
#include <optional>
#include <vector>

#include "keymora/pitch/pitch.h"

namespace keymora::pad {

namespace {

// 32 divisions a quarter: a 1/128 note lasts one, a whole note 128.
constexpr int Divisions = 32;
constexpr int WholeLength = 128;
constexpr int TicksPer128th = 15;  // TNoteList's 480 ticks a quarter
// The longest bar a meter gives (32/1); nothing in one measure lasts longer.
constexpr long long MaxBarLength = 32LL * WholeLength;

constexpr std::array<const char16_t*, 8> TypeNames = {u"whole", u"half", u"quarter", u"eighth",
                                                      u"16th",  u"32nd", u"64th",    u"128th"};

int PlainLength(int Duration) {
    return WholeLength >> Duration;
}

/// The plain value (0 = whole .. 7 = 1/128) lasting Length 1/128 notes, or -1.
int PlainOf(long long Length) {
    for (int D = 0; D < 8; ++D)
        if (PlainLength(D) == Length) return D;
    return -1;
}

/// The largest plain value not longer than Length (> 0).
int LargestWithin(long long Length) {
    int D = 0;
    while (PlainLength(D) > Length) ++D;
    return D;
}

int TypeIndex(QStringView Name) {
    for (int D = 0; D < 8; ++D)
        if (Name == QStringView(TypeNames[static_cast<std::size_t>(D)])) return D;
    return -1;
}

// ---- Writing ----

/// The strings a note is made of, made once per document so that writing a note allocates none
/// of its own.
struct TWords {
    QString Note = QStringLiteral("note"), Pitch = QStringLiteral("pitch"),
            Step = QStringLiteral("step"), Alter = QStringLiteral("alter"),
            Octave = QStringLiteral("octave"), Rest = QStringLiteral("rest"),
            Duration = QStringLiteral("duration"), Tie = QStringLiteral("tie"),
            Tied = QStringLiteral("tied"), Type = QStringLiteral("type"),
            Voice = QStringLiteral("voice"), One = QStringLiteral("1"),
            MinusOne = QStringLiteral("-1"), Accidental = QStringLiteral("accidental"),
            Staff = QStringLiteral("staff"), Notations = QStringLiteral("notations"),
            Start = QStringLiteral("start"), Stop = QStringLiteral("stop"),
            Keymora = QStringLiteral("keymora");
    std::array<QString, 8> TypeName, Length;
    std::array<QString, 7> Letter;
    std::array<QString, 10> Number;
    std::array<QString, 4> Sign = {QString(), QStringLiteral("sharp"), QStringLiteral("flat"),
                                   QStringLiteral("natural")};
    TWords() {
        for (int D = 0; D < 8; ++D) {
            TypeName[static_cast<std::size_t>(D)] =
                QString::fromUtf16(TypeNames[static_cast<std::size_t>(D)]);
            Length[static_cast<std::size_t>(D)] = QString::number(PlainLength(D));
        }
        for (int L = 0; L < 7; ++L) {
            const TNote Natural{5, L + 1, 0};
            Letter[static_cast<std::size_t>(L)] =
                QString(QChar::fromLatin1(Natural.Text().View().front()));
        }
        for (int N = 0; N < 10; ++N) Number[static_cast<std::size_t>(N)] = QString::number(N);
    }
    QString Count(int N) const {
        return N >= 0 && N < 10 ? Number[static_cast<std::size_t>(N)] : QString::number(N);
    }
};

/// One <note>: Entry is null for a rest. Mark, when given, is the data of a keymora processing
/// instruction inside it.
void WriteNote(QXmlStreamWriter& W, const TWords& S, const TEntry* Entry, int Duration,
               bool TieFromPrevious, bool TieToNext, TAccidental Sign, const QString* Mark) {
    const auto D = static_cast<std::size_t>(std::clamp(Duration, 0, 7));
    W.writeStartElement(S.Note);
    if (Mark) W.writeProcessingInstruction(S.Keymora, *Mark);
    int Staff = 1;
    if (Entry) {
        const TNote N{Entry->Octave, Entry->Note, Entry->Tone};
        W.writeStartElement(S.Pitch);
        W.writeTextElement(S.Step, S.Letter[static_cast<std::size_t>(N.Letter())]);
        if (N.Tone != 0) W.writeTextElement(S.Alter, N.Tone > 0 ? S.One : S.MinusOne);
        W.writeTextElement(S.Octave, S.Count(N.ScientificOctave()));
        W.writeEndElement();
        // Below middle C on the bass staff.
        if (N.Midi() < 60) Staff = 2;
    } else {
        W.writeEmptyElement(S.Rest);
    }
    W.writeTextElement(S.Duration, S.Length[D]);
    if (TieFromPrevious) {
        W.writeEmptyElement(S.Tie);
        W.writeAttribute(S.Type, S.Stop);
    }
    if (TieToNext) {
        W.writeEmptyElement(S.Tie);
        W.writeAttribute(S.Type, S.Start);
    }
    W.writeTextElement(S.Voice, S.One);
    W.writeTextElement(S.Type, S.TypeName[D]);
    if (Sign != TAccidental::None)
        W.writeTextElement(S.Accidental, S.Sign[static_cast<std::size_t>(Sign)]);
    W.writeTextElement(S.Staff, S.Count(Staff));
    if (TieFromPrevious || TieToNext) {
        W.writeStartElement(S.Notations);
        if (TieFromPrevious) {
            W.writeEmptyElement(S.Tied);
            W.writeAttribute(S.Type, S.Stop);
        }
        if (TieToNext) {
            W.writeEmptyElement(S.Tied);
            W.writeAttribute(S.Type, S.Start);
        }
        W.writeEndElement();
    }
    W.writeEndElement();
}

void WriteHead(QXmlStreamWriter& W) {
    W.writeStartDocument(QStringLiteral("1.0"), false);
    W.writeDTD(QStringLiteral(
        "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">"));
    W.writeStartElement(QStringLiteral("score-partwise"));
    W.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
    W.writeStartElement(QStringLiteral("identification"));
    W.writeStartElement(QStringLiteral("encoding"));
    W.writeTextElement(QStringLiteral("software"), QStringLiteral("Keymora Pad"));
    W.writeEndElement();
    W.writeEndElement();
    W.writeStartElement(QStringLiteral("part-list"));
    W.writeStartElement(QStringLiteral("score-part"));
    W.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));
    W.writeTextElement(QStringLiteral("part-name"), QStringLiteral("Music"));
    W.writeStartElement(QStringLiteral("score-instrument"));
    W.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
    W.writeTextElement(QStringLiteral("instrument-name"), QStringLiteral("Piano"));
    W.writeEndElement();
    W.writeStartElement(QStringLiteral("midi-instrument"));
    W.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
    W.writeTextElement(QStringLiteral("midi-channel"), QStringLiteral("1"));
    W.writeTextElement(QStringLiteral("midi-program"), QStringLiteral("1"));
    W.writeEndElement();
    W.writeEndElement();
    W.writeEndElement();
    W.writeStartElement(QStringLiteral("part"));
    W.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));
}

/// Bar 1's attributes and tempo, inside its open <measure>.
void WriteFirstBar(QXmlStreamWriter& W, const TNoteList& List) {
    W.writeStartElement(QStringLiteral("attributes"));
    W.writeTextElement(QStringLiteral("divisions"), QString::number(Divisions));
    W.writeStartElement(QStringLiteral("key"));
    W.writeTextElement(QStringLiteral("fifths"), QStringLiteral("0"));
    W.writeEndElement();
    W.writeStartElement(QStringLiteral("time"));
    W.writeTextElement(QStringLiteral("beats"), QString::number(List.Time().Beats));
    W.writeTextElement(QStringLiteral("beat-type"), QString::number(List.Time().BeatType));
    W.writeEndElement();
    W.writeTextElement(QStringLiteral("staves"), QStringLiteral("2"));
    const struct {
        const char* Number;
        const char* Sign;
        const char* Line;
    } Clefs[] = {{"1", "G", "2"}, {"2", "F", "4"}};
    for (const auto& C : Clefs) {
        W.writeStartElement(QStringLiteral("clef"));
        W.writeAttribute(QStringLiteral("number"), QString::fromLatin1(C.Number));
        W.writeTextElement(QStringLiteral("sign"), QString::fromLatin1(C.Sign));
        W.writeTextElement(QStringLiteral("line"), QString::fromLatin1(C.Line));
        W.writeEndElement();
    }
    W.writeEndElement();

    const QString Tempo = QString::number(List.Tempo());
    W.writeStartElement(QStringLiteral("direction"));
    W.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
    W.writeStartElement(QStringLiteral("direction-type"));
    W.writeStartElement(QStringLiteral("metronome"));
    W.writeTextElement(QStringLiteral("beat-unit"), QStringLiteral("quarter"));
    W.writeTextElement(QStringLiteral("per-minute"), Tempo);
    W.writeEndElement();
    W.writeEndElement();
    W.writeTextElement(QStringLiteral("staff"), QStringLiteral("1"));
    W.writeEmptyElement(QStringLiteral("sound"));
    W.writeAttribute(QStringLiteral("tempo"), Tempo);
    W.writeEndElement();
}

void OpenMeasure(QXmlStreamWriter& W, int Bar) {
    W.writeStartElement(QStringLiteral("measure"));
    W.writeAttribute(QStringLiteral("number"), QString::number(Bar + 1));
}

}  // namespace

QByteArray ToMusicXml(const TNoteList& List) {
    const std::vector<TPiece> Pieces = List.Pieces();
    const std::vector<TAccidental> Signs = Accidentals(List, Pieces);
    const TWords S;
    const QString Continues = QStringLiteral("continues"), Fill = QStringLiteral("fill");

    QByteArray Out;
    Out.reserve(2048 + static_cast<qsizetype>(Pieces.size()) * 320);
    QXmlStreamWriter W(&Out);
    W.setAutoFormatting(true);
    W.setAutoFormattingIndent(1);
    WriteHead(W);

    OpenMeasure(W, 0);
    WriteFirstBar(W, List);
    int Bar = 0;
    for (std::size_t I = 0; I < Pieces.size(); ++I) {
        const TPiece& P = Pieces[I];
        while (Bar < P.Bar) {
            W.writeEndElement();
            OpenMeasure(W, ++Bar);
        }
        const TEntry& E = List.Entries()[static_cast<std::size_t>(P.Entry)];
        if (E.Rest)
            WriteNote(W, S, nullptr, P.Duration, false, false, TAccidental::None,
                      P.TieFromPrevious ? &Continues : nullptr);
        else
            WriteNote(W, S, &E, P.Duration, P.TieFromPrevious, P.TieToNext, Signs[I], nullptr);
    }
    // The last bar completed with rests that the reader drops.
    const int BarLength = List.Time().BarTicks() / TicksPer128th;
    int At = Pieces.empty()
                 ? 0
                 : Pieces.back().Start / TicksPer128th + PlainLength(Pieces.back().Duration);
    while (At < BarLength) {
        const int D = LargestWithin(BarLength - At);
        WriteNote(W, S, nullptr, D, false, false, TAccidental::None, &Fill);
        At += PlainLength(D);
    }
    W.writeEndDocument();
    return Out;
}

// ---- Reading ----

namespace {

struct TRefusal {
    QString Message;
};

/// A value from the file as it may appear in a message: at most 40 characters.
QString Shown(QStringView Text) {
    const QStringView T = Text.trimmed();
    return T.size() > 40 ? T.left(40).toString() + QStringLiteral("...") : T.toString();
}

/// "3/8" for 48 1/128 notes.
QString LengthText(long long Length) {
    const long long G = std::gcd(Length, static_cast<long long>(WholeLength));
    return QStringLiteral("%1/%2").arg(Length / G).arg(WholeLength / G);
}

class TReader {
  public:
    explicit TReader(const QByteArray& Data) : X_(Data) {}

    void Read();

    std::vector<TEntry> Entries;
    TTimeSignature Time;
    int Tempo = 120;

  private:
    enum class TMark { None, Continues, Fill };

    // What has been read of a note or rest that may still grow: tied pieces of one pitch, or
    // rest pieces marked to continue.
    struct TPending {
        bool Active = false;
        bool Rest = false;
        TNote Pitch;
        long long Length = 0;
        int Pieces = 0;
        bool TieOpen = false;
        qint64 Line = 0;     // where it began
        qint64 TieLine = 0;  // the last tie start
    };

    struct TNoteRead {
        bool Rest = false;
        bool Pitched = false;
        TNote Pitch;
        bool TieStart = false, TieStop = false;
        long long Length = 0;
    };

    [[noreturn]] void Fail(qint64 Line, const QString& What) const {
        throw TRefusal{QStringLiteral("line %1: %2").arg(Line).arg(What)};
    }
    [[noreturn]] void XmlFail() const {
        if (X_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            Fail(X_.lineNumber(), QStringLiteral("the document ends early (a truncated file?)"));
        Fail(X_.lineNumber(), QStringLiteral("not well-formed XML: %1").arg(X_.errorString()));
    }
    bool Is(QStringView Name) const { return X_.name() == Name; }
    qint64 Line() const { return X_.lineNumber(); }

    QXmlStreamReader::TokenType Next();
    bool NextChild();
    void Skip();
    QStringView Text();
    long long Number(long long Min, long long Max, const QString& What);
    long long ToLength(long long Duration, qint64 Line);

    void ReadScore();
    void ReadPartList();
    void ReadPart();
    void ReadMeasure();
    void ReadAttributes();
    void ReadTime();
    void ReadDirection();
    std::optional<int> ReadMetronome();
    std::optional<int> SoundTempo();
    void ApplyTempo(int Value, qint64 Line);
    void ReadNote();
    void ReadPitch(TNoteRead& N);
    long long ReadMove();

    void Moved(qint64 Line);
    void Place(long long Length, qint64 Line);
    void Accept(const TNoteRead& N, TMark Mark, qint64 Line);
    void Finish();
    void Push(const TEntry& E, qint64 Line);
    void PushRests(long long Length, qint64 Line);
    long long BarLength() const { return static_cast<long long>(Time.BarTicks() / TicksPer128th); }

    QXmlStreamReader X_;
    QString Leaf_;
    int Depth_ = 0;
    TMark Mark_ = TMark::None;
    long long Divisions_ = 0;
    bool TimeSeen_ = false, TempoSeen_ = false, Started_ = false, PartSeen_ = false,
         Filled_ = false;
    // The measure being read: the cursor, how far entries reach in it, and how far anything did.
    long long Pos_ = 0, Placed_ = 0, Reach_ = 0;
    qint64 MeasureLine_ = 0;
    QString MeasureNumber_;
    // A measure that ended short of its meter: an error once another measure follows.
    std::optional<std::pair<qint64, QString>> Short_;
    long long ShortLength_ = 0;
    TPending Pending_;
};

QXmlStreamReader::TokenType TReader::Next() {
    for (;;) {
        const QXmlStreamReader::TokenType T = X_.readNext();
        switch (T) {
            case QXmlStreamReader::Invalid:
                XmlFail();
            case QXmlStreamReader::DTD:
                // Declared entities are how a small file expands into a huge one; a MusicXML file
                // has no use for them.
                if (!X_.entityDeclarations().isEmpty())
                    Fail(Line(), QStringLiteral("the DOCTYPE declares entities (<!ENTITY>), which "
                                                "are not read"));
                continue;
            case QXmlStreamReader::EntityReference:
                Fail(Line(), QStringLiteral("an undeclared entity (&%1;)").arg(Shown(X_.name())));
            case QXmlStreamReader::ProcessingInstruction:
                if (X_.processingInstructionTarget() == u"keymora") {
                    const QStringView Data = X_.processingInstructionData().trimmed();
                    if (Data == u"continues") Mark_ = TMark::Continues;
                    if (Data == u"fill") Mark_ = TMark::Fill;
                }
                continue;
            case QXmlStreamReader::StartElement:
                if (++Depth_ > MaxMusicXmlDepth)
                    Fail(Line(), QStringLiteral("elements nested deeper than %1 levels")
                                     .arg(MaxMusicXmlDepth));
                return T;
            case QXmlStreamReader::EndElement:
                --Depth_;
                return T;
            case QXmlStreamReader::EndDocument:
                return T;
            default:
                continue;
        }
    }
}

/// The next child element of the current one (true), or its end (false).
bool TReader::NextChild() {
    for (;;) {
        const auto T = Next();
        if (T == QXmlStreamReader::StartElement) return true;
        if (T == QXmlStreamReader::EndElement) return false;
        if (T == QXmlStreamReader::EndDocument) XmlFail();
    }
}

void TReader::Skip() {
    while (NextChild()) Skip();
}

/// The text of the current element, which holds text alone, trimmed; valid until the next
/// read. It is gathered in one buffer for the whole document, so reading a value allocates
/// nothing once the buffer has grown to the longest.
QStringView TReader::Text() {
    Leaf_.resize(0);
    for (;;) {
        switch (X_.readNext()) {
            case QXmlStreamReader::Characters:
                Leaf_.append(X_.text());
                continue;
            case QXmlStreamReader::EndElement:
                --Depth_;
                return QStringView(Leaf_).trimmed();
            case QXmlStreamReader::StartElement:
                Fail(Line(), QStringLiteral("<%1> inside an element that holds text alone")
                                 .arg(Shown(X_.name())));
            case QXmlStreamReader::EntityReference:
                Fail(Line(), QStringLiteral("an undeclared entity (&%1;)").arg(Shown(X_.name())));
            case QXmlStreamReader::Invalid:
                XmlFail();
            default:
                continue;  // comments and processing instructions
        }
    }
}

long long TReader::Number(long long Min, long long Max, const QString& What) {
    const qint64 At = Line();
    const QStringView T = Text();
    bool Ok = false;
    const long long V = T.toLongLong(&Ok);
    if (!Ok || V < Min || V > Max)
        Fail(At, QStringLiteral("%1 '%2' is not a whole number from %3 to %4")
                     .arg(What, Shown(T))
                     .arg(Min)
                     .arg(Max));
    return V;
}

/// A <duration> in 1/128 notes under the divisions in force.
long long TReader::ToLength(long long Duration, qint64 At) {
    if (Divisions_ == 0) Fail(At, QStringLiteral("a <duration> before any <divisions>"));
    if (Duration * Divisions % Divisions_ != 0)
        Fail(At, QStringLiteral("a <duration> of %1 at %2 divisions a quarter is no whole number "
                                "of 1/128 notes")
                     .arg(Duration)
                     .arg(Divisions_));
    const long long Length = Duration * Divisions / Divisions_;
    if (Length > MaxBarLength)
        Fail(At, QStringLiteral("a <duration> of %1 lasts longer than the longest bar (32/1)")
                     .arg(Duration));
    return Length;
}

void TReader::Read() {
    for (;;) {
        const auto T = Next();
        if (T == QXmlStreamReader::EndDocument) XmlFail();
        if (T == QXmlStreamReader::StartElement) break;
    }
    if (Is(u"score-timewise"))
        Fail(Line(), QStringLiteral("a score-timewise document: only score-partwise is read"));
    if (!Is(u"score-partwise"))
        Fail(Line(), QStringLiteral("not a MusicXML score: the root element is <%1>, not "
                                    "<score-partwise>")
                         .arg(Shown(X_.name())));
    ReadScore();
    while (Next() != QXmlStreamReader::EndDocument) {
    }
}

void TReader::ReadScore() {
    while (NextChild()) {
        if (Is(u"part-list"))
            ReadPartList();
        else if (Is(u"part")) {
            if (PartSeen_)
                Fail(Line(),
                     QStringLiteral("a second <part>: only one part can be entered in the pad"));
            PartSeen_ = true;
            ReadPart();
        } else {
            Skip();
        }
    }
    if (!PartSeen_) Fail(Line(), QStringLiteral("the score has no <part>"));
}

void TReader::ReadPartList() {
    int Parts = 0;
    while (NextChild()) {
        if (Is(u"score-part") && ++Parts > 1)
            Fail(Line(), QStringLiteral("a second <score-part>: only one part can be entered in "
                                        "the pad"));
        Skip();
    }
}

void TReader::ReadPart() {
    while (NextChild()) {
        if (Is(u"measure"))
            ReadMeasure();
        else
            Skip();
    }
    Finish();
}

void TReader::ReadMeasure() {
    if (Short_)
        Fail(Short_->first,
             QStringLiteral("measure %1 lasts %2 where the meter wants %3/%4: "
                            "pickups and short measures cannot be entered in the pad")
                 .arg(Short_->second, LengthText(ShortLength_))
                 .arg(Time.Beats)
                 .arg(Time.BeatType));
    MeasureLine_ = Line();
    MeasureNumber_ = Shown(X_.attributes().value(QLatin1StringView("number")));
    Pos_ = Placed_ = Reach_ = 0;
    while (NextChild()) {
        if (Is(u"attributes")) {
            ReadAttributes();
        } else if (Is(u"note")) {
            ReadNote();
        } else if (Is(u"backup")) {
            const qint64 At = Line();
            Pos_ -= ReadMove();
            if (Pos_ < 0) Fail(At, QStringLiteral("a <backup> to before the start of the measure"));
        } else if (Is(u"forward")) {
            const qint64 At = Line();
            Pos_ += ReadMove();
            Moved(At);
        } else if (Is(u"direction")) {
            ReadDirection();
        } else if (Is(u"sound")) {
            const qint64 At = Line();
            if (const auto T = SoundTempo()) ApplyTempo(*T, At);
            Skip();
        } else {
            Skip();
        }
    }
    // A <forward> at the end is a rest.
    if (Reach_ > Placed_) {
        Finish();
        PushRests(Reach_ - Placed_, Line());
        Placed_ = Reach_;
    }
    if (Reach_ < BarLength()) {
        Short_.emplace(MeasureLine_, MeasureNumber_);
        ShortLength_ = Reach_;
    }
}

void TReader::ReadAttributes() {
    while (NextChild()) {
        if (Is(u"divisions"))
            Divisions_ = Number(1, 100000000, QStringLiteral("<divisions>"));
        else if (Is(u"time"))
            ReadTime();
        else if (Is(u"transpose"))
            Fail(Line(),
                 QStringLiteral("a transposing part (<transpose>) cannot be entered in the pad"));
        else
            Skip();
    }
}

void TReader::ReadTime() {
    const qint64 At = Line();
    int Pairs = 0;
    TTimeSignature T{0, 0};
    while (NextChild()) {
        if (Is(u"beats")) {
            ++Pairs;
            T.Beats = static_cast<int>(Number(1, 32, QStringLiteral("a time signature's <beats>")));
        } else if (Is(u"beat-type")) {
            T.BeatType =
                static_cast<int>(Number(1, 32, QStringLiteral("a time signature's <beat-type>")));
        } else if (Is(u"senza-misura")) {
            Fail(Line(), QStringLiteral(
                             "music without meter (<senza-misura>) cannot be entered in the pad"));
        } else {
            Skip();
        }
    }
    if (Pairs != 1)
        Fail(At, QStringLiteral("a time signature that is not one <beats> over one <beat-type>"));
    if (!T.Valid())
        Fail(At,
             QStringLiteral("a time signature of %1/%2: the pad takes 1 to 32 beats of a whole, "
                            "1/2, 1/4, 1/8, 1/16 or 1/32")
                 .arg(T.Beats)
                 .arg(T.BeatType));
    if ((TimeSeen_ || Started_) && !(T == Time))
        Fail(At,
             QStringLiteral("a change of meter from %1/%2 to %3/%4 cannot be entered in the pad")
                 .arg(Time.Beats)
                 .arg(Time.BeatType)
                 .arg(T.Beats)
                 .arg(T.BeatType));
    Time = T;
    TimeSeen_ = true;
}

std::optional<int> TReader::SoundTempo() {
    const QStringView V = X_.attributes().value(QLatin1StringView("tempo"));
    if (V.isNull()) return std::nullopt;
    bool Ok = false;
    const double T = V.trimmed().toDouble(&Ok);
    if (!Ok || !std::isfinite(T) || T < MinTempo - 0.5 || T >= MaxTempo + 0.5)
        Fail(Line(), QStringLiteral("a tempo of '%1' (<sound tempo>): the pad takes %2 to %3 "
                                    "quarter notes a minute")
                         .arg(Shown(V))
                         .arg(MinTempo)
                         .arg(MaxTempo));
    return static_cast<int>(std::lround(T));
}

void TReader::ApplyTempo(int Value, qint64 At) {
    if ((TempoSeen_ || Started_) && Value != Tempo)
        Fail(At, QStringLiteral("a change of tempo from %1 to %2 cannot be entered in the pad")
                     .arg(Tempo)
                     .arg(Value));
    Tempo = Value;
    TempoSeen_ = true;
}

void TReader::ReadDirection() {
    const qint64 At = Line();
    std::optional<int> Sound, Metronome;
    while (NextChild()) {
        if (Is(u"direction-type")) {
            while (NextChild()) {
                if (Is(u"metronome")) {
                    if (const auto M = ReadMetronome()) Metronome = M;
                } else {
                    Skip();
                }
            }
        } else if (Is(u"sound")) {
            if (const auto T = SoundTempo()) Sound = T;
            Skip();
        } else {
            Skip();
        }
    }
    if (Sound)
        ApplyTempo(*Sound, At);
    else if (Metronome)
        ApplyTempo(*Metronome, At);
}

/// The tempo in quarter notes a minute of a plain metronome mark ("quarter = 96", also a half or
/// a dotted quarter); none for a mark that says no number of beats (a metric modulation, "c. 90").
std::optional<int> TReader::ReadMetronome() {
    const qint64 At = Line();
    int Units = 0, Unit = -1, Dots = 0;
    std::optional<double> PerMinute;
    while (NextChild()) {
        if (Is(u"beat-unit")) {
            ++Units;
            Unit = TypeIndex(Text());
        } else if (Is(u"beat-unit-dot")) {
            ++Dots;
            Skip();
        } else if (Is(u"per-minute")) {
            bool Ok = false;
            const double V = Text().toDouble(&Ok);
            if (Ok && std::isfinite(V)) PerMinute = V;
        } else {
            Skip();
        }
    }
    if (Units != 1 || Unit < 0 || Dots > 3 || !PerMinute) return std::nullopt;
    double Length = PlainLength(Unit);
    for (int K = 1; K <= Dots; ++K) Length += PlainLength(Unit) / double(1 << K);
    const double Quarters = *PerMinute * Length / Divisions;
    if (!(Quarters >= MinTempo - 0.5 && Quarters < MaxTempo + 0.5))
        Fail(At, QStringLiteral("a metronome mark of %1 quarter notes a minute: the pad takes %2 "
                                "to %3")
                     .arg(Quarters)
                     .arg(MinTempo)
                     .arg(MaxTempo));
    return static_cast<int>(std::lround(Quarters));
}

/// The <duration> of a <backup> or <forward>, in 1/128 notes.
long long TReader::ReadMove() {
    const qint64 At = Line();
    std::optional<long long> Length;
    while (NextChild()) {
        if (Is(u"duration")) {
            const qint64 L = Line();
            Length = ToLength(Number(1, 1000000000, QStringLiteral("<duration>")), L);
        } else {
            Skip();
        }
    }
    if (!Length) Fail(At, QStringLiteral("a <backup> or <forward> without <duration>"));
    return *Length;
}

void TReader::ReadPitch(TNoteRead& N) {
    const qint64 At = Line();
    int Letter = -1, Alter = 0;
    std::optional<int> Octave;
    while (NextChild()) {
        if (Is(u"step")) {
            const qint64 L = Line();
            const QStringView S = Text();
            static constexpr char16_t Letters[] = u"CDEFGAB";
            for (int I = 0; I < 7 && S.size() == 1; ++I)
                if (S[0] == QChar(Letters[I])) Letter = I;
            if (Letter < 0)
                Fail(L,
                     QStringLiteral("a <step> of '%1', not C, D, E, F, G, A or B").arg(Shown(S)));
        } else if (Is(u"alter")) {
            const qint64 L = Line();
            const QStringView S = Text();
            bool Ok = false;
            const double V = S.toDouble(&Ok);
            if (!Ok || (V != -1 && V != 0 && V != 1))
                Fail(L, QStringLiteral(
                            "an <alter> of '%1': only a flat (-1), a natural (0) or a sharp "
                            "(1) can be entered in the pad")
                            .arg(Shown(S)));
            Alter = static_cast<int>(V);
        } else if (Is(u"octave")) {
            Octave = static_cast<int>(Number(0, 9, QStringLiteral("an <octave>")));
        } else {
            Skip();
        }
    }
    if (Letter < 0 || !Octave) Fail(At, QStringLiteral("a <pitch> without <step> or <octave>"));
    // The control's octave of scientific octave O is O + 1 (middle C, C4, opens octave 5).
    const TNote P{*Octave + 1, Letter + 1, Alter};
    if (P.Midi() < LowestKeyMidi || P.Midi() > HighestKeyMidi)
        Fail(At, QStringLiteral("%1 is off the keyboard's 88 keys (A0 to C8)")
                     .arg(QString::fromLatin1(P.Text().View().data(),
                                              static_cast<qsizetype>(P.Text().Size()))));
    N.Pitched = true;
    N.Pitch = P;
}

void TReader::ReadNote() {
    const qint64 At = Line();
    Mark_ = TMark::None;
    // An invisible rest only holds the place of a voice (MuseScore fills an empty staff with
    // them, in a voice of its own): it moves the cursor as <forward> does, whatever its voice.
    const bool Hidden = X_.attributes().value(QLatin1StringView("print-object")) == u"no";
    std::optional<std::pair<qint64, QString>> OtherVoice;
    TNoteRead N;
    std::optional<long long> Duration;
    qint64 DurationLine = At;
    int Type = -1, Dots = 0;
    while (NextChild()) {
        const qint64 L = Line();
        if (Is(u"chord"))
            Fail(L, QStringLiteral("a chord (<chord/>) cannot be entered in the pad"));
        else if (Is(u"grace"))
            Fail(L, QStringLiteral("a grace note (<grace/>) cannot be entered in the pad"));
        else if (Is(u"cue"))
            Fail(L, QStringLiteral("a cue note (<cue/>) cannot be entered in the pad"));
        else if (Is(u"unpitched"))
            Fail(L, QStringLiteral("an unpitched note (<unpitched>) cannot be entered in the pad"));
        else if (Is(u"time-modification"))
            Fail(L, QStringLiteral("a tuplet (<time-modification>) cannot be entered in the pad"));
        if (Is(u"pitch")) {
            ReadPitch(N);
        } else if (Is(u"rest")) {
            N.Rest = true;
            Skip();
        } else if (Is(u"duration")) {
            DurationLine = L;
            Duration = Number(1, 1000000000, QStringLiteral("<duration>"));
        } else if (Is(u"tie")) {
            const QStringView T = X_.attributes().value(QLatin1StringView("type"));
            if (T == u"start")
                N.TieStart = true;
            else if (T == u"stop")
                N.TieStop = true;
            else
                Fail(L, QStringLiteral("a <tie> of type '%1'").arg(Shown(T)));
            Skip();
        } else if (Is(u"voice")) {
            const QStringView V = Text();
            if (V != u"1") OtherVoice.emplace(L, Shown(V));
        } else if (Is(u"type")) {
            const QStringView T = Text();
            Type = TypeIndex(T);
            if (Type < 0)
                Fail(L, QStringLiteral("a note value <type>%1</type> that the pad has no key for")
                            .arg(Shown(T)));
        } else if (Is(u"dot")) {
            if (++Dots > 7) Fail(L, QStringLiteral("more than 7 dots"));
            Skip();
        } else {
            Skip();
        }
    }
    if (N.Rest == N.Pitched)
        Fail(At, QStringLiteral("a <note> with neither or both of <pitch> and <rest>"));
    std::optional<long long> ByType;
    if (Type >= 0) {
        long long Length = PlainLength(Type);
        for (int K = 1; K <= Dots; ++K) {
            if ((PlainLength(Type) >> K) << K != PlainLength(Type))
                Fail(At, QStringLiteral("a dotted %1 note is shorter than the pad's shortest value")
                             .arg(QString::fromUtf16(TypeNames[static_cast<std::size_t>(Type)])));
            Length += PlainLength(Type) >> K;
        }
        ByType = Length;
    }
    if (Duration) {
        N.Length = ToLength(*Duration, DurationLine);
        if (ByType && *ByType != N.Length)
            Fail(DurationLine,
                 QStringLiteral("a <duration> of %1 (%2 at %3 divisions a quarter) that does not "
                                "match its <type> and dots (%4)")
                     .arg(*Duration)
                     .arg(LengthText(N.Length))
                     .arg(Divisions_)
                     .arg(LengthText(*ByType)));
    } else if (ByType) {
        N.Length = *ByType;
    } else {
        Fail(At, QStringLiteral("a note without <duration> or <type>"));
    }
    const TMark Mark = Mark_;
    Mark_ = TMark::None;
    if (N.Rest && Hidden && Mark == TMark::None) {
        Pos_ += N.Length;
        Moved(At);
        return;
    }
    if (OtherVoice)
        Fail(OtherVoice->first,
             QStringLiteral("voice %1: only one voice (voice 1) can be entered in the pad")
                 .arg(OtherVoice->second));
    Accept(N, Mark, At);
}

/// After the cursor moved forward: nothing reaches past the bar.
void TReader::Moved(qint64 At) {
    Reach_ = std::max(Reach_, Pos_);
    if (Reach_ > BarLength())
        Fail(At, QStringLiteral("measure %1 lasts longer than its meter's %2/%3")
                     .arg(MeasureNumber_)
                     .arg(Time.Beats)
                     .arg(Time.BeatType));
}

/// Puts Length at the cursor after what the measure holds: a gap left by <forward> becomes rests,
/// and anything that would sound together with what came before is refused.
void TReader::Place(long long Length, qint64 At) {
    if (Pos_ < Placed_)
        Fail(At, QStringLiteral("a note that starts before the previous one ends (after <backup>): "
                                "a second voice or a chord cannot be entered in the pad"));
    if (Pos_ > Placed_) {
        Finish();
        PushRests(Pos_ - Placed_, At);
    }
    Pos_ += Length;
    Placed_ = Pos_;
    Moved(At);
}

void TReader::Accept(const TNoteRead& N, TMark Mark, qint64 At) {
    Started_ = true;
    if (Mark == TMark::Fill) {
        if (!N.Rest) Fail(At, QStringLiteral("a note marked as a filling rest"));
        Finish();
        Place(N.Length, At);
        Filled_ = true;
        return;
    }
    if (Filled_)
        Fail(At, QStringLiteral("a note after the rests that complete the last bar "
                                "(<?keymora fill?>)"));
    Place(N.Length, At);
    TPending& P = Pending_;
    if (N.Rest) {
        if (Mark == TMark::Continues) {
            if (!P.Active || !P.Rest)
                Fail(At, QStringLiteral("a rest marked to continue (<?keymora continues?>) after "
                                        "no rest"));
            P.Length += N.Length;
            ++P.Pieces;
            if (P.Length > WholeLength)
                Fail(At, QStringLiteral("rests marked to continue last longer than a whole note"));
            return;
        }
        Finish();
        P = TPending{true, true, TNote{}, N.Length, 1, false, At, 0};
        return;
    }
    if (N.TieStop) {
        if (!P.Active || P.Rest || !P.TieOpen || !(P.Pitch == N.Pitch))
            Fail(At, QStringLiteral("a tie that stops here starts on no note of the same pitch "
                                    "right before"));
        P.Length += N.Length;
        ++P.Pieces;
        P.TieOpen = N.TieStart;
        if (N.TieStart) P.TieLine = At;
        if (P.Length > WholeLength)
            Fail(At, QStringLiteral("notes tied into a length of more than a whole note, which is "
                                    "no single note value of the pad"));
        return;
    }
    Finish();
    P = TPending{true, false, N.Pitch, N.Length, 1, N.TieStart, At, At};
}

/// Ends what is pending as one entry (or, for a lone rest of another length, plain rests).
void TReader::Finish() {
    TPending& P = Pending_;
    if (!P.Active) return;
    P.Active = false;
    if (!P.Rest && P.TieOpen)
        Fail(P.TieLine, QStringLiteral("a tie that starts here stops on no note of the same pitch "
                                       "right after"));
    const int D = PlainOf(P.Length);
    if (D >= 0) {
        Push(TEntry{P.Rest, P.Pitch.Octave, P.Pitch.Note, P.Pitch.Tone, D}, P.Line);
    } else if (P.Rest && P.Pieces == 1) {
        PushRests(P.Length, P.Line);
    } else {
        Fail(P.Line, QStringLiteral("%1 of %2, which is no single note value of the pad")
                         .arg(P.Rest ? QStringLiteral("rests marked to continue add up to a length")
                              : P.Pieces > 1 ? QStringLiteral("notes tied into a length")
                                             : QStringLiteral("a dotted note, a length"))
                         .arg(LengthText(P.Length)));
    }
}

void TReader::Push(const TEntry& E, qint64 At) {
    if (Entries.size() >= static_cast<std::size_t>(MaxMusicXmlEntries))
        Fail(At, QStringLiteral("more than %1 notes and rests").arg(MaxMusicXmlEntries));
    Entries.push_back(E);
}

void TReader::PushRests(long long Length, qint64 At) {
    while (Length > 0) {
        const int D = LargestWithin(Length);
        Push(TEntry{true, 0, 0, 0, D}, At);
        Length -= PlainLength(D);
    }
}

}  // namespace

bool FromMusicXml(const QByteArray& Data, TNoteList& Out, QString& Error) {
    if (Data.size() > MaxMusicXmlBytes) {
        Error = QStringLiteral(
                    "line 1: the document is %1 bytes, and documents over %2 MiB are "
                    "not read")
                    .arg(Data.size())
                    .arg(MaxMusicXmlBytes >> 20);
        return false;
    }
    if (Data.trimmed().isEmpty()) {
        Error = QStringLiteral("line 1: the document is empty");
        return false;
    }
    if (Data.startsWith("PK\x03\x04")) {
        Error = QStringLiteral("line 1: a compressed MusicXML file (.mxl), which is not read: "
                               "save it uncompressed (.musicxml)");
        return false;
    }
    TReader R(Data);
    try {
        R.Read();
    } catch (const TRefusal& Refusal) {
        Error = Refusal.Message;
        return false;
    }
    Out.Assign(std::move(R.Entries), R.Time, R.Tempo);
    return true;
}

bool SaveMusicXml(const QString& Path, const TNoteList& List, QString& Error) {
    const QString Fail = QStringLiteral("cannot write %1: ").arg(Path);
    // Through a link to the file behind it, so that the link stays.
    QString Target = Path;
    const QFileInfo Info(Path);
    if (Info.isSymLink()) Target = Info.symLinkTarget();
    const QFileInfo TargetInfo(Target);
    if (TargetInfo.exists() && !TargetInfo.isFile()) {
        Error = Fail + (TargetInfo.isDir() ? QStringLiteral("it is a directory")
                                           : QStringLiteral("it is not a regular file"));
        return false;
    }
    const QByteArray Bytes = ToMusicXml(List);
    QSaveFile File(Target);
    if (!File.open(QIODevice::WriteOnly)) {
        Error = Fail + File.errorString();
        return false;
    }
    errno = 0;
    if (File.write(Bytes) != Bytes.size()) {
        // A write the system cuts short (a full disk, a file-size limit) leaves Qt with no error
        // of its own; the system's reason is in errno.
        const int Errno = errno;
        Error = Fail + (File.error() != QFileDevice::NoError ? File.errorString()
                        : Errno != 0 ? QString::fromLocal8Bit(std::strerror(Errno))
                                     : QStringLiteral("the write was cut short"));
        File.cancelWriting();
        return false;
    }
    // The data reaches the disk here; a full disk shows now, and the old file stays.
    if (!File.commit()) {
        Error = Fail + File.errorString();
        return false;
    }
    return true;
}

bool OpenMusicXml(const QString& Path, TNoteList& Out, QString& Error) {
    const QString Fail = QStringLiteral("cannot open %1: ").arg(Path);
    const QFileInfo Info(Path);
    if (Info.exists() && !Info.isFile()) {
        Error = Fail + (Info.isDir() ? QStringLiteral("it is a directory")
                                     : QStringLiteral("it is not a regular file"));
        return false;
    }
    const QString TooLarge = QStringLiteral("it is larger than %1 MiB, the most that is opened")
                                 .arg(MaxMusicXmlBytes >> 20);
    if (Info.size() > MaxMusicXmlBytes) {
        Error = Fail + TooLarge;
        return false;
    }
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) {
        Error = Fail + File.errorString();
        return false;
    }
    // Read in pieces up to one byte past the limit: a file that grew meanwhile is still caught.
    QByteArray Data;
    Data.reserve(static_cast<qsizetype>(Info.size()));
    char Buffer[65536];
    for (;;) {
        const qint64 N = File.read(Buffer, sizeof Buffer);
        if (N < 0) {
            Error = Fail + File.errorString();
            return false;
        }
        if (N == 0) break;
        Data.append(Buffer, static_cast<qsizetype>(N));
        if (Data.size() > MaxMusicXmlBytes) {
            Error = Fail + TooLarge;
            return false;
        }
    }
    QString Why;
    if (!FromMusicXml(Data, Out, Why)) {
        Error = Path + QStringLiteral(": ") + Why;
        return false;
    }
    return true;
}

}  // namespace keymora::pad
