// MIDI input through RtMidi. Each port is an RtMidiIn of its own: the one other programs connect
// to (a virtual port), and the one connected to a source. RtMidi calls back on its own thread (the
// JACK process thread, realtime, or ALSA's input thread). The callback decodes the bytes there,
// puts the events in the port's ring (one writer, one reader, no lock, no allocation) and wakes
// the object's thread through an eventfd; that thread takes them out, keeps the held notes and
// emits the signals.
#include "midi_input.h"

#include <QtCore/QFileInfo>
#include <QtCore/QMetaObject>
#include <QtCore/QRegularExpression>
#include <QtCore/QSocketNotifier>
#include <QtCore/QThread>
#include <array>
#include <atomic>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#if KEYMORA_PAD_RTMIDI
#include <RtMidi.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace keymora::pad {

struct MidiInput::Port {
    MidiInput* Owner = nullptr;
    /// The source this port is connected to; empty for the virtual port.
    QString Source;
    /// The notes on without their note off yet, by channel * 128 + note.
    std::bitset<16 * 128> Held;
    /// What RtMidi reported on the owner's thread since the last call began, and whether any of
    /// it was an error rather than a warning.
    QStringList Problems;
    bool Failed = false;
    /// The events RtMidi's thread decoded and the owner's thread has yet to take: Written and
    /// Taken count them from the start, each advanced by its own thread alone.
    static constexpr std::uint64_t Capacity = 1024;
    std::array<Event, Capacity> Ring{};
    std::atomic<std::uint64_t> Written{0};
    std::atomic<std::uint64_t> Taken{0};
    /// Events lost to a full ring since the owner last looked.
    std::atomic<std::uint64_t> Dropped{0};
    /// The owner's eventfd, written after new events.
    int WakeFd = -1;

    bool take(Event& event) {
        const std::uint64_t T = Taken.load(std::memory_order_relaxed);
        if (T == Written.load(std::memory_order_acquire)) return false;
        event = Ring[T % Capacity];
        Taken.store(T + 1, std::memory_order_release);
        return true;
    }
#if KEYMORA_PAD_RTMIDI
    // Last, so that it is closed (and its thread stopped) before the rest goes.
    std::unique_ptr<RtMidiIn> In;

    ~Port() {
        In.reset();
    }

    void beginCall() {
        Problems.clear();
        Failed = false;
    }

    static void onError(RtMidiError::Type type, const std::string& text, void* data) {
        auto* P = static_cast<Port*>(data);
        const QString Text = QString::fromStdString(text);
        if (QThread::currentThread() == P->Owner->thread()) {
            P->Problems.append(Text);
            if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
                P->Failed = true;
            return;
        }
        if (type == RtMidiError::DEBUG_WARNING) return;
        MidiInput* Owner = P->Owner;
        QMetaObject::invokeMethod(
            Owner, [Owner, Text] { emit Owner->error(Text); }, Qt::QueuedConnection);
    }

    static void onMessage(double, std::vector<unsigned char>* bytes, void* data) {
        auto* P = static_cast<Port*>(data);
        bool Any = false;
        decode(*bytes, [P, &Any](Event E) {
            const std::uint64_t W = P->Written.load(std::memory_order_relaxed);
            if (W - P->Taken.load(std::memory_order_acquire) == Capacity) {
                P->Dropped.fetch_add(1, std::memory_order_relaxed);
                return;
            }
            P->Ring[W % Capacity] = E;
            P->Written.store(W + 1, std::memory_order_release);
            Any = true;
        });
        if (!Any) return;
        const std::uint64_t One = 1;
        // Never blocks (EFD_NONBLOCK); a counter that cannot grow is already waking the owner.
        [[maybe_unused]] const ssize_t Ignored = ::write(P->WakeFd, &One, sizeof One);
    }
#endif

    /// Reads Bytes as a MIDI stream: running status is followed, real-time bytes (clock, active
    /// sensing) are skipped wherever they stand, and SysEx and the other system messages are
    /// skipped up to the next status byte. Calls Emit for each note on, note off and all notes off.
    template <class F>
    static void decode(const std::vector<unsigned char>& bytes, F&& Emit) {
        unsigned Status = 0;
        unsigned char Data[2] = {0, 0};
        int Have = 0;
        for (const unsigned char Byte : bytes) {
            if (Byte >= 0xF8) continue;
            if (Byte >= 0xF0) {
                Status = 0;
                continue;
            }
            if (Byte >= 0x80) {
                Status = Byte;
                Have = 0;
                continue;
            }
            if (!Status) continue;
            Data[Have++] = Byte;
            // Program change and channel pressure carry one data byte, the others two.
            const int Need = (Status & 0xE0) == 0xC0 ? 1 : 2;
            if (Have < Need) continue;
            Have = 0;
            const auto Channel = static_cast<std::uint8_t>(Status & 0x0F);
            switch (Status & 0xF0) {
                case 0x80:
                    Emit(Event{Event::Off, Channel, Data[0], Data[1]});
                    break;
                case 0x90:
                    Emit(Event{Data[1] ? Event::On : Event::Off, Channel, Data[0], Data[1]});
                    break;
                case 0xB0:
                    if (Data[0] == 120 || Data[0] >= 123) Emit(Event{Event::AllOff, Channel, 0, 0});
                    break;
                default:
                    break;
            }
        }
    }
};

