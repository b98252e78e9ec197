// Atomic writes and bounded reads over POSIX calls: see atomic_file.h.
#include "core/host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace keymora::host {

namespace {

std::string Reason(int Errno) { return std::strerror(Errno); }

// The file the links of Path lead to; Path itself when it is no link. A loop of links, or one
// too deep, is left to the system to refuse.
std::filesystem::path Resolve(const std::filesystem::path& Path) {
    std::filesystem::path P = Path;
    for (int Depth = 0; Depth < 40; ++Depth) {
        struct stat St {};
        if (::lstat(P.c_str(), &St) != 0 || !S_ISLNK(St.st_mode)) return P;
        std::error_code Ec;
        const std::filesystem::path Target = std::filesystem::read_symlink(P, Ec);
        if (Ec) return P;
        P = Target.is_absolute() ? Target : P.parent_path() / Target;
    }
    return P;
}

// The mode a new file gets: what open(O_CREAT, 0666) would give under the current umask.
mode_t NewFileMode() {
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    return 0666 & ~Mask;
}

bool WriteAll(int Fd, std::string_view Bytes, int& Errno) {
    while (!Bytes.empty()) {
        const ssize_t N = ::write(Fd, Bytes.data(), Bytes.size());
        if (N < 0) {
            if (errno == EINTR) continue;
            Errno = errno;
            return false;
        }
        if (N == 0) {
            Errno = ENOSPC;
            return false;
        }
        Bytes.remove_prefix(static_cast<std::size_t>(N));
    }
    return true;
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& Path,
                                               std::string_view Bytes) {
    const std::string Fail = "cannot write " + Shown(Path) + ": ";
    if (Path.empty()) return Fail + Reason(ENOENT);
    const std::filesystem::path Target = Resolve(Path);
    struct stat St {};
    mode_t Mode = NewFileMode();
    if (::stat(Target.c_str(), &St) == 0) {
        if (!S_ISREG(St.st_mode))
            return Fail + (S_ISDIR(St.st_mode) ? "it is a directory" : "it is not a regular file");
        Mode = St.st_mode & 07777;
    } else if (errno != ENOENT) {
        return Fail + Reason(errno);
    }
    const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : ".";
    std::string Temp = (Dir / ("." + Target.filename().native() + ".XXXXXX")).native();
    const int Fd = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Fd < 0) return Fail + Reason(errno);
    int Errno = 0;
    bool Ok = WriteAll(Fd, Bytes, Errno);
    if (Ok && ::fchmod(Fd, Mode) != 0) Ok = false, Errno = errno;
    if (Ok && ::fsync(Fd) != 0) Ok = false, Errno = errno;
    if (::close(Fd) != 0 && Ok) Ok = false, Errno = errno;
    if (Ok && ::rename(Temp.c_str(), Target.c_str()) != 0) Ok = false, Errno = errno;
    if (!Ok) {
        ::unlink(Temp.c_str());
        return Fail + Reason(Errno);
    }
    // The rename itself lasts once the folder is synced; a folder that cannot be opened for it
    // (no read permission) still holds the new file.
    const int DirFd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DirFd >= 0) {
        ::fsync(DirFd);
        ::close(DirFd);
    }
    return std::nullopt;
}

namespace {

// Opens Path for reading if it is a regular file; -1 with Error set otherwise. O_NONBLOCK keeps
// a FIFO from blocking the open before it can be refused.
int OpenRegular(const std::filesystem::path& Path, std::string& Error, bool& Missing) {
    Missing = false;
    const std::string Fail = "cannot read " + Shown(Path) + ": ";
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0) {
        Missing = errno == ENOENT;
        Error = Fail + Reason(errno);
        return -1;
    }
    struct stat St {};
    const bool Stated = ::fstat(Fd, &St) == 0;
    if (!Stated || !S_ISREG(St.st_mode)) {
        Error = Fail + (!Stated                ? Reason(errno)
                        : S_ISDIR(St.st_mode) ? std::string("it is a directory")
                                              : std::string("it is not a regular file"));
        ::close(Fd);
        return -1;
    }
    return Fd;
}

}  // namespace

std::optional<std::string> CheckReadableFile(const std::filesystem::path& Path) {
    std::string Error;
    bool Missing = false;
    const int Fd = OpenRegular(Path, Error, Missing);
    if (Fd < 0) return Error;
    ::close(Fd);
    return std::nullopt;
}

TReadResult ReadFileBounded(const std::filesystem::path& Path, std::size_t MaxBytes,
                            std::string& Out, std::string& Error) {
    Out.clear();
    bool Missing = false;
    const int Fd = OpenRegular(Path, Error, Missing);
    if (Fd < 0) return Missing ? TReadResult::Missing : TReadResult::Failed;
    char Buffer[65536];
    for (;;) {
        const ssize_t N = ::read(Fd, Buffer, sizeof Buffer);
        if (N < 0) {
            if (errno == EINTR) continue;
            Error = "cannot read " + Shown(Path) + ": " + Reason(errno);
            break;
        }
        if (N == 0) {
            ::close(Fd);
            return TReadResult::Read;
        }
        if (Out.size() + static_cast<std::size_t>(N) > MaxBytes) {
            Error = "cannot read " + Shown(Path) + ": larger than " + std::to_string(MaxBytes) +
                    " bytes";
            break;
        }
        Out.append(Buffer, static_cast<std::size_t>(N));
    }
    ::close(Fd);
    Out.clear();
    return TReadResult::Failed;
}

}  // namespace keymora::host
