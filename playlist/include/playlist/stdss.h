#pragma once
// stdSS, the owner-drawn playlist control, as a plain class: rows of number, title and time,
// twelve persisted colours, a skinned scroller, selection, Shift/Ctrl multi-selection, the
// playing mark and drag reordering. Every element the control shows is a record in
// `elements()`; a front end (the Qt one is stdSSWidget, playlist/qt) only paints those records
// and turns mouse, keyboard, timer and drop input into the input operations below. The control
// itself uses no toolkit: text widths come from the TextMeasure its front end gives it.
//
// Threading: everything runs on the GUI thread. Events are raised synchronously from inside
// the operations: a handler runs before the operation goes on, and may read the public state.
//
// Units: pixels throughout, including the control size given to ControlResized.
// Texts: UTF-8, shown and handed back exactly as the host passed them.
// Colours: 0x00BBGGRR references (red in the low byte).
// Row indices: 1..ListCount; 0 means "no row". Element 0 of `elements().rows` is the hidden
// template row whose look new rows copy.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/property_store.h"
#include "platform/result.h"
#include "playlist/text_measure.h"

namespace playlist {

using Colour = std::uint32_t;

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
  bool operator==(const Box&) const = default;
};

// The part of a label's look that styles copy from one label to another (never the size).
struct LabelStyle {
  std::string fontName;
  bool bold = false;
  bool italic = false;
  Colour foreColor = 0;

  bool operator==(const LabelStyle&) const = default;
};

struct TextElement {
  Box box;
  bool visible = false;
  std::string text;
  LabelStyle style;
  int fontPixelSize = 11;
  bool autoSize = true;       // the width follows the text and font
  bool rightAligned = false;  // the time label
  bool opaque = false;        // only the "..." label paints a background
  Colour backColor = 0;
};

struct ShapeElement {
  Box box;
  bool visible = false;
  bool filled = true;
  Colour fillColor = 0;
  bool bordered = false;
  Colour borderColor = 0;
};

struct LineElement {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  bool visible = false;
  Colour color = 0;
};

// The transparent label laid over a row that takes its mouse input.
struct HitElement {
  Box box;
  bool visible = false;
  std::string tag;  // the selection mark: "I" while selected or multi-selected, else empty
  std::string toolTip;
};

struct Row {
  TextElement lblevilka;  // number, "01. "
  TextElement lbls;       // time text, right-aligned, width rinasa
  TextElement lblIme;     // title
  ShapeElement shpOzadje;  // selected background of the whole row
  ShapeElement shps;       // background of the time column
  HitElement lblIzbor;
  TextElement lblSpot;  // "..." truncation marker
  LineElement ta;       // join line under the title part
  LineElement tas;      // join line under the time part
  LineElement taRob;    // right edge, always hidden

  // Row data that travels with the song.
  std::string FileName;   // opaque to the control; handed back in PlayFile and GetData
  std::string FileName2;  // opaque to the control
  std::int32_t seconds = 0;
};

// A rectangle of the skin picture (PictureData), in its logical pixels.
struct SkinRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const SkinRect&) const = default;
};

// A picture box of the scroller: its place, and what GUI drew into its image, which the box
// keeps as its own (the box shows the image's top-left part). The image is imageWidth x
// imageHeight, transparent but for `piece` of the skin copied to (0, y) for every y in
// tileTops: once at 0 for a cap or a button, down the whole strip for the track and the thumb
// bodies. The front end copies the pixels; the control only says which.
struct PictureElement {
  Box box;
  bool visible = false;
  SkinRect piece;             // empty: nothing was copied
  std::vector<int> tileTops;  // where `piece` was copied
  int imageWidth = 0;         // 0 x 0: no image at all
  int imageHeight = 0;
};

struct ScrollTimer {
  bool Enabled = false;
  std::string mode;  // "DOL", "GOR", "MDOL", "MGOR" or empty
};

// What was dropped on the list, copied out of the front end's drag object, for the host's
// OLEDragDrop handler; the control itself does not look at it.
struct DragData {
  std::vector<std::string> files;  // local files, as UTF-8 paths
  std::string text;                // plain text, UTF-8; empty when none came
};

inline constexpr int kScrollTimerIntervalMs = 50;
inline constexpr int kSkinStripHeight = 1700;

// Everything the control shows, in its own coordinates (canvas children in canvas
// coordinates, scroller children in column coordinates, thumb and caps in track coordinates).
struct Elements {
  int controlWidth = 0;   // Wc
  int controlHeight = 0;  // Hc
  Colour controlBackColor = 0;

  ShapeElement PicOzadje;  // the row canvas; fillColor is its back colour
  std::vector<Row> rows;   // [0] is the template

