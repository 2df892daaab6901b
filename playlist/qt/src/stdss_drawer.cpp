// Paints the control's element records. Nothing is decided here: every box, colour, text and
// visibility comes from the model, so what is painted is what tests read and what is hit.
#include <QPainter>

#include <algorithm>

#include "label_font.h"
#include "playlist/qt_pictures.h"
#include "playlist/qt_text_measure.h"
#include "playlist/stdss_widget.h"

namespace playlist {

namespace {

// A piece of the skin at the skin's density. The skin values count the picture's logical
// pixels; a picture drawn for a denser screen gives its pieces at its own density.
QImage SkinPiece(const QImage& skin, const SkinRect& r) {
  if (skin.isNull() || r.empty()) return QImage();
  const qreal ratio = skin.devicePixelRatio();
  const auto device = [ratio](int v) { return qRound(v * ratio); };
  QImage piece = skin.copy(device(r.x), device(r.y), device(r.width), device(r.height))
                     .convertToFormat(QImage::Format_RGB32);
  piece.setDevicePixelRatio(ratio);
  return piece;
}

// What GUI copied into the picture box's image, with the image's top-left corner at `origin`.
void PaintPictureContent(QPainter& p, const QImage& skin, const PictureElement& pic, QPointF origin) {
  const QImage piece = SkinPiece(skin, pic.piece);
  if (piece.isNull()) return;
  for (int top : pic.tileTops) p.drawImage(origin + QPointF(0, top), piece);
}

void PaintShape(QPainter& p, const ShapeElement& s) {
  if (!s.visible || s.box.width <= 0 || s.box.height <= 0) return;
  const QRect r(s.box.left, s.box.top, s.box.width, s.box.height);
  if (s.filled) p.fillRect(r, ToQColor(s.fillColor));
  if (s.bordered) {
    p.setPen(QPen(ToQColor(s.borderColor), 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

void PaintText(QPainter& p, const TextElement& t) {
  if (!t.visible) return;
  if (t.opaque) p.fillRect(QRect(t.box.left, t.box.top, t.box.width, t.box.height), ToQColor(t.backColor));
  if (t.text.empty()) return;
  p.setFont(LabelFont(t));
  p.setPen(ToQColor(t.style.foreColor));
  int x = t.box.left;
  if (t.rightAligned) {
    x = t.box.right() -
        QtTextMeasure().Width(FontLook{t.style.fontName, t.fontPixelSize, t.style.bold, t.style.italic},
                              t.text);
  }
  // A label of fixed width (the time) keeps a longer text inside its box rather than
  // spilling over the title beside it.
  const bool clip = !t.autoSize;
  if (clip) {
    p.save();
    p.setClipRect(QRect(t.box.left, t.box.top, t.box.width, t.box.height), Qt::IntersectClip);
  }
  p.drawText(QPoint(x, t.box.top + TextBaseline(t)), QString::fromStdString(t.text));
  if (clip) p.restore();
}

void PaintLine(QPainter& p, const LineElement& l) {
  if (!l.visible) return;
  p.setPen(QPen(ToQColor(l.color), 0));
  p.drawLine(l.x1, l.y1, l.x2, l.y2);
}

// A picture box showing the top-left part of its image, clipped to the box.
void PaintPicture(QPainter& p, const QImage& skin, const PictureElement& pic, int dx, int dy) {
  const int width = std::min(pic.box.width, pic.imageWidth);
  const int height = std::min(pic.box.height, pic.imageHeight);
  if (!pic.visible || width <= 0 || height <= 0) return;
  p.save();
  p.setClipRect(QRect(pic.box.left + dx, pic.box.top + dy, width, height), Qt::IntersectClip);
  PaintPictureContent(p, skin, pic, QPointF(pic.box.left + dx, pic.box.top + dy));
  p.restore();
}

void PaintThumb(QPainter& p, const QImage& skin, const PictureElement& body, const PictureElement& topCap,
                const PictureElement& bottomCap, int trackLeft, int trackTop) {
  const int x = trackLeft + body.box.left;
  const int y = trackTop + body.box.top;
  p.save();
  p.setClipRect(QRect(x, y, body.box.width, body.box.height), Qt::IntersectClip);
  PaintPicture(p, skin, body, trackLeft, trackTop);
  PaintPicture(p, skin, topCap, x, y);
  PaintPicture(p, skin, bottomCap, x, y);
  p.restore();
}

}  // namespace

QColor ToQColor(Colour colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

platform::Pixels ToPixels(const QImage& image) {
  platform::Pixels pixels;
  if (image.isNull()) return pixels;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  pixels.width = argb.width();
  pixels.height = argb.height();
  pixels.pixelRatio = argb.devicePixelRatio();
  pixels.argb.reserve(static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height));
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
    pixels.argb.insert(pixels.argb.end(), line, line + argb.width());
  }
  return pixels;
}

QImage ImageView(const platform::Pixels& pixels) {
  if (pixels.empty()) return QImage();
  QImage view(reinterpret_cast<const uchar*>(pixels.argb.data()), pixels.width, pixels.height,
              static_cast<qsizetype>(pixels.width) * 4, QImage::Format_ARGB32);
  view.setDevicePixelRatio(pixels.pixelRatio);
  return view;
}

QImage PictureImage(const stdSS& control, const PictureElement& pic) {
  if (pic.imageWidth <= 0 || pic.imageHeight <= 0) return QImage();
  const QImage skin = ImageView(control.PictureData);
  const qreal ratio = skin.isNull() ? 1.0 : skin.devicePixelRatio();
  QImage image(qRound(pic.imageWidth * ratio), qRound(pic.imageHeight * ratio),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  PaintPictureContent(p, skin, pic, QPointF(0, 0));
  return image;
}

void PaintStdSS(QPainter& p, const stdSS& control) {
  const Elements& e = control.elements();
  const QImage skin = ImageView(control.PictureData);
  p.fillRect(QRect(0, 0, e.controlWidth, e.controlHeight), ToQColor(e.controlBackColor));

  const ShapeElement& canvas = e.PicOzadje;
  if (canvas.visible && canvas.box.width > 0 && canvas.box.height > 0) {
    p.save();
    p.setClipRect(QRect(canvas.box.left, canvas.box.top, canvas.box.width, canvas.box.height));
    p.translate(canvas.box.left, canvas.box.top);
    p.fillRect(QRect(0, 0, canvas.box.width, canvas.box.height), ToQColor(canvas.fillColor));
    const int pitch = control.RowPitch();
    const int last = static_cast<int>(e.rows.size()) - 1;
    // Only the rows in view are painted; the clip makes no difference to them.
    const int first = pitch > 0 ? std::max(1, -canvas.box.top / pitch) : 1;
    const int end = pitch > 0 ? std::min(last, (e.controlHeight - canvas.box.top) / pitch + 2) : last;
    // Backgrounds and titles lie behind everything else, later rows further back.
    for (int i = end; i >= first; --i) {
      PaintShape(p, e.rows[static_cast<size_t>(i)].shpOzadje);
      PaintText(p, e.rows[static_cast<size_t>(i)].lblIme);
    }
    for (int i = first; i <= end; ++i) {
      const Row& r = e.rows[static_cast<size_t>(i)];
      PaintShape(p, r.shps);
      PaintText(p, r.lbls);
      PaintText(p, r.lblevilka);
      PaintText(p, r.lblSpot);
      PaintLine(p, r.ta);
      PaintLine(p, r.tas);
      PaintLine(p, r.taRob);
    }
    PaintShape(p, e.shpsB);
    PaintShape(p, e.picPremik);
    p.restore();
  }

  const PictureElement& column = e.picScroll;
  if (column.visible && column.box.width > 0) {
    p.save();
    p.setClipRect(QRect(column.box.left, column.box.top, column.box.width, column.box.height));
    p.fillRect(QRect(column.box.left, column.box.top, column.box.width, column.box.height),
               ToQColor(e.controlBackColor));
    const int cx = column.box.left;
    const int cy = column.box.top;
    const PictureElement& track = e.PicPoljeDrsnika;
    if (track.visible) {
      p.save();
      p.setClipRect(QRect(cx + track.box.left, cy + track.box.top, track.box.width, track.box.height),
                    Qt::IntersectClip);
      PaintPicture(p, skin, track, cx, cy);
      const int tx = cx + track.box.left;
      const int ty = cy + track.box.top;
      if (e.PicDrsnik.visible) {
        PaintThumb(p, skin, e.PicDrsnik, e.PicDrsnikGor, e.PicDrsnikDol, tx, ty);
        if (e.PicDrsnikD.visible) PaintThumb(p, skin, e.PicDrsnikD, e.PicDrsnikDGor, e.PicDrsnikDDol, tx, ty);
      }
      p.restore();
    }
    PaintPicture(p, skin, e.PicGor, cx, cy);
    PaintPicture(p, skin, e.PicDol, cx, cy);
    p.restore();
  }
}

}  // namespace playlist
