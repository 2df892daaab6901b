// Folders, resources and the single-copy check.
#include <gtest/gtest.h>

#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/resources.h"
#include "platform/single_instance.h"
#include "support/temp_dir.h"

using testing_support::TempDir;

namespace {

TEST(Folders, RppAddsExactlyOneTrailingSeparator) {
  const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
  EXPECT_EQ(platform::RPP("/music/album"), "/music/album" + separator);
  EXPECT_EQ(platform::RPP("/music/album/"), "/music/album/");
  EXPECT_EQ(platform::RPP("/"), "/");
}

TEST(Folders, ProgramFileIsThisTestProgram) {
  std::filesystem::path self = platform::ProgramFile();
  EXPECT_TRUE(self.is_absolute());
  EXPECT_EQ(self.stem(), "platform_services_test");
  EXPECT_EQ(platform::ProgramFolder(), self.parent_path());
}

// The private folder and the single copy as on POSIX: folder modes, XDG_RUNTIME_DIR, and a
// child made by fork() (platform_windows_test has the Windows side).
#ifndef _WIN32
class WithRuntimeDir : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    saved_ = old ? old : "";
    hadOld_ = old != nullptr;
    ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_) ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else ::unsetenv("XDG_RUNTIME_DIR");
  }
  // A program file, in the runtime folder too.
  std::filesystem::path Program(const char* name) {
    testing_support::WriteFile(dir_ / name, name);
    return dir_ / name;
  }
  TempDir dir_;
  std::string saved_;
  bool hadOld_ = false;
};

TEST_F(WithRuntimeDir, PrivateFolderIsCreatedOnlyAccessibleToTheUser) {
  platform::Result<std::filesystem::path> folder = platform::PrivateFolder();
  ASSERT_TRUE(folder) << folder.error().file;
  EXPECT_EQ(folder.value().parent_path(), dir_.path());
  struct stat st {};
  ASSERT_EQ(::stat(folder.value().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(WithRuntimeDir, PrivateFolderWithLooseModeIsMadePrivate) {
  std::filesystem::create_directory(dir_ / "sonvira");
  ::chmod((dir_ / "sonvira").c_str(), 0777);
  ASSERT_TRUE(platform::PrivateFolder());
  struct stat st {};
  ::stat((dir_ / "sonvira").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(WithRuntimeDir, PrivateFolderThatIsALinkIsRefused) {
  TempDir elsewhere;
  std::filesystem::create_directory_symlink(elsewhere.path(), dir_ / "sonvira");
  platform::Result<std::filesystem::path> folder = platform::PrivateFolder();
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().kind, platform::ErrorKind::NotPrivate);
  EXPECT_NE(folder.error().file.find("sonvira"), std::string::npos);
}

TEST_F(WithRuntimeDir, SecondCopyOfTheSameProgramIsDetectedThroughAHardLink) {
  auto first = platform::SingleInstance::Acquire(Program("abc.exe"));
  ASSERT_TRUE(first) << first.error().file;
  std::filesystem::create_hard_link(dir_ / "abc.exe", dir_ / "link.exe");
  // flock locks belong to the open file, so a second acquisition in this process already
  // sees the first; a child process shows the same from outside.
  auto second = platform::SingleInstance::Acquire(dir_ / "link.exe");
  ASSERT_FALSE(second);
  EXPECT_EQ(second.error().kind, platform::ErrorKind::AlreadyRunning);
  pid_t child = ::fork();
  if (child == 0) _exit(platform::SingleInstance::Acquire(dir_ / "abc.exe") ? 0 : 7);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_F(WithRuntimeDir, DifferentProgramFilesRunSideBySide) {
  auto a = platform::SingleInstance::Acquire(Program("abc.exe"));
  auto b = platform::SingleInstance::Acquire(Program("xyz.exe"));
  EXPECT_TRUE(a);
  EXPECT_TRUE(b);
}

TEST_F(WithRuntimeDir, LockIsFreeAgainOnceTheHolderIsGoneEvenAfterACrashAndNoLockFileStays) {
  { auto held = platform::SingleInstance::Acquire(Program("abc.exe")); ASSERT_TRUE(held); }
  EXPECT_TRUE(platform::SingleInstance::Acquire(dir_ / "abc.exe"));
  pid_t child = ::fork();
  if (child == 0) {
    auto held = platform::SingleInstance::Acquire(Program("crash.exe"));
    std::abort();  // dies holding the lock
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(platform::SingleInstance::Acquire(dir_ / "abc.exe"));  // sweeps what the crash left
  EXPECT_TRUE(std::filesystem::is_empty(dir_ / "sonvira"));
  EXPECT_TRUE(platform::SingleInstance::Acquire(dir_ / "crash.exe"));
}
#endif

TEST(Resources, AProgramWithoutAResourceReadsAsEmpty) {
  EXPECT_TRUE(platform::LoadResourceData("CUSTOM", 101).empty());
  EXPECT_TRUE(platform::LoadResourceData("CUSTOM", 102).empty());
  EXPECT_TRUE(platform::LoadResourceData("RCDATA", 101).empty());
}

}  // namespace

namespace {

TEST(AtomicFile, CommitIfMissingNeverReplacesAFileThatAppearedMeanwhile) {
  testing_support::TempDir dir;
  auto file = platform::AtomicFile::Create(dir / "bass.dll");
  ASSERT_TRUE(file);
  ASSERT_TRUE(file.value().Write(platform::AsBytes("new")));
  testing_support::WriteFile(dir / "bass.dll", "older");
  auto committed = file.value().CommitIfMissing();
  ASSERT_TRUE(committed);
  EXPECT_FALSE(committed.value());
  EXPECT_EQ(testing_support::ReadFile(dir / "bass.dll"), "older");

  auto second = platform::AtomicFile::Create(dir / "other");
  ASSERT_TRUE(second);
  ASSERT_TRUE(second.value().Write(platform::AsBytes("fresh")));
  auto placed = second.value().CommitIfMissing();
  ASSERT_TRUE(placed);
  EXPECT_TRUE(placed.value());
  EXPECT_EQ(testing_support::ReadFile(dir / "other"), "fresh");
}

}  // namespace
