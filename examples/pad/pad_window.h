// PadWindow: the Keymora Pad's main window. The entered notes on a grand staff (with a compact
// text list beside it on request), the keyboard along the bottom (or down the left side when
// vertical), documents in MusicXML with a recovery copy after every change, editing with undo
// and redo, playback, MIDI input, MIDI export, and the keyboard's settings kept between runs.
#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtWidgets/QMainWindow>
#include <functional>
#include <memory>

#include "note_list.h"
#include "pad_document.h"
#include "settings.h"
#include "synth.h"

class KeymoraWidget;
class QAction;
class QActionGroup;
class QBoxLayout;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;

namespace keymora::pad {

class MidiInput;
class StaffView;

class PadWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Options {
        /// The folder of the settings file and of the recovery copy.
        QString configFolder;
        /// Open the synthesizer (the GUI does; scripted runs stay silent).
        bool sound = true;
        /// Open the MIDI input port "Keymora Pad" (the GUI does; scripted runs may ask for it).
        bool midiInput = true;
    };

    /// What to do with unsaved changes before they would be lost.
    enum class Answer { Save, Discard, Cancel };
    /// Asks the user about unsaved changes; the window's own asks with a message box.
    using AskFn = std::function<Answer(const QString& question)>;

    explicit PadWindow(const Options& options, QWidget* parent = nullptr);
    ~PadWindow() override;

    KeymoraWidget& keyboard() { return *Keyboard_; }
    StaffView& staff() { return *Staff_; }
    PadDocument& document() { return *Document_; }
    const TNoteList& notes() const { return Document_->notes(); }
    MidiInput* midiInput() { return Midi_; }
    /// Every message the status bar has shown, oldest first.
    const QStringList& messages() const { return Messages_; }
    /// Replaces the question asked before unsaved changes would be lost (tests, scripts).
    void setAsk(AskFn ask) { Ask_ = std::move(ask); }

    // ---- Documents ----
    /// Starts an empty document; false when the user cancelled at the question about unsaved
    /// changes.
    bool newDocument();
    /// Opens a MusicXML file; false (the document unchanged) when the user cancelled or the
    /// file cannot be read, with Error saying why in the second case.
    bool openDocument(const QString& file, QString& error);
    /// Saves to File (the document's own file when empty); false with Error when it cannot.
    bool saveDocument(const QString& file, QString& error);
    /// The recent documents, newest first.
    QStringList recentFiles() const { return Recent_; }

    // ---- Recovery ----
    /// Where the unsaved document is copied after every change.
    QString recoveryPath() const;
    /// True when a recovery copy from an earlier run waits.
    bool hasRecovery() const;
    /// Takes the waiting recovery copy as the document (modified, with its file name if it had
    /// one); false with Error when it cannot be read, in which case it is kept as it is.
    bool restoreRecovery(QString& error);
    /// Puts the waiting recovery copy aside under a dated name beside it (never deleted), so
    /// that this run's copies do not overwrite it; the name it now has.
    QString setRecoveryAside();
    /// Asks whether to restore a waiting recovery copy, and restores it or sets it aside.
    void offerRecovery();
    /// Writes the recovery copy now (it is also written after every change); false with the
    /// reason said when it cannot.
    bool writeRecovery();

    // ---- Editing ----
    /// The selected entry, -1 when none: notes played then append at the end.
    int selection() const { return Selection_; }
    void select(int entry);
    void selectPrevious();
    void selectNext();
    /// Notes played with a selection go in before it instead of replacing it.
    bool insertMode() const { return InsertMode_; }
    void setInsertMode(bool on);
    /// Deletes the selected entry, or the last one when none is selected.
    void deleteEntry();
    /// Inserts a rest of the keyboard's duration before the selection, or at the end.
    void insertRest();
    void undo();
    void redo();
    void clear();

    // ---- Playback ----
    /// Plays from the selection (or the start) at the document's tempo, Count entries at most
    /// (all with -1); each note sounds, its key is coloured and it is marked on the staff.
    void play(int count = -1);
    void stop();
    /// Stops and selects the entry that was sounding, so that play() goes on from there.
    void pause();
    bool playing() const { return PlayAt_ >= 0; }
    /// The entries playback has sounded since it last started, by their names, in order.
    const QStringList& playedNotes() const { return Played_; }

    /// Writes the notes as a Standard MIDI File; false with Error set when it cannot.
    bool exportMidi(const QString& file, QString& error) const;
    /// The same for a file named by its bytes, as a command line gives it.
    bool exportMidi(const std::string& file, std::string& error) const;
    /// Writes the whole window as a PNG file named by its bytes; its size, or an empty size with
    /// Error set when it cannot.
    QSize saveScreenshot(const std::string& file, std::string& error);
    /// Puts the keyboard where its orientation wants it: along the bottom, or the left side.
    void syncLayout();
    /// Writes the settings file when the keyboard's settings changed.
    void saveSettings();

  signals:
    /// A message for the user; the status bar shows it.
    void message(const QString& text);
    /// Playback started or stopped.
    void playingChanged(bool playing);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void refreshMenus();
    void refreshTitle();
    void refreshRecent();
    void openSynth();
    void openMidi();
    void say(const QString& text);
    void addClick(int octave, int note, int tone);
    void enter(const TEntry& entry);
    void durationPicked();
    void documentChanged(int entry);
    void refreshList();
    void refreshCount();
    bool maybeSave(const QString& action);
    void addRecent(const QString& file);
    void removeRecovery();
    void playStep();
    void endNote();
    void midiNoteOn(int note, int velocity);
    void midiNoteOff(int note, int velocity);
    void midiAllOff();
    void fillMidiMenu();
    void openDialog();
    bool saveAsDialog();
    void exportDialog();
    void screenshotDialog();
    void keysDialog();
    void meterDialog();
    void tempoDialog();

    Options Options_;
    KeymoraWidget* Keyboard_ = nullptr;
    StaffView* Staff_ = nullptr;
    QListWidget* List_ = nullptr;
    QSplitter* Views_ = nullptr;
    QBoxLayout* Layout_ = nullptr;
    QLabel* Count_ = nullptr;
    QAction* Vertical_ = nullptr;
    QAction* StyleActions_[4] = {};
    QActionGroup* ToneGroup_ = nullptr;
    QAction* ListAction_ = nullptr;
    QAction* InsertAction_ = nullptr;
    QAction* PlayAction_ = nullptr;
    QAction* StopAction_ = nullptr;
    QAction* PauseAction_ = nullptr;
    QMenu* RecentMenu_ = nullptr;
    QMenu* MidiMenu_ = nullptr;
    PadDocument* Document_ = nullptr;
    TSettingsFile Settings_;
    std::unique_ptr<TSynth> Synth_;
    THeldNotes Held_;
    MidiInput* Midi_ = nullptr;
    QStringList Messages_;
    QStringList Recent_;
    QString LastSettingsError_;  // the write failure last reported, until a write succeeds
    QString LastRecoveryError_;
    AskFn Ask_;
    int Selection_ = -1;
    bool InsertMode_ = false;
    bool SyncingDuration_ = false;  // the keyboard's duration follows the selection
    bool RecoveryPending_ = false;
    bool RecoveryChecked_ = false;  // an earlier run's copy was restored or set aside
    // Playback: the entry sounding, the note it sounds (-1 for a rest), how many are left.
    QTimer PlayTimer_;
    int PlayAt_ = -1;
    int PlayLeft_ = 0;
    int PlaySounding_ = -1;
    QStringList Played_;
};

}  // namespace keymora::pad
