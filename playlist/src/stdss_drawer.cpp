// Paints the control's element records. Nothing is decided here: every box, colour, text and
// visibility comes from the model, so what is painted is what tests read and what is hit.
#include <QPainter>

#include <algorithm>

#include "label_font.h"
#include "playlist/stdss_widget.h"

namespace playlist {

namespace {

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
  if (t.text.isEmpty()) return;
  p.setFont(LabelFont(t));
  p.setPen(ToQColor(t.style.foreColor));
  int x = t.box.left;
  if (t.rightAligned) x = t.box.right() - TextWidth(t, t.text);
  // A label of fixed width (the time) keeps a longer text inside its box rather than
  // spilling over the title beside it.
  const bool clip = !t.autoSize;
  if (clip) {
    p.save();
    p.setClipRect(QRect(t.box.left, t.box.top, t.box.width, t.box.height), Qt::IntersectClip);
  }
  p.drawText(QPoint(x, t.box.top + TextBaseline(t)), t.text);
  if (clip) p.restore();
}

void PaintLine(QPainter& p, const LineElement& l) {
  if (!l.visible) return;
  p.setPen(QPen(ToQColor(l.color), 0));
  p.drawLine(l.x1, l.y1, l.x2, l.y2);
}

// A picture box showing the top-left part of its image, clipped to the box. The part is taken
// in the image's own pixels, which are finer than the box's for a picture of a denser screen.
void PaintPicture(QPainter& p, const PictureElement& pic, int dx, int dy) {
  if (!pic.visible || pic.image.isNull() || pic.box.width <= 0 || pic.box.height <= 0) return;
  const qreal ratio = pic.image.devicePixelRatio();
  p.drawImage(QRectF(pic.box.left + dx, pic.box.top + dy, pic.box.width, pic.box.height), pic.image,
              QRectF(0, 0, pic.box.width * ratio, pic.box.height * ratio));
}

void PaintThumb(QPainter& p, const PictureElement& body, const PictureElement& topCap,
                const PictureElement& bottomCap, int trackLeft, int trackTop) {
  const int x = trackLeft + body.box.left;
  const int y = trackTop + body.box.top;
  p.save();
  p.setClipRect(QRect(x, y, body.box.width, body.box.height), Qt::IntersectClip);
  PaintPicture(p, body, trackLeft, trackTop);
  PaintPicture(p, topCap, x, y);
  PaintPicture(p, bottomCap, x, y);
  p.restore();
}

}  // namespace

void PaintStdSS(QPainter& p, const stdSS& control) {
  const Elements& e = control.elements();
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
      PaintPicture(p, track, cx, cy);
      const int tx = cx + track.box.left;
      const int ty = cy + track.box.top;
      if (e.PicDrsnik.visible) {
        PaintThumb(p, e.PicDrsnik, e.PicDrsnikGor, e.PicDrsnikDol, tx, ty);
        if (e.PicDrsnikD.visible) PaintThumb(p, e.PicDrsnikD, e.PicDrsnikDGor, e.PicDrsnikDDol, tx, ty);
      }
      p.restore();
    }
    PaintPicture(p, e.PicGor, cx, cy);
    PaintPicture(p, e.PicDol, cx, cy);
    p.restore();
  }
}

}  // namespace playlist
