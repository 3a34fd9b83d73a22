#include "ui/building/hvac_flow_history.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/text_reader.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/scenario_grid.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using testing::ClickCell;
using testing::Line;

// The lines of a file written with CR LF line ends.
std::vector<std::string> FileLines(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(bytes.substr(at, end - at));
  }
  return lines;
}

// The history of the scenario: (0, 1), (8, 0.5), (16, 1), outdoor flows only, a cycle.
class HVACFlowHistoryWindow : public testing::MainWindowTest {
 protected:
  HVACFlowHistoryWindow() {
    BuildingRecord& b = state->Building;
    b.NumRooms = 1;
    b.RoomList[1].Name = "Kitchen";
    ScenarioRecord& s = b.Scenario;
    s.Name = "R1";
    s.PollutantClass = "VOC";
    s.ConcUnits = "milligrams";
    s.NumPollutants = 1;
    s.YearsSimulated = 1;
    s.ConstantHVAC = "N";
    SetPoints({{0, 1}, {8, 0.5f}, {16, 1}});
    s.HVACHistoryOutdoorOnly = -1;
    s.HVACHistoryCycle = "Y";
    frame->setCentralWidget(area);
    frame->resize(1200, 900);
    EXPECT_TRUE(testing::ShowActive(*frame));
    editor = OpenScenarioEditor(*context, area, nullptr);
    testing::ProcessEvents();
  }
  ~HVACFlowHistoryWindow() override {
    frame.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  ScenarioRecord& Scenario() { return state->Building.Scenario; }
  void SetPoints(const std::vector<std::pair<float, float>>& points) {
    Scenario().HVACHistoryTime.fill(0);
    Scenario().HVACHistoryFraction.fill(0);
    for (size_t i = 0; i < points.size(); ++i) {
      Scenario().HVACHistoryTime[i + 1] = points[i].first;
      Scenario().HVACHistoryFraction[i + 1] = points[i].second;
    }
  }
  // HVAC > Variable HVAC flows of the scenario editor.
  HVACFlowHistory* Open() {
    ChooseMenu(*editor, {"HVAC", "HVACHist"});
    testing::ProcessEvents();
    return AppWindows().Find<HVACFlowHistory>();
  }
  bool Checked(const char* name) { return form->findChild<QRadioButton*>(name)->isChecked(); }
  // A click where a user clicks an option or a button: near its left end, on its mark or
  // its caption.
  void Click(const char* name) {
    auto* button = form->findChild<QAbstractButton*>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  void TypeInto(int row, int col, const char* text) {
    ClickCell(Grid(), row, col);
    testing::Type(text);
    testing::Enter();
  }
  FlexGrid& Grid() { return form->HVACHistss(); }
  std::vector<std::string> Column(int col) {
    std::vector<std::string> texts;
    for (int r = 1; r <= 50; ++r) texts.push_back(Grid().TextMatrix(r, col));
    return texts;
  }
  static std::vector<std::string> Numbered() {
    std::vector<std::string> n;
    for (int r = 1; r <= 50; ++r) n.push_back(std::to_string(r));
    return n;
  }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  mainscenarioform* editor = nullptr;
  HVACFlowHistory* form = nullptr;
};

TEST_F(HVACFlowHistoryWindow, OpensFromTheEditorAndTransfersGridAndOptions) {
  editor->ScenarioSS().SetTextMatrix(scenario_row::kName, 1, "Read back");
  form = Open();
  EXPECT_EQ(Scenario().Name, "Read back") << "the editor's grid is read back first";
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), "HVAC Flow History");
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Grid().Rows(), 51);
  EXPECT_EQ(Column(1)[2], "16");
  EXPECT_EQ(Column(2)[1], "0.5");
  EXPECT_EQ(Column(1)[3], "");
  EXPECT_TRUE(Checked("OptionOutdoor"));
  EXPECT_EQ(form->findChild<QRadioButton*>("OptionOutdoor")->text(), "Outdoor flows ");
  EXPECT_TRUE(Checked("YesOption"));
  EXPECT_EQ(form->findChild<QGroupBox*>("CycleFrame")->title(), "Is this a cycle?");
  EXPECT_EQ(Grid().Row(), 1);
  EXPECT_EQ(Grid().Col(), 1);

  TypeInto(4, 1, "20");
  TypeInto(4, 2, ".2");
  ClickCell(Grid(), 4, 2);
  testing::Type("x.25");  // the box takes numbers only
  Click("OptionAll");
  Click("NoOption");
  state->ScenarioSaved = kTrue;
  ChooseMenu(*form, {"Transfer"});  // stores the cell being typed first
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<HVACFlowHistory>(), nullptr);
  EXPECT_TRUE(editor->isEnabled());
  const ScenarioRecord& s = Scenario();
  EXPECT_FLOAT_EQ(s.HVACHistoryTime[3], 16);
  EXPECT_FLOAT_EQ(s.HVACHistoryTime[4], 20);
  EXPECT_FLOAT_EQ(s.HVACHistoryFraction[4], 0.25f);
  EXPECT_EQ(s.HVACHistoryTime[5], 0);
  EXPECT_EQ(s.HVACHistoryFraction[5], 0);
  EXPECT_EQ(s.HVACHistoryOutdoorOnly, 0);
  EXPECT_EQ(s.HVACHistoryCycle.str(), "N");
  EXPECT_EQ(state->ScenarioSaved, kFalse);
}

