#pragma once

#include <QWidget>

#include "ui/common/main_context.h"

namespace quarn {

class Graph;

// "Graph of concentration versus time": a graph window that no command opens. Its "Print
// Graph" prints the window's picture on a page; "OK" closes it and brings the chamber data
// window forward when that is open.
class GraphForm : public QWidget {
  Q_OBJECT

 public:
  explicit GraphForm(MainContext& context, QWidget* parent = nullptr);

  Graph& ConcGraph() { return *graph_; }

 private:
  MainContext& ctx_;
  Graph* graph_ = nullptr;
};

}  // namespace quarn
