#pragma once
// Small window helpers the player needs until the shared window library takes them over:
// twips, the product font, and message boxes behind a seam that tests replace.

#include <QFont>
#include <functional>

#include "words.h"

class QWidget;

namespace player {

// Twips to pixels, at 15 twips to the pixel.
constexpr int Px(int twips) {
  return (twips + 7) / 15;
}

// "宋体" 9 points bold with the simplified Chinese character set, or the installed Song face
// that stands in for it.
QFont SongFont();

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Opens a box and returns at once; `closed` runs when the user has closed it.
  virtual void Open(QWidget* parent, const Message& message, std::function<void()> closed) = 0;
  // Shows a box and returns when the user has closed it.
  virtual void Exec(const Message& message) = 0;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  void Open(QWidget* parent, const Message& message, std::function<void()> closed) override;
  void Exec(const Message& message) override;
};

}  // namespace player
