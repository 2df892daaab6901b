#include "pakrel_main.h"

// windows.h first: the others build on its types.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "form1.h"
#include "packager/cli.h"
#include "packager/packager_workflow.h"
#include "packager/players.h"
#include "platform/folders.h"
#include "platform/path_text.h"
#include "platform/single_instance.h"
#include "words/error_text.h"

namespace fs = std::filesystem;

namespace packager::win32 {
namespace {

// UTF-16 to UTF-8, as the command line takes its texts; a lone surrogate becomes U+FFFD.
std::string Utf8(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
  text.pop_back();  // the NUL
  return text;
}

std::wstring Wide(const std::string& utf8) {
  return platform::PathFromUtf8(utf8).wstring();
}

// A window program has no console of its own: its messages go to the one it was started from,
// when there is one. A console program (pakrel.com) has it already.
void UseParentConsole() {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  const bool redirected =
      (out != nullptr && out != INVALID_HANDLE_VALUE) || (err != nullptr && err != INVALID_HANDLE_VALUE);
  if (redirected || ::GetConsoleWindow() != nullptr) return;
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
}

// The command line writes UTF-8; a console shows it as such only in code page 65001, which it
// gets back afterwards.
class Utf8Console {
 public:
  Utf8Console() : previous_(::GetConsoleOutputCP()) {
    if (previous_ != 0) ::SetConsoleOutputCP(CP_UTF8);
  }
  ~Utf8Console() {
    if (previous_ != 0) ::SetConsoleOutputCP(previous_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_;
};

int RunCommandLineWide(int argc, wchar_t** argv) {
  UseParentConsole();
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) texts.push_back(Utf8(argv[i]));
  std::vector<char*> utf8;
  for (std::string& text : texts) utf8.push_back(text.data());
  utf8.push_back(nullptr);
  Utf8Console console;
  const int status = RunCommandLine(argc, utf8.data(), CarriedPlayers());
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  fs::path folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

// Where the albums go when the program's own folder cannot take them (an installed program's
// folder is the administrator's): the user's Music folder, else the profile.
fs::path FallbackFolder() {
  fs::path folder = KnownFolder(FOLDERID_Music);
  if (folder.empty()) folder = KnownFolder(FOLDERID_Profile);
  return folder;
}

// 96 dots per inch is the design's own size; from 192 on, everything is drawn twice as large
// with the pictures drawn for it.
int ScreenScale() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi >= 192 ? 2 : 1;
}

int RunPackagerWindow() {
  platform::Result<std::unique_ptr<platform::SingleInstance>> instance =
      platform::SingleInstance::Acquire(platform::ProgramFile());
  if (!instance && instance.error().kind == platform::ErrorKind::AlreadyRunning) {
    const words::Box box = words::BoxFor(instance.error(), "Pakrel");
    ::MessageBoxW(nullptr, Wide(box.text).c_str(), Wide(box.title).c_str(), MB_ICONERROR);
    return 1;
  }
  // Any other trouble with the lock must not keep the user from working.

  // The pictures are decoded by Windows' imaging component and the folder browser is a shell
  // object: both COM.
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const fs::path programFolder = platform::ProgramFolder();
  const OutputFolder output = ChooseOutputFolder(programFolder, FallbackFolder());
  Form1::Setup setup;
  setup.players = CarriedPlayers();
  setup.outputFolder = output.folder;
  if (!output.isProgramFolder) setup.otherFolder = output.folder;
  setup.readme = programFolder / L"README.md";
  {
    Form1 window(std::move(setup), ScreenScale());
    ::ShowWindow(window.hwnd(), SW_SHOWDEFAULT);
    ::UpdateWindow(window.hwnd());
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (window.PreTranslate(message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  ::CoUninitialize();
  return 0;
}

}  // namespace

int PakrelMain(int argc, wchar_t** argv) {
  if (argc > 1) return RunCommandLineWide(argc, argv);
  return RunPackagerWindow();
}

}  // namespace packager::win32
