#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/window_registry.h"
#include "ui/common/grid_edit.h"
#include "ui/common/main_context.h"

namespace quarn {

class EditCellBox;
class FlexGrid;

// What a menu item of an input window does.
enum class MenuRole {
  // The window's command of the item's name (SetCommand).
  Own,
  // Nothing: shown greyed.
  Disabled,
  // The window's Transfer() and Cancel().
  Transfer,
  Cancel,
  // The Edit commands, on the grid that last had the focus.
  Cut,
  Copy,
  Clear,
  Paste,
  // The frame's arrangements of its windows: cascade, tile, one below the other at the
  // area's full width, side by side at its full height; and the list of its open windows.
  Cascade,
  Tile,
  TileHorizontal,
  TileVertical,
  ListWindows,
  // The Tools, the printer's set-up dialog, and the help file and keyword of SetHelp.
  Calculator,
  UnitsConversion,
  PrinterSetup,
  Help,
};

// One line of an input window's menus: depth (0 a menu of the bar), caption (Windows-1252,
// "&" marks the access key, "-" a separator), object name and role. A line followed by
// deeper lines is a menu; a menu of the bar without items is a command of its own.
struct InputMenuItem {
  int depth;
  const char* caption;
  const char* name;
  MenuRole role;
};

// What every input window shares: the menus built from its table, every command run through
// one place that first stores the cell being typed, the grids' edit sessions and the Edit
// commands on them, the Window, Tools, printer and help commands, and a closing that asks
// the window (CloseBox) only when the user closes it by its close box.
//
// The window owns no model data: it fills its grids from the record and its Transfer reads
// them back.
class InputForm : public QMainWindow {
  Q_OBJECT

 public:
  InputForm(MainContext& context, const char* object_name, const char* caption);
  ~InputForm() override;

  // The menu bar from the table; each item runs its role through RunCommand. An Own item
  // is greyed until the window gives it a command.
  void BuildMenus(std::span<const InputMenuItem> items);
  // The command of an Own item, a button or a spinner of that name.
  void SetCommand(const std::string& name, std::function<void()> command);
  // A click on the button runs the command of that name; until there is one (an item's role
  // or an own command) the button is greyed. The button takes no focus, so the edit box
  // keeps the text being typed until the command stores it.
  void SetButtonCommand(QAbstractButton& button, const std::string& name);
  // The keys of the item of that name: Edit > Copy and Paste take Ctrl+C and Ctrl+V, in a
  // window whose Edit items are its own commands too.
  void SetShortcut(const std::string& name, const QKeySequence& keys);
  // Each change the user makes in these controls (typing in a box, picking from a list,
  // clicking an option) marks the window edited, as a typed cell does.
  void CountAsEdits(std::initializer_list<QWidget*> controls);
  // The help file and keyword (which may be empty) that the Help items open.
  void SetHelp(std::string help_file, std::string keyword);

  // Every command of the window goes through these: each first stores the open edit of
  // every edit session, then runs the command of an item (or an own command) of that name,
  // or the role's command. An unknown name and a Disabled item do nothing, and so does a
  // command whose open edit was refused.
  void RunCommand(const std::string& name);
  void RunRole(MenuRole role);

  // A grid edited in place through its edit box, for the window's life. The session keeps
  // the windows' cell_edit_active and grid_events_enabled; every stored cell marks the window
  // edited and is passed to AfterCellCommit.
  GridEdit& AddEditSession(FlexGrid& grid, EditCellBox& box, bool numeric_only,
                           GridEdit::Wiring wiring = GridEdit::Wiring::Automatic);
  // The session the Edit commands act on: the one whose grid or box last had the focus,
  // the first until then; nullptr in a window without grids.
  GridEdit* EditTarget() const;

  // The grid of a window built round one grid, and the box EditCell its cells are typed in;
  // only in a window that has them.
  FlexGrid& Grid() { return *grid_; }
  EditCellBox& EditCell() { return *edit_cell_; }

  // The window's own mark that the user changed something since it was filled, an entry
  // still being typed included.
  bool Edited() const;
  void MarkEdited() { edited_ = true; }
  void ClearEdited() { edited_ = false; }

