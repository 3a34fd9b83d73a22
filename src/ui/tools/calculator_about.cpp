#include "ui/tools/calculator_about.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/form_helpers.h"

namespace quarn {

CalculatorAbout::CalculatorAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("Calcabout");
  setWindowTitle("About Calculator");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PictureLabel("<b style='font-size:18pt'>1 + 2 = 3</b>", this));
  QLabel* label = WrappedLabel("Label1", this);
  label->setText(
      "A desk calculator for the numbers of the input windows.  Type or click the keys; "
      "operations run left to right.  Edit > Copy puts the readout on the clipboard, from "
      "where it can be pasted into a grid.");
  layout->addWidget(label);
  layout->addWidget(CloseButton("Command1", this, "&Ok"), 0, Qt::AlignRight);
}

}  // namespace quarn
