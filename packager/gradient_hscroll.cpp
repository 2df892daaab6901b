#include "gradient_hscroll.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

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

// A box drawn the way the control always drew them: both corners included.
QRect Box(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

void Outline(QPainter& p, const QRect& r, const QColor& c) {
  p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
  p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
  p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
  p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

// The persisted keys with their defaults, in the order they are read and written. The
// outline flag has always been stored as "CellOutLined".
struct Key {
  const char* name;
  int defaultValue;
};
constexpr Key kKeys[] = {
    {"StartRed", 0},   {"StartGreen", 0},    {"StartBlue", 0}, {"EndRed", 255},   {"EndGreen", 255},
    {"EndBlue", 255},  {"CellOutLined", 1},  {"Max", 100},     {"Min", 0},        {"BoxRed", 255},
    {"BoxGreen", 255}, {"BoxBlue", 255},     {"BackRed", 0},   {"BackGreen", 0},  {"BackBlue", 0},
    {"BarRed", 255},   {"BarGreen", 255},    {"BarBlue", 255}, {"BarVisible", 1}, {"BarSolid", 0},
    {"Step", 1},       {"ScrollEnabled", 1}, {"Value", 100},
};

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
  auto read = [&](const Key& key) { return store.Read(key.name).value_or(key.defaultValue); };
  loading_ = true;
  StartRed(read(kKeys[0]));
  StartGreen(read(kKeys[1]));
  StartBlue(read(kKeys[2]));
  EndRed(read(kKeys[3]));
  EndGreen(read(kKeys[4]));
  EndBlue(read(kKeys[5]));
  CellOutlined(read(kKeys[6]) != 0);
  Max(read(kKeys[7]));
  Min(read(kKeys[8]));
  BoxRed(read(kKeys[9]));
  BoxGreen(read(kKeys[10]));
  BoxBlue(read(kKeys[11]));
  BackRed(read(kKeys[12]));
  BackGreen(read(kKeys[13]));
  BackBlue(read(kKeys[14]));
  BarRed(read(kKeys[15]));
  BarGreen(read(kKeys[16]));
  BarBlue(read(kKeys[17]));
  BarVisible(read(kKeys[18]) != 0);
  BarSolid(read(kKeys[19]) != 0);
  Step(read(kKeys[20]));
  ScrollEnabled(read(kKeys[21]) != 0);
  loading_ = false;
  Value(read(kKeys[22]));
}

void GradientHScroll::WriteProperties(platform::PropertyStore& store) const {
  const int values[] = {startRed_,
                        startGreen_,
                        startBlue_,
                        endRed_,
                        endGreen_,
                        endBlue_,
                        cellOutlined_ ? 1 : 0,
                        max_,
                        min_,
                        boxRed_,
                        boxGreen_,
                        boxBlue_,
                        backRed_,
                        backGreen_,
                        backBlue_,
                        barRed_,
                        barGreen_,
                        barBlue_,
                        barVisible_ ? 1 : 0,
                        barSolid_ ? 1 : 0,
                        step_,
                        scrollEnabled_ ? 1 : 0,
                        value_};
  static_assert(std::size(values) == std::size(kKeys));
  for (std::size_t i = 0; i < std::size(kKeys); ++i)
    if (values[i] != kKeys[i].defaultValue) store.Write(kKeys[i].name, values[i]);
}

void GradientHScroll::Resize(int height) {
  height_ = std::max(height, 0);
  Redraw();
}

int GradientHScroll::WidthForRange() const {
  const long cells = long(max_) - long(min_) + 1;
  return static_cast<int>(std::min<long>(cells * step_ + 2, kMaxWidth));
}

QRect GradientHScroll::CellRect(int k) const {
  const int bottom = height_ - 2;
  return Box(k * step_ + 1, 1, k * step_ + step_, bottom);
}

QColor GradientHScroll::CellColour(int k) const {
  const int range = max_ == min_ ? 1 : max_ - min_;
  const float dR = static_cast<float>(endRed_ - startRed_) / static_cast<float>(range);
  const float dG = static_cast<float>(endGreen_ - startGreen_) / static_cast<float>(range);
  const float dB = static_cast<float>(endBlue_ - startBlue_) / static_cast<float>(range);
  return QColor(Component(startRed_, k, dR), Component(startGreen_, k, dG), Component(startBlue_, k, dB));
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
  const QColor back(backRed_, backGreen_, backBlue_);
  const int range = max_ == min_ ? 1 : max_ - min_;
  dR_ = static_cast<float>(endRed_ - startRed_) / static_cast<float>(range);
  dG_ = static_cast<float>(endGreen_ - startGreen_) / static_cast<float>(range);
  dB_ = static_cast<float>(endBlue_ - startBlue_) / static_cast<float>(range);

  if (height_ <= 0) {
    surface_ = QImage();
  } else {
    surface_ = QImage(width_, height_, QImage::Format_RGB32);
    surface_.fill(back);
    QPainter p(&surface_);
    const int last = value_ - min_;
    for (int k = 0; k <= last; ++k) {
      const QRect cell = CellRect(k);
      if (cell.left() >= width_) break;  // past the widest surface
      p.fillRect(cell, CellColour(k));
      if (cellOutlined_ && step_ > 2) Outline(p, cell, back);
    }
    if (barVisible_) {
      const QRect cell = CellRect(last);
      const QColor bar(barRed_, barGreen_, barBlue_);
      if (barSolid_)
        p.fillRect(cell, bar);
      else
        Outline(p, cell, bar);
    }
    Outline(p, QRect(0, 0, width_, height_), QColor(boxRed_, boxGreen_, boxBlue_));
  }
  if (onRedrawn) onRedrawn(width_);
}
