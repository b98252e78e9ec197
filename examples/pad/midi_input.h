// MidiInput: notes from a MIDI keyboard or another program. The pad opens an input port named
// "Keymora Pad" that other programs connect to, and can itself connect that input to one of their
// output ports. Note on, note off and all notes off arrive as signals on the object's thread,
// from any channel. Built on RtMidi (ALSA and JACK) when it is found; without it every open
// fails with "built without MIDI input".
#pragma once

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <cstdint>
#include <memory>

class QSocketNotifier;

namespace keymora::pad {

class MidiInput : public QObject {
    Q_OBJECT

  public:
    enum class Backend { Alsa, Jack };

    /// The name of the pad's MIDI client and of its input ports.
    static constexpr const char* PortName = "Keymora Pad";

    explicit MidiInput(QObject* parent = nullptr);
    /// Closes, releasing the notes still held (see close()).
    ~MidiInput() override;

    /// The back ends compiled into RtMidi, ALSA first; none without RtMidi.
    static QList<Backend> available();
    /// "ALSA" or "JACK".
    static QString backendName(Backend backend);

    /// Opens the input port "Keymora Pad" on Backend, closing what was open. False with Error set
    /// to RtMidi's reason when it cannot.
    bool open(Backend backend, QString& error);
    /// Opens the first back end that works, ALSA before JACK. Error lists the reason of each back
    /// end that failed, "ALSA: ...; JACK: ...", also when a later one opened.
    bool openFirstAvailable(QString& error);
    /// Disconnects the source and closes the input port. A note still held from either (a note on
    /// seen without its note off) gets its noteOff, velocity 0, so that nothing keeps sounding.
    void close();
    bool isOpen() const;
    /// The back end of the open port (of the last one opened when closed).
    Backend backend() const { return Backend_; }

    /// The output ports of other programs that connectTo() takes, by the back end's names
    /// ("client:port" on JACK); the pad's own ports are left out. Empty when closed.
    QStringList sources() const;
    /// Connects Source, one of sources(), to the pad: a second input port "Keymora Pad" that
    /// receives from it. A previous connection is closed once the new one stands, with its held
    /// notes released; when the new one fails the previous one stays and Error says why.
    bool connectTo(const QString& source, QString& error);
    /// Closes the connection to the source, releasing its held notes. The input port stays open.
    void disconnectSource();
    /// The source connectTo() connected, empty when none.
    QString connectedSource() const;

  signals:
    void noteOn(int note, int velocity);
    /// Also for a note on with velocity 0.
    void noteOff(int note, int velocity);
    /// Control change 120 (all sound off), 123 (all notes off) or 124..127 (the mode changes that
    /// end every note).
    void allNotesOff();
    /// A problem while receiving, after the port opened: one RtMidi reports, or events lost
    /// because this object's thread fell more than a thousand events behind.
    void error(const QString& text);

  private:
    struct Port;
    struct Event {
        enum Kind : std::uint8_t { On, Off, AllOff } What;
        std::uint8_t Channel;
        std::uint8_t Note;
        std::uint8_t Velocity;
    };

    /// A new port on Backend_ whose messages and errors come back to this object; null with
    /// Error set when the back end does not start.
    std::unique_ptr<Port> makePort(QString& error);
    /// Closes Which and emits noteOff for every note it still holds.
    void release(std::unique_ptr<Port>& which);
    /// Takes the events out of the ports' rings, on this object's thread.
    void drain();
    void apply(Port& port, Event event);

    Backend Backend_ = Backend::Alsa;
    /// Written by RtMidi's threads after new events; Wake_ watches it on this object's thread.
    int WakeFd_ = -1;
    QString WakeError_;
    QSocketNotifier* Wake_ = nullptr;
    std::unique_ptr<Port> Virtual_;
    std::unique_ptr<Port> Connection_;
};

}  // namespace keymora::pad
