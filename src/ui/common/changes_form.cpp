#include "ui/common/changes_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"

namespace quarn {

const char* const kReleaseNotes =
    "The program was rebuilt with a newer compiler, which took a few changes to the code.  Up "
    "to 8 pollutants can now be handled at a time.  All plots use a new graph component; its "
    "graphs can be changed by the user (3-D plots and more), and it has help of its own.  The "
    "databases and the source database part are still being improved.  Please read the text "
    "file Recent.txt.  Although input and display may use various units, consistent units are "
    "best: give sources and outdoor concentrations in units that match the display units.";

ChangesForm::ChangesForm(QWidget* parent) : QDialog(parent) {
  setObjectName("Changesform");
  setWindowTitle("Recent changes to Quarn");
  auto* layout = new QVBoxLayout(this);
  QLabel* notes = WrappedLabel("Label1", this);
  notes->setText(ToQt(kReleaseNotes));
  layout->addWidget(notes);
  layout->addWidget(CloseButton("Command1", this), 0, Qt::AlignRight);
  resize(TwipsToPixels(7000), TwipsToPixels(3600));
}

}  // namespace quarn
