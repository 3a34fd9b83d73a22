#include <QApplication>
#include <clocale>
#include <cstdlib>

#include <gtest/gtest.h>

#include "env/private_test_env.h"
#include "ui/main/install_openers.h"

// Window tests need a QApplication; they run without a display, so the offscreen
// platform is chosen unless the caller asked for another one (Xvfb runs).
int main(int argc, char** argv) {
  quarn::testing::UsePrivateTestFolders();
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  quarn::InstallWindowOpeners();
  return RUN_ALL_TESTS();
}
