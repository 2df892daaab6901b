// Our choice of fonts: "宋体" first, its Song/Ming stand-in before the sans fallback, sizes in
// pixels; and Qt's texts in the user's language.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLocale>

#include "ui/fonts.h"
#include "ui/translations.h"

namespace {

TEST(ProductFont, SongTiUnderEitherNameAsksForSimSunThenTheSongStandInThenTheSansFace) {
  const QString standIn = QStringLiteral("AR PL UMing CN"), sans = QStringLiteral("WenQuanYi Zen Hei");
  for (const QString& face : {ui::kSongFace, QStringLiteral("SimSun")}) {
    const QStringList families = ui::ProductFont(face, 11).families();
    EXPECT_EQ(families.value(0), face);
    EXPECT_LT(families.indexOf(QStringLiteral("SimSun")), families.indexOf(standIn)) << face.toStdString();
    EXPECT_LT(families.indexOf(standIn), families.indexOf(sans)) << face.toStdString();
    EXPECT_EQ(ui::ProductFont(face, 11).pixelSize(), 11);
  }
  EXPECT_EQ(ui::ProductFont(), ui::ProductFont(ui::kSongFace, 12)) << "9 points at 96 dots per inch";
  // Any other face is asked for first, with a face that has Chinese behind it.
  EXPECT_EQ(ui::ProductFont(QStringLiteral("Tahoma"), 12).families(),
            (QStringList{QStringLiteral("Tahoma"), sans}));
}

TEST(ProductFont, APlayTimeFitsThePlaylistsThirtyPixelTimeColumnInEveryInstalledSongFace) {
  // The played and selected rows show their time in bold "宋体" at 12 pixels. The sans face
  // behind the Song faces only keeps Chinese from showing as boxes.
  int measured = 0;
  for (const QString& family : ui::ProductFont().families()) {
    if (family == QStringLiteral("WenQuanYi Zen Hei")) break;
    if (!QFontDatabase::families().contains(family)) continue;
    QFont bold(family);
    bold.setPixelSize(12);
    bold.setBold(true);
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(QStringLiteral("05:35")), 30) << family.toStdString();
    ++measured;
  }
  EXPECT_GT(measured, 0) << "none of the faces is installed (scripts/setup.sh installs them)";
}

TEST(QtTranslations, TheUsersLocaleChoosesQtsTexts) {
  QLocale::setDefault(QLocale::c());
  EXPECT_FALSE(ui::LoadQtTranslations(*QCoreApplication::instance()));
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  ASSERT_TRUE(ui::LoadQtTranslations(*QCoreApplication::instance()))
      << "qt6-translations-l10n (scripts/setup.sh)";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
  QLocale::setDefault(QLocale::c());
}

}  // namespace
