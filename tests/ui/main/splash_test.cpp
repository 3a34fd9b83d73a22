// The start-up window: what its labels say, and that only a key or a click on the named
// controls starts the program.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <fstream>
#include <sstream>

#include "common/main_window_fixture.h"
#include "quarn_version.h"
#include "ui/main/main_window.h"
#include "ui/main/splash_form.h"

namespace quarn {
namespace {

using SplashTest = testing::MainWindowTest;

void Click(QWidget* w) {
  QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &click);
}

TEST_F(SplashTest, LabelsNameTheProductItsVersionAndDescription) {
  SplashForm splash(*context);
  // The title of the product, not its description (that is the release line).
  EXPECT_EQ(splash.findChild<QLabel*>("lblProductName")->text(), "Quarn");
  EXPECT_EQ(splash.findChild<QLabel*>("lblreleasedate")->text(), "Quarn test description");
  EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version 1.2.3");
  EXPECT_EQ(splash.findChild<QLabel*>("lblPlatform")->text(), "For Linux");
  // An ordinary window, which takes the keyboard focus that a key press needs.
  EXPECT_EQ(splash.windowType(), Qt::Window);
  EXPECT_EQ(splash.focusPolicy(), Qt::StrongFocus);
}

// The release notes send the user to Recent.txt: the build puts it beside the program, and
// it speaks of this version.
TEST(RecentChanges, AreBesideTheProgramForThisVersion) {
  std::ifstream in(std::string(QUARN_PROGRAM_DIR) + "/Recent.txt", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find(std::string("Version ") + kVersionText), std::string::npos);
}

TEST_F(SplashTest, OtherLabelsAndKeysWithoutACharacterDoNothing) {
  SplashForm splash(*context);
  Click(splash.findChild<QLabel*>("lblCompany"));
  Click(splash.findChild<QLabel*>("lblVersion"));
  QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  QApplication::sendEvent(&splash, &shift);
  EXPECT_EQ(splash.Started(), nullptr);
  // The product name is one of the ways on.
  Click(splash.findChild<QLabel*>("lblProductName"));
  ASSERT_NE(splash.Started(), nullptr);
  splash.Started()->EndProgram();
}

}  // namespace
}  // namespace quarn
