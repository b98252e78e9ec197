// PadDocument: the notes a pad window edits, with their file, their undo history and the
// recovery copy kept beside the settings. Every edit goes through the undo stack, so each one
// can be undone and redone, and each one is followed by a changed() signal naming the entry it
// touched.
#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtGui/QUndoStack>

#include "note_list.h"

namespace keymora::pad {

class PadDocument : public QObject {
    Q_OBJECT

  public:
    explicit PadDocument(QObject* parent = nullptr);

    const TNoteList& notes() const { return Notes_; }
    QUndoStack& undoStack() { return Undo_; }

    /// The file the document was opened from or last saved to; empty for a new document.
    const QString& filePath() const { return Path_; }
    /// "name.musicxml", or "Untitled" for a new document.
    QString displayName() const;
    /// True when there are edits that no file holds.
    bool isModified() const { return Restored_ || !Undo_.isClean(); }

    // ---- Edits, each one undoable ----
    /// Inserts Entry before Index (0..size); false for an index outside.
    bool insert(int index, const TEntry& entry);
    bool remove(int index);
    /// Replaces the entry at Index; false when the index is outside or nothing would change.
    bool replace(int index, const TEntry& entry);
    bool setTime(TTimeSignature time);
    bool setTempo(int tempo);
    /// Removes every entry in one step.
    bool clearNotes();

    // ---- Whole documents ----
    /// An empty untitled document, 4/4 at 120, with no history.
    void reset();
    /// Reads the file into the document; on failure the document is left as it was and Error
    /// says why (with the line for a file it cannot read as music).
    bool open(const QString& path, QString& error);
    /// Writes the document to Path atomically; on success it becomes the document's file and
    /// the document is unmodified. On failure the old file is kept and Error says why.
    bool save(const QString& path, QString& error);
    /// Takes Notes as the unsaved state of the document at Path (empty: untitled), as after a
    /// crash: modified, with no history.
    void restore(const TNoteList& notes, const QString& path);

    /// Called by the undo commands: applies one change to the notes and reports it.
    TNoteList& mutableNotes() { return Notes_; }
    void emitChanged(int entry) { emit changed(entry); }

  signals:
    /// The notes changed; Entry is the entry the change touched (the inserted, replaced or
    /// removed place, clamped to the list), or -1 when all of them changed.
    void changed(int entry);
    void modifiedChanged(bool modified);
    void filePathChanged(const QString& path);

  private:
    void setPath(const QString& path);
    void setRestored(bool restored);

    TNoteList Notes_;
    QUndoStack Undo_;
    QString Path_;
    bool Restored_ = false;  // unsaved edits that came back from a recovery file
};

}  // namespace keymora::pad
