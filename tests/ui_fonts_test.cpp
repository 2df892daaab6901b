// The product font and its stand-in for "宋体", and Qt's own translations.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>

#include "ui/fonts.h"
#include "ui/translations.h"

namespace {

TEST(ProductFont, WhereSongTiIsMissingARPLUMingStandsIn) {
  if (QFontDatabase::families().contains(ui::kSongFace)) GTEST_SKIP() << "宋体 itself is installed";
  ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("AR PL UMing CN")))
      << "fonts-arphic-uming is not installed (scripts/setup.sh)";
  EXPECT_TRUE(QFontInfo(ui::ProductFont()).family().startsWith(QStringLiteral("AR PL UMing")));
}

TEST(ProductFont, APlayTimeFitsThePlaylistsThirtyPixelTimeColumn) {
  // The played and selected rows show their time in bold "宋体" at 12 pixels.
  QFont bold = ui::ProductFont(ui::kSongFace, 12);
  bold.setBold(true);
  EXPECT_LE(QFontMetrics(bold).horizontalAdvance(QStringLiteral("05:35")), 30);
  EXPECT_LE(QFontMetrics(ui::ProductFont(ui::kSongFace, 11)).horizontalAdvance(QStringLiteral("05:35")), 30);
}

TEST(QtTranslations, AChineseLocaleGetsChineseButtons) {
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  ASSERT_TRUE(ui::LoadQtTranslations(*QCoreApplication::instance()))
      << "no qtbase_zh_CN.qm in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()
      << " (qt6-translations-l10n, scripts/setup.sh)";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
  QLocale::setDefault(QLocale::c());
}

}  // namespace
