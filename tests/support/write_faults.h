// One table of faults for every writer of files: each case puts an old file (or something that
// is not a file) where the writer is told to write, breaks the write in one way, and checks the
// promises: a failure is reported with its reason, the old file is untouched and no temporary
// is left beside it; the cases that must succeed leave exactly the new bytes.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

namespace keymora::testing {

/// Writes its file at Path; nullopt on success, else the reason it gives.
using TWriter = std::function<std::optional<std::string>(const std::filesystem::path& Path)>;

enum class TFault {
    None,            // a plain old file: replaced
    Symlink,         // the target is a link to the old file: the file behind it is replaced
    MissingFolder,   // the folder does not exist
    Directory,       // the target is a directory
    Fifo,            // the target is a FIFO (a writer that opens it would block)
    Device,          // the target is a link to /dev/full
    FileSizeLimit,   // RLIMIT_FSIZE below the new file's size, SIGXFSZ ignored
    ReadOnlyFolder,  // the folder is not writable (skipped as root)
};

struct TFaultCase {
    const char* Name;
    TFault Fault;
    bool Succeeds;
    const char* Reason;  // part of the reported reason
};

inline const TFaultCase WriteFaultCases[] = {
    {"replaces_a_file", TFault::None, true, ""},
    {"writes_through_a_link", TFault::Symlink, true, ""},
    {"missing_folder", TFault::MissingFolder, false, "No such file or directory"},
    {"directory", TFault::Directory, false, "directory"},
    {"fifo", TFault::Fifo, false, "not a regular file"},
    {"device", TFault::Device, false, "not a regular file"},
    {"file_size_limit", TFault::FileSizeLimit, false, "File too large"},
    {"read_only_folder", TFault::ReadOnlyFolder, false, "Permission denied"},
};

inline std::string ReadWhole(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

/// Entries of Folder other than those named.
inline int StrayEntries(const std::filesystem::path& Folder, std::initializer_list<std::string> Known) {
    int N = 0;
    std::error_code Ec;
    for (const auto& E : std::filesystem::directory_iterator(Folder, Ec)) {
        bool Listed = false;
        for (const std::string& K : Known) Listed = Listed || E.path().filename() == K;
        if (!Listed) ++N;
    }
    return N;
}

/// Runs Case against Write in a fresh folder under Name. MinSize is a size the new file is
/// known to exceed (the file-size limit is set below it); FileName is the target's name, and a
/// writer that MakesFolders succeeds where the folder is missing.
inline void CheckWriteFault(const TFaultCase& Case, const std::string& Name, const TWriter& Write,
                            std::size_t MinSize = 16, const std::string& FileName = "out.bin",
                            bool MakesFolders = false) {
    namespace fs = std::filesystem;
    if (Case.Fault == TFault::ReadOnlyFolder && ::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const fs::path Folder = fs::path(::testing::TempDir()) / ("keymora_faults_" + Name + "_" + Case.Name);
    std::error_code Ignored;
    fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add, Ignored);
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    const std::string Old = "old contents that must survive\n";
    fs::path Target = Folder / FileName;
    const fs::path Real = Folder / "real.bin";
    std::ofstream(Real, std::ios::binary) << Old;
    switch (Case.Fault) {
        case TFault::None: fs::rename(Real, Target); break;
        case TFault::Symlink: fs::create_symlink("real.bin", Target); break;
        case TFault::MissingFolder: Target = Folder / "missing" / FileName; break;
        case TFault::Directory: fs::create_directory(Target); break;
        case TFault::Fifo: ASSERT_EQ(::mkfifo(Target.c_str(), 0600), 0); break;
        case TFault::Device: fs::create_symlink("/dev/full", Target); break;
        case TFault::FileSizeLimit: fs::rename(Real, Target); break;
        case TFault::ReadOnlyFolder:
            fs::rename(Real, Target);
            fs::permissions(Folder, fs::perms::owner_read | fs::perms::owner_exec);
            break;
    }
    std::optional<std::string> Error;
    if (Case.Fault == TFault::FileSizeLimit) {
        // The limit binds the whole process: a child writes, and says what it got back.
        int Pipe[2];
        ASSERT_EQ(::pipe(Pipe), 0);
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            ::close(Pipe[0]);
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit Limit{static_cast<rlim_t>(MinSize / 2), static_cast<rlim_t>(MinSize / 2)};
            ::setrlimit(RLIMIT_FSIZE, &Limit);
            const auto E = Write(Target);
            const std::string Said = E ? "E" + *E : "S";
            (void)!::write(Pipe[1], Said.data(), Said.size());
            ::_exit(0);
        }
        ::close(Pipe[1]);
        std::string Said;
        char Buffer[512];
        for (ssize_t N; (N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;)
            Said.append(Buffer, static_cast<std::size_t>(N));
        ::close(Pipe[0]);
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        ASSERT_TRUE(WIFEXITED(Status)) << "the writer died under the file-size limit";
        ASSERT_FALSE(Said.empty());
        if (Said[0] == 'E') Error = Said.substr(1);
    } else {
        Error = Write(Target);
    }
    if (Case.Fault == TFault::ReadOnlyFolder)
        fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add);

    if (Case.Succeeds || (Case.Fault == TFault::MissingFolder && MakesFolders)) {
        EXPECT_EQ(Error, std::nullopt);
        const fs::path Written = Case.Fault == TFault::Symlink ? Real : Target;
        EXPECT_GE(ReadWhole(Written).size(), MinSize);
        EXPECT_NE(ReadWhole(Written), Old);
        if (Case.Fault == TFault::Symlink) {
            EXPECT_TRUE(fs::is_symlink(Target)) << "the link stays";
        }
    } else {
        ASSERT_TRUE(Error.has_value()) << "a failed write reported as success";
        EXPECT_NE(Error->find(Case.Reason), std::string::npos) << *Error;
        if (fs::exists(Real)) {
            EXPECT_EQ(ReadWhole(Real), Old);
        }
        if (Case.Fault == TFault::FileSizeLimit || Case.Fault == TFault::ReadOnlyFolder) {
            EXPECT_EQ(ReadWhole(Target), Old) << "the old file is untouched";
        }
        if (Case.Fault == TFault::Directory) {
            EXPECT_TRUE(fs::is_directory(Target));
        }
        if (Case.Fault == TFault::Fifo) {
            EXPECT_EQ(fs::status(Target).type(), fs::file_type::fifo);
        }
    }
    EXPECT_EQ(StrayEntries(Folder, {FileName, "real.bin", "missing"}), 0) << "a temporary was left";
    fs::remove_all(Folder);
}

}  // namespace keymora::testing