MidiInput::MidiInput(QObject* parent) : QObject(parent) {
#if KEYMORA_PAD_RTMIDI
    WakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (WakeFd_ < 0) {
        WakeError_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    Wake_ = new QSocketNotifier(WakeFd_, QSocketNotifier::Read, this);
    connect(Wake_, &QSocketNotifier::activated, this, &MidiInput::drain);
#endif
}

MidiInput::~MidiInput() {
    close();
#if KEYMORA_PAD_RTMIDI
    if (WakeFd_ >= 0) {
        delete Wake_;
        ::close(WakeFd_);
    }
#endif
}

QList<MidiInput::Backend> MidiInput::available() {
    QList<Backend> Result;
#if KEYMORA_PAD_RTMIDI
    std::vector<RtMidi::Api> Apis;
    RtMidi::getCompiledApi(Apis);
    for (const Backend B : {Backend::Alsa, Backend::Jack}) {
        const RtMidi::Api Api = B == Backend::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
        for (const RtMidi::Api A : Apis)
            if (A == Api) Result.append(B);
    }
#endif
    return Result;
}

QString MidiInput::backendName(Backend backend) {
    return backend == Backend::Alsa ? QStringLiteral("ALSA") : QStringLiteral("JACK");
}

bool MidiInput::isOpen() const {
    return Virtual_ != nullptr;
}

QString MidiInput::connectedSource() const {
    return Connection_ ? Connection_->Source : QString();
}

#if KEYMORA_PAD_RTMIDI

std::unique_ptr<MidiInput::Port> MidiInput::makePort(QString& error) {
    if (WakeFd_ < 0) {
        error = tr("cannot make an eventfd for the MIDI thread: %1").arg(WakeError_);
        return nullptr;
    }
    if (!available().contains(Backend_)) {
        error = tr("RtMidi was built without %1").arg(backendName(Backend_));
        return nullptr;
    }
    auto P = std::make_unique<Port>();
    P->Owner = this;
    P->WakeFd = WakeFd_;
    const RtMidi::Api Api = Backend_ == Backend::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
    try {
        // RtMidi reports a back end that does not start by throwing from the constructor, before
        // an error callback can be set.
        P->In = std::make_unique<RtMidiIn>(Api, PortName);
    } catch (const RtMidiError& E) {
        error = QString::fromStdString(E.getMessage());
        if (Backend_ == Backend::Alsa) {
            const QFileInfo Sequencer(QStringLiteral("/dev/snd/seq"));
            if (!Sequencer.exists())
                error += tr(" (there is no /dev/snd/seq: this system has no ALSA sequencer)");
            else if (!Sequencer.isReadable() || !Sequencer.isWritable())
                error += tr(" (no permission to open /dev/snd/seq: is the user in group audio?)");
        }
        return nullptr;
    }
    P->In->setErrorCallback(&Port::onError, P.get());
    P->In->ignoreTypes(true, true, true);
    P->In->setCallback(&Port::onMessage, P.get());
    return P;
}

bool MidiInput::open(Backend backend, QString& error) {
    close();
    Backend_ = backend;
    std::unique_ptr<Port> P = makePort(error);
    if (!P) return false;
    P->beginCall();
    try {
        P->In->openVirtualPort(PortName);
    } catch (const RtMidiError& E) {
        P->Problems.append(QString::fromStdString(E.getMessage()));
        P->Failed = true;
    }
    if (P->Failed) {
        error = P->Problems.join(QStringLiteral("; "));
        return false;
    }
    Virtual_ = std::move(P);
    return true;
}

QStringList MidiInput::sources() const {
    QStringList Result;
    if (!Virtual_) return Result;
    // JACK names a second client of the same name "Keymora Pad-01", and so on.
    static const QRegularExpression Own(
        QStringLiteral("^%1(-\\d+)?:").arg(QRegularExpression::escape(PortName)));
    Virtual_->beginCall();
    const unsigned Count = Virtual_->In->getPortCount();
    for (unsigned I = 0; I < Count; ++I) {
        const QString Name = QString::fromStdString(Virtual_->In->getPortName(I));
        if (!Name.isEmpty() && !Own.match(Name).hasMatch()) Result.append(Name);
    }
    return Result;
}

bool MidiInput::connectTo(const QString& source, QString& error) {
    if (!Virtual_) {
        error = tr("MIDI input is not open");
        return false;
    }
    std::unique_ptr<Port> P = makePort(error);
    if (!P) return false;
    P->Source = source;
    const std::string Wanted = source.toStdString();
    P->beginCall();
    const unsigned Count = P->In->getPortCount();
    unsigned Index = Count;
    for (unsigned I = 0; I < Count && Index == Count; ++I)
        if (P->In->getPortName(I) == Wanted) Index = I;
    if (Index == Count) {
        error = tr("no MIDI source named \"%1\"").arg(source);
        return false;
    }
    try {
        P->In->openPort(Index, PortName);
    } catch (const RtMidiError& E) {
        P->Problems.append(QString::fromStdString(E.getMessage()));
        P->Failed = true;
    }
    if (P->Failed || !P->In->isPortOpen()) {
        error = P->Problems.isEmpty() ? tr("could not connect to \"%1\"").arg(source)
                                      : P->Problems.join(QStringLiteral("; "));
        return false;
    }
    // RtMidi's JACK back end does not report a connection that failed because the source went
    // away meanwhile; the port list says whether it is still there under the number it opened.
    if (P->In->getPortName(Index) != Wanted) {
        error = tr("\"%1\" went away while connecting").arg(source);
        return false;
    }
    release(Connection_);
    Connection_ = std::move(P);
    return true;
}

#else

std::unique_ptr<MidiInput::Port> MidiInput::makePort(QString& error) {
    error = tr("built without MIDI input");
    return nullptr;
}

bool MidiInput::open(Backend backend, QString& error) {
    close();
    Backend_ = backend;
    return makePort(error) != nullptr;
}

QStringList MidiInput::sources() const {
    return {};
}

bool MidiInput::connectTo(const QString&, QString& error) {
    return makePort(error) != nullptr;
}

#endif

bool MidiInput::openFirstAvailable(QString& error) {
    error.clear();
#if !KEYMORA_PAD_RTMIDI
    makePort(error);
    return false;
#else
    QStringList Reasons;
    for (const Backend B : {Backend::Alsa, Backend::Jack}) {
        QString Reason;
        const bool Opened = open(B, Reason);
        if (!Opened) Reasons.append(backendName(B) + QStringLiteral(": ") + Reason);
        error = Reasons.join(QStringLiteral("; "));
        if (Opened) return true;
    }
    return false;
#endif
}

void MidiInput::disconnectSource() {
    release(Connection_);
}

void MidiInput::close() {
    release(Connection_);
    release(Virtual_);
}

void MidiInput::release(std::unique_ptr<Port>& which) {
    if (!which) return;
    // The port closes first, so that no event of it comes after its note offs; those still in its
    // ring go with it (a note on among them was never emitted, and needs no note off).
    const std::unique_ptr<Port> Closing = std::move(which);
    const std::bitset<16 * 128> Held = Closing->Held;
#if KEYMORA_PAD_RTMIDI
    Closing->In.reset();
#endif
    for (std::size_t I = 0; I < Held.size(); ++I)
        if (Held[I]) emit noteOff(static_cast<int>(I % 128), 0);
}

void MidiInput::drain() {
#if KEYMORA_PAD_RTMIDI
    std::uint64_t Count = 0;
    [[maybe_unused]] const ssize_t Ignored = ::read(WakeFd_, &Count, sizeof Count);
#endif
    // A slot may close or replace a port: each event looks the port up again.
    for (std::unique_ptr<Port>* Slot : {&Virtual_, &Connection_}) {
        Event E{};
        while (*Slot && (*Slot)->take(E)) apply(**Slot, E);
        if (*Slot)
            if (const std::uint64_t Lost = (*Slot)->Dropped.exchange(0))
                emit error(tr("MIDI input fell behind: %n event(s) lost", nullptr, int(Lost)));
    }
}

void MidiInput::apply(Port& port, Event event) {
    const std::size_t Key = event.Channel * 128u + event.Note;
    switch (event.What) {
        case Event::On:
            port.Held.set(Key);
            emit noteOn(event.Note, event.Velocity);
            break;
        case Event::Off:
            port.Held.reset(Key);
            emit noteOff(event.Note, event.Velocity);
            break;
        case Event::AllOff:
            for (int Note = 0; Note < 128; ++Note) port.Held.reset(event.Channel * 128u + Note);
            emit allNotesOff();
            break;
    }
}

}  // namespace keymora::pad
