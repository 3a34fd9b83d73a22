#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace quarn {

// The navigation bar over the records of one table that a window's boxes or grid show:
// first, previous, a caption, next and last. It holds the rows as text (Windows-1252, a
// Null field empty) and a current record; moving past either end stays on the last record
// reached. It writes nothing back: what a window shows of a record is the window's own.
class DataControl : public QWidget {
  Q_OBJECT

 public:
  explicit DataControl(QWidget* parent = nullptr);

  // The records, the first one current (none when there are none); raises Reposition.
  void SetRecords(std::vector<std::string> fields, std::vector<std::vector<std::string>> rows);
  int RecordCount() const { return static_cast<int>(rows_.size()); }
  // The current record, from 0; -1 when there are no records.
  int AbsolutePosition() const { return position_; }

  // Each raises Reposition when the current record changes.
  void MoveFirst() { Move(0); }
  void MovePrevious() { Move(position_ - 1); }
  void MoveNext() { Move(position_ + 1); }
  void MoveLast() { Move(RecordCount() - 1); }
  void Move(int position);

  // The named field of the current record: empty for a Null value, an unknown field or no
  // current record.
  std::string Field(const std::string& name) const;

  std::string Caption() const;
  void SetCaption(const std::string& caption);

 signals:
  void Reposition();

 private:
  void AddButton(QHBoxLayout& row, const char* name, const char* text, void (DataControl::*step)());

  std::vector<std::string> fields_;
  std::vector<std::vector<std::string>> rows_;
  int position_ = -1;
  QLabel* caption_ = nullptr;
};

}  // namespace quarn
