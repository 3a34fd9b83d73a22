#include "ui/common/about_forms.h"

#include <QFrame>
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

const char* const kReleaseNotes =
    "The program was rebuilt with a newer compiler, which took a few changes to the code.  Up "
    "to 8 pollutants can now be handled at a time.  All plots use a new graph component; its "
    "graphs can be changed by the user (3-D plots and more), and it has help of its own.  The "
    "databases and the source database part are still being improved.  Please read the text "
    "file Recent.txt.  Although input and display may use various units, consistent units are "
    "best: give sources and outdoor concentrations in units that match the display units.";

namespace {

QLabel* WrappedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

QPushButton* CloseButton(const char* name, QDialog* dialog) {
  auto* button = new QPushButton("OK", dialog);
  button->setObjectName(name);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::close);
  return button;
}

}  // namespace

AboutForm::AboutForm(const ProgramIdentity& identity, QWidget* parent)
    : QDialog(parent), identity_(identity) {
  setObjectName("AboutForm");
  setWindowTitle("About Quarn");
  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setObjectName("Picture1");
  picture->setText("<b style='font-size:18pt'>Quarn</b>");
  layout->addWidget(picture);
  label1_ = WrappedLabel("Label1", this);
  label2_ = WrappedLabel("Label2", this);
  layout->addWidget(label1_);
  layout->addWidget(label2_);
  layout->addWidget(CloseButton("Command1", this), 0, Qt::AlignRight);
  resize(TwipsToPixels(6000), TwipsToPixels(3600));
}

void AboutForm::Load() {
  label1_->setText(ToQt(kAboutText));
  label2_->setText(ToQt("Version " + VersionNumberText(identity_) + "  " + identity_.Description));
  CenterForm(*this);
}

AboutForm* ShowAboutForm(const ProgramIdentity& identity, QWidget* parent) {
  AboutForm* w = AppWindows().Load<AboutForm>([&] { return new AboutForm(identity, parent); });
  w->Load();
  w->show();
  w->raise();
  return w;
}

Changesform::Changesform(QWidget* parent) : QDialog(parent) {
  setObjectName("Changesform");
  setWindowTitle("Recent changes to Quarn");
  auto* layout = new QVBoxLayout(this);
  QLabel* notes = WrappedLabel("Label1", this);
  notes->setText(ToQt(kReleaseNotes));
  layout->addWidget(notes);
  layout->addWidget(CloseButton("Command1", this), 0, Qt::AlignRight);
  resize(TwipsToPixels(7000), TwipsToPixels(3600));
}

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
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKBtn");
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace quarn
