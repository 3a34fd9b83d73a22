#include "ui/building/hvac_flow_history.h"

#include <gtest/gtest.h>

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
#include "ui/grids/scenario_grid.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using Texts = std::vector<std::string>;

// The scenario's history (0, 1), (8, 0.5), (16, 1), outdoor flows only, a cycle; the
// window opened from the scenario editor inside the frame.
class HVACFlowHistoryWindow : public testing::EditorWindowTest {
 protected:
  HVACFlowHistoryWindow() {
    ScenarioRecord& s = Scenario();
    s.ConstantHVAC = "N";
    s.HVACHistoryOutdoorOnly = -1;
    s.HVACHistoryCycle = "Y";
    SetPoints({{0, 1}, {8, 0.5f}, {16, 1}});
    OpenEditor();
  }

  void SetPoints(const std::vector<std::pair<float, float>>& points) {
    Scenario().HVACHistoryTime.fill(0);
    for (size_t i = 0; i < points.size(); ++i) {
      Scenario().HVACHistoryTime[i + 1] = points[i].first;
      Scenario().HVACHistoryFraction[i + 1] = points[i].second;
    }
  }
  HVACFlowHistory* Open() {
    ChooseMenu(*editor, {"HVAC", "HVACHist"});
    form = AppWindows().Find<HVACFlowHistory>();
    return form;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<HVACFlowHistory>() != nullptr;
  }
  bool Checked(const char* name) { return form->findChild<QRadioButton*>(name)->isChecked(); }
  // Where a user clicks an option or a button: on its mark or the start of its caption.
  void Click(const char* name) {
    auto* button = form->findChild<QAbstractButton*>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  void TypeInto(int row, int col, const char* text) { TypeIntoCell(Grid(), row, col, text); }
  FlexGrid& Grid() { return form->Grid(); }
  // Rows 1 to 50 of a column; Expected gives its first texts, the rest empty.
  Texts Column(int col) {
    Texts texts;
    for (int r = 1; r <= 50; ++r) texts.push_back(Grid().TextMatrix(r, col));
    return texts;
  }
  static Texts Expected(Texts head) {
    head.resize(50);
    return head;
  }

  HVACFlowHistory* form = nullptr;
};

TEST_F(HVACFlowHistoryWindow, OpensFromTheEditorAndTransfersGridAndOptions) {
  editor->ScenarioSS().SetTextMatrix(scenario_row::kName, 1, "Read back");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Scenario().Name, "Read back") << "the editor's grid is read back first";
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Grid().Rows(), 51);
  EXPECT_EQ(Column(1), Expected({"0", "8", "16"}));
  EXPECT_TRUE(Checked("OptionOutdoor") && Checked("YesOption"));
  EXPECT_EQ(Grid().Row() * 10 + Grid().Col(), 11);

  TypeInto(4, 1, "20");
  testing::ClickCell(Grid(), 4, 2);
  testing::Type("x.2");  // the box takes numbers only
  Click("OptionAll");
  Click("NoOption");
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  const ScenarioRecord& s = Scenario();
  EXPECT_EQ(s.HVACHistoryTime[4], 20);
  EXPECT_EQ(s.HVACHistoryFraction[4], 0.2f);
  EXPECT_EQ(s.HVACHistoryTime[5] + s.HVACHistoryFraction[5], 0);
  EXPECT_EQ(s.HVACHistoryOutdoorOnly, 0);
  EXPECT_EQ(s.HVACHistoryCycle.str(), "N");
  EXPECT_EQ(state->ScenarioSaved, false);
}

TEST_F(HVACFlowHistoryWindow, GenerateRandomReplacesTheWholeHistory) {
  std::vector<std::pair<float, float>> ten;
  for (int i = 0; i < 10; ++i) ten.emplace_back(2.0f * static_cast<float>(i), 0.5f);
  SetPoints(ten);
  ASSERT_NE(Open(), nullptr);
  const struct {
    const char* fraction_on;
    float draw;
    Texts fractions;
  } cases[] = {{"1", 0.99f, {"1.", "1"}}, {"abc", 0.02f, {"0", "0"}}};  // "abc" is 0: off
  for (const auto& c : cases) {
    form->findChild<QLineEdit*>("FractionOn")->setText(c.fraction_on);
    form->SetRandomSource([d = c.draw] { return d; });
    form->ClearEdited();
    Click("tbnRandom");
    EXPECT_EQ(Column(1), Expected({"0", "24."})) << c.fraction_on;
    EXPECT_EQ(Column(2), Expected(c.fractions)) << c.fraction_on;
    EXPECT_TRUE(form->Edited());
  }
  EXPECT_EQ(Scenario().HVACHistoryTime[3], 4) << "the record waits for Transfer";
}

