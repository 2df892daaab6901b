#pragma once
// The windows' wording of errors: Chinese, the product's language, in one place, as UTF-8 for
// any front end. The boxes the product has always shown keep their exact texts, titles and
// icons (some of them English, as the product always had them). The command lines word the
// same errors in English (cli/error_text.h). A second copy running is worded with the
// program's name ("Pakrel", "Sonvira"), which every call that may name it is given.

#include <string>
#include <string_view>

#include "platform/result.h"

namespace words {

enum class Icon { Critical, Exclamation, Information, Question };

// A message box: its text (lines joined by "\n"; the library's own boxes end a line in
// "\r\n", as they always did), title and icon. UTF-8.
struct Box {
  std::string text;
  std::string title;
  Icon icon = Icon::Exclamation;
  friend bool operator==(const Box&, const Box&) = default;
};

// What a window puts around an error that has no box of its own: the box's title and a
// line above the file and the problem.
struct Framing {
  std::string title;
  std::string heading;
};

// The packager's failed build.
Framing BuildFailure();
// A page or file the window wanted to open and could not find.
Framing MissingPage(std::string_view program);
// A file chosen in an open dialog that cannot be used.
Framing UnusableChoice(std::string_view program);

// The packager's question before it stops a running build and ends.
Box StopBuildQuestion(std::string_view program);
// The page could not be opened because the desktop has no program for it: where to read it.
Box NoOpenerFor(std::string_view program, std::string_view page);

// The problem, in one Chinese sentence, without the file.
std::string ErrorText(const platform::Error& error, std::string_view program);

// The box for `error`: its own box where the product has one (a second copy running, a blank
// album name or description, the audio library's three start-up failures); otherwise an
// exclamation box titled `framing.title` ("错误" when empty) that shows the heading, the
// file and the problem, one to a line.
Box BoxFor(const platform::Error& error, std::string_view program, const Framing& framing = {});

}  // namespace words
