#include "packager/gradient_hscroll.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <span>

#include "platform/property_table.h"

namespace packager {
namespace {

int Clamp(int v, int lo, int hi) {
  return std::min(std::max(v, lo), hi);
}

// Nearest whole number, halves to the even neighbour.
int RoundHalfEven(double v) {
  return static_cast<int>(std::nearbyint(v));
}

// One colour component of cell k: start + k * increment in single precision, rounded.
int Component(int start, int k, float increment) {
  float v = static_cast<float>(start) + static_cast<float>(k) * increment;
  return Clamp(RoundHalfEven(v), 0, 255);
}

Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

// A 0x00BBGGRR reference as an opaque pixel of the surface (0xAARRGGBB).
std::uint32_t Opaque(Colour c) {
  return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

// A box drawn the way the control always drew them: both corners included.
Box Corners(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1};
}

// Fills the part of `box` that lies on the surface.
void Fill(platform::Pixels& surface, const Box& box, std::uint32_t pixel) {
  const int left = std::max(box.left, 0), right = std::min(box.right(), surface.width);
  const int top = std::max(box.top, 0), bottom = std::min(box.bottom(), surface.height);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y) {
    const auto row = surface.argb.begin() + static_cast<std::ptrdiff_t>(y) * surface.width;
    std::fill(row + left, row + right, pixel);
  }
}

void Outline(platform::Pixels& surface, const Box& box, std::uint32_t pixel) {
  Fill(surface, {box.left, box.top, box.width, 1}, pixel);
  Fill(surface, {box.left, box.bottom() - 1, box.width, 1}, pixel);
  Fill(surface, {box.left, box.top, 1, box.height}, pixel);
  Fill(surface, {box.right() - 1, box.top, 1, box.height}, pixel);
}

// The persisted keys with their defaults, in the order they are read and written. The
// outline flag has always been stored as "CellOutLined". Value comes last: it is clamped to
// the range loaded before it.
using G = GradientHScroll;
constexpr platform::Property<G> kSaved[] = {
    {"StartRed", &G::StartRed, &G::StartRed, 0},
    {"StartGreen", &G::StartGreen, &G::StartGreen, 0},
    {"StartBlue", &G::StartBlue, &G::StartBlue, 0},
    {"EndRed", &G::EndRed, &G::EndRed, 255},
    {"EndGreen", &G::EndGreen, &G::EndGreen, 255},
    {"EndBlue", &G::EndBlue, &G::EndBlue, 255},
    {"CellOutLined", &G::CellOutlined, &G::CellOutlined, true},
    {"Max", &G::Max, &G::Max, 100},
    {"Min", &G::Min, &G::Min, 0},
    {"BoxRed", &G::BoxRed, &G::BoxRed, 255},
    {"BoxGreen", &G::BoxGreen, &G::BoxGreen, 255},
    {"BoxBlue", &G::BoxBlue, &G::BoxBlue, 255},
    {"BackRed", &G::BackRed, &G::BackRed, 0},
    {"BackGreen", &G::BackGreen, &G::BackGreen, 0},
    {"BackBlue", &G::BackBlue, &G::BackBlue, 0},
    {"BarRed", &G::BarRed, &G::BarRed, 255},
    {"BarGreen", &G::BarGreen, &G::BarGreen, 255},
    {"BarBlue", &G::BarBlue, &G::BarBlue, 255},
    {"BarVisible", &G::BarVisible, &G::BarVisible, true},
    {"BarSolid", &G::BarSolid, &G::BarSolid, false},
    {"Step", &G::Step, &G::Step, 1},
    {"ScrollEnabled", &G::ScrollEnabled, &G::ScrollEnabled, true},
    {"Value", &G::Value, &G::Value, 100},
};
static_assert(kSaved[std::size(kSaved) - 1].name() == "Value");

}  // namespace

GradientHScroll::GradientHScroll() {
  loading_ = true;
  StartRed(0);
  StartGreen(0);
  StartBlue(0);
  EndRed(255);
  EndGreen(255);
  EndBlue(255);
  Max(100);
  Min(0);
  BoxRed(255);
  BoxGreen(255);
  BoxBlue(255);
  BackRed(0);
  BackGreen(0);
  BackBlue(0);
  BarRed(255);
  BarGreen(255);
  BarBlue(255);
  BarVisible(true);
  BarSolid(false);
  Step(1);
  loading_ = false;
  Value(100);
  ScrollEnabled(true);
  CellOutlined(true);
}

void GradientHScroll::Changed(const char* name) {
  if (onPropertyChanged) onPropertyChanged(name);
  if (!loading_) Redraw();
}

void GradientHScroll::SetColour(std::int16_t& field, int v, const char* name) {
  field = static_cast<std::int16_t>(Clamp(v, 0, 255));
  Changed(name);
}

