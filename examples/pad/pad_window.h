// PadWindow: the Keymora Pad's main window. The keyboard along the bottom (or down the left side
// when vertical), the entered notes above it, sound while a key is held, MIDI export, and the
// keyboard's settings kept between runs.
#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtWidgets/QMainWindow>
#include <memory>

#include "note_list.h"
#include "settings.h"
#include "synth.h"

class KeymoraWidget;
class QAction;
class QActionGroup;
class QBoxLayout;
class QLabel;
class QListWidget;

namespace keymora::pad {

class PadWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Options {
        /// The folder of the settings file.
        QString configFolder;
        /// Open the synthesizer (the GUI does; scripted runs stay silent).
        bool sound = true;
    };

    explicit PadWindow(const Options& options, QWidget* parent = nullptr);
    ~PadWindow() override;

    KeymoraWidget& keyboard() { return *Keyboard_; }
    const TNoteList& notes() const { return Notes_; }
    /// Every message the status bar has shown, oldest first.
    const QStringList& messages() const { return Messages_; }

    void undo();
    void clear();
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void refreshMenus();
    void openSynth();
    void say(const QString& text);
    void addClick(int octave, int note, int tone);
    void refreshList();
    void appendToList(const TEntry& entry);
    void refreshCount();
    void exportDialog();
    void screenshotDialog();
    void keysDialog();

    KeymoraWidget* Keyboard_ = nullptr;
    QListWidget* List_ = nullptr;
    QBoxLayout* Layout_ = nullptr;
    QLabel* Count_ = nullptr;
    QAction* Vertical_ = nullptr;
    QAction* StyleActions_[4] = {};
    QActionGroup* ToneGroup_ = nullptr;
    QAction* UndoAction_ = nullptr;
    TNoteList Notes_;
    TSettingsFile Settings_;
    std::unique_ptr<TSynth> Synth_;
    THeldNotes Held_;
    QStringList Messages_;
    QString LastSettingsError_;  // the write failure last reported, until a write succeeds
};

}  // namespace keymora::pad
