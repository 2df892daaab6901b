// The skinned scroller: column layout, thumb size and place, buttons, track, thumb drag and
// the 50 ms repeat timer.
#include <algorithm>
#include <cmath>

#include "playlist/stdss.h"

namespace playlist {

namespace {

// Whole numbers the way the control's arithmetic rounds them: halves to even.
double Round(double v) { return std::nearbyint(v); }

}  // namespace

int stdSS::ThumbTravel() const { return e_.PicPoljeDrsnika.box.height - e_.PicDrsnik.box.height; }

int stdSS::ScrollRange() const { return e_.controlHeight - e_.PicOzadje.box.height; }

void stdSS::SetThumbTop(double top) {
  e_.thumbTop = top;
  e_.PicDrsnik.box.top = e_.PicDrsnikD.box.top = static_cast<int>(Round(top));
}

void stdSS::SetThumbHeight(int height) {
  if (e_.PicDrsnik.box.height == height) return;
  e_.PicDrsnik.box.height = e_.PicDrsnikD.box.height = height;
  e_.PicDrsnikGor.box.top = e_.PicDrsnikDGor.box.top = 0;
  e_.PicDrsnikDol.box.top = e_.PicDrsnikDDol.box.top = height - GUI_SSDrsnikDolVina;
}

void stdSS::SetScroller(std::int16_t sWidth, bool bUP, bool bDown, bool bScaleScroller, std::int16_t bUPWidth,
                        std::int16_t bUPHeight, std::int16_t bDownWidth, std::int16_t bDownHeight,
                        std::int16_t ScrollerHeight) {
  Box& column = e_.picScroll.box;
  column.width = sWidth;
  if (column.left != e_.controlWidth - column.width) column.left = e_.controlWidth - column.width;
  column.height = e_.controlHeight;
  column.top = 0;
  scrollerSet_ = true;
  bUP_ = bUP;
  bDown_ = bDown;
  bUPWidth_ = bUPWidth;
  bUPHeight_ = bUPHeight;
  bDownWidth_ = bDownWidth;
  bDownHeight_ = bDownHeight;
  PlaceScrollerPieces();
  e_.PicDrsnik.box.width = e_.PicDrsnikD.box.width = sWidth;
  bDrsnikMiniVina = ScrollerHeight;
  DrsnikScale = bScaleScroller;
  LegaDrsnika();
  Changed();
}

void stdSS::PlaceScrollerPieces() {
  const int columnHeight = e_.picScroll.box.height;
  int a = 0;
  int b = 0;
  if (bUP_) {
    e_.PicGor.visible = true;
    e_.PicGor.box = Box{0, 0, bUPWidth_, bUPHeight_};
    a = b = bUPHeight_;
  } else {
    e_.PicGor.visible = false;
  }
  if (bDown_) {
    e_.PicDol.visible = true;
    e_.PicDol.box = Box{0, columnHeight - bDownHeight_, bDownWidth_, bDownHeight_};
    b = a + bDownHeight_;
  } else {
    e_.PicDol.visible = false;
  }
  e_.PicPoljeDrsnika.box = Box{0, a, e_.picScroll.box.width, columnHeight - b};
  e_.PicPoljeDrsnika.visible = true;
}

void stdSS::LegaDrsnika() {
  const int Hc = e_.controlHeight;
  const int trackHeight = e_.PicPoljeDrsnika.box.height;
  const int canvasHeight = e_.PicOzadje.box.height;
  // An empty list fits like any short one: no thumb, even while the column stays shown.
  if (canvasHeight <= 0) {
    e_.PicDrsnik.visible = false;
    if (!DrsnikScale) SetThumbHeight(bDrsnikMiniVina);
    return;
  }
  const int L = static_cast<int>(Round(double(Hc) * trackHeight / canvasHeight));
  if (DrsnikScale) {
    if (trackHeight > L) {
      SetThumbHeight(std::max<int>(L, bDrsnikMiniVina));
      e_.PicDrsnik.visible = true;
    } else {
      e_.PicDrsnik.visible = false;
    }
  } else {
    e_.PicDrsnik.visible = trackHeight > L;
    SetThumbHeight(bDrsnikMiniVina);
  }
  if (!e_.PicDrsnik.visible || Hc == canvasHeight) return;
  SetThumbTop(double(ThumbTravel()) * e_.PicOzadje.box.top / ScrollRange());
}

void stdSS::AlwaysShowScroller(bool vrednost) {
  AShowScroller = vrednost;
  LayoutColumn();
  LegaDrsnika();
  Changed();
}

// ---- Buttons

void stdSS::ScrollButtonDown(bool down, int button) {
  if (button != kLeftButton) return;
  if (down) {
    e_.dolPressed = true;
    ShowPiece(e_.PicDol, SkinPiece(GUI_SSDolXD, GUI_SSDolYD, GUI_SSDolrina, GUI_SSDolVina));
  } else {
    e_.gorPressed = true;
    ShowPiece(e_.PicGor, SkinPiece(GUI_SSGorXD, GUI_SSGorYD, GUI_SSGorrina, GUI_SSGorVina));
  }
  e_.tmrScroll.mode = down ? "DOL" : "GOR";
  e_.tmrScroll.Enabled = true;
  Changed();
}

void stdSS::ScrollButtonMove(bool down, int buttons, int x, int y) {
  if (buttons != kLeftButton) return;
  const PictureElement& pic = down ? e_.PicDol : e_.PicGor;
  const bool outside = x < 0 || y < 0 || x > pic.box.width || y > pic.box.height;
  bool& pressed = down ? e_.dolPressed : e_.gorPressed;
  if (pressed == !outside && e_.tmrScroll.Enabled == !outside) return;
  pressed = !outside;
  if (down) {
    ShowPiece(e_.PicDol, outside ? SkinPiece(GUI_SSDolX, GUI_SSDolY, GUI_SSDolrina, GUI_SSDolVina)
                                 : SkinPiece(GUI_SSDolXD, GUI_SSDolYD, GUI_SSDolrina, GUI_SSDolVina));
  } else {
    ShowPiece(e_.PicGor, outside ? SkinPiece(GUI_SSGorX, GUI_SSGorY, GUI_SSGorrina, GUI_SSGorVina)
                                 : SkinPiece(GUI_SSGorXD, GUI_SSGorYD, GUI_SSGorrina, GUI_SSGorVina));
  }
  e_.tmrScroll.Enabled = !outside;
  Changed();
}

void stdSS::ScrollButtonUp(bool down, int button) {
  if (button != kLeftButton) return;
  if (down) {
    e_.dolPressed = false;
    ShowPiece(e_.PicDol, SkinPiece(GUI_SSDolX, GUI_SSDolY, GUI_SSDolrina, GUI_SSDolVina));
  } else {
    e_.gorPressed = false;
    ShowPiece(e_.PicGor, SkinPiece(GUI_SSGorX, GUI_SSGorY, GUI_SSGorrina, GUI_SSGorVina));
  }
  e_.tmrScroll.Enabled = false;
  Changed();
}

// ---- Track and thumb

void stdSS::TrackDown(int button, int y) {
  if (button != kLeftButton) return;
  e_.tmrScroll.mode = y >= e_.thumbTop ? "MDOL" : "MGOR";
  e_.tmrScroll.Enabled = true;
  e_.trackPressY = y;
  e_.PicDrsnikD.visible = true;
  Changed();
}

void stdSS::TrackUp() {
  e_.tmrScroll.Enabled = false;
  e_.tmrScroll.mode.clear();
  e_.trackPressY = 0;
  e_.PicDrsnikD.visible = false;
  Changed();
}

void stdSS::ThumbDown(int button, int y) {
  if (button != kLeftButton) return;
  e_.thumbDragStartY = y;
  e_.PicDrsnikD.visible = true;
  Changed();
}

void stdSS::ThumbMove(int buttons, int y) {
  if (buttons != kLeftButton) return;
  const int travel = ThumbTravel();
  const int range = ScrollRange();
  if (travel <= 0) return;
  const double t = e_.thumbTop + y - e_.thumbDragStartY;
  if (t <= 0) {
    SetThumbTop(0);
    if (e_.PicOzadje.box.top != 0) SetCanvasTop(0);
  } else if (t <= travel) {
    SetThumbTop(t);
    SetCanvasTop(static_cast<int>(Round(range * t / travel)));
  } else {
    SetThumbTop(travel);
    if (e_.PicOzadje.box.top != range) SetCanvasTop(range);
  }
  Changed();
}

void stdSS::ThumbUp() {
  e_.PicDrsnikD.visible = false;
  Changed();
}

void stdSS::CanvasFollowsThumb() {
  const int travel = ThumbTravel();
  const int range = ScrollRange();
  if (e_.thumbTop == 0) {
    if (e_.PicOzadje.box.top != 0) SetCanvasTop(0);
  } else if (e_.thumbTop == travel) {
    if (e_.PicOzadje.box.top != range) SetCanvasTop(range);
  } else if (travel > 0) {
    SetCanvasTop(static_cast<int>(Round(range * e_.thumbTop / travel)));
  }
}

void stdSS::MouseWheel(int notches) {
  const int travel = ThumbTravel();
  const int range = ScrollRange();
  if (notches == 0 || ListCount <= 0 || range >= 0 || travel <= 0 || !e_.PicDrsnik.visible) return;
  // Three rows a notch, moved as a scroller button moves: the thumb steps, the canvas follows.
  const double rows = -3.0 * notches;
  const double top = e_.thumbTop + rows * RowPitch() * travel / -double(range);
  SetThumbTop(std::clamp(top, 0.0, double(travel)));
  CanvasFollowsThumb();
  Changed();
}

void stdSS::ScrollTimerTick() {
  if (!e_.tmrScroll.Enabled) return;
  const int range = ScrollRange();
  const int travel = ThumbTravel();
  // With every row in view (or none at all) there is no step to take.
  if (ListCount <= 0 || range >= 0 || travel <= 0) return;
  const double s = Round((travel / (-double(range) / ListCount)) / 2);
  const std::string& mode = e_.tmrScroll.mode;
  const double top = e_.thumbTop;
  const double half = e_.PicDrsnik.box.height / 2.0;
  const double p = e_.trackPressY;
  const double m = top + half;
  if (mode == "DOL") {
    SetThumbTop(top + s <= travel ? top + s : travel);
  } else if (mode == "GOR") {
    SetThumbTop(top >= s ? top - s : 0);
  } else if (mode == "MGOR") {
    if (m <= p) {
      e_.tmrScroll.Enabled = false;
      Changed();
      return;
    }
    if (top < s) {
      SetThumbTop(0);
    } else if (p - half > top - s) {
      SetThumbTop(p - half);
    } else {
      SetThumbTop(top - s);
    }
  } else if (mode == "MDOL") {
    if (m >= p) {
      e_.tmrScroll.Enabled = false;
      Changed();
      return;
    }
    if (top + s > travel) {
      SetThumbTop(travel);
    } else if (p - half < top + s) {
      SetThumbTop(p - half);
    } else {
      SetThumbTop(top + s);
    }
  } else {
    return;
  }
  CanvasFollowsThumb();
  Changed();
}

}  // namespace playlist