TEST_F(HVACFlowHistoryWindow, GenerateRandomReplacesTheWholeHistory) {
  std::vector<std::pair<float, float>> ten;
  for (int i = 0; i < 10; ++i) ten.emplace_back(2.0f * static_cast<float>(i), 0.5f);
  SetPoints(ten);
  form = Open();
  ASSERT_NE(form, nullptr);
  const struct {
    const char* fraction_on;
    float draw;
    std::vector<std::string> times, fractions;
  } cases[] = {
      {"1", 0.99f, {"0", "24."}, {"1.", "1"}},
      {"abc", 0.02f, {"0", "24."}, {".", "0"}},  // no number: 0, and this draw is off
  };
  for (const auto& c : cases) {
    form->findChild<QLineEdit*>("FractionOn")->setText(c.fraction_on);
    form->SetRandomSource([d = c.draw] { return d; });
    form->ClearEdited();
    Click("tbnRandom");
    std::vector<std::string> times(50), fractions(50);
    std::copy(c.times.begin(), c.times.end(), times.begin());
    std::copy(c.fractions.begin(), c.fractions.end(), fractions.begin());
    EXPECT_EQ(Column(1), times) << c.fraction_on;
    EXPECT_EQ(Column(2), fractions) << c.fraction_on;
    EXPECT_TRUE(form->Edited());
  }
  EXPECT_FLOAT_EQ(Scenario().HVACHistoryTime[3], 4) << "the record waits for Transfer";
}

TEST_F(HVACFlowHistoryWindow, SaveAndOpenFlowFiles) {
  form = Open();
  ASSERT_NE(form, nullptr);
  dialogs.answers = {Path("h")};
  ChooseMenu(*form, {"File", "filesave"});
  ASSERT_EQ(dialogs.asked.back().request.filter,
            "HVAC flow history (*.FHI)|*.FHI|All files (*.*)|*.*");
  const std::vector<std::string> lines = FileLines(Path("h.FHI"));
  ASSERT_EQ(lines.size(), 52U);
  auto pair = [](std::string first, const std::string& second) {
    first.resize(14, ' ');
    return first + second;
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{" 1 ", "Y", pair(" 0 ", " 1 "), pair(" 8 ", " .5 "),
                                      pair(" 16 ", " 1 ")}));
  EXPECT_NE(AppWindows().Find<HVACFlowHistory>(), nullptr) << "the window stays open";

  // The file brings back what the grid lost.
  TypeInto(2, 1, "9");
  Click("OptionAll");
  Scenario().HVACHistoryTime[2] = 9;
  state->ScenarioSaved = kTrue;
  dialogs.answers = {Path("h.FHI")};
  ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_FLOAT_EQ(Scenario().HVACHistoryTime[2], 8);
  EXPECT_EQ(Grid().TextMatrix(2, 1), "8");
  EXPECT_TRUE(Checked("OptionOutdoor"));
  EXPECT_EQ(state->ScenarioSaved, kFalse);

  // A damaged copy is refused whole.
  std::ofstream(Path("cut.FHI"), std::ios::binary) << [&] {
    std::string text;
    for (size_t i = 0; i < 20; ++i) text += lines[i] + "\r\n";
    return text;
  }();
  TypeInto(2, 1, "9");
  dialogs.answers = {Path("cut.FHI")};
  form->RunCommand("fileopen");
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_FLOAT_EQ(Scenario().HVACHistoryTime[2], 8);
  EXPECT_EQ(Grid().TextMatrix(2, 1), "9");

  // A file that cannot be written says so.
  dialogs.answers = {Path("no folder/h")};
  form->RunCommand("filesave");
  EXPECT_EQ(prompt.Count("message"), 2U);
  EXPECT_EQ(prompt.shown.back().text.rfind("Error.  ", 0), 0U);
}