  // Style holders: A = selected, B = played. shpsB is also the frame around the playing row.
  TextElement lblevilkaA, lblImeA, lblsA;
  TextElement lblevilkaB, lblImeB, lblsB;
  ShapeElement shpsA;
  ShapeElement shpsB;
  ShapeElement picPremik;  // drag insertion marker

  PictureElement picScroll;
  PictureElement PicGor, PicDol;
  PictureElement PicPoljeDrsnika;
  PictureElement PicDrsnik, PicDrsnikD;
  PictureElement PicDrsnikGor, PicDrsnikDGor, PicDrsnikDol, PicDrsnikDDol;
  double thumbTop = 0;        // exact thumb top; PicDrsnik.box.top is it rounded
  int trackPressY = 0;        // last track press, 0 after release
  int thumbDragStartY = 0;    // pointer offset inside the thumb at the drag start
  bool gorPressed = false;    // PicGor shows its second image
  bool dolPressed = false;
  ScrollTimer tmrScroll;
};

// Mouse buttons and modifier bits as the control's input uses them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftState : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };
enum KeyCode : int { kKeyReturn = 13, kKeyUp = 38, kKeyDown = 40, kKeyDelete = 46 };

// What lies under a point of the control; the same boxes are painted by the drawer.
struct HitResult {
  enum class Kind { Background, Row, UpButton, DownButton, Track, Thumb };
  Kind kind = Kind::Background;
  int row = 0;  // for Row
  int x = 0;    // pointer position inside the element hit
  int y = 0;
};

class stdSS {
 public:
  // Creates the control and loads its twelve colours from `store` (defaults when null or empty).
  // `measure` gives the widths of label texts as the front end draws them; it must outlive the
  // control.
  explicit stdSS(const TextMeasure& measure, const platform::PropertyStore* store = nullptr);
  virtual ~stdSS() = default;
  stdSS(const stdSS&) = delete;
  stdSS& operator=(const stdSS&) = delete;

  // ---- Public state. The host may read these; it writes only the skin fields and
  // PictureData. Integers are 16-bit, long integers 32-bit, as the host expects.
  bool GU = false;
  std::int16_t ListCount = 0;
  std::int16_t Selected = 0;
  std::int16_t Playing = 0;
  std::int16_t rinasa = 30;
  bool AShowScroller = false;
  std::int16_t bDrsnikMiniVina = 0;
  bool DrsnikScale = false;
  bool MultiSelect = false;
  std::int16_t NanMultiSelect = 0;
  std::int16_t prvaMultiSelect = 0;
  bool ZatMS = false;
  bool NePredvajaj = false;
  std::int32_t SkupensSekund = 0;
  std::string gFileName, gFileName2, gTitle, gTime;
  std::int32_t gTimeInSeconds = 0;

  // The host's skin picture. GUI decides which of its rectangles each scroller piece shows;
  // the front end draws them from here. Empty: GUI paints nothing.
  platform::Pixels PictureData;

  std::int16_t GUI_SSOzadjerina = 0, GUI_SSOzadjeVina = 0, GUI_SSOzadjeX = 0, GUI_SSOzadjeY = 0,
               GUI_SSOzadjeXD = 0, GUI_SSOzadjeYD = 0;
  std::int16_t GUI_SSDrsnikOzadjerina = 0, GUI_SSDrsnikOzadjeVina = 0, GUI_SSDrsnikOzadjeX = 0,
               GUI_SSDrsnikOzadjeY = 0, GUI_SSDrsnikOzadjeXD = 0, GUI_SSDrsnikOzadjeYD = 0;
  std::int16_t GUI_SSDrsnikGorrina = 0, GUI_SSDrsnikGorVina = 0, GUI_SSDrsnikGorX = 0, GUI_SSDrsnikGorY = 0,
               GUI_SSDrsnikGorXD = 0, GUI_SSDrsnikGorYD = 0;
  std::int16_t GUI_SSDrsnikDolrina = 0, GUI_SSDrsnikDolVina = 0, GUI_SSDrsnikDolX = 0, GUI_SSDrsnikDolY = 0,
               GUI_SSDrsnikDolXD = 0, GUI_SSDrsnikDolYD = 0;
  std::int16_t GUI_SSGorrina = 0, GUI_SSGorVina = 0, GUI_SSGorX = 0, GUI_SSGorY = 0, GUI_SSGorXD = 0,
               GUI_SSGorYD = 0;
  std::int16_t GUI_SSDolrina = 0, GUI_SSDolVina = 0, GUI_SSDolX = 0, GUI_SSDolY = 0, GUI_SSDolXD = 0,
               GUI_SSDolYD = 0;
  std::int16_t GUI_SSDrsnikMiniVina = 0;
  bool GUI_SSDrsnikScale = false;  // stored for the host, not read by the control
  bool GUI_SSVednoKa = false;      // stored for the host, not read by the control

