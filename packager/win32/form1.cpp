#include "form1.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <system_error>

#include "packager/words.h"
#include "platform/path_text.h"
#include "platform/property_store.h"
#include "platform/twips.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window_object.h"
#include "words/error_text.h"

namespace packager::win32 {
namespace {

constexpr wchar_t kClassName[] = L"Form1";
constexpr char kProgram[] = "Pakrel";

constexpr int kClientWidth = 10290;
constexpr int kClientHeight = 5400;
// Pulled down to its full height, the window shows the description box below the design area.
constexpr int kTallClientHeight = 9165;
constexpr int kRowTops[10] = {960, 1320, 1650, 2040, 2400, 2730, 3090, 3450, 3810, 4170};
constexpr int kRowHeight = 315;
constexpr int kFontPixels = 12;  // the product font's size

// Control identifiers; 1 and 2 are the dialog keys' IDOK and IDCANCEL, which nothing here takes.
constexpr int kText1 = 100;
constexpr int kText2 = 200;     // + 1..20
constexpr int kCommand1 = 300;  // + 0..9
constexpr int kCommand2 = 400;  // + 0..9
constexpr int kCommand3 = 500;
constexpr int kCommand4 = 501;
constexpr int kLabel5 = 502;
constexpr int kLabel6 = 503;
constexpr int kCboTarget = 504;
constexpr int kRtfOutput = 505;
constexpr int kLabels = 600;
// Ui::Close came: the window goes once the click that ran the build has returned.
constexpr UINT kCloseNow = WM_APP + 1;

constexpr COLORREF kBackground = RGB(235, 233, 237);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kOrange = RGB(255, 128, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kNoteEdge = RGB(60, 60, 60);

std::wstring Wide(std::string_view utf8) {
  return platform::PathFromUtf8(utf8).wstring();
}

std::string Utf8(const std::wstring& wide) {
  return platform::PathToUtf8(std::filesystem::path(wide));
}

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetText(HWND control, const std::wstring& text) {
  if (WindowText(control) != text) ::SetWindowTextW(control, text.c_str());
}

UINT IconFlag(words::Icon icon) {
  switch (icon) {
    case words::Icon::Critical:
      return MB_ICONERROR;
    case words::Icon::Exclamation:
      return MB_ICONWARNING;
    case words::Icon::Information:
      return MB_ICONINFORMATION;
    case words::Icon::Question:
      return MB_ICONQUESTION;
  }
  return 0;
}

// The design settings of the progress bar, as the window stores them.
platform::MemoryPropertyStore ProgressBarDesign() {
  return platform::MemoryPropertyStore{
      {"Max", 50},      {"Value", 50},      {"Step", 10},      {"StartBlue", 150}, {"EndRed", 0},
      {"EndGreen", 0},  {"EndBlue", 150},   {"BoxRed", 0},     {"BoxGreen", 0},    {"BoxBlue", 200},
      {"BackRed", 235}, {"BackGreen", 233}, {"BackBlue", 237}, {"BarVisible", 0},  {"ScrollEnabled", 0}};
}

// Draws `pixels` with its top-left corner at `at`, at its own size for a screen of `scale`,
// over `background` where it is see-through.
void DrawPicture(HDC dc, const platform::Pixels& pixels, POINT at, int scale, COLORREF background) {
  if (pixels.empty()) return;
  std::vector<std::uint32_t> over(pixels.argb.size());
  const unsigned br = GetRValue(background), bg = GetGValue(background), bb = GetBValue(background);
  std::transform(pixels.argb.begin(), pixels.argb.end(), over.begin(), [&](std::uint32_t p) {
    const unsigned a = p >> 24;
    auto mix = [a](unsigned c, unsigned b) { return (c * a + b * (255 - a) + 127) / 255; };
    return (mix((p >> 16) & 0xFF, br) << 16) | (mix((p >> 8) & 0xFF, bg) << 8) | mix(p & 0xFF, bb);
  });
  const BITMAPINFO info = ui::win32::DibInfo(pixels);
  const double toDevice = scale / pixels.pixelRatio;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, at.x, at.y, static_cast<int>(pixels.width * toDevice),
                  static_cast<int>(pixels.height * toDevice), 0, 0, pixels.width, pixels.height, over.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

SIZE PictureSize(const platform::Pixels& pixels, int scale) {
  if (pixels.empty()) return {0, 0};
  const double toDevice = scale / pixels.pixelRatio;
  return {static_cast<LONG>(pixels.width * toDevice), static_cast<LONG>(pixels.height * toDevice)};
}

// `text` cut in the middle with "…" until it is at most `room` device pixels wide in the
// font selected into `dc`: a folder's own name is at its end, so the middle gives way first.
std::wstring ElideMiddle(HDC dc, std::wstring text, int room) {
  auto width = [dc](const std::wstring& s) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
  };
  if (width(text) <= room) return text;
  while (text.size() > 1) {
    const std::size_t middle = text.size() / 2;
    text.erase(middle, 1);
    std::wstring shown = text.substr(0, middle) + L"…" + text.substr(middle);
    if (width(shown) <= room) return shown;
  }
  return L"…";
}

}  // namespace

Form1::Form1(Setup setup, int scale)
    : setup_(std::move(setup)), scale_(scale), background_(kBackground), linkColour_(kBlue) {
  PackagerWorkflow::Ui& ui = *this;
  workflow_ = std::make_unique<PackagerWorkflow>(ui, dialogs_, setup_.players, setup_.outputFolder);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &Form1::Procedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  windowClass.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExW(&windowClass);

  LOGFONTW font{};
  font.lfHeight = -kFontPixels * scale_;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  std::wcscpy(font.lfFaceName, L"宋体");
  font_ = ::CreateFontIndirectW(&font);
  pointer_ = ui::win32::LoadPointer("packager_cursor.png", scale_, 1, 1);
  backgroundBrush_ = ::CreateSolidBrush(background_);
  white_ = ::CreateSolidBrush(RGB(255, 255, 255));

  // The design's client area, centred on the main monitor's work area. The frame can be
  // pulled, but only down to the description box (WM_GETMINMAXINFO).
  const DWORD style =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Dev(kClientWidth), Dev(kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  ::CreateWindowExW(exStyle, kClassName, L"Pakrel", style, x, y, width, height, nullptr, nullptr,
                    windowClass.hInstance, this);
  dialogs_.SetOwner(hwnd_);
  CreateControls();
  Refresh();
}

Form1::~Form1() {
  Percent2.reset();
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  if (pointer_ != nullptr) ::DestroyIcon(pointer_);  // made by CreateIconIndirect
  ::DeleteObject(font_);
  ::DeleteObject(backgroundBrush_);
  ::DeleteObject(white_);
}

int Form1::Dev(int twips) const {
  return platform::Px(twips) * scale_;
}

RECT Form1::DevRect(int left, int top, int width, int height) const {
  return {Dev(left), Dev(top), Dev(left) + Dev(width), Dev(top) + Dev(height)};
}

HWND Form1::MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, RECT rect, int id,
                        DWORD exStyle) {
  HWND control = ::CreateWindowExW(exStyle, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, rect.left,
                                   rect.top, rect.right - rect.left, rect.bottom - rect.top, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

// A label as large as its text, as the design's labels size themselves.
HWND Form1::MakeLabel(const std::wstring& text, int left, int top, int id) {
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ old = ::SelectObject(dc, font_);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd_, dc);
  return MakeControl(L"STATIC", text, SS_LEFT | SS_NOPREFIX,
                     {Dev(left), Dev(top), Dev(left) + size.cx, Dev(top) + size.cy}, id);
}

void Form1::AddTooltip(HWND control, const std::wstring& text) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  std::wstring shown = text;
  tool.lpszText = shown.data();
  if (!::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
    ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::CreateControls() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  tooltips_ = ::CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  // The tips are Chinese: the default font of the tips may have no Chinese glyphs.
  ::SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  // Image1, drawn by the window; the tab order is the order of creation.
  banner_ = ui::win32::LoadPicture("packager_banner.png", scale_);
  Image1_ = DevRect(0, 50, 2025, 5310);
  Label1 = MakeLabel(L"专辑名称", 2190, 240, kLabels + 1);
  Text1 = MakeControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, DevRect(3090, 120, 6435, 285), kText1,
                      WS_EX_CLIENTEDGE);
  Label2 = MakeLabel(L"音乐列表：", 2070, 630, kLabels + 2);
  Label4 = MakeLabel(L"请选择音乐和相应的歌词LRC文件，最多可集合10首歌曲   ", 3360, 600, kLabels + 4);

  for (int row = 0; row < 10; ++row) {
    const int top = kRowTops[row];
    const std::wstring n = std::to_wstring(row + 1);
    Text2[row + 1] = MakeControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL,
                                 DevRect(2100, top, 3075, kRowHeight), kText2 + row + 1, WS_EX_CLIENTEDGE);
    Command1[row] = MakeControl(L"BUTTON", L"音乐" + n, WS_TABSTOP | BS_PUSHBUTTON,
                                DevRect(5280, top, 885, kRowHeight), kCommand1 + row);
    Text2[row + 11] = MakeControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL,
                                  DevRect(6240, top, 3075, kRowHeight), kText2 + row + 11, WS_EX_CLIENTEDGE);
    Command2[row] = MakeControl(L"BUTTON", L"歌词" + n, WS_TABSTOP | BS_PUSHBUTTON,
                                DevRect(9360, top, 885, kRowHeight), kCommand2 + row);
  }

