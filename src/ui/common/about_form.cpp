#include "ui/common/about_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/form_helpers.h"
#include "ui/common/main_context.h"
#include "ui/common/window_tiling.h"

namespace quarn {

const char* const kAboutText =
    "Quarn, an indoor air quality model for Qt 6 desktops (Linux and Windows).\n"
    "Quarn is free software written by its contributors; questions and reports of faults are "
    "welcome through the project's issue tracker.\n"
    "Written in C++20 with Qt 6, Qt Charts and GoogleTest.";

AboutForm::AboutForm(const ProgramIdentity& identity, QWidget* parent)
    : QDialog(parent), identity_(identity) {
  setObjectName("AboutForm");
  setWindowTitle("About Quarn");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PictureLabel("<b style='font-size:18pt'>Quarn</b>", this));
  about_text_ = WrappedLabel("Label1", this);
  version_ = WrappedLabel("Label2", this);
  layout->addWidget(about_text_);
  layout->addWidget(version_);
  layout->addWidget(CloseButton("Command1", this), 0, Qt::AlignRight);
  resize(TwipsToPixels(6000), TwipsToPixels(3600));
}

void AboutForm::Load() {
  about_text_->setText(ToQt(kAboutText));
  version_->setText(ToQt("Version " + VersionNumberText(identity_) + "  " + identity_.description));
  CenterForm(*this);
}

AboutForm* ShowAboutForm(const ProgramIdentity& identity, QWidget* parent) {
  AboutForm* w = AppWindows().Load<AboutForm>([&] { return new AboutForm(identity, parent); });
  w->Load();
  w->show();
  w->raise();
  return w;
}

}  // namespace quarn
