#include "frm_player.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "pictures.h"
#include "player/words.h"
#include "playlist/text_measure.h"
#include "ui/win32/window_object.h"

namespace player::win32 {
namespace {

constexpr wchar_t kClassName[] = L"frmPlayer";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTmrBass = 2;
constexpr UINT kTimer1Interval = 150;
constexpr UINT kShowNotice = WM_APP + 1;  // a notice waits to be shown in a box
constexpr UINT kExportCommand = 1;        // outmp3lrc
constexpr COLORREF kSeeThrough = RGB(255, 0, 255);

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// 0x00BBGGRR is a COLORREF already.
COLORREF Colour(std::uint32_t bgr) { return static_cast<COLORREF>(bgr & 0xFFFFFF); }

// A song button without a song must read as unavailable on the dark face, as on Linux.
COLORREF Disabled(std::uint32_t bgr) {
  auto darker = [](unsigned c) { return static_cast<BYTE>(c * 100 / 260); };
  return RGB(darker(GetRValue(bgr)), darker(GetGValue(bgr)), darker(GetBValue(bgr)));
}

UINT IconFlag(words::Icon icon) {
  switch (icon) {
    case words::Icon::Critical: return MB_ICONERROR;
    case words::Icon::Exclamation: return MB_ICONWARNING;
    case words::Icon::Information: return MB_ICONINFORMATION;
    case words::Icon::Question: return MB_ICONQUESTION;
  }
  return 0;
}

// The playlist stays out of sight; its labels are never drawn, so a plain width serves.
class UnseenText final : public playlist::TextMeasure {
 public:
  int Width(const playlist::FontLook&, std::string_view utf8) const override {
    return static_cast<int>(utf8.size()) * 6;
  }
  std::string DefaultFontName() const override { return "宋体"; }
};
const UnseenText kUnseenText;

// Draws `pixels` at the top-left corner of `rect` (device pixels) at its own size for a
// screen of `scale`, cut off where the rectangle ends, as a label shows its picture; or
// stretched over the whole rectangle.
void Blit(HDC dc, const platform::Pixels& pixels, const RECT& rect, int scale, bool stretch = false) {
  if (pixels.empty()) return;
  const BITMAPINFO info = ui::win32::DibInfo(pixels);
  const double toDevice = scale / pixels.pixelRatio;
  int width = static_cast<int>(pixels.width * toDevice), height = static_cast<int>(pixels.height * toDevice);
  if (stretch) {
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
  }
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, pixels.width, pixels.height, pixels.argb.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  ::RestoreDC(dc, saved);
}

}  // namespace

frmPlayer::frmPlayer(Setup setup, int scale) : setup_(std::move(setup)), scale_(scale) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &frmPlayer::Procedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExW(&windowClass);

  // Centred on the main monitor's work area: a window opened at a screen edge would dock and
  // slide away at once.
  const int width = kClientWidth * scale_, height = kClientHeight * scale_;
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  // WS_POPUP: no frame, so the window is its client area. 5. Layered with the colour key.
  hwnd_ = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, kClassName, L"Sonvira",
                            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, x, y, width, height, nullptr, nullptr,
                            windowClass.hInstance, this);
  ::SetLayeredWindowAttributes(hwnd_, kSeeThrough, 1, LWA_COLORKEY);
  CreateResources();
  CreateTooltips();

  stdSS1_ = std::make_unique<playlist::stdSS>(kUnseenText);
  PlayerSession::Setup s;
  s.album = setup_.album;
  s.privateFolder = setup_.privateFolder;
  s.library = setup_.library;
  s.playlist = stdSS1_.get();
  s.playlistSkin = LoadPicture(pictures::kPlaylistSkin, scale_);
  // A box opens once the session's call has returned, so the session is never re-entered
  // half-way through a call by the timers that run while the box is open.
  s.notify = [this](const Notice& notice) {
    notices_.push_back(notice);
    ::PostMessageW(hwnd_, kShowNotice, 0, 0);
  };
  s.log = setup_.log;
  session_ = std::make_unique<PlayerSession>(std::move(s));
}

frmPlayer::~frmPlayer() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  if (session_) session_->Shutdown();
  if (menRClick_ != nullptr) ::DestroyMenu(menRClick_);
  if (pointer_ != nullptr) ::DestroyIcon(pointer_);  // made by CreateIconIndirect
  ::DeleteObject(songFont_);
  ::DeleteObject(plainFont_);
}

