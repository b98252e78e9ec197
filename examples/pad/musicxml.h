// The pad's documents as MusicXML 4.0 (score-partwise): one part on a grand staff, one voice, the
// entries written bar by bar as TNoteList::Pieces() splits them, and read back into entries.
//
// What a written file carries beyond plain notation, as processing instructions that notation
// programs ignore: <?keymora continues?> in a rest that goes on from the rest before it (a rest
// split at a bar line, joined again when read), and <?keymora fill?> in the rests that complete
// the last bar (dropped when read). So a saved document opens as complete notation elsewhere and
// opens here as exactly the document that was saved.
//
// What the reader takes from other programs: one part of notes and rests in one voice (voice 1 or
// none), on any staff; note values from <type> (and <dot>) or from <duration> and <divisions>, both
// when both are given and agree; tied notes of one pitch joined into one entry when their lengths
// add up to a plain value (so a dotted note is accepted only when tied into one); a rest of any
// length as plain rests, largest first; <forward> as rests, and so invisible rests
// (print-object="no", in any voice: how MuseScore fills an empty staff); <backup> only where
// nothing overlaps afterwards; the first time signature and tempo (<sound tempo> or a metronome
// mark). Layout, clefs, keys, directions without tempo, lyrics, beams, bar lines and repeats are
// ignored (repeats are not played out). Anything else that shapes the music is refused, with the
// line and what it was: chords, tuplets, grace and cue notes, unpitched notes, a second part or
// voice, a change of meter or tempo, measures shorter or longer than the meter (except the last
// one shorter), pitches off the 88 keys, alterations other than -1, 0, +1, transposing parts,
// and compressed MusicXML (.mxl, a zip archive).
#pragma once

#include <QByteArray>
#include <QString>

#include "note_list.h"

namespace keymora::pad {

/// Files and documents larger than this are refused unread.
constexpr qint64 MaxMusicXmlBytes = 32LL * 1024 * 1024;
/// Entries a document read may hold at most.
constexpr int MaxMusicXmlEntries = 1000000;
/// Element nesting a document read may have at most.
constexpr int MaxMusicXmlDepth = 64;

/// The document as MusicXML 4.0, UTF-8, with the 4.0 score-partwise DOCTYPE. Entries must be on
/// the 88 keys with Duration 0..7 to read back (the pad enters no others).
QByteArray ToMusicXml(const TNoteList& List);

/// Reads a MusicXML document into Out. On refusal returns false, leaves Out as it was and sets
/// Error to "line N: what". Note 8 and tones beyond +-1 never come back: pitches are read as
/// Note 1..7 with Tone -1, 0 or +1, the way ToMusicXml writes them.
bool FromMusicXml(const QByteArray& Data, TNoteList& Out, QString& Error);

/// Writes ToMusicXml(List) to Path whole or not at all (a link is written through); on failure the
/// old file stays, no temporary is left, and Error names the file and the reason.
bool SaveMusicXml(const QString& Path, const TNoteList& List, QString& Error);

/// Reads Path (a regular file of at most MaxMusicXmlBytes, refused before reading otherwise) with
/// FromMusicXml; on failure Out is untouched and Error names the file and the reason.
bool OpenMusicXml(const QString& Path, TNoteList& Out, QString& Error);

}  // namespace keymora::pad
