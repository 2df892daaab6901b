#include <gtest/gtest.h>

#include "platform/profile.h"

using platform::ReadProfileString;

namespace {

constexpr std::string_view kAlbumSettings =
    "[t]\r\ntitle =abc\r\n[s]\r\ns1=700417\r\ns2=3700417\r\ns21=3700417\r\n[SONG]\r\nSONG1=x\r\nSONG2=\r\n";

TEST(ProfileString, SectionAndKeyNamesMatchWithoutRegardToCase) {
  EXPECT_EQ(ReadProfileString("S", "S1", kAlbumSettings), "700417");
  EXPECT_EQ(ReadProfileString("s", "s21", kAlbumSettings), "3700417");
  EXPECT_EQ(ReadProfileString("song", "Song1", kAlbumSettings), "x");
  EXPECT_EQ(ReadProfileString("T", "TITLE", kAlbumSettings), "abc");
}

TEST(ProfileString, MissingKeySectionOrValueGivesEmptyText) {
  EXPECT_EQ(ReadProfileString("S", "S22", kAlbumSettings), "");
  EXPECT_EQ(ReadProfileString("nosuch", "S1", kAlbumSettings), "");
  EXPECT_EQ(ReadProfileString("SONG", "SONG2", kAlbumSettings), "");
  EXPECT_EQ(ReadProfileString("S", "S1", std::string_view()), "");
}

TEST(ProfileString, KeysOfOtherSectionsAreNotFound) {
  EXPECT_EQ(ReadProfileString("SONG", "S1", kAlbumSettings), "");
  EXPECT_EQ(ReadProfileString("t", "SONG1", kAlbumSettings), "");
}

TEST(ProfileString, ValuesLongerThan126BytesAreCut) {
  std::string longName(300, 'n');
  std::string ini = "[SONG]\r\nSONG1=" + longName + "\r\n";
  EXPECT_EQ(ReadProfileString("SONG", "SONG1", ini), std::string(126, 'n'));
  std::string exact = "[SONG]\r\nSONG1=" + std::string(126, 'e') + "\r\n";
  EXPECT_EQ(ReadProfileString("SONG", "SONG1", exact).size(), 126u);
}

TEST(ProfileString, SpacesAroundNamesAndValuesAndMatchingQuotesAreDropped) {
  std::string_view ini = "  [ sec ]  \n  key  =  some value  \nq=\"quoted\"\nhalf=\"open\n";
  EXPECT_EQ(ReadProfileString("sec", "key", ini), "some value");
  EXPECT_EQ(ReadProfileString("sec", "q", ini), "quoted");
  EXPECT_EQ(ReadProfileString("sec", "half", ini), "\"open");
}

TEST(ProfileString, AcceptsAnyLineEndingAndSkipsComments) {
  std::string_view ini = "[a]\rk1=one\r;k2=hidden\nk2=two\r\nk3=three";
  EXPECT_EQ(ReadProfileString("a", "k1", ini), "one");
  EXPECT_EQ(ReadProfileString("a", "k2", ini), "two");
  EXPECT_EQ(ReadProfileString("a", "k3", ini), "three");
}

TEST(ProfileString, FirstSectionAndFirstKeyOfAName) {
  std::string_view ini = "[a]\nk=first\nk=second\n[b]\nk=b\n[A]\nk=third\nonly=later\n";
  EXPECT_EQ(ReadProfileString("a", "k", ini), "first");
  EXPECT_EQ(ReadProfileString("a", "only", ini), "");
}

TEST(ProfileString, ValueKeepsEqualsSignsAndMultiByteText) {
  // "音乐" in GB18030.
  std::string_view ini = "[SONG]\r\nSONG1=a=b\r\nSONG2=\xD2\xF4\xC0\xD6\r\n";
  EXPECT_EQ(ReadProfileString("SONG", "SONG1", ini), "a=b");
  EXPECT_EQ(ReadProfileString("SONG", "SONG2", ini), "\xD2\xF4\xC0\xD6");
}

}  // namespace
