#include "ui/common/about_plot.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/form_helpers.h"

namespace quarn {

AboutPlot::AboutPlot(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutPlot");
  setWindowTitle("About Plot");
  auto* layout = new QVBoxLayout(this);
  auto* frame = NewPanel(this, "Frame1");
  auto* inner = new QVBoxLayout(frame);
  QLabel* text = WrappedLabel("Label1", frame);
  text->setText(
      "The plots are drawn with a chart component.  Its toolbar gives you control over the "
      "graph: zoom, scales, titles and printing.");
  inner->addWidget(text);
  layout->addWidget(frame);
  layout->addWidget(CloseButton("OKBtn", this), 0, Qt::AlignRight);
}

}  // namespace quarn
