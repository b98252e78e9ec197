// Files the library and its tools write and read: a write lands whole or not at all, and a read
// never takes more than its caller allows. Plain POSIX; Qt code may use QSaveFile instead.
//
// A write goes to a unique temporary file beside the target (so two writers never share one),
// which is written, flushed, synced and renamed over the target. On any failure the target is
// left as it was, the temporary is removed, and the reason comes back as text ending in the
// system's own message. A target reached through symbolic links is written beside the file the
// links lead to, so the links stay. A target that exists but is not a regular file (a FIFO, a
// device, a directory) is refused before anything is written.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace keymora::host {

/// Writes Bytes to Path as described above; nullopt on success, else why it failed.
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& Path,
                                               std::string_view Bytes);

/// What ReadFileBounded found.
enum class TReadResult { Read, Missing, Failed };

/// Reads the regular file at Path into Out, refusing one larger than MaxBytes. Missing when
/// there is no file (Error says so too); Failed with Error set when Path is not a regular file,
/// cannot be read or is too large.
TReadResult ReadFileBounded(const std::filesystem::path& Path, std::size_t MaxBytes,
                            std::string& Out, std::string& Error);

/// Checks that Path names a regular file that can be opened for reading; nullopt when it does,
/// else why not. For readers that stream a file themselves.
std::optional<std::string> CheckReadableFile(const std::filesystem::path& Path);

/// Path as the user would read it in a message (its bytes, unchanged).
inline std::string Shown(const std::filesystem::path& Path) { return Path.native(); }

}  // namespace keymora::host