  // Grey, as the design has it: a themed push button takes no colour, so it draws itself.
  Command3 = MakeControl(L"BUTTON", L"开始打包成EXE", WS_TABSTOP | BS_OWNERDRAW,
                         DevRect(2160, 4560, 1605, 585), kCommand3);
  Command4 = MakeControl(L"BUTTON", L"退出程序", WS_TABSTOP | BS_PUSHBUTTON, DevRect(9120, 4560, 1095, 615),
                         kCommand4);

  // The system the album plays on, offered when this packager carries both players. Its
  // height holds the open list as well.
  RECT target = DevRect(7770, 4860, 1260, 300);
  target.bottom += 4 * kFontPixels * scale_;
  cboTarget = MakeControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, target, kCboTarget);
  ::SendMessageW(cboTarget, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Windows"));
  ::SendMessageW(cboTarget, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Linux"));
  // The closed box as high as the design has it: the field is its item height and a frame.
  ::SendMessageW(cboTarget, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Dev(300) - 6 * scale_);
  AddTooltip(cboTarget, L"专辑在哪个系统上播放");
  if (!(workflow_->Carries(Target::Windows) && workflow_->Carries(Target::Linux)))
    ::ShowWindow(cboTarget, SW_HIDE);

  // The note's design box starts under the build button and runs under the quit button; its
  // text keeps to the free space between them.
  {
    const RECT build = DevRect(2160, 4560, 1605, 585), quit = DevRect(9120, 4560, 1095, 615);
    RECT note = DevRect(2760, 4590, 7695, 225);
    note.left = std::max(note.left, build.right + 4 * scale_);
    note.right = std::min(note.right, quit.left - 4 * scale_);
    Label6 = MakeControl(L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, note, kLabel6);
    SetCompletionNote();
    ::ShowWindow(Label6, SW_HIDE);
  }

  {
    RECT link = DevRect(5040, 4920, 2610, 180);
    link.bottom = std::max<LONG>(link.bottom, link.top + (kFontPixels + 2) * scale_);
    Label5 =
        MakeControl(L"STATIC", L"欢迎访问本程序的说明页", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, link, kLabel5);
  }

  Percent2 = std::make_unique<GradientHScrollHwnd>(hwnd_, POINT{Dev(2280), Dev(5160)}, Dev(225), scale_);
  Percent2->bar().ReadProperties(ProgressBarDesign());

  // Below the client area, out of sight until the window is pulled taller: the description
  // and a second picture.
  const RECT description = DevRect(150, 5460, 1995, 3555);
  rtfOutput = MakeControl(L"EDIT", Wide(workflow_->Description()),
                          ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL, description, kRtfOutput,
                          WS_EX_CLIENTEDGE);
  // The label's box starts inside the description box's right edge; its text starts clear of it.
  const int label3Left = std::max(Dev(1980), static_cast<int>(description.right) + 4 * scale_);
  Label3 = MakeLabel(L"专辑说明", 0, 6180, kLabels + 3);
  ::SetWindowPos(Label3, nullptr, label3Left, Dev(6180), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  image2_ = ui::win32::LoadPicture("packager_image2.png", scale_);
  const SIZE image2Size = PictureSize(image2_, scale_);
  Image2_ = {Dev(2460), Dev(5460), Dev(2460) + image2Size.cx, Dev(5460) + image2Size.cy};
  ::SetFocus(Text1);
}

void Form1::SetCompletionNote() {
  RECT box{};
  ::GetClientRect(Label6, &box);
  HDC dc = ::GetDC(Label6);
  HGDIOBJ old = ::SelectObject(dc, font_);
  std::wstring shown;
  if (setup_.otherFolder.empty()) {
    note_ = Wide(OwnFolderNote());
    shown = note_;
  } else {
    const std::wstring folder = setup_.otherFolder.wstring();
    note_ = Wide(OtherFolderNote(platform::PathToUtf8(setup_.otherFolder)));
    const std::wstring rest = Wide(OtherFolderNote(""));
    SIZE restSize{};
    ::GetTextExtentPoint32W(dc, rest.c_str(), static_cast<int>(rest.size()), &restSize);
    shown = Wide(OtherFolderNote(
        Utf8(ElideMiddle(dc, folder, std::max(0, static_cast<int>(box.right - restSize.cx))))));
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(Label6, dc);
  ::SetWindowTextW(Label6, shown.c_str());
  AddTooltip(Label6, note_);
}

bool Form1::PreTranslate(MSG& message) {
  return hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message);
}

void Form1::Paint(HDC dc) {
  // The banner is cut off where its design box ends, as a picture box shows it.
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, Image1_.left, Image1_.top, Image1_.right, Image1_.bottom);
  DrawPicture(dc, banner_, {Image1_.left, Image1_.top}, scale_, background_);
  ::RestoreDC(dc, saved);
  DrawPicture(dc, image2_, {Image2_.left, Image2_.top}, scale_, background_);
}

bool Form1::OverBareWindow(POINT at) const {
  if (::PtInRect(&Image1_, at) || ::PtInRect(&Image2_, at)) return false;
  return ::ChildWindowFromPointEx(hwnd_, at, CWP_SKIPINVISIBLE) == hwnd_;
}

void Form1::SetLinkColour(COLORREF colour) {
  if (linkColour_ == colour) return;
  linkColour_ = colour;
  ::InvalidateRect(Label5, nullptr, TRUE);
}

void Form1::SetBackground(COLORREF colour) {
  if (background_ == colour) return;
  background_ = colour;
  ::DeleteObject(backgroundBrush_);
  backgroundBrush_ = ::CreateSolidBrush(colour);
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Form1::Hover(HWND control, POINT at) {
  if (control == Label5) {
    SetLinkColour(kRed);
  } else if (control == Command3) {
    // The window turns magenta under the build button and stays so.
    SetBackground(kMagenta);
  } else if (control == hwnd_ && OverBareWindow(at)) {
    // Only the bare window turns the link blue again; moves over the other controls do not.
    SetLinkColour(kBlue);
  }
}

LRESULT Form1::LabelColours(HDC dc, HWND control) {
  COLORREF colour = RGB(0, 0, 0);
  if (control == Label1)
    colour = kGreen;
  else if (control == Label2)
    colour = kBlue;
  else if (control == Label3)
    colour = kOrange;
  else if (control == Label5)
    colour = linkColour_;
  ::SetTextColor(dc, colour);
  ::SetBkColor(dc, background_);
  ::SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(backgroundBrush_);
}

void Form1::DrawButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  HBRUSH face = ::CreateSolidBrush(kGrey);
  ::FillRect(dc, &rect, face);
  ::DeleteObject(face);
  ::DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const std::wstring text = WindowText(item.hwndItem);
  RECT label = rect;
  if (pressed) ::OffsetRect(&label, scale_, scale_);
  HGDIOBJ old = ::SelectObject(dc, font_);
  ::SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  if (item.itemState & ODS_DISABLED) {
    // Engraved, as a disabled button's caption is.
    RECT shadow = label;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  } else {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  }
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, format);
  ::SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = rect;
    ::InflateRect(&focus, -4 * scale_, -4 * scale_);
    ::DrawFocusRect(dc, &focus);
  }
}

