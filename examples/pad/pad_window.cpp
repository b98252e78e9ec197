// The pad's window: layout, menus, documents and recovery, editing, playback, MIDI input, sound
// and settings.
#include "pad_window.h"

#include <QtCore/QBuffer>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QActionGroup>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeySequence>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>
#include <algorithm>

#include "core/host/atomic_file.h"
#include "keymora/model/keymora.h"
#include "keymora/pitch/pitch.h"
#include "keymora/qt/keymora_widget.h"
#include "midi_input.h"
#include "musicxml.h"
#include "staff_view.h"
#include "synth.h"

namespace keymora::pad {

namespace {
// The keyboard's thickness across its keys, in either orientation, and the least length along
// them: 35 keys of 15 pixels with the button zones and the setting strip.
constexpr int KeyboardThickness = 120;
constexpr int KeyboardLength = 600;
constexpr int MaxRecent = 8;
// The colour of the key that sounds during playback.
const QColor PlayColour(255, 170, 60);

// Reads at most Limit bytes of a small text file of the pad's own; empty when it is missing.
QByteArray ReadSmallFile(const QString& Path, qint64 Limit) {
    QFile F(Path);
    if (!F.open(QIODevice::ReadOnly)) return {};
    return F.read(Limit);
}

// Writes a small text file of the pad's own atomically; the reason when it cannot.
QString WriteSmallFile(const QString& Path, const QByteArray& Bytes) {
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QSaveFile F(Path);
    if (!F.open(QIODevice::WriteOnly)) return F.errorString();
    if (F.write(Bytes) != Bytes.size()) {
        const QString Why = F.errorString();
        F.cancelWriting();
        return Why;
    }
    if (!F.commit()) return F.errorString();
    return {};
}
}  // namespace

PadWindow::PadWindow(const Options& options, QWidget* parent)
    : QMainWindow(parent),
      Options_(options),
      Settings_(QFile::encodeName(options.configFolder).toStdString()) {
    Document_ = new PadDocument(this);
    Ask_ = [this](const QString& question) {
        const auto B = QMessageBox::question(
            this, tr("Keymora Pad"), question,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        return B == QMessageBox::Save      ? Answer::Save
               : B == QMessageBox::Discard ? Answer::Discard
                                           : Answer::Cancel;
    };

    auto* Central = new QWidget(this);
    Layout_ = new QBoxLayout(QBoxLayout::TopToBottom, Central);
    Layout_->setContentsMargins(0, 0, 0, 0);
    Layout_->setSpacing(0);
    Views_ = new QSplitter(Qt::Horizontal, Central);
    Staff_ = new StaffView(Views_);
    Staff_->setNotes(&Document_->notes());
    List_ = new QListWidget(Views_);
    // The keyboard keeps the focus, so Space and the PC keys always play.
    List_->setFocusPolicy(Qt::NoFocus);
    List_->setUniformItemSizes(true);
    List_->setLayoutMode(QListView::Batched);
    List_->hide();
    Views_->addWidget(Staff_);
    Views_->addWidget(List_);
    Views_->setStretchFactor(0, 3);
    Views_->setStretchFactor(1, 1);
    Keyboard_ = new KeymoraWidget(Central);
    Layout_->addWidget(Views_, 1);
    Layout_->addWidget(Keyboard_);
    setCentralWidget(Central);

    Count_ = new QLabel(this);
    statusBar()->addPermanentWidget(Count_);
    connect(this, &PadWindow::message, this,
            [this](const QString& text) { statusBar()->showMessage(text); });

    connect(Keyboard_, &KeymoraWidget::keyClick, this, &PadWindow::addClick);
    connect(Keyboard_, &KeymoraWidget::keyStateChanged, this,
            [this](int index, bool black, int oldState, int newState) {
                const THeldNotes::TChange Sound = Held_.Change(index, black, oldState, newState,
                                                               Keyboard_->control().AutoTone());
                if (!Synth_) return;
                if (Sound.On >= 0) Synth_->NoteOn(Sound.On);
                if (Sound.Off >= 0) Synth_->NoteOff(Sound.Off);
            });
    connect(Keyboard_, &KeymoraWidget::durationChanged, this, &PadWindow::durationPicked);
    // Settings change through clicks, keys and the setting strip; each is looked at once the
    // keyboard has finished with the event.
    connect(Keyboard_, &KeymoraWidget::keyClick, this, &PadWindow::saveSettings,
            Qt::QueuedConnection);
    connect(Keyboard_, &KeymoraWidget::durationChanged, this, &PadWindow::saveSettings,
            Qt::QueuedConnection);
    connect(Keyboard_, &KeymoraWidget::offsetChanged, this, &PadWindow::saveSettings,
            Qt::QueuedConnection);
    connect(Keyboard_, &KeymoraWidget::maxChanged, this, &PadWindow::saveSettings,
            Qt::QueuedConnection);
    Keyboard_->installEventFilter(this);

    connect(Staff_, &StaffView::entryClicked, this, [this](int entry) { select(entry); });
    connect(Document_, &PadDocument::changed, this, &PadWindow::documentChanged);
    connect(Document_, &PadDocument::modifiedChanged, this, [this](bool modified) {
        refreshTitle();
        if (!modified) removeRecovery();
    });
    connect(Document_, &PadDocument::filePathChanged, this, &PadWindow::refreshTitle);
    PlayTimer_.setSingleShot(true);
    PlayTimer_.setTimerType(Qt::PreciseTimer);
    connect(&PlayTimer_, &QTimer::timeout, this, &PadWindow::playStep);

    // Settings load into a keyboard that has finished its own loading.
    Keyboard_->ensurePolished();
    if (const auto Error = Settings_.Load(Keyboard_->control()))
        say(tr("%1: the keyboard starts with its defaults, and the file is kept until you change "
               "a setting")
                .arg(QString::fromStdString(*Error)));
    for (const std::string& Refused : Settings_.Refused()) say(QString::fromStdString(Refused));
    const QByteArray RecentText = ReadSmallFile(options.configFolder + "/recent.txt", 64 * 1024);
    for (const QByteArray& Line : RecentText.split('\n'))
        if (!Line.isEmpty() && Recent_.size() < MaxRecent) Recent_ << QString::fromUtf8(Line);

    Midi_ = new MidiInput(this);
    connect(Midi_, &MidiInput::noteOn, this, &PadWindow::midiNoteOn);
    connect(Midi_, &MidiInput::noteOff, this, &PadWindow::midiNoteOff);
    connect(Midi_, &MidiInput::allNotesOff, this, &PadWindow::midiAllOff);
    connect(Midi_, &MidiInput::error, this, &PadWindow::say);

    buildMenus();
    syncLayout();
    documentChanged(-1);
    refreshTitle();
    Keyboard_->setFocus();
    if (options.sound) QTimer::singleShot(0, this, &PadWindow::openSynth);
    if (options.midiInput) QTimer::singleShot(0, this, &PadWindow::openMidi);
}

PadWindow::~PadWindow() {
    // The document's history goes with it and may report itself clean on the way: that is no
    // save, so the recovery copy stays (only a close that kept or dropped the changes by the
    // user's answer removes it).
    Document_->blockSignals(true);
    stop();
    midiAllOff();
    if (Synth_) Synth_->AllOff();
}

void PadWindow::say(const QString& text) {
    Messages_.append(text);
    emit message(text);
}

void PadWindow::openSynth() {
    Synth_ = std::make_unique<TSynth>();
    if (!Synth_->Audible())
        say(tr("Silent: %1").arg(QString::fromStdString(Synth_->SilentReason())));
}

void PadWindow::openMidi() {
    QString Error;
    if (!Midi_->openFirstAvailable(Error)) say(tr("No MIDI input: %1").arg(Error));
    fillMidiMenu();
}

// ---- Entering and editing ----

void PadWindow::addClick(int octave, int note, int tone) {
    TEntry E;
    if (octave == 0 && note == -1) {
        E.Rest = true;
    } else {
        E.Octave = octave;
        E.Note = note;
        E.Tone = tone;
    }
    E.Duration = Keyboard_->durationPosition();
    enter(E);
}

// A played note or rest: appended without a selection; with one, it replaces the selected
// entry's pitch (keeping its duration) or, in insert mode, goes in before it.
void PadWindow::enter(const TEntry& entry) {
    const int N = Document_->notes().Size();
    if (Selection_ < 0 || Selection_ >= N) {
        Document_->insert(N, entry);
        return;
    }
    if (InsertMode_) {
        const int At = Selection_;
        Document_->insert(At, entry);
        select(At + 1);
        return;
    }
    TEntry E = entry;
    E.Duration = Document_->notes().Entries()[static_cast<std::size_t>(Selection_)].Duration;
    Document_->replace(Selection_, E);
}

void PadWindow::durationPicked() {
    if (SyncingDuration_ || Selection_ < 0 || Selection_ >= Document_->notes().Size()) return;
    TEntry E = Document_->notes().Entries()[static_cast<std::size_t>(Selection_)];
    E.Duration = Keyboard_->durationPosition();
    Document_->replace(Selection_, E);
}

void PadWindow::select(int entry) {
    const int N = Document_->notes().Size();
    Selection_ = entry >= 0 && entry < N ? entry : -1;
    Staff_->setSelection(Selection_);
    Staff_->setEntryPoint(Selection_ >= 0 ? Selection_ : N);
    if (Selection_ >= 0) {
        List_->setCurrentRow(Selection_);
        // The duration row shows the selected entry's duration, so a cell picks a new one.
        const QSignalBlocker Block(Keyboard_);
        SyncingDuration_ = true;
        Keyboard_->setDurationPosition(
            Document_->notes().Entries()[static_cast<std::size_t>(Selection_)].Duration);
        SyncingDuration_ = false;
    } else {
        List_->clearSelection();
    }
    refreshMenus();
}

void PadWindow::selectPrevious() {
    const int N = Document_->notes().Size();
    if (N == 0) return;
    select(Selection_ < 0 ? N - 1 : std::max(0, Selection_ - 1));
}

void PadWindow::selectNext() {
    if (Selection_ < 0) return;
    select(Selection_ + 1);  // past the last entry: back to appending
}

void PadWindow::setInsertMode(bool on) {
    InsertMode_ = on;
    if (InsertAction_) {
        const QSignalBlocker B(InsertAction_);
        InsertAction_->setChecked(on);
    }
}

void PadWindow::deleteEntry() {
    const int N = Document_->notes().Size();
    if (N == 0) return;
    const int At = Selection_ >= 0 ? Selection_ : N - 1;
    Document_->remove(At);
    if (Selection_ >= 0) select(At);
}

void PadWindow::insertRest() {
    TEntry Rest;
    Rest.Rest = true;
    Rest.Duration = Keyboard_->durationPosition();
    const int N = Document_->notes().Size();
    if (Selection_ < 0) {
        Document_->insert(N, Rest);
        return;
    }
    const int At = Selection_;
    Document_->insert(At, Rest);
    select(At + 1);
}

void PadWindow::undo() { Document_->undoStack().undo(); }
void PadWindow::redo() { Document_->undoStack().redo(); }
void PadWindow::clear() { Document_->clearNotes(); }

void PadWindow::documentChanged(int entry) {
    Staff_->notesChanged();
    const int N = Document_->notes().Size();
    if (Selection_ >= N) Selection_ = -1;
    if (entry >= 0 && Selection_ < 0) {
        // Appending: the view follows the end.
        Staff_->setEntryPoint(N);
    } else if (entry >= 0 && Selection_ >= 0 && !InsertMode_) {
        // An undo or redo elsewhere takes the selection to the entry it changed.
        Selection_ = std::min(entry, N - 1);
        Staff_->setEntryPoint(Selection_);
    } else {
        Staff_->setEntryPoint(Selection_ >= 0 ? Selection_ : N);
    }
    Staff_->setSelection(Selection_);
    if (List_->isVisible() && entry == N - 1 && List_->count() == N - 1) {
        // A note more at the end costs one item: the entries before it stay as they are.
        List_->addItem(QString::fromStdString(Describe(Document_->notes().Entries().back())));
        List_->scrollToBottom();
    } else if (List_->isVisible() || entry < 0) {
        refreshList();
    }
    refreshCount();
    refreshMenus();
    if (!RecoveryPending_) {
        RecoveryPending_ = true;
        QTimer::singleShot(0, this, &PadWindow::writeRecovery);
    }
}

void PadWindow::refreshList() {
    if (!List_->isVisible()) {
        List_->clear();
        return;
    }
    List_->clear();
    for (const TEntry& E : Document_->notes().Entries())
        List_->addItem(QString::fromStdString(Describe(E)));
    if (Selection_ >= 0)
        List_->setCurrentRow(Selection_);
    else
        List_->scrollToBottom();
}

void PadWindow::refreshCount() {
    const TNoteList& Notes = Document_->notes();
    const int N = Notes.Size();
    Count_->setText((N == 1 ? tr("1 note") : tr("%1 notes").arg(N)) +
                    tr(" · %1/%2 · %3 bpm")
                        .arg(Notes.Time().Beats)
                        .arg(Notes.Time().BeatType)
                        .arg(Notes.Tempo()));
}

void PadWindow::refreshTitle() {
    setWindowTitle(tr("%1[*] - Keymora Pad").arg(Document_->displayName()));
    setWindowModified(Document_->isModified());
}

// ---- Documents ----

bool PadWindow::maybeSave(const QString& action) {
    if (!Document_->isModified()) return true;
    const Answer A = Ask_(tr("%1 has unsaved changes. Save them before %2?")
                              .arg(Document_->displayName(), action));
    if (A == Answer::Cancel) return false;
    if (A == Answer::Discard) return true;
    if (Document_->filePath().isEmpty()) return saveAsDialog();
    QString Error;
    if (saveDocument({}, Error)) return true;
    say(Error);
    return false;
}

bool PadWindow::newDocument() {
    if (!maybeSave(tr("starting a new document"))) return false;
    stop();
    Selection_ = -1;
    Document_->reset();
    removeRecovery();
    return true;
}

bool PadWindow::openDocument(const QString& file, QString& error) {
    if (!maybeSave(tr("opening %1").arg(QFileInfo(file).fileName()))) {
        error = tr("not opened: the unsaved changes were kept");
        return false;
    }
    stop();
    if (!Document_->open(file, error)) return false;
    Selection_ = -1;
    documentChanged(-1);
    removeRecovery();
    addRecent(Document_->filePath());
    say(tr("Opened %1").arg(file));
    return true;
}

bool PadWindow::saveDocument(const QString& file, QString& error) {
    const QString Target = file.isEmpty() ? Document_->filePath() : file;
    if (Target.isEmpty()) {
        error = tr("the document has no file yet: choose one with Save As");
        return false;
    }
    if (!Document_->save(Target, error)) return false;
    addRecent(Target);
    say(tr("Saved %1").arg(Target));
    return true;
}

void PadWindow::addRecent(const QString& file) {
    const QString Absolute = QFileInfo(file).absoluteFilePath();
    Recent_.removeAll(Absolute);
    Recent_.prepend(Absolute);
    while (Recent_.size() > MaxRecent) Recent_.removeLast();
    const QString Why = WriteSmallFile(Options_.configFolder + "/recent.txt",
                                       Recent_.join('\n').toUtf8() + '\n');
    if (!Why.isEmpty()) say(tr("The list of recent files cannot be written: %1").arg(Why));
    refreshRecent();
}

void PadWindow::refreshRecent() {
    if (!RecentMenu_) return;
    RecentMenu_->clear();
    for (const QString& File : Recent_) {
        RecentMenu_->addAction(QFileInfo(File).fileName(), this, [this, File] {
            QString Error;
            if (!openDocument(File, Error) && !Error.isEmpty()) say(Error);
        })->setToolTip(File);
    }
    RecentMenu_->setEnabled(!Recent_.isEmpty());
}

// ---- Recovery ----

QString PadWindow::recoveryPath() const { return Options_.configFolder + "/recovery.musicxml"; }

bool PadWindow::hasRecovery() const { return QFileInfo::exists(recoveryPath()); }

bool PadWindow::restoreRecovery(QString& error) {
    TNoteList Notes;
    if (!OpenMusicXml(recoveryPath(), Notes, error)) {
        error = tr("The recovery copy %1 cannot be read and is kept as it is: %2")
                    .arg(recoveryPath(), error);
        return false;
    }
    const QString Path = QString::fromUtf8(
        ReadSmallFile(Options_.configFolder + "/recovery-file.txt", 16 * 1024).trimmed());
    stop();
    Selection_ = -1;
    Document_->restore(Notes, Path);
    RecoveryChecked_ = true;
    documentChanged(-1);
    say(tr("Restored %n unsaved entries of %1", nullptr, Notes.Size())
            .arg(Document_->displayName()));
    return true;
}

QString PadWindow::setRecoveryAside() {
    const QString Aside =
        Options_.configFolder +
        QStringLiteral("/recovery-%1.musicxml")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!QFile::rename(recoveryPath(), Aside)) {
        say(tr("The recovery copy %1 cannot be set aside; this session keeps no recovery copy "
               "so as not to overwrite it")
                .arg(recoveryPath()));
        return {};
    }
    QFile::remove(Options_.configFolder + "/recovery-file.txt");
    RecoveryChecked_ = true;
    say(tr("An earlier recovery copy was kept as %1").arg(Aside));
    return Aside;
}

void PadWindow::offerRecovery() {
    if (!hasRecovery()) {
        RecoveryChecked_ = true;
        writeRecovery();
        return;
    }
    const auto B = QMessageBox::question(
        this, tr("Keymora Pad"),
        tr("The pad closed last time with unsaved notes. Restore them?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (B == QMessageBox::Yes) {
        QString Error;
        if (restoreRecovery(Error)) return;
        say(Error);
    }
    setRecoveryAside();
}

bool PadWindow::writeRecovery() {
    RecoveryPending_ = false;
    if (!RecoveryChecked_) return true;
    if (!Document_->isModified()) {
        removeRecovery();
        return true;
    }
    QString Error;
    bool Ok = SaveMusicXml(recoveryPath(), Document_->notes(), Error);
    if (Ok) {
        const QString Why = WriteSmallFile(Options_.configFolder + "/recovery-file.txt",
                                           Document_->filePath().toUtf8() + '\n');
        if (!Why.isEmpty()) {
            Ok = false;
            Error = Why;
        }
    }
    if (!Ok) {
        const QString Text = tr("No recovery copy: %1").arg(Error);
        if (Text != LastRecoveryError_) say(Text);
        LastRecoveryError_ = Text;
        return false;
    }
    LastRecoveryError_.clear();
    return true;
}

void PadWindow::removeRecovery() {
    if (!RecoveryChecked_) return;
    QFile::remove(recoveryPath());
    QFile::remove(Options_.configFolder + "/recovery-file.txt");
}

void PadWindow::closeEvent(QCloseEvent* event) {
    if (!maybeSave(tr("closing"))) {
        event->ignore();
        return;
    }
    stop();
    midiAllOff();
    Keyboard_->allNotesOff();
    if (Synth_) Synth_->AllOff();
    removeRecovery();
    event->accept();
}

// ---- Playback ----

void PadWindow::play(int count) {
    stop();
    const int N = Document_->notes().Size();
    if (N == 0 || count == 0) return;
    PlayAt_ = (Selection_ >= 0 ? Selection_ : 0) - 1;
    PlayLeft_ = count < 0 ? N : count;
    Played_.clear();
    emit playingChanged(true);
    refreshMenus();
    playStep();
}

// Ends the sounding note: its sound, its key's colour and its mark on the staff.
void PadWindow::endNote() {
    if (PlaySounding_ >= 0) {
        if (Synth_) Synth_->NoteOff(PlaySounding_);
        Keyboard_->clearNoteColor(PlaySounding_);
        PlaySounding_ = -1;
    }
    Staff_->setPlaying(-1);
}

void PadWindow::playStep() {
    endNote();
    ++PlayAt_;
    const TNoteList& Notes = Document_->notes();
    if (PlayAt_ < 0 || PlayAt_ >= Notes.Size() || PlayLeft_ <= 0) {
        stop();
        return;
    }
    --PlayLeft_;
    const TEntry& E = Notes.Entries()[static_cast<std::size_t>(PlayAt_)];
    if (const std::optional<int> Number = MidiNumber(E)) {
        PlaySounding_ = *Number;
        if (Synth_) Synth_->NoteOn(*Number);
        Keyboard_->setNoteColor(*Number, PlayColour);
    }
    Played_ << QString::fromStdString(PitchName(E));
    Staff_->setPlaying(PlayAt_);
    // Ticks at 480 a quarter note, quarters at the tempo: a whole note at 120 lasts 2 s.
    const long long Ms =
        static_cast<long long>(DurationTicks(E.Duration)) * 60000 / (480LL * Notes.Tempo());
    PlayTimer_.start(static_cast<int>(std::max<long long>(1, Ms)));
}

void PadWindow::pause() {
    const int At = PlayAt_;
    stop();
    if (At >= 0) select(At);
}

void PadWindow::stop() {
    const bool Was = PlayAt_ >= 0;
    PlayTimer_.stop();
    endNote();
    PlayAt_ = -1;
    PlayLeft_ = 0;
    if (Was) {
        emit playingChanged(false);
        refreshMenus();
    }
}

// ---- MIDI input: a note from a MIDI keyboard presses and releases the on-screen key ----

void PadWindow::midiNoteOn(int note, int /*velocity*/) {
    const TKey Key = TKey::FromMidi(note);
    if (!Key.InKeyboard()) return;
    Keyboard_->control().PressKey(Key.Index(), Key.Black());
}

void PadWindow::midiNoteOff(int note, int /*velocity*/) {
    const TKey Key = TKey::FromMidi(note);
    if (!Key.InKeyboard()) return;
    // The release reports the key as a click does, spelled by the keyboard's AutoTone.
    Keyboard_->control().ReleaseKey(Key.Index(), Key.Black(), true);
}

void PadWindow::midiAllOff() {
    if (!Keyboard_) return;
    for (int Note = LowestKeyMidi; Note <= HighestKeyMidi; ++Note) {
        const TKey Key = TKey::FromMidi(Note);
        Keyboard_->control().ReleaseKey(Key.Index(), Key.Black(), false);
    }
}

void PadWindow::fillMidiMenu() {
    if (!MidiMenu_) return;
    MidiMenu_->clear();
    if (!Midi_->isOpen()) {
        MidiMenu_->addAction(tr("No MIDI input"))->setEnabled(false);
        return;
    }
    const QString Current = Midi_->connectedSource();
    QAction* None = MidiMenu_->addAction(tr("Not connected (others connect to \"Keymora Pad\")"));
    None->setCheckable(true);
    None->setChecked(Current.isEmpty());
    connect(None, &QAction::triggered, this, [this] { Midi_->disconnectSource(); });
    MidiMenu_->addSeparator();
    for (const QString& Source : Midi_->sources()) {
        QAction* A = MidiMenu_->addAction(Source);
        A->setCheckable(true);
        A->setChecked(Source == Current);
        connect(A, &QAction::triggered, this, [this, Source] {
            QString Error;
            say(Midi_->connectTo(Source, Error) ? tr("MIDI input from %1").arg(Source) : Error);
        });
    }
}

// ---- Files ----

bool PadWindow::exportMidi(const QString& file, QString& error) const {
    std::string Error;
    if (exportMidi(QFile::encodeName(file).toStdString(), Error)) return true;
    error = QString::fromStdString(Error);
    return false;
}

bool PadWindow::exportMidi(const std::string& file, std::string& error) const {
    return Document_->notes().SaveMidi(file, error);
}

QSize PadWindow::saveScreenshot(const std::string& file, std::string& error) {
    const QPixmap Shot = grab();
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    if (Shot.isNull() || !Shot.save(&Buffer, "PNG")) {
        error = "cannot write " + file + ": the window cannot be captured";
        return {};
    }
    if (auto Why = host::WriteFileAtomically(
            file, std::string_view(Png.constData(), static_cast<std::size_t>(Png.size())))) {
        error = std::move(*Why);
        return {};
    }
    return Shot.size();
}

// ---- Layout and settings ----

void PadWindow::syncLayout() {
    const bool Vertical = Keyboard_->orientation() == KeymoraWidget::koVertical;
    // The notes come first in the layout: above the keyboard, or right of it when vertical.
    Layout_->setDirection(Vertical ? QBoxLayout::RightToLeft : QBoxLayout::TopToBottom);
    Keyboard_->setMinimumSize(0, 0);
    Keyboard_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (Vertical) {
        Keyboard_->setFixedWidth(KeyboardThickness);
        Keyboard_->setMinimumHeight(KeyboardLength);
    } else {
        Keyboard_->setFixedHeight(KeyboardThickness);
        Keyboard_->setMinimumWidth(KeyboardLength);
    }
    // Grow the window at once when the keys need more room than it has.
    Layout_->activate();
    if (!isMaximized() && !isFullScreen()) resize(size().expandedTo(minimumSizeHint()));
    refreshMenus();
}

void PadWindow::saveSettings() {
    // A failed write is tried again at the next look, but said once until a write succeeds.
    if (const auto Error = Settings_.SaveIfChanged(Keyboard_->control())) {
        const QString Text = QString::fromStdString(*Error);
        if (Text != LastSettingsError_) say(Text);
        LastSettingsError_ = Text;
    } else {
        LastSettingsError_.clear();
    }
    refreshMenus();
}

bool PadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Keyboard_ &&
        (event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease))
        QMetaObject::invokeMethod(this, &PadWindow::saveSettings, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

// ---- Menus ----

void PadWindow::buildMenus() {
    QMenu* File = menuBar()->addMenu(tr("&File"));
    File->addAction(tr("&New"), QKeySequence::New, this, [this] { newDocument(); });
    File->addAction(tr("&Open..."), QKeySequence::Open, this, &PadWindow::openDialog);
    RecentMenu_ = File->addMenu(tr("Open &recent"));
    File->addAction(tr("&Save"), QKeySequence::Save, this, [this] {
        if (Document_->filePath().isEmpty()) {
            saveAsDialog();
            return;
        }
        QString Error;
        if (!saveDocument({}, Error)) say(Error);
    });
    File->addAction(tr("Save &as..."), QKeySequence::SaveAs, this, [this] { saveAsDialog(); });
    File->addSeparator();
    QAction* Export = File->addAction(tr("&Export MIDI..."), this, &PadWindow::exportDialog);
    Export->setShortcut(QKeySequence(tr("Ctrl+E")));
    File->addAction(tr("Save s&creenshot..."), this, &PadWindow::screenshotDialog);
    File->addSeparator();
    File->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    refreshRecent();

    QMenu* Edit = menuBar()->addMenu(tr("&Edit"));
    QAction* Undo = Document_->undoStack().createUndoAction(this, tr("&Undo"));
    Undo->setShortcut(QKeySequence::Undo);
    QAction* Redo = Document_->undoStack().createRedoAction(this, tr("&Redo"));
    Redo->setShortcut(QKeySequence::Redo);
    Edit->addAction(Undo);
    Edit->addAction(Redo);
    Edit->addSeparator();
    // The arrow keys, End and the digits belong to the keyboard (octaves and durations): the
    // notes are stepped through with Alt and the arrows.
    Edit->addAction(tr("&Previous note"), QKeySequence(tr("Alt+Left")), this,
                    &PadWindow::selectPrevious);
    Edit->addAction(tr("&Next note"), QKeySequence(tr("Alt+Right")), this,
                    &PadWindow::selectNext);
    Edit->addAction(tr("&Append at the end"), QKeySequence(Qt::Key_Escape), this,
                    [this] { select(-1); });
    InsertAction_ = Edit->addAction(tr("&Insert before the selection"));
    InsertAction_->setCheckable(true);
    InsertAction_->setShortcut(QKeySequence(Qt::Key_Insert));
    connect(InsertAction_, &QAction::toggled, this, &PadWindow::setInsertMode);
    Edit->addAction(tr("Insert a &rest"), QKeySequence(tr("Ctrl+R")), this,
                    &PadWindow::insertRest);
    Edit->addAction(tr("&Delete"), QKeySequence::Delete, this, &PadWindow::deleteEntry);
    QAction* Backspace = new QAction(this);
    Backspace->setShortcut(QKeySequence(Qt::Key_Backspace));
    connect(Backspace, &QAction::triggered, this, &PadWindow::deleteEntry);
    addAction(Backspace);
    QAction* Clear = Edit->addAction(tr("&Clear"), this, &PadWindow::clear);
    Edit->addSeparator();
    Edit->addAction(tr("&Time signature..."), this, &PadWindow::meterDialog);
    Edit->addAction(tr("T&empo..."), this, &PadWindow::tempoDialog);

    QMenu* PlayMenu = menuBar()->addMenu(tr("&Play"));
    PlayAction_ = PlayMenu->addAction(tr("&Play"), QKeySequence(tr("Ctrl+Space")), this,
                                      [this] { play(); });
    PauseAction_ = PlayMenu->addAction(tr("P&ause"), QKeySequence(tr("Ctrl+Shift+Space")), this,
                                       &PadWindow::pause);
    StopAction_ = PlayMenu->addAction(tr("&Stop"), QKeySequence(tr("Ctrl+.")), this,
                                      &PadWindow::stop);
    PlayMenu->addSeparator();
    MidiMenu_ = PlayMenu->addMenu(tr("&MIDI input"));
    connect(MidiMenu_, &QMenu::aboutToShow, this, &PadWindow::fillMidiMenu);

    QMenu* View = menuBar()->addMenu(tr("&View"));
    ListAction_ = View->addAction(tr("Note &list"));
    ListAction_->setCheckable(true);
    connect(ListAction_, &QAction::toggled, this, [this](bool on) {
        List_->setVisible(on);
        refreshList();
    });

    QMenu* Keys = menuBar()->addMenu(tr("&Keyboard"));
    Vertical_ = Keys->addAction(tr("&Vertical"));
    Vertical_->setCheckable(true);
    connect(Vertical_, &QAction::toggled, this, [this](bool on) {
        Keyboard_->setOrientation(on ? KeymoraWidget::koVertical : KeymoraWidget::koHorizontal);
        syncLayout();
        saveSettings();
    });
    Keys->addSeparator();
    static constexpr struct {
        const char* Text;
        KeymoraWidget::MusicStyle Flag;
    } Styles[] = {{"Show PC &keys on the keys", KeymoraWidget::msShowMarks},
                  {"&Colour the octaves", KeymoraWidget::msColorOctave},
                  {"Scroll the &durations", KeymoraWidget::msScrollDuration},
                  {"Scroll the &octaves", KeymoraWidget::msScrollOctave}};
    for (int I = 0; I < 4; ++I) {
        QAction* A = Keys->addAction(tr(Styles[I].Text));
        A->setCheckable(true);
        const KeymoraWidget::MusicStyle Flag = Styles[I].Flag;
        connect(A, &QAction::toggled, this, [this, Flag](bool on) {
            KeymoraWidget::MusicStyles S = Keyboard_->musicStyle();
            S.setFlag(Flag, on);
            Keyboard_->setMusicStyle(S);
            saveSettings();
        });
        StyleActions_[I] = A;
    }
    Keys->addSeparator();
    QMenu* Tones = Keys->addMenu(tr("&Black keys named"));
    ToneGroup_ = new QActionGroup(this);
    static constexpr struct {
        const char* Text;
        KeymoraWidget::AutoTone Tone;
    } ToneNames[] = {{"By the key, &major", KeymoraWidget::atAutoMajor},
                     {"As &flats", KeymoraWidget::atBemol},
                     {"As &sharps", KeymoraWidget::atDiesis},
                     {"By the key, m&inor", KeymoraWidget::atAutoMinor}};
    for (const auto& T : ToneNames) {
        QAction* A = Tones->addAction(tr(T.Text));
        A->setCheckable(true);
        A->setData(static_cast<int>(T.Tone));
        ToneGroup_->addAction(A);
        const KeymoraWidget::AutoTone Tone = T.Tone;
        connect(A, &QAction::triggered, this, [this, Tone] {
            Keyboard_->setAutoTone(Tone);
            saveSettings();
        });
    }
    Keys->addAction(tr("&PC keys..."), this, &PadWindow::keysDialog);
    connect(Keys, &QMenu::aboutToShow, this, &PadWindow::refreshMenus);

    QToolBar* Tools = addToolBar(tr("Notes"));
    Tools->setMovable(false);
    Tools->setFocusPolicy(Qt::NoFocus);
    Tools->addAction(Undo);
    Tools->addAction(Redo);
    Tools->addAction(Clear);
    Tools->addSeparator();
    Tools->addAction(PlayAction_);
    Tools->addAction(PauseAction_);
    Tools->addAction(StopAction_);
    Tools->addSeparator();
    Tools->addAction(Export);
    // Space on a focused tool button would press it instead of entering a rest.
    for (QToolButton* Button : Tools->findChildren<QToolButton*>())
        Button->setFocusPolicy(Qt::NoFocus);
    refreshMenus();
}

void PadWindow::refreshMenus() {
    if (!Vertical_) return;
    const QSignalBlocker B0(Vertical_);
    Vertical_->setChecked(Keyboard_->orientation() == KeymoraWidget::koVertical);
    static constexpr KeymoraWidget::MusicStyle Flags[] = {
        KeymoraWidget::msShowMarks, KeymoraWidget::msColorOctave, KeymoraWidget::msScrollDuration,
        KeymoraWidget::msScrollOctave};
    for (int I = 0; I < 4; ++I) {
        const QSignalBlocker B(StyleActions_[I]);
        StyleActions_[I]->setChecked(Keyboard_->musicStyle().testFlag(Flags[I]));
    }
    for (QAction* A : ToneGroup_->actions())
        A->setChecked(A->data().toInt() == static_cast<int>(Keyboard_->autoTone()));
    PlayAction_->setEnabled(!playing() && Document_->notes().Size() > 0);
    StopAction_->setEnabled(playing());
    PauseAction_->setEnabled(playing());
}

void PadWindow::openDialog() {
    const QString File = QFileDialog::getOpenFileName(
        this, tr("Open"), QFileInfo(Document_->filePath()).absolutePath(),
        tr("MusicXML (*.musicxml *.xml)"));
    if (File.isEmpty()) return;
    QString Error;
    if (!openDocument(File, Error) && !Error.isEmpty()) {
        say(Error);
        QMessageBox::warning(this, tr("Open"), tr("%1 was not opened: %2").arg(File, Error));
    }
}

bool PadWindow::saveAsDialog() {
    QString File = QFileDialog::getSaveFileName(
        this, tr("Save as"),
        Document_->filePath().isEmpty() ? tr("notes.musicxml") : Document_->filePath(),
        tr("MusicXML (*.musicxml)"));
    if (File.isEmpty()) return false;
    if (QFileInfo(File).suffix().isEmpty()) File += QStringLiteral(".musicxml");
    QString Error;
    if (saveDocument(File, Error)) return true;
    say(Error);
    QMessageBox::warning(this, tr("Save as"), Error);
    return false;
}

void PadWindow::exportDialog() {
    const QString File = QFileDialog::getSaveFileName(this, tr("Export MIDI"), tr("notes.mid"),
                                                      tr("Standard MIDI files (*.mid)"));
    if (File.isEmpty()) return;
    QString Error;
    say(exportMidi(File, Error) ? tr("Exported %1").arg(File) : Error);
}

void PadWindow::screenshotDialog() {
    const QString File = QFileDialog::getSaveFileName(this, tr("Save screenshot"), tr("pad.png"),
                                                      tr("PNG images (*.png)"));
    if (File.isEmpty()) return;
    std::string Error;
    say(saveScreenshot(QFile::encodeName(File).toStdString(), Error).isEmpty()
            ? QString::fromStdString(Error)
            : tr("Saved %1").arg(File));
}

void PadWindow::keysDialog() {
    bool Ok = false;
    const QString Keys =
        QInputDialog::getText(this, tr("PC keys"), tr("The PC keys that play C to B:"),
                              QLineEdit::Normal, Keyboard_->keys(), &Ok);
    if (!Ok) return;
    Keyboard_->setKeys(Keys);
    saveSettings();
}

void PadWindow::meterDialog() {
    bool Ok = false;
    const TTimeSignature Now = Document_->notes().Time();
    const QString Text = QInputDialog::getText(
        this, tr("Time signature"), tr("Beats / beat type (for instance 3/4, 6/8):"),
        QLineEdit::Normal, QStringLiteral("%1/%2").arg(Now.Beats).arg(Now.BeatType), &Ok);
    if (!Ok) return;
    const QStringList Parts = Text.split('/');
    TTimeSignature T;
    bool A = false, B = false;
    if (Parts.size() == 2) {
        T.Beats = Parts[0].trimmed().toInt(&A);
        T.BeatType = Parts[1].trimmed().toInt(&B);
    }
    if (!A || !B || !T.Valid()) {
        say(tr("%1 is no time signature: 1 to 32 beats of 1, 2, 4, 8, 16 or 32").arg(Text));
        return;
    }
    Document_->setTime(T);
}

void PadWindow::tempoDialog() {
    bool Ok = false;
    const int Tempo =
        QInputDialog::getInt(this, tr("Tempo"), tr("Quarter notes a minute:"),
                             Document_->notes().Tempo(), MinTempo, MaxTempo, 1, &Ok);
    if (Ok) Document_->setTempo(Tempo);
}

}  // namespace keymora::pad
