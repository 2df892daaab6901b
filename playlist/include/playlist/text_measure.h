#pragma once
// How wide a label's text is drawn. The playlist sizes its labels from their texts (the title
// decides where the "..." marker shows), but only the front end that draws them knows its
// fonts, so it hands the control a TextMeasure and the control never touches a toolkit.

#include <string>
#include <string_view>

namespace playlist {

// The part of a label's look its text width depends on.
struct FontLook {
  std::string_view name;  // the face, UTF-8
  int pixelSize = 0;
  bool bold = false;
  bool italic = false;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Width in pixels of `utf8` drawn in `font`, exactly as the front end will draw it; 0 for an
  // empty text. Called for every label whose text or font changes, so it should be cheap for
  // texts it has seen before.
  virtual int Width(const FontLook& font, std::string_view utf8) const = 0;
  // The face the front end gives a label that takes its default font (the row templates).
  virtual std::string DefaultFontName() const = 0;
};

}  // namespace playlist
