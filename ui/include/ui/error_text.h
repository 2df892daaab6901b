#pragma once
// The windows' wording of errors: Chinese, the product's language, in one place. The boxes
// the product has always shown keep their exact texts, titles and icons (some of them
// English, as the product always had them). The command lines word the same errors in
// English (cli/error_text.h). A second copy running is worded with the program's name,
// QCoreApplication::applicationName() ("Pakrel", "Sonvira"), which main sets.

#include <QString>

#include "platform/result.h"
#include "ui/message_box.h"

class QWidget;

namespace ui {

// What a window puts around an error that has no box of its own: the box's title and a
// line above the file and the problem.
struct Framing {
  QString title;
  QString heading;
};

// The packager's failed build.
Framing BuildFailure();
// A page or file the window wanted to open and could not find.
Framing MissingPage();
// A file chosen in an open dialog that cannot be used.
Framing UnusableChoice();

// The packager's question before it stops a running build and ends.
Message StopBuildQuestion();
// The page could not be opened because the desktop has no program for it: where to read it.
Message NoOpenerFor(const QString& page);

// The problem, in one Chinese sentence, without the file.
QString ErrorText(const platform::Error& error);

// The box for `error`: its own box where the product has one (a second copy running, a blank
// album name or description, the audio library's three start-up failures); otherwise an
// exclamation box titled `framing.title` ("错误" when empty) that shows the heading, the
// file and the problem, one to a line.
Message MessageFor(const platform::Error& error, const Framing& framing = {});

// ShowMessage(parent, MessageFor(error, framing)): the one call a window needs.
void ShowError(QWidget* parent, const platform::Error& error, const Framing& framing = {});

}  // namespace ui
