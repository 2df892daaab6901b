#pragma once
// The packager window on Windows, captioned "Pakrel": the album name, ten rows of song and
// lyrics paths with their buttons, the build and quit buttons, the system the album is for,
// the progress bar, the completion note and the link label, laid out in twips as the design
// has them. It shows the state of a PackagerWorkflow and turns clicks into its calls; the
// build runs inside the click and the window processes pending messages at every progress
// step. User-interface thread only.

#include <windows.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "gradient_hscroll_hwnd.h"
#include "packager/packager_workflow.h"
#include "packager/players.h"
#include "platform/pixels.h"
#include "win32_file_dialogs.h"

namespace packager::win32 {

class Form1 : private PackagerWorkflow::Ui {
 public:
  struct Setup {
    Players players;                     // must outlive the window
    std::filesystem::path outputFolder;  // where the albums go
    // Empty when the albums go into the program's own folder; else the folder the completion
    // note names.
    std::filesystem::path otherFolder;
    std::filesystem::path readme;  // what the link label opens
  };

  // Creates the window (not shown yet) at its design size, centred on the main monitor.
  // `scale`: device pixels per pixel of the design, 2 on a screen of 192 dots per inch or more.
  Form1(Setup setup, int scale);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Handles the keys that move between the controls (Tab); true when `message` was used.
  bool PreTranslate(MSG& message);

 private:
  // PackagerWorkflow::Ui
  void Tell(const PackagerWorkflow::Notice& notice) override;
  bool AskStopBuild() override;
  void Progress(bool visible, int value) override;
  void Refresh() override;
  void Close() override;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  int Dev(int twips) const;  // twips to device pixels
  RECT DevRect(int left, int top, int width, int height) const;
  HWND MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, RECT rect, int id,
                   DWORD exStyle = 0);
  HWND MakeLabel(const std::wstring& text, int left, int top, int id);
  void CreateControls();
  void AddTooltip(HWND control, const std::wstring& text);
  void SetCompletionNote();
  void Command(int id, int code, HWND control);
  void DrawButton(const DRAWITEMSTRUCT& item);
  void DrawNote(const DRAWITEMSTRUCT& item);
  LRESULT LabelColours(HDC dc, HWND control);
  void Hover(HWND control, POINT at);
  void SetLinkColour(COLORREF colour);
  void SetBackground(COLORREF colour);
  void OpenLink();
  void Paint(HDC dc);
  bool OverBareWindow(POINT at) const;

  Setup setup_;
  int scale_;
  HWND hwnd_ = nullptr;
  Win32FileDialogs dialogs_;
  std::unique_ptr<PackagerWorkflow> workflow_;

  HFONT font_ = nullptr;  // "宋体", 12 pixels, GB2312_CHARSET
  HCURSOR pointer_ = nullptr;
  platform::Pixels banner_, image2_;  // Image1 and Image2, drawn by the window itself
  COLORREF background_;
  HBRUSH backgroundBrush_ = nullptr;
  HBRUSH white_ = nullptr;
  COLORREF linkColour_;
  bool refreshing_ = false;  // texts are being set from the workflow: no edits to report
  std::wstring note_;        // the completion note, whole, as its tooltip shows it

  HWND tooltips_ = nullptr;
  HWND Label1 = nullptr, Text1 = nullptr, Label2 = nullptr, Label4 = nullptr;
  std::array<HWND, 21> Text2{};  // 1..20 shown; element 0 has no box
  std::array<HWND, 10> Command1{}, Command2{};
  HWND Command3 = nullptr, Command4 = nullptr, Label6 = nullptr, Label5 = nullptr;
  HWND cboTarget = nullptr;
  std::unique_ptr<GradientHScrollHwnd> Percent2;
  HWND Label3 = nullptr, rtfOutput = nullptr;
  RECT Image1_{}, Image2_{};  // their boxes, in device pixels
};

}  // namespace packager::win32
