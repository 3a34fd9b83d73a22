#include "ui/common/input_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "model/prompt.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "ui/common/menu_builder.h"
#include "ui/common/tool_openers.h"
#include "ui/common/window_menu.h"
#include "ui/common/window_tiling.h"

namespace quarn {

InputForm::InputForm(MainContext& context, const char* object_name, const char* caption)
    : ctx_(context) {
  setObjectName(object_name);
  setWindowTitle(ToQt(caption));
  // The Edit commands act on the grid the user worked in last.
  focus_watch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    for (size_t i = 0; i < sessions_.size(); ++i) {
      if (now != nullptr && (now == sessions_[i].grid || now == sessions_[i].box)) target_ = i;
    }
  });
}

// The children lose their focus only after this body has run, when the grids are gone.
InputForm::~InputForm() {
  disconnect(focus_watch_);
}

void InputForm::BuildMenus(std::span<const InputMenuItem> items) {
  std::vector<MenuLine> lines;
  lines.reserve(items.size());
  for (const InputMenuItem& item : items) lines.push_back({item.depth, item.caption, item.name});
  const std::vector<QAction*> actions = BuildMenuLines(*menuBar(), lines);
  for (size_t i = 0; i < items.size(); ++i) {
    QAction* action = actions[i];
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr) continue;
    const InputMenuItem& item = items[i];
    const std::string name = item.name;
    roles_.emplace(name, item.role);
    // The keys every program gives these two, wherever the grid has the focus.
    if (item.role == MenuRole::Copy) action->setShortcut(QKeySequence::Copy);
    if (item.role == MenuRole::Paste) action->setShortcut(QKeySequence::Paste);
    switch (item.role) {
      case MenuRole::Disabled:
        action->setEnabled(false);
        continue;
      case MenuRole::ListWindows:
        MakeWindowList(*action, *this);
        continue;
      case MenuRole::Own:
        action->setEnabled(commands_.count(name) != 0);
        break;
      default:
        break;
    }
    connect(action, &QAction::triggered, this, [this, name] { RunCommand(name); });
  }
}

void InputForm::SetCommand(const std::string& name, std::function<void()> command) {
  commands_[name] = std::move(command);
  const auto role = roles_.find(name);
  for (auto [it, end] = buttons_.equal_range(name); it != end; ++it) {
    if (it->second) it->second->setEnabled(true);
  }
  if (role == roles_.end() || role->second != MenuRole::Own) return;
  for (QAction* a : menuBar()->findChildren<QAction*>(QString::fromStdString(name))) {
    if (a->menu() == nullptr) a->setEnabled(true);
  }
}

void InputForm::SetButtonCommand(QAbstractButton& button, const std::string& name) {
  button.setFocusPolicy(Qt::NoFocus);
  // A button with nothing to do is greyed until the window gives it a command.
  button.setEnabled(commands_.count(name) != 0 || roles_.count(name) != 0);
  buttons_.emplace(name, &button);
  connect(&button, &QAbstractButton::clicked, this, [this, name] { RunCommand(name); });
}

void InputForm::SetShortcut(const std::string& name, const QKeySequence& keys) {
  for (QAction* a : menuBar()->findChildren<QAction*>(QString::fromStdString(name))) {
    if (a->menu() == nullptr) a->setShortcut(keys);
  }
}

