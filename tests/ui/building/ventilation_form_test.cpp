#include "ui/building/ventilation_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/menu_input.h"
#include "editor_window_fixture.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "text/text_reader.h"
#include "ui/common/window_menu.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using Points = std::vector<std::pair<float, float>>;

// A pair line: the second number in the print zone from column 15.
std::string PairLine(std::string a, const char* b) {
  return a.append(14 - a.size(), ' ') + b + "\r\n";
}

// Ten points two hours apart at rate 1, and the "0" a reset leaves in the cycle flag; the
// window opened from the scenario editor inside the frame.
class VentilationWindow : public testing::EditorWindowTest {
 protected:
  VentilationWindow() {
    Scenario().VentScheduleFlag = "0";
    Points ten;
    for (int i = 0; i < 10; ++i) ten.emplace_back(2.0f * static_cast<float>(i), 1.0f);
    SetPoints(ten);
    OpenEditor();
  }

  void SetPoints(const Points& points) {
    Scenario().VentTime.fill(0);
    Scenario().VentRate.fill(0);
    for (size_t i = 0; i < points.size(); ++i) {
      Scenario().VentTime[i + 1] = points[i].first;
      Scenario().VentRate[i + 1] = points[i].second;
    }
  }
  // Points 1 to 50 of the record.
  Points Record() {
    Points points;
    for (int i = 1; i <= 50; ++i)
      points.emplace_back(Scenario().VentTime[i], Scenario().VentRate[i]);
    return points;
  }
  static Points Padded(Points head) {
    head.resize(50, {0.0f, 0.0f});
    return head;
  }
  VentilationForm* Open() {
    ChooseMenu(*editor, {"NaturalFlows", "Ventilation"});
    form = AppWindows().Find<VentilationForm>();
    return form;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<VentilationForm>() != nullptr;
  }
  void TypeInto(int row, int col, const char* text) { TypeIntoCell(Grid(), row, col, text); }
  // Rows (0, 1), (2, 0.5), (5, 0) typed over the first three points, a time of 0 in row 4.
  void TypeThreePoints() {
    TypeInto(2, 2, "0.5");
    TypeInto(3, 1, "5");
    TypeInto(3, 2, "0");
    TypeInto(4, 1, "0");
  }
  FlexGrid& Grid() { return form->Grid(); }
  std::vector<std::string> Column(int col, int rows) {
    std::vector<std::string> texts;
    for (int r = 1; r <= rows; ++r) texts.push_back(Grid().TextMatrix(r, col));
    return texts;
  }

  VentilationForm* form = nullptr;
};

const Points kThree = {{0, 1}, {2, 0.5f}, {5, 0}};

TEST_F(VentilationWindow, OpensFromTheEditorAndTransfersUpToTheFirstTimeOfZero) {
  editor->findChild<QRadioButton*>("micrograms")->setChecked(true);
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Scenario().ConcUnits, "micrograms") << "the units are stored first";
  EXPECT_EQ(form->windowTitle(), "Ventilation rate");
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Grid().Rows(), 51);
  EXPECT_EQ(Column(1, 11),
            (std::vector<std::string>{"0", "2", "4", "6", "8", "10", "12", "14", "16", "18", ""}));
  EXPECT_TRUE(form->findChild<QRadioButton*>("OptionNo")->isChecked()) << "a reset's \"0\"";
  EXPECT_FALSE(testing::ActionNamed(form->findChildren<QAction*>(), "FilePrint")->isEnabled());

  TypeThreePoints();
  form->findChild<QRadioButton*>("OptionYes")->click();
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(Record(), Padded(kThree)) << "a rate of 0 is a point; the time of 0 ends the list";
  EXPECT_EQ(Scenario().VentScheduleFlag.str(), "Y");
  EXPECT_EQ(state->VentilationSaved, true);
  EXPECT_EQ(state->ScenarioSaved, false);
}

