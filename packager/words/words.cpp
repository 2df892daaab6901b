#include "packager/words.h"

namespace packager {

words::Box NoticeBox(const PackagerWorkflow::Notice& notice, std::string_view program) {
  using Kind = PackagerWorkflow::Notice::Kind;
  switch (notice.kind) {
    case Kind::UnusableChoice:
      return words::BoxFor(notice.error, program, words::UnusableChoice(program));
    case Kind::BuildFailure:
      return words::BoxFor(notice.error, program, words::BuildFailure());
    case Kind::Refusal:
    case Kind::Warning:
      break;
  }
  // A blank name or description has a box of its own; a warning shows the file and the problem.
  return words::BoxFor(notice.error, program);
}

std::string OwnFolderNote() { return "音乐光碟已经完成，并放在本程式的所在目录下。"; }

std::string OtherFolderNote(std::string_view folder) {
  return "音乐光碟已经完成，并放在文件夹 " + std::string(folder) + " 下。";
}

}  // namespace packager
