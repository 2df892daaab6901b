#include "label_font.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>

#include <array>

#include "ui/fonts.h"

namespace playlist {

namespace {

QString FontKey(const TextElement& label) {
  return label.style.fontName + QChar(0x1f) + QString::number(label.fontPixelSize) +
         (label.style.bold ? u'b' : u'-') + (label.style.italic ? u'i' : u'-');
}

// Adding a row measures its title and number, and removing or dragging rows re-measures
// every title that moves, so widths of repeated texts are kept per font.
struct FontCache {
  QHash<QString, QFontMetrics> metrics;
  QHash<QString, int> widths;
  QHash<QString, std::array<qreal, 128>> advances;  // digits, point and blank
};

FontCache& Cache() {
  static FontCache cache;
  return cache;
}

const QFontMetrics& Metrics(const TextElement& label, const QString& key) {
  FontCache& cache = Cache();
  auto it = cache.metrics.find(key);
  if (it == cache.metrics.end()) it = cache.metrics.insert(key, QFontMetrics(LabelFont(label)));
  return it.value();
}

}  // namespace

QFont LabelFont(const TextElement& label) {
  QFont font = ui::ProductFont(label.style.fontName, label.fontPixelSize);
  font.setBold(label.style.bold);
  font.setItalic(label.style.italic);
  return font;
}

// Row numbers are digits, a point and a blank, which fonts do not kern: their widths add up
// character by character, so the thousands of distinct numbers need no shaping each.
static bool IsRowNumber(const QString& text) {
  for (QChar c : text) {
    if (!c.isDigit() && c != u'.' && c != u' ') return false;
  }
  return true;
}

int TextWidth(const TextElement& label, const QString& text) {
  if (text.isEmpty()) return 0;
  QString key = FontKey(label);
  if (IsRowNumber(text)) {
    FontCache& cache = Cache();
    auto it = cache.advances.find(key);
    if (it == cache.advances.end()) {
      QFontMetricsF fm(LabelFont(label));
      std::array<qreal, 128> advances{};
      for (char c : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '.', ' '}) {
        advances[static_cast<size_t>(c)] = fm.horizontalAdvance(QChar(c));
      }
      it = cache.advances.insert(key, advances);
    }
    qreal width = 0;
    for (QChar c : text) width += it.value()[c.unicode()];
    return qRound(width);
  }
  QString widthKey = key + QChar(0x1e) + text;
  FontCache& cache = Cache();
  auto it = cache.widths.constFind(widthKey);
  if (it != cache.widths.constEnd()) return it.value();
  int width = Metrics(label, key).horizontalAdvance(text);
  if (cache.widths.size() > 100000) cache.widths.clear();
  cache.widths.insert(widthKey, width);
  return width;
}

int TextBaseline(const TextElement& label) {
  const QFontMetrics& fm = Metrics(label, FontKey(label));
  // Centre the line box on the label; the descenders may reach the row's border pixel.
  return (label.box.height - fm.height()) / 2 + fm.ascent();
}

QString DefaultFontName() { return QGuiApplication::font().family(); }

}  // namespace playlist
