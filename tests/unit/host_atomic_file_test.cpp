// The core's file writer and bounded reader: the writer through the shared table of faults, the
// reader through a table of inputs that are not small regular files.
#include "core/host/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "../support/write_faults.h"

namespace keymora::host {
namespace {

namespace fs = std::filesystem;
using keymora::testing::TFaultCase;

class AtomicWrite : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(AtomicWrite, OldFileKeptAndReasonGivenOnFailure) {
    const std::string Bytes(4096, 'x');
    keymora::testing::CheckWriteFault(
        GetParam(), "core",
        [&](const fs::path& P) { return WriteFileAtomically(P, Bytes); }, Bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Faults, AtomicWrite, ::testing::ValuesIn(keymora::testing::WriteFaultCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(AtomicWrite, KeepsTheModeOfTheFileItReplaces) {
    const fs::path P = fs::path(::testing::TempDir()) / "keymora_atomic_mode";
    std::ofstream(P) << "old";
    fs::permissions(P, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(WriteFileAtomically(P, "new"), std::nullopt);
    EXPECT_EQ(fs::status(P).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::remove(P);
}

struct TReadCase {
    const char* Name;
    int Kind;  // 0 file of Size bytes, 1 missing, 2 directory, 3 FIFO, 4 /dev/zero
    std::size_t Size;
    TReadResult Result;
    const char* Reason;
};

class BoundedRead : public ::testing::TestWithParam<TReadCase> {};

TEST_P(BoundedRead, RefusesWhatIsNotASmallRegularFile) {
    const TReadCase& C = GetParam();
    const fs::path Folder = fs::path(::testing::TempDir()) / ("keymora_read_" + std::string(C.Name));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    fs::path P = Folder / "in";
    switch (C.Kind) {
        case 0: std::ofstream(P, std::ios::binary) << std::string(C.Size, 'a'); break;
        case 1: break;
        case 2: fs::create_directory(P); break;
        case 3: ASSERT_EQ(::mkfifo(P.c_str(), 0600), 0); break;
        default: P = "/dev/zero"; break;
    }
    std::string Out = "stale", Error;
    EXPECT_EQ(ReadFileBounded(P, 1000, Out, Error), C.Result);
    if (C.Result == TReadResult::Read) {
        EXPECT_EQ(Out.size(), C.Size);
    } else {
        EXPECT_TRUE(Out.empty());
        EXPECT_NE(Error.find(C.Reason), std::string::npos) << Error;
    }
    fs::remove_all(Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BoundedRead,
    ::testing::Values(TReadCase{"empty", 0, 0, TReadResult::Read, ""},
                      TReadCase{"at_the_bound", 0, 1000, TReadResult::Read, ""},
                      TReadCase{"past_the_bound", 0, 1001, TReadResult::Failed, "larger than 1000"},
                      TReadCase{"missing", 1, 0, TReadResult::Missing, "No such file"},
                      TReadCase{"directory", 2, 0, TReadResult::Failed, "directory"},
                      TReadCase{"fifo", 3, 0, TReadResult::Failed, "not a regular file"},
                      TReadCase{"device", 4, 0, TReadResult::Failed, "not a regular file"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::host
