#include "ui/results/graph_form.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/graph.h"
#include "platform/printer_service.h"
#include "platform/window_registry.h"
#include "ui/common/window_links.h"

namespace quarn {

GraphForm::GraphForm(MainContext& context, QWidget* parent) : QWidget(parent), ctx_(context) {
  setObjectName("GraphForm");
  setWindowTitle("Graph of concentration versus time");
  auto* layout = new QVBoxLayout(this);
  graph_ = new Graph(this);
  graph_->setObjectName("ConcGraph");
  layout->addWidget(graph_, 1);
  auto* buttons = new QHBoxLayout();
  auto* print = new QPushButton("Print Graph", this);
  print->setObjectName("Command2");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  buttons->addStretch(1);
  buttons->addWidget(print);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(print, &QPushButton::clicked, this, [this] {
    PrintCommand job(ctx_.printer);
    job.Window(*this);
  });
  connect(ok, &QPushButton::clicked, this, [this] {
    close();
    // The chamber data window comes back to the front when it is open; it is never made.
    if (auto* chamber = AppWindows().FindAs<ChamberDataLink>()) chamber->BringBack();
  });
}

}  // namespace quarn
