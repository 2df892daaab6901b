// A preview of the player window made of its pictures: the background keyed out over a chequered
// desktop, the panel, the bar box with bars placed the way the bar display places them, the picture
// buttons and the labels in their colours. The left copy shows the buttons normal, the right one
// hovered. Only for looking at; the player does not use it.
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "drawers.h"
#include "player_art.h"

namespace assets::player_art {
namespace {

// Bars in twips of the box, as the bar display draws them, with heights made up for the picture.
void DrawSomeBars(QPainter& p, int seed) {
  p.save();
  p.translate(kBars.topLeft());
  p.scale(1 / 15.0, 1 / 15.0);
  const int height = kBars.height() * 15, pitch = kBars.width() * 15 / 30;
  for (int i = 0; i < 30; ++i) {
    const int level = i < 26 ? int(520 * std::fabs(std::sin(i * 0.7 + seed)) * (1 - i / 40.0)) : 0;
    p.fillRect(QRectF(pitch * i + 20, height - 10 - level, pitch - 50, 10 + level), kBarColour);
  }
  p.restore();
}

QImage Window(bool hover) {
  // The client area, see-through where the background is the key colour or does not reach.
  QImage window(kClient, QImage::Format_ARGB32);
  window.fill(Qt::transparent);
  for (int y = 0; y < std::min(window.height(), kBackground.height()); ++y) {
    for (int x = 0; x < std::min(window.width(), kBackground.width()); ++x) {
      const QColor c = Background().pixelColor(x, y);
      if (c != kSeeThrough) window.setPixelColor(x, y, c);
    }
  }
  QPainter p(&window);
  p.drawImage(kPanel.topLeft(), Panel().copy(0, 0, kPanelShown.width(), kPanelShown.height()));
  p.drawImage(kBars.topLeft(), BarBox().copy(0, 0, kBars.width(), kBars.height()));
  p.setRenderHint(QPainter::Antialiasing);
  DrawSomeBars(p, hover ? 1 : 0);
  p.drawImage(kMinimise.topLeft(), ButtonPicture(PictureButton::kMinimise, hover));
  p.drawImage(kClose.topLeft(), ButtonPicture(PictureButton::kClose, hover));
  p.drawImage(kNext.topLeft(), ButtonPicture(PictureButton::kNext, hover));

  QFont song(QStringLiteral("WenQuanYi Zen Hei"));
  song.setPixelSize(12);
  song.setBold(true);
  QFont plain = song;
  plain.setBold(false);
  const auto label = [&](const QRect& r, const QColor& colour, const QFont& font, const QString& text) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop, text);
  };
  label(kAlbumName, QColor(0x5A, 0x63, 0x7C), song, QStringLiteral("Sonvira · 未命名专辑"));
  label(QRect(2, 2, 97, 13), QColor(0xFF, 0x80, 0x00), song, QStringLiteral("44KHz"));
  label(QRect(196, 0, 28, 12), QColor(0xFF, 0x80, 0x00), song, QStringLiteral("0.00"));
  label(QRect(14, 30, 224, 12), QColor(0x00, 0xFF, 0x00), plain, QStringLiteral("晚风轻轻吹过山岗"));
  label(QRect(2, 36, 41, 16), QColor(0x74, 0xC5, 0xD2), song, QStringLiteral("01:23"));
  label(QRect(180, 38, 45, 20), QColor(0x5A, 0x63, 0x7C), song, QStringLiteral("04:05"));
  label(kSongTitle, QColor(0x3C, 0x43, 0x52), song, QStringLiteral("[晚风]"));
  for (int n = 0; n < 10; ++n) {
    label(QRect(kSongButtonLeft[n], kSongButtonTop, 16, 12), n == 0 ? QColor(0, 255, 0) : Qt::white, plain,
          QString::number(n + 1));
  }
  return window;
}

QImage DrawPreview() {
  constexpr int kGap = 16, kTile = 8;
  QImage image(2 * kClient.width() + 3 * kGap, kClient.height() + 2 * kGap, QImage::Format_RGB32);
  QPainter p(&image);
  for (int y = 0; y < image.height(); y += kTile) {
    for (int x = 0; x < image.width(); x += kTile) {
      p.fillRect(x, y, kTile, kTile, (x + y) / kTile % 2 ? QColor(150, 160, 150) : QColor(190, 200, 190));
    }
  }
  p.drawImage(kGap, kGap, Window(false));
  p.drawImage(2 * kGap + kClient.width(), kGap, Window(true));
  return image;
}

[[maybe_unused]] const bool registered = RegisterDrawer("player_preview.png", &DrawPreview);

}  // namespace
}  // namespace assets::player_art