void frmPlayer::CreateResources() {
  // Sizes in device pixels of a screen of 96 x scale dots per inch, as the layout is drawn for.
  LOGFONTW song{};
  song.lfHeight = -::MulDiv(9, 96 * scale_, 72);
  song.lfWeight = FW_BOLD;
  song.lfCharSet = GB2312_CHARSET;
  song.lfQuality = DEFAULT_QUALITY;
  std::wcscpy(song.lfFaceName, L"宋体");
  songFont_ = ::CreateFontIndirectW(&song);
  LOGFONTW plain{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(plain), &plain);
  // The stock font is made for the screen's own dots per inch already.
  HDC screen = ::GetDC(nullptr);
  plain.lfHeight = ::MulDiv(plain.lfHeight, 96 * scale_, ::GetDeviceCaps(screen, LOGPIXELSY));
  ::ReleaseDC(nullptr, screen);
  plainFont_ = ::CreateFontIndirectW(&plain);
  pointer_ = LoadPointer(pictures::kPointer, scale_, 10, 1);

  background_ = LoadPicture(pictures::kBackground, scale_);
  if (!background_.empty()) {
    backgroundFoot_ = background_;
    backgroundFoot_.height = 1;
    backgroundFoot_.argb.erase(backgroundFoot_.argb.begin(), backgroundFoot_.argb.end() - background_.width);
  }
  panel_ = LoadPicture(pictures::kPanel, scale_);
  spectrumBackground_ = LoadPicture(pictures::kSpectrum, scale_);
  const char* sources[] = {pictures::kNextNormal,  pictures::kNextHover,      pictures::kCloseNormal,
                           pictures::kCloseHover,  pictures::kMinimiseNormal, pictures::kMinimiseHover};
  for (int i = 0; i < static_cast<int>(Picture::Count); ++i) pictures_[i] = LoadPicture(sources[i], scale_);
  // The bar box is drawn at the density of its background, so the bars stay sharp with it.
  const ControlDesign& box = Control("PicSpectrum1");
  const double ratio = spectrumBackground_.empty() ? scale_ : spectrumBackground_.pixelRatio;
  spectrumBox_.width = static_cast<int>(box.width * ratio);
  spectrumBox_.height = static_cast<int>(box.height * ratio);
  spectrumBox_.pixelRatio = ratio;
}

void frmPlayer::CreateTooltips() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  // One tool per control with a tooltip, by its place in the layout table; the song buttons'
  // texts follow the face.
  const auto layout = PlayerLayout();
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const ControlDesign& design = layout[i];
    if (*design.picture != '\0' || design.text[0] == '\0') continue;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = i;
    tool.rect = DeviceRect(design);
    std::wstring text = Wide(design.tooltip);
    tool.lpszText = text.data();
    ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

RECT frmPlayer::DeviceRect(const ControlDesign& design) const {
  return {design.x * scale_, design.y * scale_, (design.x + design.width) * scale_,
          (design.y + design.height) * scale_};
}

const ControlDesign* frmPlayer::ControlAt(POINT point) const {
  const auto layout = PlayerLayout();
  for (auto it = layout.rbegin(); it != layout.rend(); ++it) {
    // lblCPU lies over the close button, which must take every click.
    if (std::string_view(it->name) == "lblCPU") continue;
    const RECT rect = DeviceRect(*it);
    if (::PtInRect(&rect, point)) return &*it;
  }
  return nullptr;
}

int frmPlayer::SongButtonAt(const ControlDesign* control) const {
  if (control == nullptr) return 0;
  for (int n = 1; n <= 10; ++n)
    if (control == &SongButton(n)) return n;
  return 0;
}

std::optional<Notice> frmPlayer::Start() {
  if (std::optional<Notice> refused = session_->Start()) return refused;
  ShowFace();
  TaskBar1_ = std::make_unique<TaskBarHwnd>(hwnd_, scale_);
  // 17. Docking; GoLeft keeps its design value.
  TaskBar1_->bar().GoBottom(true);
  TaskBar1_->bar().GoTop(true);
  TaskBar1_->bar().GoRight(true);
  Log("step 17: docking on");
  return std::nullopt;
}

void frmPlayer::Log(const std::string& line) const {
  if (setup_.log) setup_.log(line);
}

