#pragma once
// Message boxes, behind a seam that tests replace. Every box of the programs goes through
// ShowMessage (or ShowError, which words an error first), so a window needs one call.
// User-interface thread only; each call returns when the user has closed the box.

#include <QString>

#include "words/error_text.h"

class QWidget;

namespace ui {

using Icon = words::Icon;

struct Message {
  QString text;
  QString title;
  Icon icon = Icon::Exclamation;
  friend bool operator==(const Message&, const Message&) = default;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(QWidget* parent, const Message& message) = 0;
  // A yes/no question; true for yes. Boxes that only record what they show answer no.
  virtual bool Ask(QWidget* parent, const Message& message) {
    Show(parent, message);
    return false;
  }
};

// A box worded without Qt (words/error_text.h), for the screen.
Message ToMessage(const words::Box& box);

// Shows `message` through the boxes in use: Qt's message boxes, or a test's.
void ShowMessage(QWidget* parent, const Message& message);

// Asks `message` as a question with Yes and No buttons (No is the default); true for Yes.
bool Ask(QWidget* parent, const Message& message);

// Puts `boxes` in place of Qt's for the life of this object (tests). Not nestable.
class ScopedMessageBoxes {
 public:
  explicit ScopedMessageBoxes(MessageBoxes& boxes);
  ~ScopedMessageBoxes();
  ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
  ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

 private:
  MessageBoxes* previous_;
};

}  // namespace ui