  // Closes the window, inside the frame its sub-window too, asking nothing.
  void CloseForm();

  // The Transfer and Cancel roles. Transfer stores the window's data and closes it; Cancel
  // closes it without storing, after asking when the user changed something.
  virtual void Transfer() = 0;
  virtual void Cancel();

 protected:
  // After Cut, Copy, Clear or Paste has changed the grid.
  virtual void AfterEditCommand() {}
  // After an edit session stored a typed text into that cell.
  virtual void AfterCellCommit(int /*row*/, int /*col*/) {}
  // The user closes the window by its close box: true lets it close. It does what Cancel
  // does: it closes without storing anything, after asking when the user changed something.
  virtual bool CloseBox() { return AgreeToDropEdits(); }
  // True when nothing was changed, or the user agrees to lose the changes: "All changes will
  // be lost.  Do you wish to continue?", No by default.
  bool AgreeToDropEdits();

  void closeEvent(QCloseEvent* event) override;
  // Stores the open edit of every edit session, as every command does first; false when an
  // entry was refused, and the command must then stop.
  bool CommitOpenEdits();

  MainContext& ctx_;
  FlexGrid* grid_ = nullptr;
  EditCellBox* edit_cell_ = nullptr;

 private:
  struct Session {
    FlexGrid* grid;
    EditCellBox* box;
    GridEdit* edit;
  };

  void Perform(MenuRole role);
  void EditCommand(MenuRole role);

  std::map<std::string, MenuRole> roles_;
  std::map<std::string, std::function<void()>> commands_;
  std::multimap<std::string, QPointer<QAbstractButton>> buttons_;
  std::vector<Session> sessions_;
  size_t target_ = 0;
  QMetaObject::Connection focus_watch_;
  std::string help_file_;
  std::string help_keyword_;
  bool edited_ = false;
  bool closing_ = false;
};

// Grows an input window inside the frame to show all that it holds; a window that fills its grid
// after it is placed calls it again.
void GrowToContents(QWidget& form);

// Brings an open window in front of the frame's others, as it is.
void BringForward(QWidget& window);
// A new input window shown at (left, top) in the area of the opener's frame (on its own
// without one), the opener disabled until the window is gone when `disable_opener` is set.
void PlaceInputForm(InputForm& form, QWidget* opener, int left_twips, int top_twips,
                    bool disable_opener);

// Sizes a window shown in the frame to `share` of the frame's width (its own width on its
// own), never below the given size.
void SizeToFrameWidth(InputForm& form, double share, int min_width_twips, int min_height_twips);

// Opens the input window of class W, one at a time: a new one is made by `make()` (or
// `make(context)`), placed and shown, and puts its opener out of use until it is gone
// unless `disable_opener` is false; a null opener (a window no command opens) disables
// nothing. An open one is brought forward unchanged. The caller fills the window.
template <class W, class Make>
W* ShowInputForm(MainContext& context, QWidget* opener, Make make, int left_twips, int top_twips,
                 bool disable_opener = true) {
  static_assert(std::is_base_of_v<InputForm, W>);
  if (W* open = AppWindows().Find<W>()) {
    BringForward(*open);
    return open;
  }
  W* form = AppWindows().Load<W>([&]() -> W* {
    if constexpr (std::is_invocable_v<Make&, MainContext&>) {
      return make(context);
    } else {
      return make();
    }
  });
  PlaceInputForm(*form, opener, left_twips, top_twips, disable_opener);
  return form;
}

// A window ShowInputForm opened, and whether it was open already, so that the caller fills
// a new one only.
template <class W>
struct ShownInputForm {
  W* form;
  bool was_open;
};

// ShowInputForm of a window made by `new W(context)`.
template <class W>
ShownInputForm<W> ShowInputFormOnce(MainContext& context, QWidget* opener, int left_twips,
                                    int top_twips, bool disable_opener = true) {
  const bool was_open = AppWindows().Find<W>() != nullptr;
  W* form = ShowInputForm<W>(
      context, opener, [](MainContext& c) { return new W(c); }, left_twips, top_twips,
      disable_opener);
  return {form, was_open};
}

}  // namespace quarn
