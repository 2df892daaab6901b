#include "label_font.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "playlist/qt_text_measure.h"
#include "ui/fonts.h"

namespace playlist {

namespace {

FontLook LookOf(const TextElement& label) {
  return FontLook{label.style.fontName, label.fontPixelSize, label.style.bold, label.style.italic};
}

std::string FontKey(const FontLook& look) {
  std::string key(look.name);
  key += '\x1f';
  key += std::to_string(look.pixelSize);
  key += look.bold ? 'b' : '-';
  key += look.italic ? 'i' : '-';
  return key;
}

// Finds a std::string key from a std::string_view without making a string of it.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// What is known of one font. Adding a row measures its title and number, and removing or
// dragging rows re-measures every title that moves, so widths of repeated texts are kept.
struct FontEntry {
  explicit FontEntry(const QFont& font) : metrics(font) {
    const QFontMetricsF exact(font);
    for (char c : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '.', ' '})
      advances[static_cast<unsigned char>(c)] = exact.horizontalAdvance(QChar(c));
  }
  QFontMetrics metrics;
  std::array<qreal, 128> advances{};  // digits, point and blank
  std::unordered_map<std::string, int, TextHash, std::equal_to<>> widths;
};

class QtMeasure final : public TextMeasure {
 public:
  int Width(const FontLook& look, std::string_view utf8) const override {
    if (utf8.empty()) return 0;
    FontEntry& font = Entry(look);
    // Row numbers are digits, a point and a blank, which fonts do not kern: their widths add up
    // character by character, so the thousands of distinct numbers need no shaping each.
    if (IsRowNumber(utf8)) {
      qreal width = 0;
      for (char c : utf8) width += font.advances[static_cast<unsigned char>(c)];
      return qRound(width);
    }
    if (auto it = font.widths.find(utf8); it != font.widths.end()) return it->second;
    const int width = font.metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    if (font.widths.size() > 100000) font.widths.clear();
    font.widths.emplace(utf8, width);
    return width;
  }

  std::string DefaultFontName() const override { return QGuiApplication::font().family().toStdString(); }

  FontEntry& Entry(const FontLook& look) const {
    // Labels come in runs of one font (a row's title after the title before it).
    if (last_ != nullptr && lastName_ == look.name && lastSize_ == look.pixelSize && lastBold_ == look.bold &&
        lastItalic_ == look.italic) {
      return *last_;
    }
    std::unique_ptr<FontEntry>& entry = fonts_[FontKey(look)];
    if (!entry) entry = std::make_unique<FontEntry>(LabelFont(look));
    last_ = entry.get();
    lastName_ = look.name;
    lastSize_ = look.pixelSize;
    lastBold_ = look.bold;
    lastItalic_ = look.italic;
    return *last_;
  }

 private:
  static bool IsRowNumber(std::string_view text) {
    for (char c : text) {
      if ((c < '0' || c > '9') && c != '.' && c != ' ') return false;
    }
    return true;
  }

  mutable std::unordered_map<std::string, std::unique_ptr<FontEntry>> fonts_;
  mutable FontEntry* last_ = nullptr;
  mutable std::string lastName_;
  mutable int lastSize_ = 0;
  mutable bool lastBold_ = false;
  mutable bool lastItalic_ = false;
};

QtMeasure& TheMeasure() {
  static QtMeasure measure;
  return measure;
}

}  // namespace

const TextMeasure& QtTextMeasure() { return TheMeasure(); }

QFont LabelFont(const FontLook& look) {
  QFont font =
      ui::ProductFont(QString::fromUtf8(look.name.data(), qsizetype(look.name.size())), look.pixelSize);
  font.setBold(look.bold);
  font.setItalic(look.italic);
  return font;
}

QFont LabelFont(const TextElement& label) { return LabelFont(LookOf(label)); }

int TextBaseline(const TextElement& label) {
  const QFontMetrics& fm = TheMeasure().Entry(LookOf(label)).metrics;
  // Centre the line box on the label; the descenders may reach the row's border pixel.
  return (label.box.height - fm.height()) / 2 + fm.ascent();
}

}  // namespace playlist
