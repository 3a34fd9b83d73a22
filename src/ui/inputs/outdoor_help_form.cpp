#include "ui/inputs/outdoor_help_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_text.h"

namespace quarn {

OutdoorHelpForm::OutdoorHelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmHelpOut");
  setWindowTitle(ToQt("Help "));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(
      ToQt("This window enters the outdoor concentration of each pollutant as a function of "
           "time.  To keep a history, save it with this window's File > Save outdoor data.  "
           "To make the calculation use it, set the scenario window's constant outdoor "
           "concentration switch to N."),
      this);
  label->setObjectName("Label1");
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* close = new QPushButton(ToQt("OK"), this);
  close->setObjectName("Command1");
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(close);
}

}  // namespace quarn