void InputForm::CountAsEdits(std::initializer_list<QWidget*> controls) {
  for (QWidget* control : controls) {
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
      connect(box, &QLineEdit::textEdited, this, [this] { MarkEdited(); });
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
      connect(list, &QComboBox::activated, this, [this] { MarkEdited(); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      connect(button, &QAbstractButton::clicked, this, [this] { MarkEdited(); });
    }
  }
}

void InputForm::SetHelp(std::string help_file, std::string keyword) {
  help_file_ = std::move(help_file);
  help_keyword_ = std::move(keyword);
}

void InputForm::RunCommand(const std::string& name) {
  const auto role = roles_.find(name);
  if (role != roles_.end() && role->second != MenuRole::Own) {
    RunRole(role->second);
    return;
  }
  const auto command = commands_.find(name);
  if (command == commands_.end()) return;
  if (!CommitOpenEdits()) return;
  // A copy: the command may replace itself.
  const std::function<void()> run = command->second;
  run();
}

void InputForm::RunRole(MenuRole role) {
  if (role == MenuRole::Own || role == MenuRole::Disabled || role == MenuRole::ListWindows) {
    return;
  }
  if (!CommitOpenEdits()) return;
  Perform(role);
}

bool InputForm::CommitOpenEdits() {
  // Buttons and spinners take no focus, so the box still holds what is being typed.
  return std::all_of(sessions_.begin(), sessions_.end(),
                     [](const Session& s) { return s.edit->CommitOpenEdit(); });
}

void InputForm::Perform(MenuRole role) {
  switch (role) {
    case MenuRole::Transfer:
      Transfer();
      break;
    case MenuRole::Cancel:
      Cancel();
      break;
    case MenuRole::Cut:
    case MenuRole::Copy:
    case MenuRole::Clear:
    case MenuRole::Paste:
      EditCommand(role);
      break;
    case MenuRole::Cascade:
      CascadeWindows(this);
      break;
    case MenuRole::Tile:
      TileWindows(this);
      break;
    case MenuRole::TileHorizontal:
      TileWindowsHorizontally(this);
      break;
    case MenuRole::TileVertical:
      TileWindowsVertically(this);
      break;
    case MenuRole::Calculator:
      ToolsCalculator(ctx_);
      break;
    case MenuRole::UnitsConversion:
      ToolsUnitsConversion(ctx_);
      break;
    case MenuRole::PrinterSetup:
      ctx_.printer.Setup();
      break;
    case MenuRole::Help:
      ctx_.help.ShowHelp(help_file_, help_keyword_);
      break;
    case MenuRole::Own:
    case MenuRole::Disabled:
    case MenuRole::ListWindows:
      break;
  }
}

void InputForm::EditCommand(MenuRole role) {
  GridEdit* edit = EditTarget();
  if (edit == nullptr) return;
  switch (role) {
    case MenuRole::Cut:
      edit->Cut();
      break;
    case MenuRole::Copy:
      edit->Copy();
      break;
    case MenuRole::Clear:
      edit->Clear();
      break;
    default:
      edit->Paste();
      break;
  }
  if (role != MenuRole::Copy) MarkEdited();
  AfterEditCommand();
}

GridEdit& InputForm::AddEditSession(FlexGrid& grid, EditCellBox& box, bool numeric_only,
                                    GridEdit::Wiring wiring) {
  // What is typed or filled shows whole, never cut by its column.
  grid.SetFitCells(true);
  auto* edit = new GridEdit(grid, box, ctx_.prompt, wiring, this);
  edit->SetNumericOnly(numeric_only);
  // What an input window holds goes into the building and scenario files.
  edit->SetFileText(true);
  edit->SetSharedFlags(&ctx_.windows.cell_edit_active, &ctx_.windows.grid_events_enabled);
  connect(edit, &GridEdit::CellCommitted, this, [this](int row, int col) {
    MarkEdited();
    AfterCellCommit(row, col);
  });
  sessions_.push_back({&grid, &box, edit});
  return *edit;
}

GridEdit* InputForm::EditTarget() const {
  return target_ < sessions_.size() ? sessions_[target_].edit : nullptr;
}

void InputForm::Cancel() {
  if (AgreeToDropEdits()) CloseForm();
}

bool InputForm::Edited() const {
  return edited_ || std::any_of(sessions_.begin(), sessions_.end(),
                                [](const Session& s) { return s.edit->HoldsTypedEntry(); });
}

bool InputForm::AgreeToDropEdits() {
  if (!Edited()) return true;
  return ctx_.prompt.AskYesNoDefault("All changes will be lost.  Do you wish to continue?",
                                     "Warning", MessageIcon::Critical, Answer::No) == Answer::Yes;
}

void InputForm::CloseForm() {
  closing_ = true;
  OuterFrame(this)->close();
}

void InputForm::closeEvent(QCloseEvent* event) {
  // Inside the frame the sub-window's close box closes the window first, so this is where
  // the window is asked, once, however the user closes it.
  if (!closing_ && !CloseBox()) {
    event->ignore();
    return;
  }
  closing_ = true;
  event->accept();
  // A window closed on its own (not through its sub-window) takes its empty frame with it.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (testAttribute(Qt::WA_DeleteOnClose)) sub->deleteLater();
  }
}

void BringForward(QWidget& window) {
  QWidget* outer = OuterFrame(&window);
  if (auto* sub = qobject_cast<QMdiSubWindow*>(outer)) {
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
  }
  outer->raise();
  window.activateWindow();
}

void GrowToContents(QWidget& form) {
  QWidget* outer = OuterFrame(&form);
  QMdiArea* area = AreaAbove(outer);
  if (area == nullptr) return;
  SettleSizeHint(form);
  // Large enough for every control, column and menu title, as far as the frame's area allows.
  const QSize room = area->viewport()->size() - QSize(outer->x(), outer->y());
  outer->resize(
      outer->size().expandedTo(outer->sizeHint()).boundedTo(room.expandedTo(outer->size())));
}

void PlaceInputForm(InputForm& form, QWidget* opener, int left_twips, int top_twips,
                    bool disable_opener) {
  QWidget* outer = &form;
  QMdiArea* area = AreaAbove(opener);
  if (area != nullptr) {
    QMdiSubWindow* sub = area->addSubWindow(&form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    outer = sub;
  }
  outer->move(TwipsToPixels(left_twips), TwipsToPixels(top_twips));
  if (disable_opener) WindowRegistry::DisableOpenerWhileOpen(&form, opener);
  outer->show();
  form.show();
  GrowToContents(form);
  // Its opener fills it after placing it: once the fill is done, it grows to show what it
  // was filled with. And once the menu that opened it has closed, which gives the focus back
  // to the opener and with it the front, it comes forward again.
  QTimer::singleShot(0, &form, [&form] {
    GrowToContents(form);
    BringForward(form);
  });
  BringForward(form);
}

void SizeToFrameWidth(InputForm& form, double share, int min_width_twips, int min_height_twips) {
  QWidget* outer = OuterFrame(&form);
  const QSize hint = outer->sizeHint();
  int width = hint.width();
  if (QMdiArea* area = AreaAbove(&form)) width = static_cast<int>(share * area->window()->width());
  outer->resize(std::max(width, TwipsToPixels(min_width_twips)),
                std::max(hint.height(), TwipsToPixels(min_height_twips)));
}

}  // namespace quarn
