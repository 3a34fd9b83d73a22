#pragma once

#include <QDialog>

namespace quarn {

// The release notes.
class ChangesForm : public QDialog {
  Q_OBJECT

 public:
  explicit ChangesForm(QWidget* parent = nullptr);
};

// The release notes the window shows.
extern const char* const kReleaseNotes;

}  // namespace quarn
