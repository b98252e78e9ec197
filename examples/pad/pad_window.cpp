// The pad's window: layout, menus, the note list, sound and settings.
#include "pad_window.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtGui/QActionGroup>
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
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

#include "keymora/qt/keymora_widget.h"
#include "keymora/model/keymora.h"
#include "core/host/atomic_file.h"
#include "synth.h"

namespace keymora::pad {

namespace {
// The keyboard's thickness across its keys, in either orientation, and the least length along
// them: 35 keys of 15 pixels with the button zones and the setting strip.
constexpr int KeyboardThickness = 120;
constexpr int KeyboardLength = 600;
}  // namespace

PadWindow::PadWindow(const Options& options, QWidget* parent)
    : QMainWindow(parent), Settings_(QFile::encodeName(options.configFolder).toStdString()) {
    setWindowTitle(tr("Keymora Pad"));

    auto* Central = new QWidget(this);
    Layout_ = new QBoxLayout(QBoxLayout::TopToBottom, Central);
    Layout_->setContentsMargins(0, 0, 0, 0);
    Layout_->setSpacing(0);
    List_ = new QListWidget(Central);
    // The keyboard keeps the focus, so Space and the PC keys always play.
    List_->setFocusPolicy(Qt::NoFocus);
    List_->setFlow(QListView::LeftToRight);
    List_->setWrapping(true);
    List_->setSpacing(4);
    // Every entry reads alike: the list lays out by one size and in batches, so a long list
    // grows by a note without measuring the others again.
    List_->setUniformItemSizes(true);
    List_->setLayoutMode(QListView::Batched);
    Keyboard_ = new KeymoraWidget(Central);
    Layout_->addWidget(List_, 1);
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

    // Settings load into a keyboard that has finished its own loading.
    Keyboard_->ensurePolished();
    if (const auto Error = Settings_.Load(Keyboard_->control()))
        say(tr("%1: the keyboard starts with its defaults, and the file is kept until you change "
               "a setting")
                .arg(QString::fromStdString(*Error)));
    for (const std::string& Refused : Settings_.Refused()) say(QString::fromStdString(Refused));

    buildMenus();
    syncLayout();
    refreshList();
    Keyboard_->setFocus();
    if (options.sound) QTimer::singleShot(0, this, &PadWindow::openSynth);
}

PadWindow::~PadWindow() {
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

// ---- Notes ----

void PadWindow::addClick(int octave, int note, int tone) {
    Notes_.AddClick(octave, note, tone, Keyboard_->durationPosition());
    appendToList(Notes_.Entries().back());
}

void PadWindow::undo() {
    if (!Notes_.Undo()) return;
    delete List_->takeItem(List_->count() - 1);
    refreshCount();
}

void PadWindow::clear() {
    Notes_.Clear();
    refreshList();
}

void PadWindow::refreshList() {
    List_->clear();
    for (const TEntry& E : Notes_.Entries()) List_->addItem(QString::fromStdString(Describe(E)));
    List_->scrollToBottom();
    refreshCount();
}

// One note more costs one item: the entries before it stay as they are.
void PadWindow::appendToList(const TEntry& entry) {
    List_->addItem(QString::fromStdString(Describe(entry)));
    List_->scrollToBottom();
    refreshCount();
}

void PadWindow::refreshCount() {
    const auto N = static_cast<int>(Notes_.Entries().size());
    Count_->setText(N == 1 ? tr("1 note") : tr("%1 notes").arg(N));
    if (UndoAction_) UndoAction_->setEnabled(N > 0);
}

bool PadWindow::exportMidi(const QString& file, QString& error) const {
    std::string Error;
    if (exportMidi(QFile::encodeName(file).toStdString(), Error)) return true;
    error = QString::fromStdString(Error);
    return false;
}

bool PadWindow::exportMidi(const std::string& file, std::string& error) const {
    return Notes_.SaveMidi(file, error);
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
    // The list comes first in the layout: above the keyboard, or right of it when vertical.
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
    List_->setFlow(Vertical ? QListView::TopToBottom : QListView::LeftToRight);
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
    QAction* Export = File->addAction(tr("&Export MIDI..."), this, &PadWindow::exportDialog);
    Export->setShortcut(QKeySequence(tr("Ctrl+E")));
    File->addAction(tr("Save &screenshot..."), this, &PadWindow::screenshotDialog);
    File->addSeparator();
    File->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* Edit = menuBar()->addMenu(tr("&Edit"));
    UndoAction_ =
        Edit->addAction(tr("&Undo last note"), QKeySequence::Undo, this, &PadWindow::undo);
    QAction* Clear = Edit->addAction(tr("&Clear"), this, &PadWindow::clear);

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
    Tools->addAction(UndoAction_);
    Tools->addAction(Clear);
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

}  // namespace keymora::pad
