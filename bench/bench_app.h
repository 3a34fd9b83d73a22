#pragma once

#include <QApplication>
#include <cstdlib>

namespace quarn::bench {

// The one application of the benchmarks that draw widgets, on the offscreen platform
// unless the caller chose another.
inline QApplication& App() {
  static int argc = 1;
  static char name[] = "quarn_bench";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Never destroyed: a QApplication torn down among the other statics at exit crashes.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace quarn::bench
