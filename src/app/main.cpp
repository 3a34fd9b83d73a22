#include <QApplication>
#include <QMainWindow>
#include <clocale>

#include "quarn_version.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt switches the C locale to the user's; every number text of the program is
  // written and read with a point, whatever the user's locale says.
  std::setlocale(LC_NUMERIC, "C");
  QMainWindow frame;
  frame.setWindowTitle(QString("%1 %2").arg(quarn::kProgramTitle, quarn::kVersionText));
  frame.resize(800, 600);
  frame.show();
  return QApplication::exec();
}