void GradientHScroll::StartRed(int v) {
  SetColour(startRed_, v, "StartRed");
}
void GradientHScroll::StartGreen(int v) {
  SetColour(startGreen_, v, "StartGreen");
}
void GradientHScroll::StartBlue(int v) {
  SetColour(startBlue_, v, "StartBlue");
}
void GradientHScroll::EndRed(int v) {
  SetColour(endRed_, v, "EndRed");
}
void GradientHScroll::EndGreen(int v) {
  SetColour(endGreen_, v, "EndGreen");
}
void GradientHScroll::EndBlue(int v) {
  SetColour(endBlue_, v, "EndBlue");
}
void GradientHScroll::BoxRed(int v) {
  SetColour(boxRed_, v, "BoxRed");
}
void GradientHScroll::BoxGreen(int v) {
  SetColour(boxGreen_, v, "BoxGreen");
}
void GradientHScroll::BoxBlue(int v) {
  SetColour(boxBlue_, v, "BoxBlue");
}
void GradientHScroll::BackRed(int v) {
  SetColour(backRed_, v, "BackRed");
}
void GradientHScroll::BackGreen(int v) {
  SetColour(backGreen_, v, "BackGreen");
}
void GradientHScroll::BackBlue(int v) {
  SetColour(backBlue_, v, "BackBlue");
}
void GradientHScroll::BarRed(int v) {
  SetColour(barRed_, v, "BarRed");
}
void GradientHScroll::BarGreen(int v) {
  SetColour(barGreen_, v, "BarGreen");
}
void GradientHScroll::BarBlue(int v) {
  SetColour(barBlue_, v, "BarBlue");
}

void GradientHScroll::Max(int v) {
  max_ = static_cast<std::int16_t>(Clamp(v, min_, 999));
  if (value_ > max_) {
    value_ = max_;
    if (onPropertyChanged) onPropertyChanged("Value");
  }
  Changed("Max");
}

void GradientHScroll::Min(int v) {
  min_ = static_cast<std::int16_t>(Clamp(v, 0, max_));
  if (value_ < min_) {
    value_ = min_;
    if (onPropertyChanged) onPropertyChanged("Value");
  }
  Changed("Min");
}

void GradientHScroll::BarVisible(bool v) {
  barVisible_ = v;
  Changed("BarVisible");
}

void GradientHScroll::BarSolid(bool v) {
  barSolid_ = v;
  Changed("BarSolid");
}

void GradientHScroll::Step(int v) {
  step_ = static_cast<std::int16_t>(Clamp(v, 1, 999));
  Changed("Step");
}

void GradientHScroll::Value(int v) {
  value_ = static_cast<std::int16_t>(Clamp(v, min_, max_));
  Changed("Value");
}

void GradientHScroll::ScrollEnabled(bool v) {
  scrollEnabled_ = v;
  Changed("ScrollEnabled");
}

void GradientHScroll::CellOutlined(bool v) {
  cellOutlined_ = v;
  Changed("CellOutlined");
}

void GradientHScroll::ReadProperties(const platform::PropertyStore& store) {
  // Everything but Value in bulk, without redrawing; then Value, within the loaded range,
  // which redraws once.
  const std::span<const platform::Property<G>> saved(kSaved);
  loading_ = true;
  platform::LoadProperties(saved.first(saved.size() - 1), *this, store);
  loading_ = false;
  platform::LoadProperties(saved.last(1), *this, store);
}

void GradientHScroll::WriteProperties(platform::PropertyStore& store) const {
  platform::SaveProperties(kSaved, *this, store);
}

void GradientHScroll::Resize(int height) {
  height_ = std::max(height, 0);
  Redraw();
}

int GradientHScroll::WidthForRange() const {
  const long cells = long(max_) - long(min_) + 1;
  return static_cast<int>(std::min<long>(cells * step_ + 2, kMaxWidth));
}

Box GradientHScroll::CellRect(int k) const {
  const int bottom = height_ - 2;
  return Corners(k * step_ + 1, 1, k * step_ + step_, bottom);
}

Colour GradientHScroll::CellColour(int k) const {
  const int range = max_ == min_ ? 1 : max_ - min_;
  const float dR = static_cast<float>(endRed_ - startRed_) / static_cast<float>(range);
  const float dG = static_cast<float>(endGreen_ - startGreen_) / static_cast<float>(range);
  const float dB = static_cast<float>(endBlue_ - startBlue_) / static_cast<float>(range);
  return Rgb(Component(startRed_, k, dR), Component(startGreen_, k, dG), Component(startBlue_, k, dB));
}

int GradientHScroll::CellAt(double x) const {
  const int pixel = RoundHalfEven(x);
  return RoundHalfEven(static_cast<double>(pixel) / static_cast<double>(step_));
}

void GradientHScroll::MouseDown(double x) {
  if (!scrollEnabled_) return;
  Value(min_ + CellAt(x));
  if (Change) Change();
}

void GradientHScroll::MouseMove(double x, bool leftButtonAlone) {
  if (!leftButtonAlone || !scrollEnabled_) return;
  Value(Clamp(min_ + CellAt(x), min_, max_));
  if (Change) Change();
}

void GradientHScroll::Redraw() {
  width_ = WidthForRange();
  surface_ = platform::Pixels();
  if (height_ > 0) {
    const std::uint32_t back = Opaque(Rgb(backRed_, backGreen_, backBlue_));
    surface_.width = width_;
    surface_.height = height_;
    surface_.argb.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), back);
    const int last = value_ - min_;
    for (int k = 0; k <= last; ++k) {
      const Box cell = CellRect(k);
      if (cell.left >= width_) break;  // past the widest surface
      Fill(surface_, cell, Opaque(CellColour(k)));
      if (cellOutlined_ && step_ > 2) Outline(surface_, cell, back);
    }
    if (barVisible_) {
      const Box cell = CellRect(last);
      const std::uint32_t bar = Opaque(Rgb(barRed_, barGreen_, barBlue_));
      if (barSolid_)
        Fill(surface_, cell, bar);
      else
        Outline(surface_, cell, bar);
    }
    Outline(surface_, {0, 0, width_, height_}, Opaque(Rgb(boxRed_, boxGreen_, boxBlue_)));
  }
  if (onRedrawn) onRedrawn(width_);
}

}  // namespace packager
