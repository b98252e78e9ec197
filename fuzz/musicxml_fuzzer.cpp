// Reads any bytes as a MusicXML document for the pad. A refusal must say why, on a line, and
// leave the document exactly as it was; an accepted document must export to MusicXML that reads
// back to the same document.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "musicxml.h"
#include "promise.h"

using namespace keymora::pad;
using keymora::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    TNoteList Before;
    Before.Assign({{false, 5, 1, 0, 2}, {true, 0, 0, 0, 3}}, {3, 8}, 66);
    TNoteList List = Before;
    QString Error;
    if (!FromMusicXml(Bytes, List, Error)) {
        Check(!Error.isEmpty(), "a refusal without a message");
        Check(Error.startsWith(QStringLiteral("line ")), "a refusal without its line");
        Check(List == Before, "a refused document changed the list");
        return 0;
    }
    Check(Error.isEmpty(), "an accepted document with a message");
    const QByteArray Again = ToMusicXml(List);
    TNoteList Back;
    Check(FromMusicXml(Again, Back, Error), "an exported document does not read back");
    Check(Back == List, "an exported document reads back to another one");
    return 0;
}
