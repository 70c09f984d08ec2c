// The target has either its old content or the whole new one, and nothing is left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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
  // Other worktrees' runs share the temporary folder.
  fs::path dir_ = fs::temp_directory_path() /
                  ("vocalet_safewrite_" + std::to_string(std::random_device()()));
  std::string target_ = (dir_ / "vocalet.wav").string();
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Target() const {
    std::ifstream in(target_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  long Entries() const { return long(std::distance(fs::directory_iterator(dir_), {})); }
};

TEST_F(SafeWrite, TheTargetGetsTheWholeNewContentAndNothingStaysBeside) {
  ASSERT_TRUE(WriteFileSafely(target_, "RIFF a longer old message", 25));
  EXPECT_EQ(Target(), "RIFF a longer old message");
  ASSERT_TRUE(WriteFileSafely(target_, "RIFF new", 8));
  EXPECT_EQ(Target(), "RIFF new");
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
  EXPECT_EQ(Target(), "RIFF an earlier copy");
  EXPECT_EQ(Entries(), 2);
}
#endif

}  // namespace
}  // namespace vocalet