TEST_F(HVACFlowHistoryWindow, CancelAsksOnlyFromTheFileMenu) {
  form = Open();
  ASSERT_NE(form, nullptr);
  TypeInto(1, 2, "0.7");
  prompt.answers = {Answer::No};
  ChooseMenu(*form, {"File", "FileCancel"});
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "All changes will be lost.  Do you wish to continue and lose changes?");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(Grid().TextMatrix(1, 2), "0.7");
  prompt.answers = {Answer::Yes};
  form->RunCommand("FileCancel");
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<HVACFlowHistory>(), nullptr);
  EXPECT_FLOAT_EQ(Scenario().HVACHistoryFraction[1], 1);

  form = Open();
  TypeInto(1, 2, "0.7");
  ChooseMenu(*form, {"cancel"});
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<HVACFlowHistory>(), nullptr);
  EXPECT_EQ(prompt.shown.size(), 2U) << "the bar's Cancel asks nothing";
  EXPECT_FLOAT_EQ(Scenario().HVACHistoryFraction[1], 1);
}

TEST_F(HVACFlowHistoryWindow, InsertAndDeleteRowKeepFiftyNumberedRows) {
  SetPoints({{0, 1}, {8, 1.0f / 3.0f}, {16, 1}});
  form = Open();
  ASSERT_NE(form, nullptr);
  ClickCell(Grid(), 2, 1);
  ChooseMenu(*form, {"Edit", "InsertRow"});
  EXPECT_EQ(Column(1)[2], "");
  EXPECT_EQ(Column(1)[3], "16");
  EXPECT_EQ(Column(0), Numbered());
  EXPECT_EQ(Grid().Rows(), 51);

  ClickCell(Grid(), 1, 1);
  ChooseMenu(*form, {"Edit", "DeleteRow"});
  EXPECT_EQ(Column(1)[0], "8");
  EXPECT_EQ(Column(1)[2], "16");
  EXPECT_EQ(Column(0), Numbered());
  EXPECT_EQ(Grid().Rows(), 51);

  TypeInto(50, 1, "40");
  ClickCell(Grid(), 3, 1);
  form->RunCommand("InsertRow");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Row 50 is not empty, so no row can be inserted.");
  EXPECT_EQ(Column(1)[3], "");
  EXPECT_EQ(Column(1)[49], "40");

  form->RunCommand("Transfer");
  EXPECT_EQ(Scenario().HVACHistoryFraction[1], 1.0f / 3.0f) << "the exact number moved with it";
  EXPECT_EQ(Scenario().HVACHistoryTime[50], 40);
}

TEST_F(HVACFlowHistoryWindow, PrintsTheRecordNotTheGrid) {
  form = Open();
  ASSERT_NE(form, nullptr);
  TypeInto(4, 1, "20");
  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> lines = printer.Lines();
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(lines[1], Line({{20, "Changes in HVAC Flow "}}));
  EXPECT_EQ(lines[5], Line({{10, " 16 "}, {20, " 1 "}}));
  form->RunCommand("help");
  ASSERT_EQ(help.shown.size(), 1U);
  EXPECT_EQ(help.shown[0], std::make_pair(std::string("RovozUzav.HLP"), std::string()));
}

}  // namespace
}  // namespace quarn
