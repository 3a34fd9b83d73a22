#pragma once

#include <QDialog>

#include "model/settings.h"

class QLabel;
class QPushButton;

namespace quarn {

// The About window: what the program is, who made it and its version.
class AboutForm : public QDialog {
  Q_OBJECT

 public:
  AboutForm(const ProgramIdentity& identity, QWidget* parent = nullptr);
  // Load: the texts, and the window centred.
  void Load();

 private:
  ProgramIdentity identity_;
  QLabel* label1_;
  QLabel* label2_;
};

// Opens the About window (one at a time), centred again on each opening.
AboutForm* ShowAboutForm(const ProgramIdentity& identity, QWidget* parent);

// The release notes.
class Changesform : public QDialog {
  Q_OBJECT

 public:
  explicit Changesform(QWidget* parent = nullptr);
};

// What the plot windows' graphs can do.
class AboutPlot : public QDialog {
  Q_OBJECT

 public:
  explicit AboutPlot(QWidget* parent = nullptr);
};

// The About window's text: the program, its maker, and the tools it is built with.
extern const char* const kAboutText;
extern const char* const kReleaseNotes;

}  // namespace quarn
