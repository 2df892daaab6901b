#pragma once
// frmPlayer on Win32: the player's skinned window, captioned "Sonvira", client area 253 x 185
// layout pixels, frameless and colour-keyed (0xFF00FF is see-through). It draws every control
// of the layout table itself, in stacking order, into one bitmap; the same rectangles find the
// control under the pointer. All state and logic is the PlayerSession's: the window shows
// face() after every call, runs the two timers and turns input into the session's calls.
// User-interface thread only.

#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "player/player_layout.h"
#include "player/player_session.h"
#include "playlist/stdss.h"
#include "task_bar_hwnd.h"

namespace player::win32 {

class frmPlayer {
 public:
  struct Setup {
    std::filesystem::path album;
    std::filesystem::path privateFolder;
    AudioLibrary* library = nullptr;  // outlives the window
    std::function<void(const std::string&)> log;
  };

  // Creates the window (not shown yet), centred on the main monitor. `scale`: device pixels
  // per layout pixel, 2 on a screen of 192 dots per inch or more.
  frmPlayer(Setup setup, int scale);
  ~frmPlayer();
  frmPlayer(const frmPlayer&) = delete;
  frmPlayer& operator=(const frmPlayer&) = delete;

  // Start-up (steps 1 to 17). A notice: show it and end; nothing of this run is left.
  std::optional<Notice> Start();
  HWND hwnd() const { return hwnd_; }

 private:
  // The controls the pointer can meet, and the picture buttons' pictures.
  enum class Picture { NextNormal, NextHover, CloseNormal, CloseHover, MinimiseNormal, MinimiseHover, Count };

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateResources();
  void CreateTooltips();
  RECT DeviceRect(const ControlDesign& design) const;
  // The control under the point (client device pixels) that takes the pointer, or null.
  const ControlDesign* ControlAt(POINT point) const;
  int SongButtonAt(const ControlDesign* control) const;

  void Paint(HDC target);
  void PaintControl(HDC dc, const ControlDesign& design, const std::string& text);
  std::string TextOf(const ControlDesign& design) const;
  void Invalidate(const char* control);

  void ShowFace();
  void SetText(const char* control, std::string& shown, const std::string& text);
  void SyncTimers();
  void Timer1Tick();
  void TmrBassTick();
  void ShowPicture(const char* button, Picture& shown, Picture source);

  void MouseMove(POINT at);
  void ButtonDown(POINT at, int button);
  void ButtonUp(POINT at);
  void PopupMenu();
  void ShowNextNotice();
  void Close();
  void Log(const std::string& line) const;

  Setup setup_;
  int scale_;
  HWND hwnd_ = nullptr;
  HWND tooltips_ = nullptr;
  std::unique_ptr<playlist::stdSS> stdSS1_;
  std::unique_ptr<PlayerSession> session_;
  std::unique_ptr<TaskBarHwnd> TaskBar1_;

  HFONT songFont_ = nullptr;   // "宋体" 9 points bold, GB2312_CHARSET
  HFONT plainFont_ = nullptr;  // the default GUI font
  HCURSOR pointer_ = nullptr;  // over the song and picture buttons
  HMENU menRClick_ = nullptr;
  platform::Pixels background_, panel_, spectrumBackground_;
  platform::Pixels backgroundFoot_;  // the background's last row, which continues below it
  std::array<platform::Pixels, static_cast<int>(Picture::Count)> pictures_;
  Picture Image2_ = Picture::NextNormal, Image7_ = Picture::CloseNormal, Image10_ = Picture::MinimiseNormal;
  platform::Pixels spectrumBox_;  // PicSpectrum1 shows it once it is first drawn
  BarHeights bars_{};
  std::optional<BarHeights> drawnBars_;

  PlayerFace shown_ = DesignFace();
  int tmrBassInterval_ = 0;  // tmrBass's period now: longer while it sleeps through quiet ticks
  std::deque<Notice> notices_;          // handed over by the session, to be shown in turn
  const ControlDesign* pressed_ = nullptr;  // the button the left button went down on
  bool shutDown_ = false;
};

}  // namespace player::win32
