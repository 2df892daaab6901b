// sonvira.exe: the player window on Windows, started as an album image (or with --album FILE);
// --verbose logs what it does to the console it was started from, one line per event.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "frm_player.h"
#include "platform/folders.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "player/words.h"

namespace {

namespace fs = std::filesystem;
using player::win32::frmPlayer;

struct Options {
  std::optional<fs::path> album;
  bool verbose = false;
};

HWND shownWindow = nullptr;

// The carried library, unloaded as soon as it is freed at shut-down: Windows keeps a loaded
// DLL's file from being deleted, and the player deletes its copy of bass.dll right after.
class UnloadedWhenFreed final : public player::AudioLibrary {
 public:
  platform::Status WriteWhenMissing(const fs::path& folder) override { return carried_->WriteWhenMissing(folder); }
  Opened Load(const fs::path& folder) override { return carried_->Load(folder); }
  void Free() override {
    carried_->Free();
    carried_ = player::CarriedAudioLibrary();
  }

 private:
  std::unique_ptr<player::AudioLibrary> carried_ = player::CarriedAudioLibrary();
};

// Windows hands a program its command line as UTF-16; paths stay UTF-16 on their way in.
std::optional<Options> ParseOptions() {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argv == nullptr) return Options{};
  Options options;
  std::optional<std::string> wrong;
  for (int i = 1; i < argc && !wrong; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--verbose") {
      options.verbose = true;
    } else if (a == L"--album" && i + 1 < argc && !options.album) {
      std::error_code error;
      options.album = fs::absolute(fs::path(argv[++i]), error);
    } else {
      wrong = a == L"--album" ? "--album needs exactly one album"
                              : "unknown argument '" + platform::PathToUtf8(fs::path(a)) + "'";
    }
  }
  ::LocalFree(argv);
  if (wrong) {
    std::fprintf(stderr, "sonvira: %s\nUsage: sonvira --album ALBUM [--verbose]\n",
                 platform::EscapeControls(*wrong).c_str());
    return std::nullopt;
  }
  return options;
}

// A program of the window subsystem has no console of its own: its messages go to the one it
// was started from, when there is one.
void UseParentConsole() {
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  if (err != nullptr && err != INVALID_HANDLE_VALUE) return;  // already redirected, or wine's
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stderr);
    std::freopen("CONOUT$", "w", stdout);
  }
}

// Ctrl-C or a closed console close the window as the close button does, so the unpacked songs
// are deleted. The handler runs on a thread of its own; the window closes on its own thread.
BOOL WINAPI OnConsoleEvent(DWORD) {
  if (shownWindow == nullptr) return FALSE;
  ::PostMessageW(shownWindow, WM_CLOSE, 0, 0);
  ::Sleep(INFINITE);  // the process ends once the window has closed
  return TRUE;
}

std::wstring Wide(const std::string& utf8) { return platform::PathFromUtf8(utf8).wstring(); }

void ShowBox(const words::Box& box) {
  // The refusal on stderr as well, one line per line of the box, a path in it escaped.
  std::string_view rest = box.text;
  while (!rest.empty()) {
    const std::string_view line = platform::NextLine(rest, platform::LineEnds::CrLfCrOrLf);
    std::fprintf(stderr, "sonvira: %s\n", platform::EscapeControls(line).c_str());
  }
  ::MessageBoxW(nullptr, Wide(box.text).c_str(), Wide(box.title).c_str(),
                box.icon == words::Icon::Critical ? MB_ICONERROR : MB_ICONWARNING);
}

// 96 dots per inch is the layout's own size; from 192 on, everything is drawn twice as large
// with the pictures drawn for it.
int ScreenScale() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi >= 192 ? 2 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UseParentConsole();
  const auto start = std::chrono::steady_clock::now();
  std::optional<Options> options = ParseOptions();
  if (!options) return 2;
  std::function<void(const std::string&)> log;
  if (options->verbose) {
    // Titles, lyric lines and paths come from the album: the console shows their control
    // characters instead of obeying them.
    log = [start](const std::string& line) {
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      std::fprintf(stderr, "sonvira %8.3f %s\n", elapsed.count(), platform::EscapeControls(line).c_str());
      std::fflush(stderr);
    };
  }
  // The pictures are decoded by Windows' imaging component, a COM server.
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  auto privateFolder = platform::PrivateFolder();
  if (!privateFolder) {
    ShowBox(player::BoxFor({player::NoticeKind::StartupRefused, privateFolder.error()}, "Sonvira"));
    return 1;
  }
  auto library = std::make_unique<UnloadedWhenFreed>();
  frmPlayer::Setup setup;
  setup.album = options->album.value_or(platform::ProgramFile());
  setup.privateFolder = privateFolder.value();
  setup.library = library.get();
  setup.log = log;
  int status = 1;
  {
    if (log) log("application ready");
    frmPlayer window(setup, ScreenScale());
    if (std::optional<player::Notice> refused = window.Start()) {
      ShowBox(player::BoxFor(*refused, "Sonvira"));
    } else {
      shownWindow = window.hwnd();
      ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
      ::ShowWindow(window.hwnd(), SW_SHOWNORMAL);
      ::UpdateWindow(window.hwnd());
      if (log) log("window shown");
      MSG message;
      while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      shownWindow = nullptr;
      status = 0;
    }
  }
  ::CoUninitialize();
  return status;
}