TEST_F(VentilationWindow, SavesTheStoredPointsAndOpensAFileInPlaceOfTheRecord) {
  ASSERT_NE(Open(), nullptr);
  TypeThreePoints();
  dialogs.answers = {Path("vent")};
  ChooseMenu(*form, {"File", "filesave"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("vent.VEN"), bytes));
  EXPECT_EQ(bytes, PairLine(" 0 ", " 1 ") + PairLine(" 2 ", " .5 ") + PairLine(" 5 ", " 0 "));
  EXPECT_EQ(form->findChild<QLineEdit*>("VentFileName")->text().toStdString(), Path("vent.VEN"));
  EXPECT_EQ(Record(), Padded(kThree));
  EXPECT_EQ(state->VentilationSaved, true);
  EXPECT_TRUE(IsOpen());

  Points ten;
  for (int i = 0; i < 10; ++i) ten.emplace_back(static_cast<float>(i), 3.0f);
  SetPoints(ten);
  state->ScenarioSaved = true;
  dialogs.answers = {Path("vent.VEN")};
  ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_EQ(Record(), Padded(kThree));
  EXPECT_EQ(Column(2, 4), (std::vector<std::string>{"1", "0.5", "0", ""}));
  EXPECT_EQ(state->ScenarioSaved, false);
  EXPECT_EQ(Scenario().VentScheduleFlag.str(), "N") << "as the save stored it";

  std::string many;
  for (int i = 1; i <= 51; ++i) many += PairLine(" " + std::to_string(i) + " ", " 1 ");
  std::ofstream(Path("many.VEN"), std::ios::binary) << many;
  dialogs.answers = {Path("many.VEN")};
  form->RunCommand("fileopen");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  " + Path("many.VEN") + " holds more than 50 points.");
  EXPECT_EQ(Record(), Padded(kThree));
  EXPECT_EQ(Grid().TextMatrix(3, 1), "5");
}

TEST_F(VentilationWindow, CancelAsksOnlyAfterAnEditAndDropsIt) {
  const Points before = Record();
  ASSERT_NE(Open(), nullptr);
  TypeInto(1, 2, "7");
  prompt.answers = {Answer::No, Answer::Yes};
  ChooseMenu(*form, {"File", "FileCancel"});
  // The question's words are the HVAC flow history's, asked by the same code.
  EXPECT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(Grid().TextMatrix(1, 2), "7");
  ChooseMenu(*form, {"cancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Record(), before);

  ASSERT_NE(Open(), nullptr);
  form->RunCommand("cancel");
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.shown.size(), 2U);
}

// The close box does what Cancel does: it stores nothing, and asks first after an edit.
TEST_F(VentilationWindow, TheCloseBoxStoresNothing) {
  // Point 4 lies beyond a time of 0: only a store of the grid would drop it.
  SetPoints({{0, 1}, {2, 2}, {0, 0}, {7, 3}});
  const Points before = Record();
  ASSERT_NE(Open(), nullptr);
  OuterFrame(form)->close();
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.shown.size(), 0U);

  ASSERT_NE(Open(), nullptr);
  testing::ClickCell(Grid(), 1, 2);
  testing::Type("4");  // still in the edit box when the window closes
  prompt.answers = {Answer::Yes};
  OuterFrame(form)->close();
  EXPECT_FALSE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(Record(), before);
  EXPECT_EQ(state->VentilationSaved, false);
}

TEST_F(VentilationWindow, DeleteAndInsertRowKeepFiftyNumberedRows) {
  ASSERT_NE(Open(), nullptr);
  testing::ClickCell(Grid(), 1, 1);
  ChooseMenu(*form, {"Edit", "DeleteRow"});
  EXPECT_EQ(Grid().Rows(), 51);
  EXPECT_EQ(Grid().TextMatrix(1, 1), "2");
  EXPECT_EQ(Grid().TextMatrix(50, 0), "50");
  TypeInto(50, 1, "99");
  testing::ClickCell(Grid(), 1, 1);
  form->RunCommand("InsertRow");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Row 50 is not empty, so no row can be inserted.");
  form->RunCommand("help");
  EXPECT_EQ(
      help.shown,
      (std::vector<std::pair<std::string, std::string>>{{"RovozUzav.HLP", "Ventilation cycles"}}));
}

}  // namespace
}  // namespace quarn