void Form1::DrawNote(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  ::FillRect(dc, &rect, backgroundBrush_);
  const std::wstring text = WindowText(item.hwndItem);
  HGDIOBJ old = ::SelectObject(dc, font_);
  ::SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  // A dark edge keeps the yellow readable on the light background.
  RECT edge = rect;
  ::OffsetRect(&edge, scale_, scale_);
  ::SetTextColor(dc, kNoteEdge);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &edge, format);
  ::SetTextColor(dc, kYellow);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  ::SelectObject(dc, old);
}

void Form1::OpenLink() {
  std::error_code missing;
  if (!std::filesystem::exists(setup_.readme, missing)) {
    const words::Box box = words::BoxFor({platform::ErrorKind::NotFound, platform::PathToUtf8(setup_.readme)},
                                         kProgram, words::MissingPage(kProgram));
    ::MessageBoxW(hwnd_, Wide(box.text).c_str(), Wide(box.title).c_str(), IconFlag(box.icon));
    return;
  }
  // SW_SHOWNORMAL: the page opens in a window the user can see.
  const auto opened = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(hwnd_, L"open", setup_.readme.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (opened <= 32) {
    const words::Box box = words::NoOpenerFor(kProgram, platform::PathToUtf8(setup_.readme));
    ::MessageBoxW(hwnd_, Wide(box.text).c_str(), Wide(box.title).c_str(), IconFlag(box.icon));
  }
}

void Form1::Command(int id, int code, HWND control) {
  if (id == kText1 && code == EN_CHANGE) {
    if (!refreshing_) workflow_->SetAlbumName(Utf8(WindowText(control)));
  } else if (id > kText2 && id <= kText2 + 20 && code == EN_CHANGE) {
    if (!refreshing_) workflow_->SetText2(id - kText2, std::filesystem::path(WindowText(control)));
  } else if (id == kRtfOutput && code == EN_CHANGE) {
    if (!refreshing_) workflow_->SetDescription(Utf8(WindowText(control)));
  } else if (id >= kCommand1 && id < kCommand1 + 10 && code == BN_CLICKED) {
    workflow_->ChooseSong(id - kCommand1);
  } else if (id >= kCommand2 && id < kCommand2 + 10 && code == BN_CLICKED) {
    workflow_->ChooseLyrics(id - kCommand2);
  } else if (id == kCommand3 && code == BN_CLICKED) {
    workflow_->Build();
  } else if (id == kCommand4 && code == BN_CLICKED) {
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  } else if (id == kLabel5 && code == STN_CLICKED) {
    OpenLink();
  } else if (id == kCboTarget && code == CBN_SELCHANGE) {
    const LRESULT chosen = ::SendMessageW(cboTarget, CB_GETCURSEL, 0, 0);
    if (chosen != CB_ERR) workflow_->SetAlbumTarget(chosen == 0 ? Target::Windows : Target::Linux);
    Refresh();
  }
}

void Form1::Tell(const PackagerWorkflow::Notice& notice) {
  const words::Box box = NoticeBox(notice, kProgram);
  ::MessageBoxW(hwnd_, Wide(box.text).c_str(), Wide(box.title).c_str(), IconFlag(box.icon));
}

bool Form1::AskStopBuild() {
  const words::Box box = words::StopBuildQuestion(kProgram);
  return ::MessageBoxW(hwnd_, Wide(box.text).c_str(), Wide(box.title).c_str(),
                       MB_YESNO | MB_DEFBUTTON2 | IconFlag(box.icon)) == IDYES;
}

void Form1::Progress(bool visible, int value) {
  ::ShowWindow(Percent2->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
  Percent2->bar().Value(value);
  ::UpdateWindow(Percent2->hwnd());
  // The build runs inside a click: the window answers whatever came meanwhile. A second build
  // and closing during this one are the workflow's to refuse or to ask about.
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // For the loop of the program, which ends once the build has returned.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (PreTranslate(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Form1::Refresh() {
  refreshing_ = true;
  SetText(Text1, Wide(workflow_->AlbumName()));
  for (int i = 1; i <= 20; ++i) SetText(Text2[i], workflow_->Text2(i).wstring());
  ::EnableWindow(Command3, !workflow_->Building());
  ::EnableWindow(cboTarget, !workflow_->Building());
  const int target = workflow_->AlbumTarget() == Target::Windows ? 0 : 1;
  if (::SendMessageW(cboTarget, CB_GETCURSEL, 0, 0) != target)
    ::SendMessageW(cboTarget, CB_SETCURSEL, target, 0);
  ::ShowWindow(Label6, workflow_->CompletionNoteVisible() ? SW_SHOWNA : SW_HIDE);
  refreshing_ = false;
}

void Form1::Close() {
  // Called at the end of the click that ran the build; the window goes after it has returned.
  ::PostMessageW(hwnd_, kCloseNow, 0, 0);
}

LRESULT CALLBACK Form1::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Form1* self = ui::win32::WindowObject<Form1, &Form1::hwnd_>(hwnd, message, lParam);
  return self != nullptr ? self->Handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(hwnd_, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(hwnd_, &paint);
      Paint(dc);
      ::EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == rtfOutput) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kBlue);
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_);
      }
      break;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem == Command3)
        DrawButton(item);
      else if (item.hwndItem == Label6)
        DrawNote(item);
      return TRUE;
    }
    case WM_SETCURSOR: {
      const HWND over = reinterpret_cast<HWND>(wParam);
      POINT at{};
      ::GetCursorPos(&at);
      ::ScreenToClient(hwnd_, &at);
      if (HIWORD(lParam) == WM_MOUSEMOVE) Hover(over, at);
      if ((over == Command3 || over == Label5) && pointer_ != nullptr) {
        ::SetCursor(pointer_);
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_ACTIVATE:
      // Text1 takes the focus whenever the window is activated.
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
        ::SetFocus(Text1);
        return 0;
      }
      break;
    case WM_GETMINMAXINFO: {
      // As wide as the design; as high as the design, or down to the description box.
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
      const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
      const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
      RECT low{0, 0, Dev(kClientWidth), Dev(kClientHeight)},
          tall{0, 0, Dev(kClientWidth), Dev(kTallClientHeight)};
      ::AdjustWindowRectEx(&low, style, FALSE, exStyle);
      ::AdjustWindowRectEx(&tall, style, FALSE, exStyle);
      limits.ptMinTrackSize = {low.right - low.left, low.bottom - low.top};
      limits.ptMaxTrackSize = {tall.right - tall.left, tall.bottom - tall.top};
      limits.ptMaxSize = limits.ptMaxTrackSize;
      return 0;
    }
    case WM_SIZE:
      if (rtfOutput != nullptr) {
        // The description box can be reached by Tab only once it is in sight.
        RECT box{};
        ::GetWindowRect(rtfOutput, &box);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&box), 2);
        const bool shown = box.bottom <= HIWORD(lParam);
        LONG_PTR style = ::GetWindowLongPtrW(rtfOutput, GWL_STYLE);
        style = shown ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        ::SetWindowLongPtrW(rtfOutput, GWL_STYLE, style);
      }
      return 0;
    case WM_CLOSE:
      // During a build the user is asked; the workflow closes the window once it is undone.
      if (workflow_->CloseRequested()) ::DestroyWindow(hwnd_);
      return 0;
    case kCloseNow:
      ::DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace packager::win32
