// What the Windows backends alone have: the single copy keyed by file identity, the private
// folder in the user's temporary folder, the sweep of abandoned temporary files, UTF-8 in
// errors, code page 936 as Windows has it, and windows kept above the others.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/single_instance.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

TEST(SingleInstance, EveryNameOfTheSameProgramFileCountsAsTheSameProgram) {
  TempDir dir;
  WriteFile(dir / "专辑.exe", "program");
  fs::create_hard_link(dir / "专辑.exe", dir / "link.exe");
  WriteFile(dir / "other.exe", "program");
  {
    auto first = platform::SingleInstance::Acquire(dir / "专辑.exe");
    ASSERT_TRUE(first) << first.error().file;
    auto second = platform::SingleInstance::Acquire(dir / "link.exe");
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().kind, platform::ErrorKind::AlreadyRunning);
    EXPECT_TRUE(platform::SingleInstance::Acquire(dir / "other.exe")) << "another album runs beside it";
  }
  EXPECT_TRUE(platform::SingleInstance::Acquire(dir / "link.exe")) << "free again once the first is gone";
  EXPECT_EQ(platform::SingleInstance::Acquire(dir / "gone.exe").error().kind, platform::ErrorKind::NotFound);
}

// Points the user's temporary folder (TMP, which Windows reads first) elsewhere for a test.
class WithTemporaryFolder : public ::testing::Test {
 protected:
  void SetUp() override { Set(dir_.path().wstring()); }
  void TearDown() override { ::SetEnvironmentVariableW(L"TMP", saved_.empty() ? nullptr : saved_.c_str()); }
  void Set(const std::wstring& folder) {
    wchar_t old[MAX_PATH] = L"";
    if (saved_.empty() && ::GetEnvironmentVariableW(L"TMP", old, MAX_PATH) < MAX_PATH) saved_ = old;
    ::SetEnvironmentVariableW(L"TMP", folder.c_str());
  }
  TempDir dir_;
  std::wstring saved_;
};

TEST_F(WithTemporaryFolder, PrivateFolderIsMadeInTheUsersTemporaryFolder) {
  platform::Result<fs::path> folder = platform::PrivateFolder();
  ASSERT_TRUE(folder) << folder.error().file;
  EXPECT_TRUE(fs::equivalent(folder.value(), dir_ / "sonvira"));
  EXPECT_TRUE(fs::is_directory(folder.value()));
  EXPECT_TRUE(platform::PrivateFolder()) << "and found there again";
}

TEST_F(WithTemporaryFolder, PrivateFolderIsRefusedWhereAFileHasItsName) {
  WriteFile(dir_ / "sonvira", "not a folder");
  platform::Result<fs::path> folder = platform::PrivateFolder();
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().kind, platform::ErrorKind::NotPrivate);
}

TEST_F(WithTemporaryFolder, PrivateFolderIsNeverInTheWindowsFolder) {
  wchar_t windows[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  Set(windows);
  platform::Result<fs::path> folder = platform::PrivateFolder();
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().kind, platform::ErrorKind::NoHomeFolder);
  EXPECT_FALSE(fs::exists(fs::path(windows) / "sonvira"));
}

TEST(AtomicFile, ATemporaryFileNobodyHoldsIsSweptAndOneInUseIsKept) {
  TempDir dir;
  WriteFile(dir / ".song.mp3.AbC123", "left by a writer that was killed");
  WriteFile(dir / ".song.mp3.notmine", "another name");
  auto working = platform::AtomicFile::Create(dir / "song.mp3");
  ASSERT_TRUE(working);
  EXPECT_FALSE(fs::exists(dir / ".song.mp3.AbC123"));
  EXPECT_TRUE(fs::exists(dir / ".song.mp3.notmine"));
  ASSERT_TRUE(working.value().Write(platform::AsBytes("new")));

  auto second = platform::AtomicFile::Create(dir / "song.mp3");
  ASSERT_TRUE(second);
  EXPECT_TRUE(fs::exists(working.value().temporaryPath())) << "its writer is still at work";
  ASSERT_TRUE(working.value().Commit());
  EXPECT_EQ(testing_support::ReadFile(dir / "song.mp3"), "new");
}

TEST(AtomicFile, AFileNeverCommittedLeavesNothing) {
  TempDir dir;
  {
    auto file = platform::AtomicFile::Create(dir / "album.exe");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file.value().Write(platform::AsBytes("half")));
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(File, ErrorsNameTheFileInUtf8AndTellAFolderFromAFile) {
  TempDir dir;
  auto missing = platform::File::OpenRead(dir / "缺少.mp3");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, platform::ErrorKind::NotFound);
  EXPECT_TRUE(missing.error().file.ends_with("缺少.mp3")) << missing.error().file;
  EXPECT_EQ(platform::File::OpenRead(dir.path()).error().kind, platform::ErrorKind::IsFolder);
}

// Windows' own code page 936 is the reference for the album texts: each of its characters
// reads as Windows reads it and is written back as the same bytes. Left out are the codes
// that code page 936 reads as private-use characters, some of which GB18030 (as on Linux)
// reads as standard ones, A8BC as U+1E3F for one.
TEST(CodePage, EveryCharacterOfWindowsCodePage936ReadsAndWritesAsWindowsHasIt) {
  int characters = 0;
  auto check = [&](std::string bytes) {
    wchar_t wide[2];
    const int n = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                        wide, 2);
    if (n <= 0 || (wide[0] >= 0xE000 && wide[0] <= 0xF8FF)) return;
    char utf8[8];
    const int m = ::WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
    ++characters;
    EXPECT_EQ(platform::FromAnsi(bytes), std::string(utf8, static_cast<std::size_t>(m))) << std::hex << +bytes[0];
    EXPECT_EQ(platform::ToAnsi(std::string(utf8, static_cast<std::size_t>(m))), bytes);
  };
  check("\x80");
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail)
      if (trail != 0x7F) check({static_cast<char>(lead), static_cast<char>(trail)});
  EXPECT_GT(characters, 20000);
}

TEST(Desktop, AWindowIsKeptAboveTheOthersAndLetGoAgain) {
  std::unique_ptr<platform::Desktop> desktop = platform::OpenDesktop();
  ASSERT_NE(desktop, nullptr);
  HWND window = ::CreateWindowExW(0, L"STATIC", L"test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  auto topmost = [&] { return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  EXPECT_TRUE(desktop->KeepAbove(reinterpret_cast<std::uintptr_t>(window), true));
  EXPECT_TRUE(topmost());
  EXPECT_TRUE(desktop->KeepAbove(reinterpret_cast<std::uintptr_t>(window), false));
  EXPECT_FALSE(topmost());
  ::DestroyWindow(window);
}

}  // namespace
