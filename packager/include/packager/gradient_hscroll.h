#pragma once
// GradientHScroll: a row of equal cells whose colours run from a start colour to an end
// colour, filled from the left up to Value, with an optional marker on the current cell. It
// serves as a progress bar and as a horizontal scroll bar the mouse can set.
//
// This is the control's state and drawing without a window: properties, the persisted form,
// the cell geometry and colours, the drawn surface as plain pixels and the mouse rules. A
// front end (GradientHScrollWidget on Qt) copies the surface onto the screen and forwards the
// mouse. Everything is in pixels, and the control chooses its own width from its range and
// cell size. Colours are 0x00BBGGRR references (red in the low byte).

#include <cstdint>
#include <functional>

#include "platform/pixels.h"
#include "platform/property_store.h"

namespace packager {

using Colour = std::uint32_t;

// A rectangle of pixels: columns left .. left + width - 1, rows top .. top + height - 1.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }   // one past the last column
  int bottom() const { return top + height; }  // one past the last row
  bool operator==(const Box&) const = default;
};

class GradientHScroll {
 public:
  // The widest surface drawn. A range of 1,000 cells of 999 pixels each would ask for almost a
  // million pixels; cells past this width are cut off.
  static constexpr int kMaxWidth = 32767;

  // A new instance, every property at its default.
  GradientHScroll();

  // Colour of the first cell (defaults 0, 0, 0), each clamped to 0..255.
  int StartRed() const { return startRed_; }
  void StartRed(int v);
  int StartGreen() const { return startGreen_; }
  void StartGreen(int v);
  int StartBlue() const { return startBlue_; }
  void StartBlue(int v);
  // Colour of the cell at Max (defaults 255, 255, 255).
  int EndRed() const { return endRed_; }
  void EndRed(int v);
  int EndGreen() const { return endGreen_; }
  void EndGreen(int v);
  int EndBlue() const { return endBlue_; }
  void EndBlue(int v);
  // Highest value (default 100): not below Min, not above 999; lowers Value when needed.
  int Max() const { return max_; }
  void Max(int v);
  // Lowest value (default 0): not above Max, not below 0; raises Value when needed.
  int Min() const { return min_; }
  void Min(int v);
  // Frame colour (defaults 255, 255, 255).
  int BoxRed() const { return boxRed_; }
  void BoxRed(int v);
  int BoxGreen() const { return boxGreen_; }
  void BoxGreen(int v);
  int BoxBlue() const { return boxBlue_; }
  void BoxBlue(int v);
  // Background colour, also the colour of the cell outlines (defaults 0, 0, 0).
  int BackRed() const { return backRed_; }
  void BackRed(int v);
  int BackGreen() const { return backGreen_; }
  void BackGreen(int v);
  int BackBlue() const { return backBlue_; }
  void BackBlue(int v);
  // Marker colour (defaults 255, 255, 255).
  int BarRed() const { return barRed_; }
  void BarRed(int v);
  int BarGreen() const { return barGreen_; }
  void BarGreen(int v);
  int BarBlue() const { return barBlue_; }
  void BarBlue(int v);
  // Marker shown (default true); filled rather than outlined (default false).
  bool BarVisible() const { return barVisible_; }
  void BarVisible(bool v);
  bool BarSolid() const { return barSolid_; }
  void BarSolid(bool v);
  // Width of one cell in pixels (default 1), clamped to 1..999.
  int Step() const { return step_; }
  void Step(int v);
  // Current value (default 100), clamped to Min..Max. Setting it from code raises no Change.
  int Value() const { return value_; }
  void Value(int v);
  // The mouse may change Value (default true).
  bool ScrollEnabled() const { return scrollEnabled_; }
  void ScrollEnabled(bool v);
  // Each cell outlined in the background colour (default true); only cells wider than two
  // pixels ever are.
  bool CellOutlined() const { return cellOutlined_; }
  void CellOutlined(bool v);

  // The host's notifications. Every property set stores the clamped value, reports the
  // property's name (as "CellOutlined") through onPropertyChanged and redraws, unless the
  // properties are being loaded in bulk.
  std::function<void(const char* name)> onPropertyChanged;
  // After every redraw, with the control's new width; the host resizes and repaints.
  std::function<void(int width)> onRedrawn;
  // Raised after the user changed Value with the mouse.
  std::function<void()> Change;

  // Loads the persisted keys (each missing key gives its default), redrawing once at the end.
  void ReadProperties(const platform::PropertyStore& store);
  // Stores every property that differs from its default, under its persisted key.
  void WriteProperties(platform::PropertyStore& store) const;
  // True only while properties are set in bulk; no redraw happens then.
  bool Loading() const { return loading_; }

  // The host gave the control a new height in pixels.
  void Resize(int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // A mouse button went down at horizontal pixel position x, whatever the button.
  void MouseDown(double x);
  // The mouse moved to x; `leftButtonAlone` when the left button and no other is held.
  void MouseMove(double x, bool leftButtonAlone);

  // Geometry and colours of the drawing. Cell k (0 = the cell at Min) covers columns
  // k * Step + 1 .. k * Step + Step and rows 1 .. Height() - 2.
  Box CellRect(int k) const;
  Colour CellColour(int k) const;
  // The cell under horizontal pixel position x, before clamping to the range.
  int CellAt(double x) const;
  // The width the current range and cell size ask for.
  int WidthForRange() const;

  // What Redraw last drew, Width() by Height() opaque pixels (empty while the height is 0);
  // it persists until the next redraw.
  const platform::Pixels& Surface() const { return surface_; }

 private:
  void SetColour(std::int16_t& field, int v, const char* name);
  void Changed(const char* name);
  void Redraw();

  std::int16_t startRed_ = 0, startGreen_ = 0, startBlue_ = 0;
  std::int16_t endRed_ = 255, endGreen_ = 255, endBlue_ = 255;
  std::int16_t max_ = 100, min_ = 0;
  std::int16_t boxRed_ = 255, boxGreen_ = 255, boxBlue_ = 255;
  std::int16_t backRed_ = 0, backGreen_ = 0, backBlue_ = 0;
  std::int16_t barRed_ = 255, barGreen_ = 255, barBlue_ = 255;
  bool barVisible_ = true;
  bool barSolid_ = false;
  std::int16_t step_ = 1;
  std::int16_t value_ = 100;
  bool scrollEnabled_ = true;
  bool cellOutlined_ = true;

  bool loading_ = false;
  int width_ = 0;
  int height_ = 0;
  platform::Pixels surface_;
};

}  // namespace packager
