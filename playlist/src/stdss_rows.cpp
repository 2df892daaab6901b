// The row model: creation, adding, removing, clearing and reading rows back.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "playlist/stdss.h"

namespace playlist {

namespace {

constexpr int kTemplateLabelHeight = 12;  // gives the 14-pixel row pitch
constexpr int kTemplateFontPixels = 11;
constexpr int kHolderFontPixels = 12;  // 9 points at 96 dots per inch
// The face of the style holders, by its Windows name; front ends find a stand-in where it is
// not installed.
constexpr const char* kHolderFace = "宋体";
constexpr std::string_view kMark = "I";

bool FitsLong(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

TextElement HolderLabel(const char* text, Colour colour) {
  TextElement label;
  label.text = text;
  label.style = LabelStyle{kHolderFace, true, false, colour};
  label.fontPixelSize = kHolderFontPixels;
  label.box.height = kTemplateLabelHeight;
  return label;
}

}  // namespace

stdSS::stdSS(const TextMeasure& measure, const platform::PropertyStore* store) : measure_(measure) {
  Row t;
  LabelStyle normal{measure_.DefaultFontName(), false, false, defaults::kTitleTextColor};
  for (TextElement* label : {&t.lblevilka, &t.lbls, &t.lblIme, &t.lblSpot}) {
    label->style = normal;
    label->fontPixelSize = kTemplateFontPixels;
    label->box.height = kTemplateLabelHeight;
  }
  t.lblevilka.box.left = 2;
  t.lbls.autoSize = false;
  t.lbls.rightAligned = true;
  t.lbls.box.width = rinasa;
  t.lbls.style.foreColor = defaults::kTimeTextColor;
  t.lblSpot.opaque = true;
  t.lblSpot.backColor = defaults::kBackgroundColor;
  SetText(t.lblSpot, "...");
  t.shpOzadje.fillColor = defaults::kSelectedTitleBackColor;
  t.shpOzadje.bordered = true;
  t.shpOzadje.borderColor = defaults::kSelectedBorderColor;
  t.shpOzadje.box.height = kTemplateLabelHeight + 3;
  t.shps.fillColor = defaults::kBackgroundTimeColor;
  t.shps.box.height = kTemplateLabelHeight + 3;
  t.lblIzbor.box.height = kTemplateLabelHeight + 2;
  t.ta.color = defaults::kSelectedTitleBackColor;
  t.tas.color = defaults::kSelectedTimeBackColor;
  t.taRob.color = defaults::kSelectedBorderColor;
  e_.rows.push_back(t);

  e_.lblevilkaA = HolderLabel("", defaults::kSelectedTitleTextColor);
  e_.lblImeA = HolderLabel("", defaults::kSelectedTitleTextColor);
  e_.lblsA = HolderLabel("Label2A", defaults::kSelectedTimeTextColor);
  e_.lblevilkaB = HolderLabel("", defaults::kPlayedTitleTextColor);
  e_.lblImeB = HolderLabel("", defaults::kPlayedTitleTextColor);
  e_.lblsB = HolderLabel("Label2B", defaults::kPlayedTimeTextColor);
  for (TextElement* label : {&e_.lblevilkaA, &e_.lblImeA, &e_.lblsA, &e_.lblevilkaB, &e_.lblImeB, &e_.lblsB}) {
    Measure(*label);
  }
  e_.shpsA.fillColor = defaults::kSelectedTimeBackColor;
  e_.shpsA.box.width = rinasa;
  e_.shpsB.filled = false;
  e_.shpsB.bordered = true;
  e_.shpsB.borderColor = 0x0080FF;
  e_.picPremik.fillColor = defaults::kDragMarkerColor;
  e_.picPremik.box.height = 3;
  e_.PicOzadje.fillColor = defaults::kBackgroundColor;
  e_.controlBackColor = defaults::kBackgroundColor;

  const platform::MemoryPropertyStore none;
  ReadProperties(store ? *store : static_cast<const platform::PropertyStore&>(none));
}

platform::Status stdSS::NoRow(int i) const {
  return platform::Error{platform::ErrorKind::NoSuchRow, std::string(), 0, i};
}

int stdSS::RowPitch() const { return e_.rows[0].lblevilka.box.height + 2; }

void stdSS::Measure(TextElement& label) {
  if (!label.autoSize) return;
  label.box.width = label.text.empty() ? 0
                                       : measure_.Width(FontLook{label.style.fontName, label.fontPixelSize,
                                                                 label.style.bold, label.style.italic},
                                                        label.text);
}

void stdSS::SetText(TextElement& label, std::string text) {
  label.text = std::move(text);
  Measure(label);
}

void stdSS::RaiseDurationChanged() {
  if (DurationChanged) DurationChanged(SkupensSekund);
}

void stdSS::RaisePlayFile(int i) {
  const std::string fileName = HasRow(i) ? R(i).FileName : std::string();
  if (PlayFile) PlayFile(fileName);
}

platform::Status stdSS::AddItem(const std::string& FileName, const std::string& FileName2,
                                const std::string& Title, const std::string& time,
                                std::int32_t TimeInSeconds) {
  const int n = static_cast<int>(e_.rows.size());
  if (n > kMaxRows) {
    return platform::Error{platform::ErrorKind::TooManyRows};
  }
  const std::int64_t total = std::int64_t{SkupensSekund} + TimeInSeconds;
  if (!FitsLong(total)) {
    return platform::Error{platform::ErrorKind::PlayTimeOverflow};
  }
  ListCount = static_cast<std::int16_t>(n);

  Row fresh = e_.rows[0];
  fresh.lblevilka.visible = fresh.lbls.visible = fresh.lblIme.visible = fresh.lblSpot.visible = false;
  fresh.shpOzadje.visible = fresh.shps.visible = fresh.lblIzbor.visible = false;
  fresh.ta.visible = fresh.tas.visible = fresh.taRob.visible = false;
  fresh.lblIzbor.tag.clear();
  fresh.lblIzbor.toolTip.clear();
  SetText(fresh.lblevilka, std::string());
  SetText(fresh.lblIme, std::string());
  SetText(fresh.lbls, std::string());
  e_.rows.push_back(std::move(fresh));

  SkupensSekund = static_cast<std::int32_t>(total);
  RaiseDurationChanged();
  if (!HasRow(n)) return {};  // a handler emptied the list

  Row& r = R(n);
  const int W = e_.PicOzadje.box.width;
  const int top = (r.lblevilka.box.height + 2) * (n - 1);
  std::string number = std::to_string(n) + ". ";
  if (n < 10) number.insert(0, 1, '0');
  SetText(r.lblevilka, std::move(number));
  r.FileName2 = FileName2;
  r.lblevilka.box.left = 2;
  r.lblevilka.box.top = top + 1;

  SetText(r.lblIme, Title);
  r.FileName = FileName;
  r.lblIme.box.left = r.lblevilka.box.right();
  r.lblIme.box.top = top + 1;

  SetText(r.lbls, time);
  r.lbls.box.width = rinasa;
  r.seconds = TimeInSeconds;
  r.lbls.box.left = W - rinasa + 1;
  r.lbls.box.top = top + 1;

  r.lblSpot.box.left = r.lbls.box.left - r.lblSpot.box.width;
  r.lblSpot.box.top = top + 1;
  const int t = r.lblIme.box.height;
  r.shpOzadje.box = Box{0, top, W, t + 3};
  r.shps.box.left = r.lbls.box.left - 1;
  r.shps.box.top = top;
  r.shps.box.width = W - r.shps.box.left + 1;
  r.shps.box.height = t + 3;
  const int lineY = r.shpOzadje.box.bottom() - 1;
  r.ta = LineElement{1, lineY, r.shps.box.left, lineY, false, r.ta.color};
  r.tas = LineElement{r.shps.box.left, lineY, W - 1, lineY, false, r.tas.color};
  r.taRob = LineElement{W - 1, r.shpOzadje.box.top, W - 1, lineY, false, r.taRob.color};
  r.lblIzbor.box = Box{0, top, W, t + 2};

  r.lblIme.visible = r.lblevilka.visible = r.lbls.visible = r.shps.visible = r.lblIzbor.visible = true;
  r.lblSpot.visible = r.lbls.box.left - r.lblIme.box.left < r.lblIme.box.width;

  SetCanvasSize(e_.PicOzadje.box.width, (r.shpOzadje.box.height - 1) * ListCount + 1);
  e_.PicOzadje.visible = true;
  LegaDrsnika();
  Changed();
  return {};
}

void stdSS::Clear() {
  SkupensSekund = 0;
  RaiseDurationChanged();
  e_.rows.resize(1);
  e_.PicOzadje.visible = false;
  SetCanvasSize(e_.PicOzadje.box.width, 0);
  SetCanvasTop(0);
  if (!AShowScroller) e_.picScroll.visible = false;
  e_.shpsB.visible = false;
  e_.picPremik.visible = false;
  pressedRow_ = 0;
  ListCount = Selected = Playing = 0;
  LegaDrsnika();
  gFileName.clear();
  gFileName2.clear();
  gTitle.clear();
  gTime = "0";
  gTimeInSeconds = 0;
  Changed();
}

platform::Status stdSS::Remove(std::int16_t Index) {
  if (Index < 1) return {};
  if (!HasRow(Index)) return NoRow(Index);
  if (!CanRemove(Index)) return platform::Error{platform::ErrorKind::PlayTimeOverflow};
  RemoveRow(Index);
  return {};
}

bool stdSS::CanRemove(int i) const {
  return HasRow(i) && FitsLong(std::int64_t{SkupensSekund} - e_.rows[static_cast<std::size_t>(i)].seconds);
}

void stdSS::RemoveRow(std::int16_t Index) {
  SkupensSekund = static_cast<std::int32_t>(SkupensSekund - R(Index).seconds);
  RaiseDurationChanged();
  if (!HasRow(Index)) return;  // a handler changed the list

  NePredvajaj = true;
  ListCount = static_cast<std::int16_t>(LastRow() - 1);
  if (ListCount == 0) {
    e_.PicOzadje.visible = false;
  } else {
    SetCanvasSize(e_.PicOzadje.box.width, (R(2).shpOzadje.box.height - 1) * ListCount + 1);
  }

  // The primary selection ends here; its mark goes too, so that no row stays marked for a
  // later multi-delete while it no longer looks selected.
  const int s = HasRow(Selected) ? Selected : 0;
  if (s > 0) DeselectRow(s);

  if (Index < Playing) {
    Play(static_cast<std::int16_t>(Playing - 1));
  } else if (Index == Playing) {
    Playing = 0;
    e_.shpsB.visible = false;
  }

  for (int i = Index; i < LastRow(); ++i) {
    Row& to = R(i);
    const Row& from = R(i + 1);
    to.FileName2 = from.FileName2;
    SetText(to.lblIme, from.lblIme.text);
    to.FileName = from.FileName;
    SetText(to.lbls, from.lbls.text);
    to.seconds = from.seconds;
    to.lblIzbor.tag = from.lblIzbor.tag;
  }
  e_.rows.pop_back();
  // The new last row has no row below it to join.
  if (LastRow() >= 1) R(LastRow()).ta.visible = R(LastRow()).tas.visible = false;

  // Marks and the playing song moved up with their data; the looks of the moved rows follow.
  for (int i = Index; i <= LastRow(); ++i) RestyleFromState(i);
  if (ZatMS) JoinSelectedRows(false);

  Selected = 0;
  NePredvajaj = false;

  const int V = e_.controlHeight;
  const int canvasHeight = e_.PicOzadje.box.height;
  if (V >= canvasHeight) {
    if (e_.PicOzadje.box.top < 0) SetCanvasTop(0);
  } else if (V - e_.PicOzadje.box.top > canvasHeight) {
    SetCanvasTop(V - canvasHeight);
  }
  LegaDrsnika();
  Changed();
}

void stdSS::MultiIzbris() {
  JoinSelectedRows(true);
  // A row whose time cannot come off the total stays, as Remove would leave it. The primary
  // row goes only while it carries its mark: a Ctrl-click may have taken it off.
  if (IsMarked(Selected) && CanRemove(Selected)) RemoveRow(Selected);
  // Walk down from the last row so that the indices of rows not yet visited stay valid.
  for (int k = LastRow(); k >= 1; --k) {
    if (HasRow(k) && R(k).lblIzbor.tag == kMark) {
      Selected = static_cast<std::int16_t>(k);
      if (CanRemove(k)) RemoveRow(static_cast<std::int16_t>(k));
    }
  }
  Changed();
}

platform::Status stdSS::RefreshTitle(const std::string& Title, std::int16_t Index) {
  if (!HasRow(Index)) return NoRow(Index);
  Row& r = R(Index);
  SetText(r.lblIme, Title);
  r.lblSpot.visible = r.lbls.box.left - r.lblIme.box.left < r.lblIme.box.width;
  Changed();
  return {};
}

platform::Status stdSS::RefreshTime(std::int32_t NewTimeInSeconds, const std::string& NewTime,
                                    std::int16_t Index) {
  if (!HasRow(Index)) return NoRow(Index);
  Row& r = R(Index);
  if (r.seconds == NewTimeInSeconds) return {};
  const std::int64_t total = std::int64_t{SkupensSekund} - r.seconds + NewTimeInSeconds;
  if (!FitsLong(total)) {
    return platform::Error{platform::ErrorKind::PlayTimeOverflow};
  }
  SkupensSekund = static_cast<std::int32_t>(total);
  RaiseDurationChanged();
  if (!HasRow(Index)) return {};
  R(Index).seconds = NewTimeInSeconds;
  SetText(R(Index).lbls, NewTime);
  Changed();
  return {};
}

platform::Status stdSS::GetData(std::int16_t Index) {
  if (Index < 1) {
    gFileName.clear();
    gFileName2.clear();
    gTitle.clear();
    gTime.clear();
    gTimeInSeconds = 0;
    return {};
  }
  if (!HasRow(Index)) return NoRow(Index);
  const Row& r = R(Index);
  gFileName = r.FileName;
  gFileName2 = r.FileName2;
  gTitle = r.lblIme.text;
  gTime = r.lbls.text;
  gTimeInSeconds = r.seconds;
  return {};
}

platform::Status stdSS::AddFileName2(const std::string& FileName, std::int16_t Index) {
  if (!HasRow(Index)) return NoRow(Index);
  R(Index).FileName2 = FileName;
  return {};
}

}  // namespace playlist
