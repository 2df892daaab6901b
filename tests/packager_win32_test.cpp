// The Windows packager's dialogs: the list of file types CommonDialog keeps, in the form the
// common dialogs take it.
#include <gtest/gtest.h>

#include <string>

#include "packager/common_dialog.h"
#include "win32_file_dialogs.h"

namespace {

using packager::CommonDialog;
using packager::win32::FilterText;
using packager::win32::Win32FileDialogs;

// The filter handed to the dialog, up to and including its closing double NUL.
std::wstring Handed(const char* filter) {
  Win32FileDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter(filter);
  const std::wstring text = FilterText(dialog.NameFilters());
  // c_str() adds the last NUL.
  return std::wstring(text.c_str(), text.size() + 1);
}

TEST(Win32FileDialogsTest, TheFilterReachesTheDialogAsPairsEndedByTwoNuls) {
  EXPECT_EQ(Handed("音乐文件|*.mp3"), std::wstring(L"音乐文件\0*.mp3\0\0", 12));
  EXPECT_EQ(Handed("歌词文件|*.lrc|所有文件|*.*"), std::wstring(L"歌词文件\0*.lrc\0所有文件\0*.*\0\0", 21));
  EXPECT_EQ(Handed("文本|*.txt;*.lrc"), std::wstring(L"文本\0*.txt;*.lrc\0\0", 16));
  EXPECT_EQ(Handed(""), std::wstring(L"\0\0", 2));
}

}  // namespace
