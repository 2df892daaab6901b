// The player's loader of the audio library: writing it out, loading it by path, and the
// error kind and facts each failure brings (the window words them: ui_error_text_test).
#include "player/bass_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/resources.h"
#include "platform/shared_library.h"
#include "support/process_probe.h"
#include "support/test_output.h"
#ifndef _WIN32
#include "platform/file_seams.h"
#endif

namespace fs = std::filesystem;
using platform::ErrorKind;
using player::BassLibrary;
using LoadResult = platform::Result<std::unique_ptr<BassLibrary>>;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BassLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("sonvira_loader_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void PutLibrary(const std::string& bytes) {
    std::ofstream(folder_ / "bass.dll", std::ios::binary) << bytes;
  }

  void ExpectWrongVersion(const LoadResult& result) {
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ErrorKind::LibraryWrongVersion);
    EXPECT_EQ(result.error().file, (folder_ / "bass.dll").string());
  }

  fs::path folder_;
};

TEST_F(BassLoader, TheProgramCarriesTheLibraryItWasBuiltWith) {
  std::span<const std::byte> resource = platform::LoadResourceData("CUSTOM", 101);
  ASSERT_GT(resource.size(), 4u);
#ifdef _WIN32
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.data()), 2), "MZ");
#else
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.data()), 4),
            "\x7f"
            "ELF");
#endif
}

// The FAT fallbacks it forces are those of the POSIX writer (platform/file_seams.h).
#ifndef _WIN32

TEST_F(BassLoader, AFolderWithoutHardLinksOrRenamesThatKeepStillGetsTheLibrary) {
  // As on FAT: no hard links, no rename that keeps an existing file, no modes.
  platform::seams::FileCalls saved = platform::seams::Calls();
  platform::seams::Calls().renameNoReplace = [](const char*, const char*) { return errno = EINVAL, -1; };
  platform::seams::Calls().fchmod = [](int, mode_t) { return errno = EPERM, -1; };
  std::span<const std::byte> resource = platform::LoadResourceData("CUSTOM", 101);
  platform::Status written = BassLibrary::WriteWhenMissing(folder_, resource);
  // A library that is already there is kept as it is.
  fs::create_directory(folder_ / "other");
  std::ofstream(folder_ / "other" / "bass.dll") << "kept";
  platform::Status kept = BassLibrary::WriteWhenMissing(folder_ / "other", resource);
  platform::seams::Calls() = saved;

  ASSERT_TRUE(written);
  EXPECT_EQ(ReadBytes(folder_ / "bass.dll"),
            std::string(reinterpret_cast<const char*>(resource.data()), resource.size()));
  ASSERT_TRUE(kept);
  EXPECT_EQ(ReadBytes(folder_ / "other" / "bass.dll"), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2)
      << "no temporary left";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "other"), fs::directory_iterator()), 1);
}
#endif

TEST_F(BassLoader, AMissingLibraryIsWrittenFromTheResourceLoadedAndOpened) {
  std::span<const std::byte> resource = platform::LoadResourceData("CUSTOM", 101);
  ASSERT_TRUE(BassLibrary::WriteWhenMissing(folder_, resource));
  std::string written = ReadBytes(folder_ / "bass.dll");
  ASSERT_EQ(written.size(), resource.size());
  EXPECT_EQ(written, std::string(reinterpret_cast<const char*>(resource.data()), resource.size()));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "no temporary left";

  LoadResult result = BassLibrary::Load(folder_, nullptr);
  ASSERT_TRUE(result.ok()) << static_cast<int>(result.error().kind);
  const player::BassApi& api = result.value()->api();
  EXPECT_EQ(api.BASS_GetVersion(), 0x00020002u);
  // The output is open: a stream can be made and played through the bound operations.
  std::string song = std::string(SONVIRA_SOURCE_DIR) + "/tests/data/audio/stereo_44k_cbr.mp3";
  HSTREAM stream = api.BASS_StreamCreateFile(FALSE, song.c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u) << api.BASS_ErrorGetCode();
  EXPECT_TRUE(api.BASS_ChannelPlay(stream, FALSE));
  result.value()->Free();
  EXPECT_EQ(api.BASS_ChannelGetLength(stream), ~QWORD{0}) << "Free releases every stream";
}

