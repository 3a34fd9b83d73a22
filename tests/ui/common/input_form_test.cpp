#include "ui/common/input_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "ui/common/window_menu.h"
#include "ui/tools/calculator_form.h"
#include "ui/tools/units_form.h"

namespace quarn {
namespace {

constexpr std::array<InputMenuItem, 23> kMenu{{
    {0, "&File", "File", MenuRole::Own},
    {1, "&Store", "FileStore", MenuRole::Own},
    {1, "S&pare", "FileSpare", MenuRole::Own},
    {1, "Printer s&etup", "FilePrinterSetup", MenuRole::PrinterSetup},
    {1, "&Print form", "FilePrint", MenuRole::Disabled},
    {1, "&Transfer", "FileTransfer", MenuRole::Transfer},
    {1, "&Cancel", "FileCancel", MenuRole::Cancel},
    {0, "&Edit", "Edit", MenuRole::Own},
    {1, "Cu&t", "EditCut", MenuRole::Cut},
    {1, "&Copy", "EditCopy", MenuRole::Copy},
    {1, "C&lear", "editclear", MenuRole::Clear},
    {1, "&Paste", "EditPaste", MenuRole::Paste},
    {0, "&Tools", "Tools", MenuRole::Own},
    {1, "&Calculator", "Calculator", MenuRole::Calculator},
    {1, "&Units conversion", "Units", MenuRole::UnitsConversion},
    {0, "&Window", "Window", MenuRole::Own},
    {1, "&Cascade", "Cascade", MenuRole::Cascade},
    {1, "&Tile", "Tile", MenuRole::Tile},
    {1, "Tile &horizontally", "TileH", MenuRole::TileHorizontal},
    {1, "Tile &vertically", "TileV", MenuRole::TileVertical},
    {1, "&List windows", "WindowsList", MenuRole::ListWindows},
    {0, "&Help", "help", MenuRole::Help},
    {0, "T&ransfer", "Transfer", MenuRole::Transfer},
}};

// A small input window: an edit box over two grids, a button, and a command that looks at
// the first grid's cell 1, 1 as a Transfer would.
class SampleForm : public InputForm {
 public:
  explicit SampleForm(MainContext& context)
      : InputForm(context, "SampleForm", "Sample input window") {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    button = new QPushButton("&Look", central);
    layout->addWidget(button);
    auto* spare = new QPushButton("&Spare", central);
    spare->setObjectName("Command2");
    layout->addWidget(spare);
    SetButtonCommand(*spare, "Spare");
    for (size_t i = 0; i < grids.size(); ++i) {
      boxes[i] = new EditCellBox(central);
      grids[i] = new FlexGrid(central);
      grids[i]->SetRows(4);
      grids[i]->SetCols(4);
      layout->addWidget(boxes[i]);
      layout->addWidget(grids[i]);
      // The cell gets the text only when the edit is stored, so a command that runs before
      // the edit is stored finds the cell as it was.
      AddEditSession(*grids[i], *boxes[i], true).SetMirrorTyping(false);
    }
    box = boxes[0];
    setCentralWidget(central);
    BuildMenus(kMenu);
    auto look = [this] { seen.push_back(grids[0]->TextMatrix(1, 1)); };
    SetCommand("FileStore", look);
    SetCommand("Command1", look);
    SetButtonCommand(*button, "Command1");
    SetHelp("RovozUzav.HLP", "Sample keyword");
    resize(360, 300);
  }

  void Transfer() override { ++transfers; }
  int transfers = 0;
  int edit_commands = 0;
  inline static int close_box_calls = 0;  // of every window, closed or not
  bool close_box_answer = true;
  std::vector<std::string> seen;
  EditCellBox* box = nullptr;
  QPushButton* button = nullptr;
  std::array<FlexGrid*, 2> grids{};
  std::array<EditCellBox*, 2> boxes{};

 protected:
  void AfterEditCommand() override { ++edit_commands; }
  bool CloseBox() override {
    ++close_box_calls;
    return close_box_answer;
  }
};

// A second window class, for a second window in the frame.
class OtherForm : public SampleForm {
 public:
  using SampleForm::SampleForm;
};

void Settle() {
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
}

// The frame with its area, and an opener inside it.
class InputFormTest : public testing::MainWindowTest {
 protected:
  InputFormTest() {
    SampleForm::close_box_calls = 0;
    frame->setCentralWidget(area);
    frame->resize(900, 900);
    opener->setWindowTitle("Opener window");
    opener_sub = area->addSubWindow(opener);
    opener_sub->resize(300, 200);
    opener_sub->show();
    EXPECT_TRUE(testing::ShowActive(*frame));
  }
  ~InputFormTest() override { Settle(); }

