#pragma once

#include "model/records.h"
#include "platform/file_dialog.h"
#include "ui/common/input_form.h"

class QLabel;

namespace quarn {

// "Source information": a source read from a source file, shown by its name and model, for
// the user to take over into the source it was read for or to look at another file.
class SourceDisplayForm : public InputForm {
  Q_OBJECT

 public:
  explicit SourceDisplayForm(MainContext& context);

  // Shows `source`, to be taken over into source `slot` of `room`.
  void ShowSource(const SourceRecord& source, int room, int slot);
  // The record shown becomes Sources(RN, SN) whole, and the HVAC source window follows.
  void Transfer() override;

 private:
  void OpenAnother();

  SourceRecord shown_;
  int room_ = 0;
  int slot_ = 1;
  QLabel* rn_ = nullptr;
  QLabel* sn_ = nullptr;
};

// Opens the display beside its opener, which stays in use, on `source` for source `slot`
// of `room`; an open one shows the new source.
SourceDisplayForm* OpenSourceDisplay(MainContext& context, const SourceRecord& source, int room,
                                     int slot, QWidget* opener);

// The open and save dialogs of source files.
FileDialogRequest SourceFileRequest();

}  // namespace quarn
