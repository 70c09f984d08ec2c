// The target has either its old content or the whole new one, and nothing is left beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

#include "util/SafeWrite.h"

namespace vocalet {
namespace {

namespace fs = std::filesystem;

class SafeWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    // Other worktrees' runs share the temporary folder.
    dir_ = fs::temp_directory_path() /
           ("vocalet_safewrite_" + std::to_string(std::random_device()()));
    fs::create_directories(dir_);
    target_ = (dir_ / "vocalet.wav").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  static void Put(const std::string& path, const std::string& bytes) {
    TFile f = TFile::Create(path);
    ASSERT_TRUE(f.Write(bytes.data(), bytes.size()));
  }
  static std::string Get(const std::string& path) {
    std::string s(1 << 16, '\0');
    const std::int64_t n = TFile::OpenRead(path).Read(s.data(), s.size());
    s.resize(std::size_t(std::max<std::int64_t>(n, 0)));
    return s;
  }
  long Entries() const { return long(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
  std::string target_;
};

TEST_F(SafeWrite, TheTargetGetsTheWholeNewContentAndNothingStaysBeside) {
  const struct {
    const char* what;
    const char* before;  // nullptr: no file yet
    std::string after;
  } cases[] = {{"new file", nullptr, "RIFF new"},
               {"longer old file", "RIFF an old message, longer than the new one", "RIFF new"},
               {"emptied", "RIFF old", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.before) Put(target_, c.before);
    ASSERT_TRUE(WriteFileSafely(target_, c.after.data(), c.after.size()));
    EXPECT_EQ(Get(target_), c.after);
    EXPECT_EQ(Entries(), 1);
  }
}

TEST_F(SafeWrite, AWriterThatIsNotCommittedLeavesTheTargetAsItWas) {
  Put(target_, "RIFF old");
  {
    TSafeFileWriter writer(target_);
    ASSERT_TRUE(writer.Write("RIFF half", 9));
  }
  EXPECT_EQ(Get(target_), "RIFF old");
  EXPECT_EQ(Entries(), 1);
}

TEST_F(SafeWrite, AMoveThatFailsRemovesTheTemporaryFile) {
  // A folder where the file should go: no system replaces it with a file.
  fs::create_directory(target_);
  Put(target_ + "/inside", "x");
  EXPECT_FALSE(WriteFileSafely(target_, "RIFF", 4));
  EXPECT_TRUE(fs::is_directory(target_));
  EXPECT_EQ(Entries(), 1);
}

TEST_F(SafeWrite, AStaleReplacementIsRemovedAndTheMessageKept) {
  Put(target_, "RIFF message");
  Put(ReplacementFileName(target_), "RIFF cut off");
  RemoveStaleReplacement(target_);
  EXPECT_EQ(Get(target_), "RIFF message");
  EXPECT_EQ(Entries(), 1);
}

#ifndef _WIN32
TEST_F(SafeWrite, AWriteThatFailsPartWayLeavesTheTargetAsItWas) {
  const std::string source = (dir_ / "source.wav").string(), big(30000, 's');
  Put(source, big);
  Put(target_, "RIFF an earlier copy");
  // A file size limit makes the write fail part-way, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::int64_t copied = CopyFileSafely(source, target_);
  const bool written = WriteFileSafely(target_, big.data(), big.size());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(copied, -1);
  EXPECT_FALSE(written);
  EXPECT_EQ(Get(target_), "RIFF an earlier copy");
  EXPECT_EQ(Entries(), 2);
}
#endif

}  // namespace
}  // namespace vocalet