std::string frmPlayer::TextOf(const ControlDesign& design) const {
  const std::string_view name = design.name;
  if (name == "Label2") return shown_.Label2;
  if (name == "songtitle") return shown_.songtitle;
  if (name == "songword") return shown_.songword;
  if (name == "lblTime") return shown_.lblTime;
  if (name == "lblTotalTime") return shown_.lblTotalTime;
  if (name == "lblInfo") return shown_.lblInfo;
  if (name == "lblCPU") return shown_.lblCPU;
  return design.text;
}

void frmPlayer::Invalidate(const char* control) {
  const RECT rect = DeviceRect(Control(control));
  ::InvalidateRect(hwnd_, &rect, FALSE);
}

void frmPlayer::SetText(const char* control, std::string& shown, const std::string& text) {
  if (text == shown) return;
  shown = text;
  Invalidate(control);
}

void frmPlayer::ShowFace() {
  const PlayerFace& face = session_->face();
  SetText("Label2", shown_.Label2, face.Label2);
  SetText("songtitle", shown_.songtitle, face.songtitle);
  SetText("songword", shown_.songword, face.songword);
  SetText("lblTime", shown_.lblTime, face.lblTime);
  SetText("lblTotalTime", shown_.lblTotalTime, face.lblTotalTime);
  SetText("lblInfo", shown_.lblInfo, face.lblInfo);
  SetText("lblCPU", shown_.lblCPU, face.lblCPU);
  const auto layout = PlayerLayout();
  for (int n = 1; n <= 10; ++n) {
    const SongButtonFace& button = face.Label1[n];
    SongButtonFace& shown = shown_.Label1[n];
    if (button.enabled != shown.enabled || button.colour != shown.colour) Invalidate(SongButton(n).name);
    if (button.tooltip != shown.tooltip) {
      TOOLINFOW tool{};
      tool.cbSize = sizeof(tool);
      tool.hwnd = hwnd_;
      tool.uId = static_cast<UINT_PTR>(&SongButton(n) - layout.data());
      std::wstring text = Wide(button.tooltip);
      tool.lpszText = text.data();
      ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    shown = button;
  }
  SyncTimers();
}

void frmPlayer::SyncTimers() {
  const PlayerFace& face = session_->face();
  // Timer1 is restarted by its own tick once the drawing is done (see Timer1Tick).
  if (!face.Timer1) {
    ::KillTimer(hwnd_, kTimer1);
  } else if (!shown_.Timer1) {
    ::SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
  }
  shown_.Timer1 = face.Timer1;
  if (face.tmrBass != shown_.tmrBass || (face.tmrBass && tmrBassInterval_ != kTmrBassInterval)) {
    // Also when a click changed the song while tmrBass slept through quiet ticks.
    if (face.tmrBass)
      ::SetTimer(hwnd_, kTmrBass, static_cast<UINT>(kTmrBassInterval), nullptr);
    else
      ::KillTimer(hwnd_, kTmrBass);
    tmrBassInterval_ = kTmrBassInterval;
    shown_.tmrBass = face.tmrBass;
  }
}

void frmPlayer::Timer1Tick() {
  // The interval is 0 while the bars are drawn: the next tick comes 150 ms after the drawing.
  ::KillTimer(hwnd_, kTimer1);
  const Timer1Work work = session_->Timer1Tick();
  SetText("lblTime", shown_.lblTime, work.lblTime);
  SetText("lblTotalTime", shown_.lblTotalTime, work.lblTotalTime);
  SetText("lblInfo", shown_.lblInfo, work.lblInfo);
  bars_ = work.bars;
  if (drawnBars_ != bars_) {
    DrawSpectrum(spectrumBox_, spectrumBackground_, bars_);
    drawnBars_ = bars_;
    Invalidate("PicSpectrum1");
  }
  if (session_->face().Timer1) ::SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
}

void frmPlayer::TmrBassTick() {
  const TmrBassWork work = session_->TmrBassTick();
  SetText("lblCPU", shown_.lblCPU, work.lblCPU);
  if (work.songword) SetText("songword", shown_.songword, *work.songword);
  if (work.songChanged)
    ShowFace();
  else
    SyncTimers();
  if (!session_->face().tmrBass) return;
  // Ticks that would change nothing are slept through. The margin covers a timer that fires
  // up to a system tick (15.6 ms) late.
  constexpr int kMargin = 20;
  const int interval = kTmrBassInterval * work.TicksToNext(kMargin);
  if (interval == tmrBassInterval_) return;
  ::SetTimer(hwnd_, kTmrBass, static_cast<UINT>(interval), nullptr);
  tmrBassInterval_ = interval;
}

void frmPlayer::PaintControl(HDC dc, const ControlDesign& design, const std::string& text) {
  const RECT rect = DeviceRect(design);
  const std::string_view name = design.name;
  if (name == "Image1") {
    // The background is two rows shorter than the window: its last row continues below it.
    Blit(dc, background_, rect, scale_);
    const int bottom = static_cast<int>(background_.height * scale_ / background_.pixelRatio);
    const RECT below{0, bottom, kClientWidth * scale_, kClientHeight * scale_};
    if (below.bottom > below.top) Blit(dc, backgroundFoot_, below, scale_, /*stretch=*/true);
    return;
  }
  if (name == "Picture2") return Blit(dc, panel_, rect, scale_);
  if (name == "PicSpectrum1") return Blit(dc, drawnBars_ ? spectrumBox_ : spectrumBackground_, rect, scale_);
  if (name == "Image2") return Blit(dc, pictures_[static_cast<int>(Image2_)], rect, scale_);
  if (name == "Image7") return Blit(dc, pictures_[static_cast<int>(Image7_)], rect, scale_);
  if (name == "Image10") return Blit(dc, pictures_[static_cast<int>(Image10_)], rect, scale_);
  if (*design.picture != '\0' || name == "stdSS1") return;

  COLORREF colour = Colour(design.colour.value_or(0));
  if (const int n = SongButtonAt(&design); n != 0) {
    const SongButtonFace& button = shown_.Label1[n];
    colour = button.enabled ? Colour(button.colour) : Disabled(button.colour);
  }
  ::SelectObject(dc, design.font == FontKind::SongBold ? songFont_ : plainFont_);
  ::SetTextColor(dc, colour);
  RECT box = rect;
  const std::wstring wide = Wide(text);
  ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void frmPlayer::Paint(HDC target) {
  const int width = kClientWidth * scale_, height = kClientHeight * scale_;
  HDC dc = ::CreateCompatibleDC(target);
  HBITMAP frame = ::CreateCompatibleBitmap(target, width, height);
  HGDIOBJ oldBitmap = ::SelectObject(dc, frame);
  HGDIOBJ oldFont = ::SelectObject(dc, plainFont_);
  ::SetBkMode(dc, TRANSPARENT);
  for (const ControlDesign& design : PlayerLayout()) PaintControl(dc, design, TextOf(design));
  ::BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, oldFont);
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(frame);
  ::DeleteDC(dc);
}

void frmPlayer::ShowPicture(const char* button, Picture& shown, Picture source) {
  // Only a real change is drawn: the pointer moving over the background asks every time.
  if (shown == source) return;
  shown = source;
  Invalidate(button);
}

void frmPlayer::MouseMove(POINT at) {
  const ControlDesign* control = ControlAt(at);
  if (control == nullptr) return;
  const std::string_view name = control->name;
  if (name == "Image1") {
    ShowPicture("Image2", Image2_, Picture::NextNormal);
    ShowPicture("Image7", Image7_, Picture::CloseNormal);
    ShowPicture("Image10", Image10_, Picture::MinimiseNormal);
  } else if (name == "Image2") {
    ShowPicture("Image2", Image2_, Picture::NextHover);
  } else if (name == "Image7") {
    ShowPicture("Image7", Image7_, Picture::CloseHover);
    ShowPicture("Image10", Image10_, Picture::MinimiseNormal);
  } else if (name == "Image10") {
    ShowPicture("Image10", Image10_, Picture::MinimiseHover);
    ShowPicture("Image7", Image7_, Picture::CloseNormal);
  }
}

void frmPlayer::ButtonDown(POINT at, int button) {
  const ControlDesign* control = ControlAt(at);
  if (control == nullptr) return;
  const std::string_view name = control->name;
  if (const int n = SongButtonAt(control); n != 0) {
    // A disabled song button takes neither button.
    if (!shown_.Label1[n].enabled) return;
    if (session_->SongButtonDown(n, button)) PopupMenu();
  } else if (button == 1 && (name == "Image1" || name == "Label2")) {
    // The system moves the window with the pointer, as if its caption had been pressed.
    ::ReleaseCapture();
    ::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return;
  }
  if (button == 1) {
    pressed_ = control;
    ::SetCapture(hwnd_);
  }
}

void frmPlayer::ButtonUp(POINT at) {
  const ControlDesign* pressed = std::exchange(pressed_, nullptr);
  ::ReleaseCapture();
  const ControlDesign* control = ControlAt(at);
  if (pressed == nullptr || control != pressed) return;
  const std::string_view name = control->name;
  if (const int n = SongButtonAt(control); n != 0) {
    Log("song button " + std::to_string(n) + " clicked");
    session_->SongButtonClick(n);
    ShowFace();
  } else if (name == "Image2") {
    Log("next button clicked");
    session_->NextClick();
    ShowFace();
  } else if (name == "Image7") {
    Log("close button clicked");
    Close();
  } else if (name == "Image10") {
    Log("minimise button clicked");
    ::ShowWindow(hwnd_, SW_MINIMIZE);
  }
}

void frmPlayer::PopupMenu() {
  if (menRClick_ == nullptr) {
    menRClick_ = ::CreatePopupMenu();
    ::AppendMenuW(menRClick_, MF_STRING, kExportCommand, L"释出MP3和LRC文件");
  }
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only while its owner is in front.
  ::SetForegroundWindow(hwnd_);
  const UINT chosen = ::TrackPopupMenu(menRClick_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                       at.x, at.y, 0, hwnd_, nullptr);
  ::PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (chosen == kExportCommand) {
    Log("menu: export slot " + std::to_string(session_->exportSlot()));
    session_->Export();
  }
}

void frmPlayer::ShowNextNotice() {
  if (notices_.empty() || shutDown_) return;
  const Notice notice = notices_.front();
  notices_.pop_front();
  const words::Box box = BoxFor(notice, "Sonvira");
  ::MessageBoxW(hwnd_, Wide(box.text).c_str(), Wide(box.title).c_str(), IconFlag(box.icon));
  if (!shutDown_) session_->MessageClosed();
}

void frmPlayer::Close() {
  if (shutDown_) return;
  shutDown_ = true;
  ::KillTimer(hwnd_, kTimer1);
  ::KillTimer(hwnd_, kTmrBass);
  TaskBar1_.reset();
  session_->Shutdown();
  Log("window closed");
  ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK frmPlayer::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  frmPlayer* self = ui::win32::WindowObject<frmPlayer, &frmPlayer::hwnd_>(hwnd, message, lParam);
  return self != nullptr ? self->Handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT frmPlayer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(hwnd_, &paint);
      Paint(dc);
      ::EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything
    case WM_TIMER:
      if (wParam == kTimer1) Timer1Tick();
      else if (wParam == kTmrBass) TmrBassTick();
      else if (wParam == TaskBarHwnd::kTimerId && TaskBar1_) TaskBar1_->Tick();
      return 0;
    case WM_MOUSEMOVE: MouseMove(at); return 0;
    case WM_LBUTTONDOWN: ButtonDown(at, 1); return 0;
    case WM_RBUTTONDOWN: ButtonDown(at, 2); return 0;
    case WM_LBUTTONUP: ButtonUp(at); return 0;
    case WM_CAPTURECHANGED: pressed_ = nullptr; return 0;
    case WM_SETCURSOR: {
      POINT pointer{};
      ::GetCursorPos(&pointer);
      ::ScreenToClient(hwnd_, &pointer);
      const ControlDesign* control = ControlAt(pointer);
      const std::string_view name = control ? control->name : "";
      if (LOWORD(lParam) == HTCLIENT && pointer_ != nullptr &&
          (SongButtonAt(control) != 0 || name == "Image2" || name == "Image7" || name == "Image10")) {
        ::SetCursor(pointer_);
        return TRUE;
      }
      break;
    }
    case WM_APPCOMMAND:
      if (GET_APPCOMMAND_LPARAM(lParam) == APPCOMMAND_MEDIA_NEXTTRACK) {
        Log("next track asked for");
        session_->NextClick();
        ShowFace();
        return TRUE;
      }
      break;
    case kShowNotice: ShowNextNotice(); return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace player::win32
