// The document's edits as undo commands, and its files.
#include "pad_document.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <utility>

#include "musicxml.h"

namespace keymora::pad {

namespace {

QString Tr(const char* Text) { return QCoreApplication::translate("PadDocument", Text); }

QString EntryText(const TEntry& E) { return QString::fromStdString(Describe(E)); }

// One edit: what it changes and how to put it back. Every command applies its change in
// redo() (also when it is first pushed) and reverses it in undo().
class TEdit : public QUndoCommand {
  public:
    enum class Kind { Insert, Remove, Replace, Time, Tempo, Clear };

    TEdit(PadDocument& Doc, Kind K, int Index, TEntry Old, TEntry New, const QString& Text)
        : QUndoCommand(Text), Doc_(Doc), Kind_(K), Index_(Index), Old_(Old), New_(New) {}
    TEdit(PadDocument& Doc, TTimeSignature Old, TTimeSignature New)
        : QUndoCommand(Tr("Time signature %1/%2").arg(New.Beats).arg(New.BeatType)),
          Doc_(Doc), Kind_(Kind::Time), OldTime_(Old), NewTime_(New) {}
    TEdit(PadDocument& Doc, int OldTempo, int NewTempo)
        : QUndoCommand(Tr("Tempo %1").arg(NewTempo)), Doc_(Doc), Kind_(Kind::Tempo),
          OldTempo_(OldTempo), NewTempo_(NewTempo) {}
    TEdit(PadDocument& Doc, std::vector<TEntry> Cleared)
        : QUndoCommand(Tr("Clear")), Doc_(Doc), Kind_(Kind::Clear), Cleared_(std::move(Cleared)) {}

    void redo() override { Apply(true); }
    void undo() override { Apply(false); }

  private:
    void Apply(bool Forward) {
        TNoteList& N = Doc_.mutableNotes();
        int Touched = Index_;
        switch (Kind_) {
            case Kind::Insert:
                Forward ? N.Insert(Index_, New_) : N.Remove(Index_);
                break;
            case Kind::Remove:
                Forward ? N.Remove(Index_) : N.Insert(Index_, Old_);
                break;
            case Kind::Replace:
                N.Replace(Index_, Forward ? New_ : Old_);
                break;
            case Kind::Time:
                N.SetTime(Forward ? NewTime_ : OldTime_);
                Touched = -1;
                break;
            case Kind::Tempo:
                N.SetTempo(Forward ? NewTempo_ : OldTempo_);
                Touched = -1;
                break;
            case Kind::Clear: {
                N.Assign(Forward ? std::vector<TEntry>{} : Cleared_, N.Time(), N.Tempo());
                Touched = -1;
                break;
            }
        }
        Doc_.emitChanged(Touched < 0 ? -1 : std::min(Touched, N.Size()));
    }

    PadDocument& Doc_;
    Kind Kind_;
    int Index_ = -1;
    TEntry Old_{}, New_{};
    TTimeSignature OldTime_{}, NewTime_{};
    int OldTempo_ = 0, NewTempo_ = 0;
    std::vector<TEntry> Cleared_;
};

}  // namespace

PadDocument::PadDocument(QObject* parent) : QObject(parent) {
    connect(&Undo_, &QUndoStack::cleanChanged, this,
            [this] { emit modifiedChanged(isModified()); });
}

QString PadDocument::displayName() const {
    return Path_.isEmpty() ? Tr("Untitled") : QFileInfo(Path_).fileName();
}

bool PadDocument::insert(int index, const TEntry& entry) {
    if (index < 0 || index > Notes_.Size()) return false;
    Undo_.push(new TEdit(*this, TEdit::Kind::Insert, index, {}, entry,
                         Tr("Insert %1").arg(EntryText(entry))));
    return true;
}

bool PadDocument::remove(int index) {
    if (index < 0 || index >= Notes_.Size()) return false;
    const TEntry Old = Notes_.Entries()[static_cast<std::size_t>(index)];
    Undo_.push(new TEdit(*this, TEdit::Kind::Remove, index, Old, {},
                         Tr("Delete %1").arg(EntryText(Old))));
    return true;
}

bool PadDocument::replace(int index, const TEntry& entry) {
    if (index < 0 || index >= Notes_.Size()) return false;
    const TEntry Old = Notes_.Entries()[static_cast<std::size_t>(index)];
    if (Old == entry) return false;
    Undo_.push(new TEdit(*this, TEdit::Kind::Replace, index, Old, entry,
                         Tr("Change %1 to %2").arg(EntryText(Old), EntryText(entry))));
    return true;
}

bool PadDocument::setTime(TTimeSignature time) {
    if (!time.Valid() || time == Notes_.Time()) return false;
    Undo_.push(new TEdit(*this, Notes_.Time(), time));
    return true;
}

bool PadDocument::setTempo(int tempo) {
    if (tempo < MinTempo || tempo > MaxTempo || tempo == Notes_.Tempo()) return false;
    Undo_.push(new TEdit(*this, Notes_.Tempo(), tempo));
    return true;
}

bool PadDocument::clearNotes() {
    if (Notes_.Size() == 0) return false;
    Undo_.push(new TEdit(*this, Notes_.Entries()));
    return true;
}

void PadDocument::reset() {
    Undo_.clear();
    Notes_ = TNoteList();
    setPath({});
    setRestored(false);
    emit changed(-1);
    emit modifiedChanged(isModified());
}

bool PadDocument::open(const QString& path, QString& error) {
    TNoteList Read;
    if (!OpenMusicXml(path, Read, error)) return false;
    Undo_.clear();
    Notes_ = std::move(Read);
    setPath(path);
    setRestored(false);
    emit changed(-1);
    emit modifiedChanged(isModified());
    return true;
}

bool PadDocument::save(const QString& path, QString& error) {
    if (!SaveMusicXml(path, Notes_, error)) return false;
    setPath(path);
    setRestored(false);
    Undo_.setClean();
    emit modifiedChanged(isModified());
    return true;
}

void PadDocument::restore(const TNoteList& notes, const QString& path) {
    Undo_.clear();
    Notes_ = notes;
    setPath(path);
    setRestored(true);
    emit changed(-1);
    emit modifiedChanged(isModified());
}

void PadDocument::setPath(const QString& path) {
    if (path == Path_) return;
    Path_ = path;
    emit filePathChanged(Path_);
}

void PadDocument::setRestored(bool restored) { Restored_ = restored; }

}  // namespace keymora::pad