  template <class W = SampleForm>
  W* Open(QWidget* from, bool disable_opener = true) {
    W* form = ShowInputForm<W>(
        *context, from, [](MainContext& c) { return new W(c); }, 1500, 750, disable_opener);
    testing::ProcessEvents();
    return form;
  }
  bool OpenerEnabled() const { return opener->isEnabled() && opener_sub->isEnabled(); }
  bool OpenerDisabled() const { return !opener->isEnabled() && !opener_sub->isEnabled(); }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  QWidget* opener = new QWidget;
  QMdiSubWindow* opener_sub = nullptr;
};

TEST_F(InputFormTest, MenusCarryTheTableAndEachRoleItsCommand) {
  SampleForm* form = Open(opener);
  for (const InputMenuItem& item : kMenu) {
    QAction* a = form->menuBar()->findChild<QAction*>(item.name);
    ASSERT_NE(a, nullptr) << item.name;
    EXPECT_EQ(a->text(), item.caption == std::string("-") ? QString() : ToQt(item.caption));
    // Greyed: the Disabled item, and an item left without a command of its own.
    const bool greyed = item.role == MenuRole::Disabled || std::string(item.name) == "FileSpare";
    EXPECT_EQ(a->isEnabled(), !greyed) << item.name;
  }
  EXPECT_TRUE(form->button->isEnabled());
  EXPECT_FALSE(form->findChild<QPushButton*>("Command2")->isEnabled())
      << "a button with no command";
  testing::ChooseMenu(*form, {"File", "FilePrint"});
  form->RunCommand("FilePrint");
  form->RunCommand("FileSpare");
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  EXPECT_TRUE(prompt.shown.empty() && help.shown.empty() && printer.setups == 0);

  form->RunCommand("Calculator");
  form->RunCommand("Units");
  EXPECT_NE(AppWindows().Find<CalculatorForm>(), nullptr);
  EXPECT_NE(AppWindows().Find<UnitsForm>(), nullptr);
  AppWindows().Unload<CalculatorForm>();
  AppWindows().Unload<UnitsForm>();
  form->RunCommand("FilePrinterSetup");
  EXPECT_EQ(printer.setups, 1);
  form->RunCommand("help");
  ASSERT_EQ(help.shown.size(), 1U);
  EXPECT_EQ(help.shown[0],
            std::make_pair(std::string("RovozUzav.HLP"), std::string("Sample keyword")));
  form->RunCommand("Transfer");
  form->RunCommand("FileTransfer");
  EXPECT_EQ(form->transfers, 2);
  EXPECT_FALSE(form->Edited());
}

TEST_F(InputFormTest, MenuItemAndButtonFindTheCellBeingTyped) {
  // On its own, where a click on the menu or the button leaves the focus in the box; inside
  // the frame the click also takes the focus to the window's sub-window.
  SampleForm* form = Open(nullptr);
  ASSERT_TRUE(testing::ShowActive(*form));
  FlexGrid& grid = *form->grids[0];
  testing::ClickCell(grid, 1, 1);
  testing::Type("7");
  ASSERT_TRUE(form->box->isVisible());
  ASSERT_EQ(grid.TextMatrix(1, 1), "") << "not stored while typed";
  testing::ChooseMenu(*form, {"File", "FileStore"});
  EXPECT_EQ(form->seen, std::vector<std::string>{"7"});
  EXPECT_TRUE(form->Edited());

  form->ClearEdited();
  grid.SetTextMatrix(1, 1, "");
  testing::ClickCell(grid, 1, 1);
  testing::Type("7");
  QTest::mouseClick(form->button, Qt::LeftButton);
  EXPECT_EQ(form->seen, (std::vector<std::string>{"7", "7"}));
  EXPECT_TRUE(form->Edited());
  EXPECT_FALSE(form->button->hasFocus());
  form->CloseForm();
}

TEST_F(InputFormTest, EditCommandsActOnTheGridLastFocusedAndMarkTheWindow) {
  SampleForm* form = Open(opener);
  FlexGrid& second = *form->grids[1];
  testing::ClickCell(second, 2, 1);
  SetClipboardText("1\t2");
  form->RunCommand("EditPaste");
  EXPECT_EQ(second.TextMatrix(2, 1), "1");
  EXPECT_EQ(second.TextMatrix(2, 2), "2");
  EXPECT_EQ(form->grids[0]->TextMatrix(2, 1), "");
  EXPECT_TRUE(form->Edited());
  EXPECT_EQ(form->edit_commands, 1);

  form->ClearEdited();
  form->RunCommand("EditCopy");
  EXPECT_FALSE(form->Edited()) << "Copy changes nothing";
  EXPECT_EQ(form->edit_commands, 2);
  form->RunCommand("editclear");
  EXPECT_EQ(second.TextMatrix(2, 1), "");
  EXPECT_TRUE(form->Edited());
}

TEST_F(InputFormTest, OpenerIsOutOfUseUntilTheWindowIsGoneHoweverItCloses) {
  struct Case {
    const char* how;
    void (*close)(SampleForm&);
  };
  const Case cases[] = {
      {"CloseForm", [](SampleForm& f) { f.CloseForm(); }},
      {"Cancel item", [](SampleForm& f) { f.RunCommand("FileCancel"); }},
      {"close box", [](SampleForm& f) { OuterFrame(&f)->close(); }},
      {"program's unload", [](SampleForm&) { AppWindows().Unload<SampleForm>(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    SampleForm* form = Open(opener);
    EXPECT_EQ(form->parentWidget()->parentWidget(), area->viewport()) << "inside the frame";
    EXPECT_EQ(OuterFrame(form)->pos(), QPoint(100, 50));
    EXPECT_TRUE(OpenerDisabled());
    c.close(*form);
    Settle();
    EXPECT_EQ(AppWindows().Find<SampleForm>(), nullptr);
    EXPECT_EQ(area->subWindowList().size(), 1) << "no empty frame left behind";
    EXPECT_TRUE(OpenerEnabled());
  }
  Open(opener, false)->CloseForm();
  EXPECT_TRUE(OpenerEnabled()) << "left in use when asked";
  Settle();
  SampleForm* alone = Open(nullptr);
  EXPECT_EQ(alone->parentWidget(), nullptr) << "without an opener the window stands alone";
  EXPECT_TRUE(OpenerEnabled());
  alone->CloseForm();
}

TEST_F(InputFormTest, CloseBoxCanKeepTheWindowAndIsAskedOnlyByTheUser) {
  SampleForm* form = Open(opener);
  form->close_box_answer = false;
  OuterFrame(form)->close();
  Settle();
  ASSERT_EQ(AppWindows().Find<SampleForm>(), form);
  EXPECT_EQ(SampleForm::close_box_calls, 1);
  EXPECT_TRUE(OpenerDisabled());

  OuterFrame(form)->move(20, 30);
  EXPECT_EQ(Open(opener), form) << "a second opening gives the open window";
  EXPECT_EQ(OuterFrame(form)->pos(), QPoint(20, 30)) << "unchanged";

  form->CloseForm();
  Settle();
  EXPECT_EQ(SampleForm::close_box_calls, 1);
  EXPECT_TRUE(OpenerEnabled());

  // The program's end takes the window with the frame and asks nothing.
  Open(opener)->close_box_answer = false;
  frame.reset();
  EXPECT_EQ(SampleForm::close_box_calls, 1);
}

TEST_F(InputFormTest, TilingSharesTheAreaAndTheListBringsAWindowForward) {
  SampleForm* form = Open(opener, false);
  OtherForm* other = Open<OtherForm>(opener, false);
  other->setWindowTitle("Other input window");
  const QRect space = area->viewport()->rect();
  auto windows = area->subWindowList();
  ASSERT_EQ(windows.size(), 3);

  for (const bool side_by_side : {false, true}) {
    form->RunCommand(side_by_side ? "TileV" : "TileH");
    QRegion covered;
    for (QMdiSubWindow* sub : windows) {
      const QRect g = sub->geometry();
      EXPECT_FALSE(covered.intersects(g)) << "windows overlap";
      covered += g;
      EXPECT_EQ(side_by_side ? g.height() : g.width(),
                side_by_side ? space.height() : space.width());
    }
    EXPECT_EQ(covered, QRegion(space)) << "the whole area";
  }

  testing::ChooseMenu(*other, {"Window", "WindowsList"});
  QMenu* list = other->menuBar()->findChild<QAction*>("WindowsList")->menu();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(testing::WaitFor([list] { return list->isVisible(); }));
  QStringList captions;
  for (QAction* a : list->actions()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"Opener window", "Sample input window", "Other input window"}));
  list->actions()[1]->trigger();
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  EXPECT_EQ(area->activeSubWindow(), OuterFrame(form));

  // A window hidden while a window it opened is open (the building window under the
  // scenario editor) is no choice: picking it showed nothing.
  OuterFrame(form)->hide();
  testing::ChooseMenu(*other, {"Window", "WindowsList"});
  ASSERT_TRUE(testing::WaitFor([list] { return list->isVisible(); }));
  captions.clear();
  for (QAction* a : list->actions()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"Opener window", "Other input window"}));
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

}  // namespace
}  // namespace quarn
