// Layout of canvas and scroller column, the skin pieces, and the twelve colour properties.
#include "platform/property_table.h"
#include "playlist/stdss.h"

namespace playlist {

namespace {

constexpr std::string_view kMark = "I";

// The twelve colours, in the fixed order in which they are loaded and saved.
const platform::Property<stdSS> kColourProperties[] = {
    {"BackgroundColor", &stdSS::BackgroundColor, &stdSS::BackgroundColor, defaults::kBackgroundColor},
    {"SelectedBorderColor", &stdSS::SelectedBorderColor, &stdSS::SelectedBorderColor,
     defaults::kSelectedBorderColor},
    {"SelectedTitleBackColor", &stdSS::SelectedTitleBackColor, &stdSS::SelectedTitleBackColor,
     defaults::kSelectedTitleBackColor},
    {"SelectedTimeBackColor", &stdSS::SelectedTimeBackColor, &stdSS::SelectedTimeBackColor,
     defaults::kSelectedTimeBackColor},
    {"BackgroundTimeColor", &stdSS::BackgroundTimeColor, &stdSS::BackgroundTimeColor,
     defaults::kBackgroundTimeColor},
    {"TimeTextColor", &stdSS::TimeTextColor, &stdSS::TimeTextColor, defaults::kTimeTextColor},
    {"TitleTextColor", &stdSS::TitleTextColor, &stdSS::TitleTextColor, defaults::kTitleTextColor},
    {"SelectedTitleTextColor", &stdSS::SelectedTitleTextColor, &stdSS::SelectedTitleTextColor,
     defaults::kSelectedTitleTextColor},
    {"SelectedTimeTextColor", &stdSS::SelectedTimeTextColor, &stdSS::SelectedTimeTextColor,
     defaults::kSelectedTimeTextColor},
    {"PlayedTimeTextColor", &stdSS::PlayedTimeTextColor, &stdSS::PlayedTimeTextColor,
     defaults::kPlayedTimeTextColor},
    {"PlayedTitleTextColor", &stdSS::PlayedTitleTextColor, &stdSS::PlayedTitleTextColor,
     defaults::kPlayedTitleTextColor},
    {"PlayedBorderColor", &stdSS::PlayedBorderColor, &stdSS::PlayedBorderColor, defaults::kPlayedBorderColor},
};

}  // namespace

// ---- Canvas and column

void stdSS::SetCanvasSize(int width, int height) {
  Box& c = e_.PicOzadje.box;
  if (c.width == width && c.height == height) return;
  c.width = width;
  c.height = height;
  CanvasResized();
}

void stdSS::SetCanvasTop(int top) { e_.PicOzadje.box.top = top; }

void stdSS::CanvasResized() {
  const int canvasHeight = e_.PicOzadje.box.height;
  int W = e_.PicOzadje.box.width;
  e_.shpsA.box.left = W - rinasa;
  e_.shpsA.box.top = 0;
  e_.shpsA.box.height = canvasHeight + 50;
  e_.picPremik.box.left = 0;
  e_.picPremik.box.width = W;
  LayoutColumn();
  W = e_.PicOzadje.box.width;
  for (int i = 1; i <= LastRow(); ++i) {
    Row& r = R(i);
    r.ta.x2 = r.shps.box.left;
    r.tas.x1 = r.shps.box.left;
    r.tas.x2 = W - 1;
    r.taRob.x1 = r.taRob.x2 = W - 1;
  }
}

void stdSS::LayoutColumn() {
  const int Wc = e_.controlWidth;
  const int Hc = e_.controlHeight;
  const int canvasHeight = e_.PicOzadje.box.height;
  if (Hc >= canvasHeight && !AShowScroller) {
    SetCanvasSize(Wc, canvasHeight);
    e_.picScroll.visible = false;
  } else {
    SetCanvasSize(Wc - e_.picScroll.box.width, canvasHeight);
    e_.picScroll.box.left = e_.PicOzadje.box.width;
    e_.picScroll.box.height = Hc;
    e_.picScroll.box.top = 0;
    e_.picScroll.visible = true;
  }
  Poravnaj();
}

void stdSS::Poravnaj() {
  const int W = e_.PicOzadje.box.width;
  for (int i = 1; i <= LastRow(); ++i) {
    Row& r = R(i);
    r.lbls.box.left = W - rinasa + 1;
    r.lblSpot.box.left = r.lbls.box.left - r.lblSpot.box.width;
    r.lblSpot.visible = r.lbls.box.left - r.lblIme.box.left < r.lblIme.box.width;
    r.shpOzadje.box.width = W;
    r.shps.box.left = r.lbls.box.left - 1;
    r.lblIzbor.box.width = W;
  }
  e_.shpsB.box.width = W;
}

void stdSS::ControlResized(int widthPx, int heightPx) {
  const int oldColumnHeight = e_.picScroll.box.height;
  e_.controlWidth = widthPx;
  e_.controlHeight = heightPx;
  const int Wc = widthPx;
  const int Hc = heightPx;
  e_.PicOzadje.box.left = 0;
  if (Wc != e_.PicOzadje.box.width) SetCanvasSize(Wc, e_.PicOzadje.box.height);
  if (e_.PicOzadje.box.top > 0) SetCanvasTop(0);
  e_.PicOzadje.visible = ListCount != 0;
  LayoutColumn();
  const int canvasHeight = e_.PicOzadje.box.height;
  if (Hc > e_.PicOzadje.box.top + canvasHeight) SetCanvasTop(Hc - canvasHeight >= 0 ? 0 : Hc - canvasHeight);
  // The buttons and the track are laid out for the column height; a taller or shorter control
  // would otherwise leave the down button and the thumb travel where they were.
  if (scrollerSet_) {
    e_.picScroll.box.height = Hc;
    e_.picScroll.box.left = Wc - e_.picScroll.box.width;
    if (oldColumnHeight != Hc) PlaceScrollerPieces();
    LegaDrsnika();
  }
  Changed();
}

// ---- Skin

// The skin values count the picture's logical pixels; the front end copies them at the
// picture's own density.
SkinRect stdSS::SkinPiece(int x, int y, int w, int h) const {
  if (PictureData.empty() || w <= 0 || h <= 0) return SkinRect();
  return SkinRect{x, y, w, h};
}

void stdSS::ShowPiece(PictureElement& pic, SkinRect piece) {
  pic.piece = piece;
  pic.tileTops.assign(piece.empty() ? 0 : 1, 0);
  pic.imageWidth = piece.empty() ? 0 : piece.width;
  pic.imageHeight = piece.empty() ? 0 : piece.height;
}

void stdSS::GUI() {
  auto strip = [this](PictureElement& pic, int width, int tileHeight, int x, int y) {
    pic.box.height = kSkinStripHeight;
    pic.box.width = width;
    pic.piece = SkinRect();
    pic.tileTops.clear();
    pic.imageWidth = width > 0 ? width : 0;
    pic.imageHeight = width > 0 ? kSkinStripHeight : 0;
    const SkinRect tile = SkinPiece(x, y, width, tileHeight);
    if (tile.empty()) return;  // an unusable tile leaves the strip unpainted
    pic.piece = tile;
    for (int i = 0; i <= kSkinStripHeight / tileHeight; ++i) pic.tileTops.push_back(i * tileHeight);
  };

  strip(e_.PicPoljeDrsnika, GUI_SSOzadjerina, GUI_SSOzadjeVina, GUI_SSOzadjeX, GUI_SSOzadjeY);
  strip(e_.PicDrsnik, GUI_SSDrsnikOzadjerina, GUI_SSDrsnikOzadjeVina, GUI_SSDrsnikOzadjeX, GUI_SSDrsnikOzadjeY);
  strip(e_.PicDrsnikD, GUI_SSDrsnikOzadjerina, GUI_SSDrsnikOzadjeVina, GUI_SSDrsnikOzadjeXD,
        GUI_SSDrsnikOzadjeYD);
  e_.PicDrsnikD.visible = false;
  e_.PicDrsnikD.box.left = 0;

  auto cap = [this](PictureElement& pic, int w, int h, int x, int y) {
    pic.box.width = w;
    pic.box.height = h;
    pic.box.left = 0;
    ShowPiece(pic, SkinPiece(x, y, w, h));
    pic.visible = true;
  };
  cap(e_.PicDrsnikGor, GUI_SSDrsnikGorrina, GUI_SSDrsnikGorVina, GUI_SSDrsnikGorX, GUI_SSDrsnikGorY);
  cap(e_.PicDrsnikDGor, GUI_SSDrsnikGorrina, GUI_SSDrsnikGorVina, GUI_SSDrsnikGorXD, GUI_SSDrsnikGorYD);
  cap(e_.PicDrsnikDol, GUI_SSDrsnikDolrina, GUI_SSDrsnikDolVina, GUI_SSDrsnikDolX, GUI_SSDrsnikDolY);
  cap(e_.PicDrsnikDDol, GUI_SSDrsnikDolrina, GUI_SSDrsnikDolVina, GUI_SSDrsnikDolXD, GUI_SSDrsnikDolYD);

  e_.PicDol.box.width = GUI_SSDolrina;
  e_.PicDol.box.height = GUI_SSDolVina;
  ShowPiece(e_.PicDol, SkinPiece(GUI_SSDolX, GUI_SSDolY, GUI_SSDolrina, GUI_SSDolVina));
  e_.dolPressed = false;
  e_.PicGor.box.width = GUI_SSGorrina;
  e_.PicGor.box.height = GUI_SSGorVina;
  ShowPiece(e_.PicGor, SkinPiece(GUI_SSGorX, GUI_SSGorY, GUI_SSGorrina, GUI_SSGorVina));
  e_.gorPressed = false;
  Changed();
}

// ---- Colours

Colour stdSS::BackgroundColor() const { return e_.PicOzadje.fillColor; }
void stdSS::BackgroundColor(Colour Color) {
  e_.PicOzadje.fillColor = Color;
  e_.controlBackColor = Color;
  // The "..." of a row in the normal style is backed by the canvas colour; new rows copy it
  // from the template.
  for (int i = 0; i <= LastRow(); ++i) {
    if (i == 0 || R(i).lblIzbor.tag != kMark) R(i).lblSpot.backColor = Color;
  }
  Changed();
}

Colour stdSS::BackgroundTimeColor() const { return e_.rows[0].shps.fillColor; }
void stdSS::BackgroundTimeColor(Colour Color) {
  for (int i = 0; i <= LastRow(); ++i) {
    if (i == 0 || R(i).lblIzbor.tag != kMark) R(i).shps.fillColor = Color;
  }
  Changed();
}

Colour stdSS::TimeTextColor() const { return e_.rows[0].lbls.style.foreColor; }
void stdSS::TimeTextColor(Colour Color) {
  for (int i = 0; i <= LastRow(); ++i) {
    if (i == 0 || (R(i).lblIzbor.tag != kMark && i != Playing)) R(i).lbls.style.foreColor = Color;
  }
  Changed();
}

Colour stdSS::TitleTextColor() const { return e_.rows[0].lblIme.style.foreColor; }
void stdSS::TitleTextColor(Colour Color) {
  for (int i = 0; i <= LastRow(); ++i) {
    if (i == 0 || (R(i).lblIzbor.tag != kMark && i != Playing)) {
      R(i).lblIme.style.foreColor = R(i).lblevilka.style.foreColor = R(i).lblSpot.style.foreColor = Color;
    }
  }
  Changed();
}

Colour stdSS::SelectedTitleBackColor() const { return e_.rows[0].shpOzadje.fillColor; }
void stdSS::SelectedTitleBackColor(Colour Color) {
  for (int i = 0; i <= LastRow(); ++i) {
    R(i).shpOzadje.fillColor = Color;
    R(i).ta.color = Color;
    if (i > 0 && R(i).lblIzbor.tag == kMark && i != Playing) R(i).lblSpot.backColor = Color;
  }
  Changed();
}

Colour stdSS::SelectedTimeBackColor() const { return e_.shpsA.fillColor; }
void stdSS::SelectedTimeBackColor(Colour Color) {
  e_.shpsA.fillColor = Color;
  for (int i = 0; i <= LastRow(); ++i) {
    R(i).tas.color = Color;
    if (i > 0 && R(i).lblIzbor.tag == kMark) R(i).shps.fillColor = Color;
  }
  Changed();
}

Colour stdSS::SelectedBorderColor() const { return e_.rows[0].shpOzadje.borderColor; }
void stdSS::SelectedBorderColor(Colour Color) {
  for (int i = 0; i <= LastRow(); ++i) R(i).shpOzadje.borderColor = Color;
  Changed();
}

Colour stdSS::SelectedTitleTextColor() const { return e_.lblImeA.style.foreColor; }
void stdSS::SelectedTitleTextColor(Colour Color) {
  e_.lblImeA.style.foreColor = e_.lblevilkaA.style.foreColor = Color;
  for (int i = 1; i <= LastRow(); ++i) {
    if (R(i).lblIzbor.tag == kMark && i != Playing) {
      R(i).lblIme.style.foreColor = R(i).lblevilka.style.foreColor = R(i).lblSpot.style.foreColor = Color;
    }
  }
  Changed();
}

Colour stdSS::SelectedTimeTextColor() const { return e_.lblsA.style.foreColor; }
void stdSS::SelectedTimeTextColor(Colour Color) {
  e_.lblsA.style.foreColor = Color;
  for (int i = 1; i <= LastRow(); ++i) {
    if (R(i).lblIzbor.tag == kMark && i != Playing) R(i).lbls.style.foreColor = Color;
  }
  Changed();
}

Colour stdSS::PlayedTitleTextColor() const { return e_.lblImeB.style.foreColor; }
void stdSS::PlayedTitleTextColor(Colour Color) {
  e_.lblImeB.style.foreColor = e_.lblevilkaB.style.foreColor = Color;
  if (HasRow(Playing)) {
    Row& r = R(Playing);
    r.lblIme.style.foreColor = r.lblevilka.style.foreColor = r.lblSpot.style.foreColor = Color;
  }
  Changed();
}

Colour stdSS::PlayedTimeTextColor() const { return e_.lblsB.style.foreColor; }
void stdSS::PlayedTimeTextColor(Colour Color) {
  e_.lblsB.style.foreColor = Color;
  if (HasRow(Playing)) R(Playing).lbls.style.foreColor = Color;
  Changed();
}

Colour stdSS::PlayedBorderColor() const { return e_.shpsB.borderColor; }
void stdSS::PlayedBorderColor(Colour Color) {
  e_.shpsB.borderColor = Color;
  Changed();
}

void stdSS::ReadProperties(const platform::PropertyStore& store) {
  platform::LoadProperties(kColourProperties, *this, store);
}

void stdSS::WriteProperties(platform::PropertyStore& store) const {
  platform::SaveProperties(kColourProperties, *this, store);
}

}  // namespace playlist