  // ---- Events, raised synchronously; an empty handler ignores the event.
  std::function<void(const std::string& FileName)> PlayFile;
  std::function<void()> Replay;
  std::function<void(const DragData& data, std::int32_t& Effect, std::int16_t Button, std::int16_t Shift,
                     float X, float Y)>
      OLEDragDrop;
  std::function<void()> RightClick;
  std::function<void(std::int32_t NewDuration)> DurationChanged;

  // ---- Rows. Operations that name a row fail, before changing anything, when it does not
  // exist; AddItem fails at the 32,767-row limit or when the total time would overflow.
  platform::Status AddItem(const std::string& FileName, const std::string& FileName2,
                           const std::string& Title, const std::string& time, std::int32_t TimeInSeconds);
  void Clear();
  platform::Status Remove(std::int16_t Index);  // Index below 1: nothing happens
  void MultiIzbris();
  platform::Status RefreshTitle(const std::string& Title, std::int16_t Index);
  platform::Status RefreshTime(std::int32_t NewTimeInSeconds, const std::string& NewTime, std::int16_t Index);
  platform::Status GetData(std::int16_t Index);  // Index below 1 empties the output fields
  platform::Status AddFileName2(const std::string& FileName, std::int16_t Index);

  // ---- Layout, skin and colours.
  void GUI();
  void Poravnaj();
  void ControlResized(int widthPx, int heightPx);

  Colour BackgroundColor() const;
  void BackgroundColor(Colour Color);
  Colour BackgroundTimeColor() const;
  void BackgroundTimeColor(Colour Color);
  Colour TimeTextColor() const;
  void TimeTextColor(Colour Color);
  Colour TitleTextColor() const;
  void TitleTextColor(Colour Color);
  Colour SelectedTitleBackColor() const;
  void SelectedTitleBackColor(Colour Color);
  Colour SelectedTimeBackColor() const;
  void SelectedTimeBackColor(Colour Color);
  Colour SelectedBorderColor() const;
  void SelectedBorderColor(Colour Color);
  Colour SelectedTitleTextColor() const;
  void SelectedTitleTextColor(Colour Color);
  Colour SelectedTimeTextColor() const;
  void SelectedTimeTextColor(Colour Color);
  Colour PlayedTitleTextColor() const;
  void PlayedTitleTextColor(Colour Color);
  Colour PlayedTimeTextColor() const;
  void PlayedTimeTextColor(Colour Color);
  Colour PlayedBorderColor() const;
  void PlayedBorderColor(Colour Color);

  // The twelve colours, in their fixed order; a missing entry yields the default.
  void ReadProperties(const platform::PropertyStore& store);
  void WriteProperties(platform::PropertyStore& store) const;

  // ---- Scroller.
  void SetScroller(std::int16_t sWidth, bool bUP, bool bDown, bool bScaleScroller, std::int16_t bUPWidth,
                   std::int16_t bUPHeight, std::int16_t bDownWidth, std::int16_t bDownHeight,
                   std::int16_t ScrollerHeight);
  void LegaDrsnika();
  void AlwaysShowScroller(bool vrednost);

  // ---- Selection and play marking. SelectIndex and MS fail for an index without a row.
  platform::Status SelectIndex(std::int16_t Index);
  void Play(std::int16_t Index);
  platform::Status MS(std::int16_t Index);
  void NoMS();

  // ---- Input, as the widget forwards it. Buttons and modifiers are the bit sets above;
  // positions are pixels inside the element named (row hit label, button, track, thumb).
  void ScrollButtonDown(bool down, int button);
  void ScrollButtonMove(bool down, int buttons, int x, int y);
  void ScrollButtonUp(bool down, int button);
  void TrackDown(int button, int y);
  void TrackUp();
  void ThumbDown(int button, int y);
  void ThumbMove(int buttons, int y);
  void ThumbUp();
  void ScrollTimerTick();
  // The mouse wheel: `notches` up (positive) or down (negative), three rows each, moving the
  // thumb and the canvas as the scroller buttons do. Nothing moves while every row is in view.
  void MouseWheel(int notches);

  void RowMouseDown(std::int16_t i, int button);
  void RowDoubleClick(std::int16_t i);
  void RowMouseMove(std::int16_t i, int buttons, int y);
  void RowMouseUp(std::int16_t i, int button, int y);
  void BackgroundMouseDown(int button);
  void DropData(const DragData& data, std::int32_t& Effect, std::int16_t Button, std::int16_t Shift, float X,
                float Y);
  void KeyDown(int keyCode, int shift);
  void KeyUp();

