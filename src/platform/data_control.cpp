#include "platform/data_control.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "platform/qt_text.h"

namespace quarn {
namespace {

constexpr int kMinCaptionTwips = 1500;

}  // namespace

DataControl::DataControl(QWidget* parent) : QWidget(parent) {
  setObjectName("Data1");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  AddButton(*row, "MoveFirst", "|<", &DataControl::MoveFirst);
  AddButton(*row, "MovePrevious", "<", &DataControl::MovePrevious);
  caption_ = new QLabel(this);
  caption_->setObjectName("Caption");
  caption_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  caption_->setMinimumWidth(TwipsToPixels(kMinCaptionTwips));
  row->addWidget(caption_, 1);
  AddButton(*row, "MoveNext", ">", &DataControl::MoveNext);
  AddButton(*row, "MoveLast", ">|", &DataControl::MoveLast);
}

void DataControl::AddButton(QHBoxLayout& row, const char* name, const char* text,
                            void (DataControl::*step)()) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setText(text);
  row.addWidget(button);
  connect(button, &QToolButton::clicked, this, step);
}

void DataControl::SetRecords(std::vector<std::string> fields,
                             std::vector<std::vector<std::string>> rows) {
  fields_ = std::move(fields);
  rows_ = std::move(rows);
  position_ = rows_.empty() ? -1 : 0;
  emit Reposition();
}

void DataControl::Move(int position) {
  if (rows_.empty()) return;
  position = std::clamp(position, 0, RecordCount() - 1);
  if (position == position_) return;
  position_ = position;
  emit Reposition();
}

std::string DataControl::Field(const std::string& name) const {
  if (position_ < 0) return {};
  const auto it = std::find(fields_.begin(), fields_.end(), name);
  const auto& row = rows_[static_cast<size_t>(position_)];
  const auto col = static_cast<size_t>(it - fields_.begin());
  return col < row.size() ? row[col] : std::string();
}

std::string DataControl::Caption() const {
  return FromQt(caption_->text());
}

void DataControl::SetCaption(const std::string& caption) {
  caption_->setText(ToQt(caption));
}

}  // namespace quarn
