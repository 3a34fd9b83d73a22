#include "ui/tools/source_database_form.h"

#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <string>

#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_edit.h"
#include "ui/common/window_menu.h"
#include "ui/grids/grid_cells.h"
#include "ui/tools/menu_tables.h"

namespace quarn {
namespace {

constexpr int kCols = 12;
// Columns 4 to 9 hold the emission model's six parameters.
constexpr int kFirstNumberCol = 4;
constexpr int kLastNumberCol = 9;
constexpr int kFirstNoteCol = 10;
constexpr int kMinRows = 3;
constexpr int kLeftTwips = 900;
constexpr int kTopTwips = 900;
const char* const kParameterPattern = "#.##0E-###";

// Reads the chosen database; nullopt for a cancelled dialog, or after the reader's message.
std::optional<SourceDatabase> ChooseDatabase(MainContext& context, const char* initial_name,
                                             const char* filter) {
  const std::optional<std::string> name =
      context.dialogs.OpenFileName(FileRequest(filter, "sdb", initial_name));
  if (!name) return std::nullopt;
  return ReadSourceDatabase(*name, context.prompt);
}

}  // namespace

SourceDatabaseForm::SourceDatabaseForm(MainContext& context)
    : InputForm(context, "frmv17sourcedb", "Source data base information") {
  const EditGridControls controls = BuildEditGrid(*this, "TopFrame", "v17sourcedb");
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  edit_ = &AddEditSession(*grid_, *edit_cell_, false, GridEdit::Wiring::Manual);
  // A typed key alone starts an edit: the grid has no key-down handler, so F2 does nothing.
  connect(grid_, &FlexGrid::KeyPress, edit_, &GridEdit::GridKeyPress);
  connect(edit_cell_, &EditCellBox::KeyDown, edit_, &GridEdit::EditCellKeyDown);
  connect(edit_cell_, &EditCellBox::KeyPress, edit_, &GridEdit::EditCellKeyPress);
  connect(edit_cell_, &QLineEdit::textChanged, edit_, [this] { edit_->EditCellChange(); });
  connect(edit_cell_, &EditCellBox::LostFocus, edit_, &GridEdit::EditCellLostFocus);
  edit_->SetNumberCells(
      [](int, int col) { return col >= kFirstNumberCol && col <= kLastNumberCol; });
  SetCommand("fileopen", [this] { OpenDatabase(); });
  SetCommand("fileclose", [this] { CloseForm(); });
  BuildMenus(menus::kSourceDatabaseForm);
}

void SourceDatabaseForm::Fill(const SourceDatabase& database) {
  const int n = static_cast<int>(database.entries.size());
  grid_->Clear();
  grid_->SetCols(kCols);
  grid_->SetRows(std::max(kMinRows, n + 2));
  grid_->SetFixedCols(0);
  for (int c = 0; c < kCols; ++c) grid_->SetTextMatrix(0, c, database.titles[c]);
  for (int i = 0; i < n; ++i) {
    const SourceDatabaseEntry& entry = database.entries[static_cast<size_t>(i)];
    const int r = i + 1;
    for (size_t k = 0; k < entry.names.size(); ++k) {
      grid_->SetTextMatrix(r, static_cast<int>(k), entry.names[k]);
    }
    for (size_t k = 0; k < entry.parameters.size(); ++k) {
      SetPatternCell(*grid_, r, kFirstNumberCol + static_cast<int>(k), entry.parameters[k],
                     kParameterPattern);
    }
    for (size_t k = 0; k < entry.notes.size(); ++k) {
      grid_->SetTextMatrix(r, kFirstNoteCol + static_cast<int>(k), entry.notes[k]);
    }
  }
  grid_->SetRowCol(1, 0);
  ClearEdited();
}

void SourceDatabaseForm::OpenDatabase() {
  // A file that cannot be read has been reported and leaves the table as it is.
  const std::optional<SourceDatabase> database =
      ChooseDatabase(ctx_, "", "All source (*.sdb)|*.sdb|All files (*.*)|*.*");
  if (database) Fill(*database);
}

SourceDatabaseForm* OpenSourceDatabase(MainContext& context, QWidget* opener) {
  const std::optional<SourceDatabase> database =
      ChooseDatabase(context, "*.sdb", "SourceDB(*.sdb)|*.sdb|All files (*.*)|*.*");
  if (!database) return nullptr;
  SourceDatabaseForm* form =
      ShowInputFormOnce<SourceDatabaseForm>(context, opener, kLeftTwips, kTopTwips, false).form;
  form->Fill(*database);
  QWidget* outer = OuterFrame(form);
  outer->resize(outer->sizeHint().expandedTo(outer->size()));
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
