#pragma once
// The command lines' wording of errors: English, one line, no trailing period. The windows
// word the same errors in Chinese (ui/error_text.h).

#include <string>

#include "platform/result.h"

namespace cli {

// "file: what is wrong", or just what is wrong when the error names no file.
std::string ErrorText(const platform::Error& error);

}  // namespace cli
