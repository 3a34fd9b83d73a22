#pragma once

#include <QDialog>

#include "model/settings.h"

class QLabel;

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
  QLabel* about_text_;
  QLabel* version_;
};

// Opens the About window (one at a time), centred again on each opening.
AboutForm* ShowAboutForm(const ProgramIdentity& identity, QWidget* parent);

// The About window's text: the program, its maker, and the tools it is built with.
extern const char* const kAboutText;

}  // namespace quarn