TEST_F(HVACFlowHistoryWindow, SaveAndOpenFlowFiles) {
  ASSERT_NE(Open(), nullptr);
  dialogs.answers = {Path("h")};
  ChooseMenu(*form, {"File", "filesave"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("h.FHI"), bytes));
  // Pairs: the second number in the print zone from column 15.
  auto pair = [](std::string a, const char* b) {
    return a.append(14 - a.size(), ' ') + b + "\r\n";
  };
  const std::string head =
      " 1 \r\nY\r\n" + pair(" 0 ", " 1 ") + pair(" 8 ", " .5 ") + pair(" 16 ", " 1 ");
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_TRUE(IsOpen());

  TypeInto(2, 1, "9");
  Click("OptionAll");
  Scenario().HVACHistoryTime[2] = 9;
  state->ScenarioSaved = true;
  dialogs.answers = {Path("h.FHI")};
  ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_EQ(Scenario().HVACHistoryTime[2], 8);
  EXPECT_EQ(Grid().TextMatrix(2, 1), "8");
  EXPECT_TRUE(Checked("OptionOutdoor"));
  EXPECT_EQ(state->ScenarioSaved, false);

  // A copy cut after its 20th line is refused whole.
  size_t cut = 0;
  for (int line = 0; line < 20; ++line) cut = bytes.find("\r\n", cut) + 2;
  std::ofstream(Path("cut.FHI"), std::ios::binary) << bytes.substr(0, cut);
  TypeInto(2, 1, "9");
  dialogs.answers = {Path("cut.FHI"), Path("no folder/h")};
  form->RunCommand("fileopen");
  EXPECT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(Scenario().HVACHistoryTime[2], 8);
  EXPECT_EQ(Grid().TextMatrix(2, 1), "9");
  form->RunCommand("filesave");  // into a folder that is not there
  EXPECT_EQ(prompt.Count("message"), 2U);
}

// Both Cancels ask before dropping typed edits; neither stores.
TEST_F(HVACFlowHistoryWindow, BothCancelsAskAfterEditsAndNeitherStores) {
  ASSERT_NE(Open(), nullptr);
  TypeInto(1, 2, "0.7");
  prompt.answers = {Answer::No, Answer::Yes};
  ChooseMenu(*form, {"File", "FileCancel"});
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "All changes will be lost.  Do you wish to continue and lose changes?");
  EXPECT_EQ(prompt.shown[0].title + (prompt.shown[0].icon == MessageIcon::Critical ? "!" : ""),
            "Warning!");
  EXPECT_EQ(Grid().TextMatrix(1, 2), "0.7");
  form->RunCommand("FileCancel");
  EXPECT_FALSE(IsOpen());

  ASSERT_NE(Open(), nullptr);
  TypeInto(1, 2, "0.7");
  ChooseMenu(*form, {"cancel"});
  EXPECT_FALSE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 3U);
  EXPECT_EQ(prompt.shown[2].text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(Scenario().HVACHistoryFraction[1], 1);
}

TEST_F(HVACFlowHistoryWindow, InsertAndDeleteRowKeepFiftyNumberedRows) {
  SetPoints({{0, 1}, {8, 1.0f / 3.0f}, {16, 1}});
  ASSERT_NE(Open(), nullptr);
  Texts numbers;
  for (int r = 1; r <= 50; ++r) numbers.push_back(std::to_string(r));
  testing::ClickCell(Grid(), 2, 1);
  ChooseMenu(*form, {"Edit", "InsertRow"});
  EXPECT_EQ(Column(1), Expected({"0", "8", "", "16"}));
  EXPECT_EQ(Column(0), numbers);
  testing::ClickCell(Grid(), 1, 1);
  ChooseMenu(*form, {"Edit", "DeleteRow"});
  EXPECT_EQ(Column(1), Expected({"8", "", "16"}));
  EXPECT_EQ(Column(0), numbers);
  EXPECT_EQ(Grid().Rows(), 51);

  TypeInto(50, 1, "40");
  testing::ClickCell(Grid(), 1, 1);
  form->RunCommand("InsertRow");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Row 50 is not empty, so no row can be inserted.");
  EXPECT_EQ(Column(1)[1], "");
  form->RunCommand("Transfer");
  EXPECT_EQ(Scenario().HVACHistoryFraction[1], 1.0f / 3.0f) << "the exact number moved with it";
  EXPECT_EQ(Scenario().HVACHistoryTime[50], 40);
}

TEST_F(HVACFlowHistoryWindow, PrintsTheRecordNotTheGrid) {
  ASSERT_NE(Open(), nullptr);
  TypeInto(4, 1, "20");
  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  const Texts lines = printer.Lines();
  ASSERT_EQ(lines.size(), 6U) << "a title, two headings and the record's three points";
  EXPECT_EQ(lines[1], testing::Line({{20, "Changes in HVAC Flow "}}));
  form->RunCommand("help");
  EXPECT_EQ(help.shown, (std::vector<std::pair<std::string, std::string>>{{"RovozUzav.HLP", ""}}));
}

}  // namespace
}  // namespace quarn