// The player may load and unload the library many times in one run; each time the
// library's engine, its device and its buffers must go with it. (The dynamic loader keeps
// a little bookkeeping of its own per load.)
TEST_F(BassLoader, UnloadingTheLibraryRemovesItAndEverythingItAllocated) {
  ASSERT_TRUE(BassLibrary::WriteWhenMissing(folder_, platform::LoadResourceData("CUSTOM", 101)));
  const std::string song = std::string(SONVIRA_SOURCE_DIR) + "/tests/data/audio/stereo_44k_cbr.mp3";
  auto cycle = [&](int times) {
    for (int i = 0; i < times; ++i) {
      LoadResult result = BassLibrary::Load(folder_, nullptr);
      ASSERT_TRUE(result.ok()) << static_cast<int>(result.error().kind);
      const player::BassApi& api = result.value()->api();
      HSTREAM stream = api.BASS_StreamCreateFile(FALSE, song.c_str(), 0, 0, 0);
      ASSERT_TRUE(api.BASS_ChannelPlay(stream, FALSE));
    }
  };
  cycle(3);
  EXPECT_FALSE(testing_support::LibraryLoaded(folder_ / "bass.dll"));
  std::size_t heap = testing_support::HeapBytesInUse();
  cycle(20);
  const std::size_t kept = testing_support::HeapBytesInUse() - heap;
  // What loading and unloading alone keeps, no operation called: on Linux the dynamic loader's
  // bookkeeping; on Windows also what the C++ runtime linked into the DLL sets up as it loads
  // (about 19 kB each time under wine).
  heap = testing_support::HeapBytesInUse();
  for (int i = 0; i < 20; ++i) EXPECT_NE(platform::SharedLibrary::Open(folder_ / "bass.dll"), nullptr);
  const std::size_t keptByLoading = testing_support::HeapBytesInUse() - heap;
  std::printf("20 loads, plays and unloads kept %zu bytes, 20 loads and unloads alone %zu\n", kept, keptByLoading);
  EXPECT_LT(kept - std::min(kept, keptByLoading), 20u * 4096u) << "bytes kept per load and unload";
}

TEST_F(BassLoader, AnExistingLibraryIsNeverOverwrittenAndAForeignVersionIsRefused) {
  const std::string foreign = ReadBytes(FAKE_OLD_VERSION_LIBRARY);
  PutLibrary(foreign);
  ASSERT_TRUE(BassLibrary::WriteWhenMissing(folder_, platform::LoadResourceData("CUSTOM", 101)));
  EXPECT_EQ(ReadBytes(folder_ / "bass.dll"), foreign);
  LoadResult result = BassLibrary::Load(folder_, nullptr);
  ExpectWrongVersion(result);
  EXPECT_EQ(result.error().code, 0x00010002) << "the version it reports";
}

TEST_F(BassLoader, ALibraryLackingAnOperationIsRefusedLikeAWrongVersion) {
  PutLibrary(ReadBytes(FAKE_INCOMPLETE_LIBRARY));
  ExpectWrongVersion(BassLibrary::Load(folder_, nullptr));
}

TEST_F(BassLoader, AFileThatIsNoLibraryIsRefusedLikeAWrongVersion) {
  PutLibrary("MZ this is not a library");
  ExpectWrongVersion(BassLibrary::Load(folder_, nullptr));
}

TEST_F(BassLoader, WithNoLibraryToWriteTheLibraryIsReportedMissing) {
  platform::Status written = BassLibrary::WriteWhenMissing(folder_, {});
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().kind, ErrorKind::NoLibraryResource);
  EXPECT_FALSE(fs::exists(folder_ / "bass.dll"));
  LoadResult result = BassLibrary::Load(folder_, nullptr);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().kind, ErrorKind::LibraryMissing);
}

TEST_F(BassLoader, WhenNoOutputOpensTheErrorCarriesTheLibrarysErrorCode) {
  ASSERT_TRUE(BassLibrary::WriteWhenMissing(folder_, platform::LoadResourceData("CUSTOM", 101)));
  LoadResult result = [&] {
    testing_support::NoOutputDevice none;
    return BassLibrary::Load(folder_, nullptr);
  }();
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().kind, ErrorKind::SoundInitFailed);
  EXPECT_EQ(result.error().code, 3);
}

}  // namespace