  // ---- Reading the elements.
  const Elements& elements() const { return e_; }
  const Row& row(int i) const { return e_.rows.at(static_cast<size_t>(i)); }
  int RowPitch() const;               // number label height + 2
  double ThumbTop() const { return e_.thumbTop; }
  int ThumbTravel() const;            // track height - thumb height
  int ScrollRange() const;            // Hc - canvas height
  HitResult HitTest(int x, int y) const;  // control coordinates

  static constexpr std::int16_t kMaxRows = 32767;

 protected:
  // Called whenever the look may have changed; the widget repaints and follows the timer.
  virtual void Changed() {}

 private:
  struct StyleSet {
    const TextElement* title;
    const TextElement* time;
    const TextElement* number;
  };

  bool HasRow(int i) const { return i >= 1 && i < static_cast<int>(e_.rows.size()); }
  bool IsMarked(int i) const;  // the row exists and carries the selection mark
  int LastRow() const { return static_cast<int>(e_.rows.size()) - 1; }
  platform::Status NoRow(int i) const;
  // The work of SelectIndex, MS and Remove for a row known to exist; Remove also needs
  // CanRemove (the total time without the row fits 32 bits).
  void SelectRow(std::int16_t Index);
  void MarkRow(std::int16_t Index);
  void SelectOrMark(std::int16_t Index);  // MarkRow while MultiSelect is on, else SelectRow
  bool CanRemove(int i) const;
  void RemoveRow(std::int16_t Index);
  Row& R(int i) { return e_.rows[static_cast<size_t>(i)]; }

  // Text labels: setting text or font re-measures an auto-sized label.
  void SetText(TextElement& label, std::string text);
  void Measure(TextElement& label);
  void CopyStyle(TextElement& to, const LabelStyle& from);
  void CopyStyleIfDifferent(TextElement& to, const LabelStyle& from);

  StyleSet NormalStyle() const;
  StyleSet SelectedStyle() const;
  StyleSet PlayedStyle() const;
  void ApplyRowStyle(int i, const StyleSet& s);
  void PlaceEllipsis(int i);
  void FinishRow(int i, Colour background);
  void DeselectRow(int i);
  void SelectRowIfDifferent(int i);
  void NormalTimeGeometry(int i);
  void SelectedTimeGeometry(int i);
  void RestyleFromState(int i);
  void ScrollRowIntoView(int r);
  void JoinSelectedRows(bool HideAll);
  void RaisePlayFile(int i);
  void RaiseDurationChanged();

  void SetCanvasSize(int width, int height);
  void CanvasResized();
  void LayoutColumn();
  void PlaceScrollerPieces();
  void SetCanvasTop(int top);
  void SetThumbTop(double top);
  void SetThumbHeight(int height);
  void CanvasFollowsThumb();
  int DragSlot(int i, int y) const;
  SkinRect SkinPiece(int x, int y, int w, int h) const;  // empty without a picture
  // Gives a cap or a button an image of just `piece`, or none when it is empty.
  static void ShowPiece(PictureElement& pic, SkinRect piece);

  const TextMeasure& measure_;
  Elements e_;
  bool scrollerSet_ = false;  // SetScroller has run: its layout is redone when the column height changes
  bool bUP_ = false, bDown_ = false;
  int bUPWidth_ = 0, bUPHeight_ = 0, bDownWidth_ = 0, bDownHeight_ = 0;
  int pressedRow_ = 0;  // row that took the left press; it keeps the pointer until release
};

// Colour defaults of a control whose host stored nothing.
namespace defaults {
inline constexpr Colour kBackgroundColor = 0xFEF5E9;
inline constexpr Colour kBackgroundTimeColor = 0xFAE2B7;
inline constexpr Colour kTimeTextColor = 0xA76D46;
inline constexpr Colour kTitleTextColor = 0xA76D46;
inline constexpr Colour kSelectedTitleBackColor = 0xC89248;
inline constexpr Colour kSelectedTimeBackColor = 0xA76D46;
inline constexpr Colour kSelectedBorderColor = 0x8A6544;
inline constexpr Colour kSelectedTitleTextColor = 0xFAE2B7;
inline constexpr Colour kSelectedTimeTextColor = 0xFEF5E9;
inline constexpr Colour kPlayedTitleTextColor = 0x0040C0;
inline constexpr Colour kPlayedTimeTextColor = 0x0040C0;
inline constexpr Colour kPlayedBorderColor = 0x0040C0;
inline constexpr Colour kDragMarkerColor = 0x7E511F;  // red 31, green 81, blue 126
}  // namespace defaults

}  // namespace playlist
