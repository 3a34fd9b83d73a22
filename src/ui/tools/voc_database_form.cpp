#include "ui/tools/voc_database_form.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/window_registry.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_edit.h"
#include "ui/common/window_links.h"
#include "ui/common/window_menu.h"
#include "ui/grids/data_grids.h"
#include "ui/tools/menu_tables.h"

namespace quarn {
namespace {

constexpr int kMarkCol = 0;
// Molecular weight to cancer slope are numbers; names, formulas and comments are not.
constexpr int kFirstNumberCol = 3;
constexpr int kLastNumberCol = 9;
// Load keeps 25 data rows for the program's list; Open starts from three.
constexpr int kLoadRows = 26;
constexpr int kOpenRows = 4;
constexpr int kLeftTwips = 600;
constexpr int kTopTwips = 600;
const char* const kMark = "X";
// Rows read from a file are unmarked.
const char* const kNoMark = "  ";

bool IsNumberCol(int col) {
  return col >= kFirstNumberCol && col <= kLastNumberCol;
}

}  // namespace

VOCDatabaseForm::VOCDatabaseForm(MainContext& context)
    : InputForm(context, "VOCdatabase", "VOC Database") {
  const EditGridControls controls = BuildEditGrid(*this, "TopFrame", "VOCdbgrid");
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  edit_ = &AddEditSession(*grid_, *edit_cell_, false);
  edit_->SetNumberCells([](int, int col) { return IsNumberCol(col); });
  // Its file holds any text, double quotes and commas together.
  edit_->SetFileText(false);
  connect(grid_, &FlexGrid::Click, this, [this] { ToggleMark(); });
  SetCommand("fileopen", [this] { OpenVocFile(); });
  SetCommand("filesave", [this] { SaveVocFile(); });
  SetCommand("Editinsert", [this] { InsertRow(); });
  BuildMenus(menus::kVOCDatabaseForm);
}

QSize VOCDatabaseForm::sizeHint() const {
  return WithWholeMenuBar(*this, InputForm::sizeHint());
}

void VOCDatabaseForm::Load() {
  // A missing or damaged list has been reported; the table stays usable for Open.
  const auto records = ReadVocProperties(ctx_.state.ProgramFolder, ctx_.prompt);
  ShowRecords(records.value_or(std::vector<VocRecord>{}), kLoadRows);
  ClearEdited();
}

void VOCDatabaseForm::ShowRecords(const std::vector<VocRecord>& records, int min_rows) {
  const int n = static_cast<int>(records.size());
  grid_->SetRows(std::max(min_rows, n + 2));
  SetupVocGridHeadings(*grid_);
  // Cells of an earlier table would otherwise pass for compounds of this file, and a
  // later Save would write them.
  for (int r = 1; r < grid_->Rows(); ++r) {
    for (int c = kMarkCol; c <= kLastNumberCol; ++c) grid_->SetTextMatrix(r, c, std::string());
  }
  for (int i = 0; i < n; ++i) {
    const VocRecord& record = records[static_cast<size_t>(i)];
    grid_->SetTextMatrix(i + 1, kMarkCol, kNoMark);
    for (size_t f = 0; f < VocFieldCount; ++f) {
      grid_->SetTextMatrix(i + 1, kVocGridColumn[f], record.fields[f]);
    }
  }
}

std::vector<VocRecord> VOCDatabaseForm::TableRecords() const {
  std::vector<VocRecord> records;
  for (int r = 1; r < grid_->Rows(); ++r) {
    VocRecord record;
    for (size_t f = 0; f < VocFieldCount; ++f) {
      record.fields[f] = grid_->TextMatrix(r, kVocGridColumn[f]);
    }
    records.push_back(std::move(record));
  }
  return records;
}

void VOCDatabaseForm::ToggleMark() {
  if (grid_->Col() != kMarkCol || grid_->Row() < grid_->FixedRows()) return;
  grid_->SetText(grid_->Text() == kMark ? "" : kMark);
}

void VOCDatabaseForm::InsertRow() {
  grid_->InsertRow(grid_->Row());
  MarkEdited();
}

void VOCDatabaseForm::OpenVocFile() {
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(FileRequest("VOC data (*.DAT)|*.DAT|All files (*.*)|*.*", "DAT"));
  if (!name) return;
  // A file that cannot be read has been reported and leaves the table as it is.
  const auto records = ReadVocFile(*name, ctx_.prompt);
  if (!records) return;
  ShowRecords(*records, kOpenRows);
}

void VOCDatabaseForm::SaveVocFile() {
  const std::optional<std::string> name =
      ctx_.dialogs.SaveFileName(FileRequest("DBase (*.DAT)|*.DAT|All files (*.*)|*.*", "DAT"));
  if (!name) return;
  if (WriteVocFile(*name, TableRecords(), ctx_.prompt)) ClearEdited();
}

void VOCDatabaseForm::Transfer() {
  const int wanted = PollutantCount(ctx_.state.Building.Scenario);
  std::vector<int> marked;
  for (int r = 1; r < grid_->Rows() && static_cast<int>(marked.size()) < wanted; ++r) {
    if (grid_->TextMatrix(r, kMarkCol) == kMark) marked.push_back(r);
  }
  // The pollutant window stores what it was given only by its own Transfer.
  if (auto* pollutants = AppWindows().FindAs<VocRowsLink>()) {
    pollutants->TakeVocRows(*grid_, marked, ctx_.prompt);
  }
  CloseForm();
}

VOCDatabaseForm* OpenVocDatabase(MainContext& context, QWidget* opener) {
  const auto [form, open] =
      ShowInputFormOnce<VOCDatabaseForm>(context, opener, kLeftTwips, kTopTwips);
  if (open) return form;
  form->Load();
  FitOuterFrame(form);
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
