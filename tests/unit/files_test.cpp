// Reading only regular files, and replacing output files through a uniquely named temporary file.
#include "base/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <thread>

#include "base/error.h"
#include "support/jpeg_maker.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

std::vector<uint8_t> Read(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteFileReplacing(path, bytes.data(), bytes.size());
}

std::string ErrorOf(const std::string& path, const std::vector<uint8_t>& bytes) {
    try {
        Write(path, bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

size_t Entries(const std::string& folder) {
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

TEST(ReadWholeFile, ReadsOnlyRegularFilesAndNeverWaitsOnAPipe) {
    testing::TempDir dir;
    const std::string fifo = dir.File("pipe.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] {
        std::vector<uint8_t> bytes;
        return ReadWholeFile(fifo, bytes);
    });
    const bool done = reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!done) close(open(fifo.c_str(), O_WRONLY));  // lets the blocked read end
    EXPECT_TRUE(done);
    EXPECT_FALSE(reading.get());
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(ReadWholeFile(dir.Path(), bytes));
    EXPECT_FALSE(ReadWholeFile(dir.File("missing"), bytes));
    testing::WriteBytes(dir.File("empty"), {});
    EXPECT_TRUE(ReadWholeFile(dir.File("empty"), bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(WriteFileReplacing, ParallelWritersEachLeaveAWholeFileAndNoTemporaryOne) {
    testing::TempDir dir;
    const std::string out = dir.File("out.bmp");
    std::vector<std::thread> writers;
    std::vector<int> failures(8, 0);
    for (int w = 0; w < 8; ++w)
        writers.emplace_back([&, w] {
            const std::vector<uint8_t> content(1000 + 5000 * w, static_cast<uint8_t>(w));
            for (int i = 0; i < 30; ++i)
                failures[w] += ErrorOf(out, content).empty() ? 0 : 1;
        });
    for (std::thread& t : writers)
        t.join();
    EXPECT_EQ(failures, std::vector<int>(8, 0));
    const std::vector<uint8_t> final = Read(out);
    ASSERT_FALSE(final.empty());
    EXPECT_EQ(final.size(), 1000u + 5000u * final[0]);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(WriteFileReplacing, LeavesOtherFilesAndLinksOfLikelyNamesAlone) {
    testing::TempDir dir;
    const std::string out = dir.File("out.bmp");
    testing::WriteBytes(dir.File("victim"), {'v'});
    ASSERT_EQ(symlink(dir.File("victim").c_str(), (out + ".tmp").c_str()), 0);
    testing::WriteBytes(out + ".temp", {'u'});
    Write(out, {1, 2, 3});
    EXPECT_EQ(Read(out), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Read(dir.File("victim")), std::vector<uint8_t>{'v'});
    EXPECT_EQ(Read(out + ".temp"), std::vector<uint8_t>{'u'});
    const std::string longest = dir.File(std::string(251, 'n') + ".bmp");
    Write(longest, {4});
    EXPECT_EQ(Read(longest), std::vector<uint8_t>{4});
}

TEST(WriteFileReplacing, KeepsPermissionsAndRefusesWhatMayNotBeWritten) {
    testing::TempDir dir;
    const std::string out = dir.File("out.bmp");
    testing::WriteBytes(out, {9});
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    Write(out, {1});
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // Refused exactly when opening it for writing would be (root may write anything).
    ASSERT_EQ(chmod(out.c_str(), 0444), 0);
    const int fd = open(out.c_str(), O_WRONLY);
    const bool writable = fd >= 0;
    if (fd >= 0) close(fd);
    EXPECT_EQ(ErrorOf(out, {2}), writable ? "" : "Cannot create file " + out);
    EXPECT_EQ(Read(out), std::vector<uint8_t>{static_cast<uint8_t>(writable ? 2 : 1)});
    // Failures leave no temporary file behind.
    EXPECT_EQ(ErrorOf(dir.Path(), {3}), "Cannot create file " + dir.Path());
    EXPECT_EQ(ErrorOf(dir.File("no/such/folder.bmp"), {3}),
              "Cannot create file " + dir.File("no/such/folder.bmp"));
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(WriteFileReplacing, AShortWriteKeepsThePreviousFileAndRemovesTheTemporaryOne) {
    testing::TempDir dir;
    const std::string out = dir.File("out.bmp");
    testing::WriteBytes(out, {7});
    // A file size limit makes the write come up short, as a full disk does.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = ErrorOf(out, std::vector<uint8_t>(10000, 1));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, "Stream write error");
    EXPECT_EQ(Read(out), std::vector<uint8_t>{7});
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

}  // namespace
}  // namespace tavo
