#pragma once
// The packager window's words that are its own, as UTF-8 for any front end: the boxes of the
// workflow's notices and the completion note. Errors are worded by words/error_text.h.

#include <string>
#include <string_view>

#include "packager/packager_workflow.h"
#include "words/error_text.h"

namespace packager {

// The box for a notice of the workflow; `program` names the packager ("Pakrel").
words::Box NoticeBox(const PackagerWorkflow::Notice& notice, std::string_view program);

// The completion note when the album went into the packager's own folder.
std::string OwnFolderNote();
// The completion note when it went into `folder` instead.
std::string OtherFolderNote(std::string_view folder);

}  // namespace packager
