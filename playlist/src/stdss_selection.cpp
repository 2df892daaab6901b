// Selection, multi-selection, the playing mark, row dragging, keys and hit-testing.
#include <algorithm>
#include <cmath>
#include <string>

#include "playlist/stdss.h"

namespace playlist {

namespace {

constexpr std::string_view kMark = "I";

int FloorDiv(int a, int b) { return static_cast<int>(std::floor(double(a) / b)); }

}  // namespace

// ---- Styles

stdSS::StyleSet stdSS::NormalStyle() const {
  const Row& t = e_.rows[0];
  return {&t.lblIme, &t.lbls, &t.lblevilka};
}

stdSS::StyleSet stdSS::SelectedStyle() const { return {&e_.lblImeA, &e_.lblsA, &e_.lblevilkaA}; }

stdSS::StyleSet stdSS::PlayedStyle() const { return {&e_.lblImeB, &e_.lblsB, &e_.lblevilkaB}; }

void stdSS::CopyStyle(TextElement& to, const LabelStyle& from) {
  const bool fontChanged =
      to.style.fontName != from.fontName || to.style.bold != from.bold || to.style.italic != from.italic;
  to.style = from;
  if (fontChanged) Measure(to);
}

void stdSS::CopyStyleIfDifferent(TextElement& to, const LabelStyle& from) {
  if (to.style != from) CopyStyle(to, from);
}

void stdSS::ApplyRowStyle(int i, const StyleSet& s) {
  Row& r = R(i);
  CopyStyle(r.lblIme, s.title->style);
  CopyStyle(r.lbls, s.time->style);
  CopyStyle(r.lblevilka, s.number->style);
  CopyStyle(r.lblSpot, s.title->style);
}

void stdSS::PlaceEllipsis(int i) {
  Row& r = R(i);
  TextElement& E = r.lblSpot;
  if (r.lbls.box.left - r.lblIme.box.left >= r.lblIme.box.width) {
    E.visible = false;
    return;
  }
  if (E.box.left != r.lbls.box.left - E.box.width) E.box.left = r.lbls.box.left - E.box.width;
  E.visible = true;
}

void stdSS::FinishRow(int i, Colour background) {
  Row& r = R(i);
  r.lblSpot.backColor = background;
  if (r.lblIme.box.left == r.lblevilka.box.right()) return;
  // A number label restyled to another face changes width and moves the title, so whether
  // the title still fits is decided again.
  r.lblIme.box.left = r.lblevilka.box.right();
  PlaceEllipsis(i);
}

void stdSS::NormalTimeGeometry(int i) {
  Row& r = R(i);
  Box& b = r.shps.box;
  b.left = r.lbls.box.left - 1;
  b.top = (i - 1) * RowPitch();
  b.width = e_.PicOzadje.box.width - b.left + 1;
  b.height = r.lblIme.box.height + 3;
}

void stdSS::SelectedTimeGeometry(int i) {
  Row& r = R(i);
  Box& b = r.shps.box;
  b.top = (i - 1) * RowPitch() + 1;
  b.width = e_.PicOzadje.box.width - b.left;
  b.height = r.lblIme.box.height + 2;
}

void stdSS::DeselectRow(int i) {
  Row& r = R(i);
  r.shpOzadje.visible = false;
  NormalTimeGeometry(i);
  r.shps.fillColor = e_.rows[0].shps.fillColor;
  r.lblIzbor.tag.clear();
  if (i != Playing) {
    ApplyRowStyle(i, NormalStyle());
    PlaceEllipsis(i);
  }
  FinishRow(i, e_.PicOzadje.fillColor);
}

// Selects row i writing only the values that differ, as a Shift range touches every row.
void stdSS::SelectRowIfDifferent(int i) {
  Row& r = R(i);
  if (!r.shpOzadje.visible) r.shpOzadje.visible = true;
  Box wanted = r.shps.box;
  wanted.top = (i - 1) * RowPitch() + 1;
  wanted.width = e_.PicOzadje.box.width - wanted.left;
  wanted.height = r.lblIme.box.height + 2;
  if (r.shps.box != wanted) r.shps.box = wanted;
  if (r.shps.fillColor != e_.shpsA.fillColor) r.shps.fillColor = e_.shpsA.fillColor;
  if (r.lblIzbor.tag != kMark) r.lblIzbor.tag = kMark;
}

void stdSS::RestyleFromState(int i) {
  Row& r = R(i);
  const bool marked = r.lblIzbor.tag == kMark;
  r.ta.visible = r.tas.visible = false;
  if (marked) {
    r.shpOzadje.visible = true;
    NormalTimeGeometry(i);
    SelectedTimeGeometry(i);
    r.shps.fillColor = e_.shpsA.fillColor;
  } else {
    r.shpOzadje.visible = false;
    NormalTimeGeometry(i);
    r.shps.fillColor = e_.rows[0].shps.fillColor;
  }
  ApplyRowStyle(i, i == Playing ? PlayedStyle() : marked ? SelectedStyle() : NormalStyle());
  PlaceEllipsis(i);
  FinishRow(i, marked ? e_.rows[0].shpOzadje.fillColor : e_.PicOzadje.fillColor);
}

void stdSS::ScrollRowIntoView(int r) {
  if (!HasRow(r)) return;
  const int V = e_.controlHeight;
  const int H = R(r).lblIzbor.box.height;
  const int top = e_.PicOzadje.box.top;
  if (V >= e_.PicOzadje.box.height) return;
  if (-top > (r - 1) * H) {
    SetCanvasTop((1 - r) * H);
    LegaDrsnika();
  } else if (V - top < r * H) {
    SetCanvasTop(V - r * H - 1);
    LegaDrsnika();
  }
}

void stdSS::JoinSelectedRows(bool HideAll) {
  const int n = static_cast<int>(e_.rows.size());
  if (HideAll) {
    for (int i = 1; i <= n - 1; ++i) R(i).ta.visible = R(i).tas.visible = false;
    return;
  }
  for (int i = 0; i <= n - 2; ++i) {
    const bool join = R(i).lblIzbor.tag == kMark && R(i + 1).lblIzbor.tag == kMark;
    R(i).ta.visible = R(i).tas.visible = join;
  }
}

// ---- Operations

platform::Status stdSS::SelectIndex(std::int16_t Index) {
  if (Index == Selected && IsMarked(Index)) return {};
  if (!HasRow(Index)) return NoRow(Index);
  SelectRow(Index);
  return {};
}

bool stdSS::IsMarked(int i) const {
  return HasRow(i) && e_.rows[static_cast<std::size_t>(i)].lblIzbor.tag == kMark;
}

void stdSS::SelectRow(std::int16_t Index) {
  // The primary row that a Ctrl-click took the mark off is selected again like any other.
  if (Index == Selected && IsMarked(Index)) return;
  const int s = HasRow(Selected) ? Selected : 0;
  if (s > 0) R(s).shpOzadje.visible = false;
  R(Index).shpOzadje.visible = true;
  if (s > 0) {
    NormalTimeGeometry(s);
    R(s).shps.fillColor = e_.rows[0].shps.fillColor;
    R(s).lblIzbor.tag.clear();
    if (s != Playing) {
      ApplyRowStyle(s, NormalStyle());
      PlaceEllipsis(s);
    }
    FinishRow(s, e_.PicOzadje.fillColor);
  }
  Selected = prvaMultiSelect = Index;
  SelectedTimeGeometry(Index);
  R(Index).shps.fillColor = e_.shpsA.fillColor;
  R(Index).lblIzbor.tag = kMark;
  if (Index != Playing) {
    ApplyRowStyle(Index, SelectedStyle());
    PlaceEllipsis(Index);
  }
  FinishRow(Index, e_.rows[0].shpOzadje.fillColor);
  ScrollRowIntoView(Index);
  NoMS();
  Changed();
}

void stdSS::Play(std::int16_t Index) {
  if (Index == Playing && !NePredvajaj) {
    if (Replay) Replay();
    ScrollRowIntoView(Playing);
    Changed();
    return;
  }
  // Rows that do not exist cannot be marked; the playing mark stays where it is.
  if (Index <= 0 || !HasRow(Index)) return;
  const int P = Playing;
  if (HasRow(P)) {
    // A previous playing row that is (multi-)selected goes back to the selected look.
    ApplyRowStyle(P, R(P).lblIzbor.tag == kMark ? SelectedStyle() : NormalStyle());
    R(P).lblIme.box.left = R(P).lblevilka.box.right();
    PlaceEllipsis(P);
  }
  Playing = Index;
  Row& r = R(Index);
  e_.shpsB.box.top = (Index - 1) * RowPitch();
  e_.shpsB.box.width = e_.PicOzadje.box.width;
  e_.shpsB.box.height = r.lblIme.box.height + 3;
  if (e_.shpsB.box.left != 0) e_.shpsB.box.left = 0;
  e_.shpsB.visible = true;
  CopyStyle(r.lblIme, e_.lblImeB.style);
  CopyStyle(r.lbls, e_.lblsB.style);
  CopyStyle(r.lblevilka, e_.lblevilkaB.style);
  r.lblIme.box.left = r.lblevilka.box.right();
  CopyStyle(r.lblSpot, e_.lblImeB.style);
  PlaceEllipsis(Index);
  ScrollRowIntoView(Index);
  Changed();
  if (!NePredvajaj) RaisePlayFile(Index);
}

platform::Status stdSS::MS(std::int16_t Index) {
  if (!HasRow(Index)) return NoRow(Index);
  MarkRow(Index);
  return {};
}

void stdSS::MarkRow(std::int16_t Index) {
  ZatMS = true;
  if (NanMultiSelect == 1) {
    const int lo = std::min<int>(Index, prvaMultiSelect);
    const int hi = std::max<int>(Index, prvaMultiSelect);
    const StyleSet sel = SelectedStyle();
    const Colour finish = e_.rows[0].shpOzadje.fillColor;
    for (int i = 1; i <= LastRow(); ++i) {
      Row& r = R(i);
      if (i < lo || i > hi) {
        r.ta.visible = r.tas.visible = false;
        if (r.lblIzbor.tag == kMark) DeselectRow(i);
        continue;
      }
      SelectRowIfDifferent(i);
      // The anchor may lie past a list that has since shrunk; the last row joins nothing.
      r.ta.visible = r.tas.visible = i < std::min(hi, LastRow());
      if (i != Playing) {
        CopyStyleIfDifferent(r.lblIme, sel.title->style);
        CopyStyleIfDifferent(r.lbls, sel.time->style);
        CopyStyleIfDifferent(r.lblevilka, sel.number->style);
        CopyStyleIfDifferent(r.lblSpot, sel.title->style);
        PlaceEllipsis(i);
      }
      if (r.lblSpot.backColor != finish) r.lblSpot.backColor = finish;
      if (r.lblIme.box.left != r.lblevilka.box.right()) {
        r.lblIme.box.left = r.lblevilka.box.right();
        PlaceEllipsis(i);
      }
    }
  } else {
    Row& r = R(Index);
    if (r.lblIzbor.tag == kMark) {
      DeselectRow(Index);
    } else if (r.lblIzbor.tag.empty()) {
      SelectRowIfDifferent(Index);
      if (Index != Playing) {
        const StyleSet sel = SelectedStyle();
        CopyStyleIfDifferent(r.lblIme, sel.title->style);
        CopyStyleIfDifferent(r.lbls, sel.time->style);
        CopyStyleIfDifferent(r.lblevilka, sel.number->style);
        CopyStyleIfDifferent(r.lblSpot, sel.title->style);
        PlaceEllipsis(Index);
      }
      const Colour finish = e_.rows[0].shpOzadje.fillColor;
      if (r.lblSpot.backColor != finish) r.lblSpot.backColor = finish;
      if (r.lblIme.box.left != r.lblevilka.box.right()) {
        r.lblIme.box.left = r.lblevilka.box.right();
        PlaceEllipsis(Index);
      }
    }
    JoinSelectedRows(false);
  }
  Changed();
}

void stdSS::NoMS() {
  ZatMS = false;
  for (int i = 1; i <= LastRow(); ++i) {
    Row& r = R(i);
    r.ta.visible = r.tas.visible = false;
    if (i != Selected && r.lblIzbor.tag == kMark) DeselectRow(i);
  }
  Changed();
}

// ---- Row input

void stdSS::SelectOrMark(std::int16_t i) {
  if (MultiSelect) {
    MarkRow(i);
  } else {
    SelectRow(i);
  }
}

void stdSS::RowMouseDown(std::int16_t i, int button) {
  if (!HasRow(i)) return;
  if (button == kLeftButton) {
    pressedRow_ = i;
    SelectOrMark(i);
    return;
  }
  if (R(i).lblIzbor.tag != kMark) SelectOrMark(i);
  Selected = i;
  Changed();
  if (RightClick) RightClick();
}

void stdSS::RowDoubleClick(std::int16_t i) {
  if (MultiSelect || !HasRow(i)) return;
  NePredvajaj = false;
  if (i != Playing || GU) {
    Play(i);
  } else {
    RaisePlayFile(Playing);
    GU = true;
  }
}

int stdSS::DragSlot(int i, int y) const {
  const int H = e_.rows[static_cast<size_t>(i)].lblIzbor.box.height;
  return H > 0 ? FloorDiv((i - 1) * H + y, H) : 0;
}

void stdSS::RowMouseMove(std::int16_t i, int buttons, int y) {
  if (!HasRow(i)) return;
  Row& r = R(i);
  if (buttons != kLeftButton && buttons != kRightButton) {
    const std::string tip = r.lblSpot.visible ? r.lblIme.text : std::string();
    if (r.lblIzbor.toolTip != tip) r.lblIzbor.toolTip = tip;
    return;
  }
  if (buttons != kLeftButton || MultiSelect || ListCount <= 0) return;
  const int H = r.lblIzbor.box.height;
  const int k = DragSlot(i, y);
  e_.picPremik.visible = true;
  if (k * H - 1 < -1) {
    e_.picPremik.box.top = -1;
  } else if (k * H - 1 <= (ListCount - 1) * H) {
    e_.picPremik.box.top = k * H - 1;
  } else {
    e_.picPremik.box.top = (ListCount - 1) * H - 1;
  }
  Changed();
}

void stdSS::RowMouseUp(std::int16_t i, int button, int y) {
  pressedRow_ = 0;
  if (button != kLeftButton || !e_.picPremik.visible || !HasRow(i)) return;
  NePredvajaj = true;
  e_.picPremik.visible = false;
  const int H = R(i).lblIzbor.box.height;
  const int k = DragSlot(i, y);
  int b;
  if (k >= 0 && k * H - 1 <= (ListCount - 1) * H) {
    b = k;
  } else if (k >= 0) {
    b = ListCount - 1;
  } else {
    b = 0;
  }
  const int t = b + 1;
  if (t != i && HasRow(t)) {
    struct Data {
      std::string fileName2, title, fileName, time;
      std::int32_t seconds;
    };
    auto take = [this](int r) {
      const Row& row = R(r);
      return Data{row.FileName2, row.lblIme.text, row.FileName, row.lbls.text, row.seconds};
    };
    auto put = [this](int r, const Data& d) {
      Row& row = R(r);
      row.FileName2 = d.fileName2;
      SetText(row.lblIme, d.title);
      row.FileName = d.fileName;
      SetText(row.lbls, d.time);
      row.seconds = d.seconds;
      PlaceEllipsis(r);
    };
    const Data moving = take(i);
    if (t < i) {
      for (int r = i; r >= t + 1; --r) put(r, take(r - 1));
    } else {
      for (int r = i; r <= t - 1; ++r) put(r, take(r + 1));
    }
    put(t, moving);
    SelectRow(static_cast<std::int16_t>(t));
    // The playing mark follows its song: the dragged one, or one of those it pushed aside.
    if (Playing == i) {
      Play(static_cast<std::int16_t>(t));
    } else if (t < i && t <= Playing && Playing <= i - 1) {
      Play(static_cast<std::int16_t>(Playing + 1));
    } else if (t > i && i <= Playing && Playing <= t) {
      Play(static_cast<std::int16_t>(Playing - 1));
    }
  }
  NePredvajaj = false;
  Changed();
}

void stdSS::BackgroundMouseDown(int button) {
  if (button == kRightButton && RightClick) RightClick();
}

void stdSS::DropData(const DragData& data, std::int32_t& Effect, std::int16_t Button, std::int16_t Shift,
                     float X, float Y) {
  if (OLEDragDrop) OLEDragDrop(data, Effect, Button, Shift, X, Y);
}

void stdSS::KeyDown(int keyCode, int shift) {
  switch (keyCode) {
    case kKeyDown:
      if (ListCount > 0) {
        if (Selected == 0) {
          SelectRow(1);
        } else if (Selected < ListCount) {
          SelectRow(static_cast<std::int16_t>(Selected + 1));
        }
      }
      break;
    case kKeyUp:
      if (ListCount > 0) {
        if (Selected == 0) {
          SelectRow(1);
        } else if (Selected > 1) {
          SelectRow(static_cast<std::int16_t>(Selected - 1));
        }
      }
      break;
    case kKeyReturn:
      if (ZatMS) NoMS();
      NePredvajaj = false;
      // With no row selected there is nothing to play (row 0 is the template).
      if (Selected == 0 || !HasRow(Selected)) break;
      if (GU || Selected != Playing) {
        Play(Selected);
      } else {
        RaisePlayFile(Playing);
        GU = true;
      }
      break;
    case kKeyDelete:
      if (ZatMS) {
        MultiIzbris();
      } else {
        if (IsMarked(Selected) && CanRemove(Selected)) RemoveRow(Selected);
      }
      break;
    default:
      break;
  }
  if (shift == kShiftMask || shift == kCtrlMask) {
    MultiSelect = true;
    NanMultiSelect = static_cast<std::int16_t>(shift);
  } else {
    MultiSelect = false;
    NanMultiSelect = 0;
  }
}

void stdSS::KeyUp() {
  MultiSelect = false;
  NanMultiSelect = 0;
}

// ---- Hit-testing, over the same boxes the drawer paints.

HitResult stdSS::HitTest(int x, int y) const {
  HitResult hit;
  const PictureElement& column = e_.picScroll;
  if (column.visible && column.box.Contains(x, y)) {
    const int cx = x - column.box.left;
    const int cy = y - column.box.top;
    if (e_.PicGor.visible && e_.PicGor.box.Contains(cx, cy)) {
      return {HitResult::Kind::UpButton, 0, cx - e_.PicGor.box.left, cy - e_.PicGor.box.top};
    }
    if (e_.PicDol.visible && e_.PicDol.box.Contains(cx, cy)) {
      return {HitResult::Kind::DownButton, 0, cx - e_.PicDol.box.left, cy - e_.PicDol.box.top};
    }
    const Box& track = e_.PicPoljeDrsnika.box;
    if (track.Contains(cx, cy)) {
      const int tx = cx - track.left;
      const int ty = cy - track.top;
      if (e_.PicDrsnik.visible && e_.PicDrsnik.box.Contains(tx, ty)) {
        return {HitResult::Kind::Thumb, 0, tx, ty - e_.PicDrsnik.box.top};
      }
      return {HitResult::Kind::Track, 0, tx, ty};
    }
    return hit;
  }
  const ShapeElement& canvas = e_.PicOzadje;
  if (!canvas.visible || !canvas.box.Contains(x, y)) return hit;
  const int cy = y - canvas.box.top;
  const int pitch = RowPitch();
  const int guess = pitch > 0 ? cy / pitch + 1 : 1;
  for (int i : {guess, guess - 1, guess + 1}) {
    if (i >= 1 && i <= LastRow() && e_.rows[static_cast<size_t>(i)].lblIzbor.visible &&
        e_.rows[static_cast<size_t>(i)].lblIzbor.box.Contains(x, cy)) {
      const Box& b = e_.rows[static_cast<size_t>(i)].lblIzbor.box;
      return {HitResult::Kind::Row, i, x - b.left, cy - b.top};
    }
  }
  return hit;
}

}  // namespace playlist
