#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/qt_text.h"
#include "text/text_reader.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/initial_conc_form.h"
#include "ui/inputs/outdoor_conc_form.h"
#include "ui/inputs/outdoor_help_form.h"
#include "ui/inputs/pollutant_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
const QColor kYellow(255, 255, 0);

// Two rooms and two gases; the windows opened from the pollutant window.
class ConcWindows : public testing::EditorWindowTest {
 protected:
  ConcWindows() {
    Scenario().NumPollutants = 2;
    Scenario().Pollutants[0].Name = "CO";
    Scenario().Pollutants[0].MolWt = 24.5f;
    Scenario().Pollutants[1].Name = "NO2";
    Scenario().Pollutants[1].MolWt = 46;
    SetRooms(2);
    for (int t = 1; t <= 3; ++t) {
      Scenario().OutdoorConcTime[t] = static_cast<float>(t - 1);
      state->Building.Scenario.OutdoorConcInput[t][1] = 2;
    }
    OpenEditor();
  }
  void SetRooms(int rooms) {
    state->Building.NumRooms = static_cast<int16_t>(rooms);
    for (int r = 1; r <= rooms; ++r) state->Building.RoomList[r].Name = "Room" + std::to_string(r);
  }
  PollutantForm& Pollutants() {
    if (AppWindows().Find<PollutantForm>() == nullptr) OpenPollutantForm(*context, editor);
    return Form<PollutantForm>();
  }
  FlexGrid& Initial() {
    ChooseMenu(Pollutants(), {"setconcentrations", "indoor"});
    return Form<InitialConcForm>().Grid();
  }
  FlexGrid& Outdoor() {
    ChooseMenu(Pollutants(), {"setconcentrations", "setoutdoors"});
    return Form<OutdoorConcForm>().Grid();
  }
  template <class W>
  W& Form() {
    W* open = AppWindows().Find<W>();
    if (open == nullptr) throw std::runtime_error("the window did not open");
    return *open;
  }
  template <class W>
  QRadioButton& Option(const char* name) {
    return *Form<W>().template findChild<QRadioButton*>(name);
  }
  template <class W>
  static bool IsOpen() {
    testing::ProcessEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return AppWindows().Find<W>() != nullptr;
  }
  static std::string Label(const FlexGrid& grid, int r, int c) {
    return ToQt(grid.TextMatrix(r, c)).toStdString();
  }
};

TEST_F(ConcWindows, InitialShowsBothRoomBlocksAndOption1CutsTheScenarioOne) {
  for (const auto& [rooms, cls, option1] : {std::tuple{13, "VOC", "ppm"}, {1, "PM10", "#/cc"}}) {
    SetRooms(rooms);
    Scenario().PollutantClass = cls;
    Scenario().InitialConcUnits = "milligrams";
    FlexGrid& grid = Initial();
    EXPECT_FALSE(Pollutants().isEnabled());
    EXPECT_EQ(grid.Cols(), 2 * rooms + 1);
    EXPECT_EQ(grid.TextMatrix(1, rooms), "Room" + std::to_string(rooms));
    EXPECT_EQ(grid.TextMatrix(1, 2 * rooms), "Room" + std::to_string(rooms));
    EXPECT_EQ(grid.CellBackColorAt(3, 2 * rooms), kYellow);
    EXPECT_NE(grid.CellBackColorAt(3, rooms), kYellow);
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(2, 1));
    EXPECT_TRUE(Option<InitialConcForm>("Option3").isChecked());
    EXPECT_EQ(Option<InitialConcForm>("Option1").text().toStdString(), option1);
    Option<InitialConcForm>("Option1").click();
    EXPECT_EQ(grid.Cols(), rooms + 1);
    EXPECT_EQ(grid.TextMatrix(0, 1), option1);
    ChooseMenu(Form<InitialConcForm>(), {"cancel"});
    EXPECT_FALSE(IsOpen<InitialConcForm>());
    EXPECT_EQ(Scenario().InitialConcUnits, "milligrams") << "Cancel keeps the unit";
    EXPECT_TRUE(Pollutants().isEnabled());
    ChooseMenu(Pollutants(), {"cancel"});
    ASSERT_FALSE(IsOpen<PollutantForm>());
  }
}

TEST_F(ConcWindows, InitialTransferConvertsFromTheChosenUnitOrRefusesAndStays) {
  Scenario().InitialConcUnits = "milligrams";
  FlexGrid& grid = Initial();
  Option<InitialConcForm>("Option1").click();
  TypeIntoCell(grid, 2, 1, "1");
  TypeIntoCell(grid, 3, 2, "1x5");
  EXPECT_EQ(grid.TextMatrix(3, 2), "15") << "number-only entry";
  Scenario().Pollutants[1].MolWt = 0;
  state->ScenarioSaved = true;
  ChooseMenu(Form<InitialConcForm>(), {"Transfer"});
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The initial concentrations of pollutant 2 (NO2) cannot be converted from ppm "
            "to milligrams.  ppm needs the pollutant's molecular weight, and it has none above 0: "
            "define the pollutants and transfer them first.");
  EXPECT_TRUE(IsOpen<InitialConcForm>());
  EXPECT_EQ(state->Building.Scenario.InitialConcInput[1][0], 0);
  EXPECT_EQ(state->ScenarioSaved, true);

  // A pollutant named in the pollutant window and not transferred is named so too.
  ChooseMenu(Form<InitialConcForm>(), {"cancel"});
  Scenario().Pollutants[1].Name = "";
  TypeIntoCell(Pollutants().Grid(), 2, 1, "nitrogen dioxide");
  FlexGrid& again = Initial();
  EXPECT_EQ(again.TextMatrix(3, 0), "nitrogen dioxide");
  Option<InitialConcForm>("Option1").click();
  TypeIntoCell(again, 2, 1, "1");
  ChooseMenu(Form<InitialConcForm>(), {"Transfer"});
  EXPECT_EQ(prompt.shown.back().text.substr(0, 70),
            "Error.  The initial concentrations of pollutant 2 (nitrogen dioxide) c");
  EXPECT_EQ(Scenario().Pollutants[1].Name, "") << "the record keeps its own";

  Scenario().Pollutants[1].MolWt = 46;
  ChooseMenu(Form<InitialConcForm>(), {"Transfer"});
  EXPECT_FALSE(IsOpen<InitialConcForm>());
  EXPECT_EQ(Scenario().InitialConcUnits, "ppm");
  EXPECT_EQ(state->Building.Scenario.InitialConcInput[1][0], 1);
  EXPECT_EQ(Scenario().InitialConc[1][0], 1) << "1 ppm at 24.5 g/mole";
  EXPECT_EQ(state->ScenarioSaved, false);
}

TEST_F(ConcWindows, InitialFileSavedThenOpenedIsKeptByBothTransfers) {
  Scenario().InitialConcUnits = "ppm";
  FlexGrid& grid = Initial();
  Option<InitialConcForm>("Option3").click();
  const char* typed[] = {"1.5", "0", ".25", "-3"};
  for (int i = 0; i < 4; ++i) TypeIntoCell(grid, 2 + i / 2, 1 + i % 2, typed[i]);
  dialogs.answers = {Path("start.INT")};
  ChooseMenu(Form<InitialConcForm>(), {"file", "filesave"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("start.INT"), bytes));
  EXPECT_EQ(bytes, " 1.5 \r\n 0 \r\n .25 \r\n-3 \r\n");

  ChooseMenu(Form<InitialConcForm>(), {"edit", "editclearall"});
  EXPECT_EQ(grid.TextMatrix(3, 4), "");
  EXPECT_EQ(prompt.shown.size(), 0u) << "Clear all asks nothing";
  Option<InitialConcForm>("Option1").click();
  dialogs.answers = {Path("start.INT")};
  ChooseMenu(Form<InitialConcForm>(), {"file", "fileopen"});
  const float values[] = {1.5f, 0, 0.25f, -3};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(grid.Number(2 + i / 2, 1 + i % 2).value_or(-9), values[i]) << i;
    EXPECT_EQ(grid.Number(2 + i / 2, 3 + i % 2).value_or(-9), values[i]) << i;
  }
  ChooseMenu(Form<InitialConcForm>(), {"Transfer"});
  ASSERT_FALSE(IsOpen<InitialConcForm>());
  ChooseMenu(Pollutants(), {"Transfer"});
  ASSERT_FALSE(IsOpen<PollutantForm>());
  ChooseMenu(*editor, {"Transfer"});
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Scenario().InitialConc[1 + i % 2][i / 2], values[i]) << i;
    EXPECT_EQ(state->Building.Scenario.InitialConcInput[1 + i % 2][i / 2], values[i]) << i;
  }
}

TEST_F(ConcWindows, OutdoorHistoryGridWithTheUnitsOfTheMode) {
  const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
      {"VOC", "milligrams", "milligrams", "Option3", "mg/m\xC2\xB3"},
      {"VOC", "micrograms", "micrograms", "Option2", "\xC2\xB5g/m\xC2\xB3"},
      {"VOC", "number", "ppm", "Option1", "ppm"},
      {"VOC", "PPM", "PPM", "Option1", "ppm"},
      {"PM2.5", "PPM", "number", "Option1", "#/cc"},
  };
  for (const auto& [cls, units, adjusted, option, label] : cases) {
    Scenario().PollutantClass = cls;
    Scenario().OutdoorConcUnits = units;
    FlexGrid& grid = Outdoor();
    EXPECT_FALSE(Pollutants().isEnabled());
    EXPECT_EQ(Scenario().OutdoorConcUnits, adjusted);
    EXPECT_TRUE(Option<OutdoorConcForm>(option).isChecked()) << units;
    const bool particles = cls[0] == 'P';
    EXPECT_EQ(Option<OutdoorConcForm>("Option1").text(), particles ? "#/cc" : "ppm");
    EXPECT_EQ(Form<OutdoorConcForm>().findChild<QGroupBox*>("framediameter")->isVisible(),
              particles);
    EXPECT_EQ(std::pair(grid.Rows(), grid.Cols()), std::pair(52, 5));
    EXPECT_EQ(grid.TextMatrix(0, 4), "NO2");
    EXPECT_EQ(Label(grid, 1, 1), label) << units;
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(2, 0));
    ChooseMenu(Form<OutdoorConcForm>(), {"file", "FileCancel"});
    ASSERT_FALSE(IsOpen<OutdoorConcForm>());
    EXPECT_TRUE(Pollutants().isEnabled());
    ChooseMenu(Pollutants(), {"cancel"});
    ASSERT_FALSE(IsOpen<PollutantForm>());
  }
}

TEST_F(ConcWindows, OutdoorUnitRelabelsAndTransferConvertsFromIt) {
  Scenario().OutdoorConcUnits = "milligrams";
  FlexGrid& grid = Outdoor();
  Option<OutdoorConcForm>("Option2").click();
  EXPECT_EQ(Label(grid, 1, 2), "\xC2\xB5g/m\xC2\xB3");
  EXPECT_EQ(grid.Number(3, 2).value_or(-1), 2) << "the numbers stay as typed";
  TypeIntoCell(grid, 2, 1, "1000");
  ChooseMenu(Form<OutdoorConcForm>(), {"Transfer"});
  EXPECT_FALSE(IsOpen<OutdoorConcForm>());
  EXPECT_EQ(Scenario().OutdoorConcUnits, "micrograms");
  EXPECT_EQ(Scenario().OutdoorConc[1][0], 1) << "1000 ug/m3 in a milligrams scenario";
  EXPECT_EQ(Scenario().NumOutdoorConcPoints, 3);
  EXPECT_EQ(state->ScenarioSaved, false);
}

TEST_F(ConcWindows, OutdoorClearAllAsksAndSaveKeepsTheWindowVisible) {
  FlexGrid& grid = Outdoor();
  OutdoorConcForm& form = Form<OutdoorConcForm>();
  EXPECT_FALSE(testing::ActionNamed(form.findChildren<QAction*>(), "Editinsert")->isEnabled());
  prompt.answers = {Answer::No};
  ChooseMenu(form, {"edit", "editclearall"});
  EXPECT_EQ(prompt.shown.at(0).title, "Clear data");
  EXPECT_EQ(grid.Number(4, 2).value_or(-1), 2) << "No keeps the values";
  dialogs.answers = {Path("air")};
  ChooseMenu(form, {"file", "filesave"});
  EXPECT_TRUE(IsOpen<OutdoorConcForm>() && form.isVisible());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("air.OUT"), bytes));
  EXPECT_EQ(bytes.substr(0, 26), " 0 , 0 , 2 \r\n 1 , 0 , 2 \r\n");

  prompt.answers = {Answer::Yes};
  ChooseMenu(form, {"edit", "editclearall"});
  for (int r = 2; r <= 51; ++r)
    for (int c = 0; c <= 4; ++c) ASSERT_EQ(grid.TextMatrix(r, c), "") << r << " " << c;
  dialogs.answers = {Path("air.OUT")};
  ChooseMenu(form, {"file", "fileopen"});
  EXPECT_EQ(grid.TextMatrix(4, 0), " 2");
}

// A file opened and then cancelled leaves the history as it was: its times and point count
// stayed with the old concentrations, which the run then used.
TEST_F(ConcWindows, OutdoorFileOpenedThenCancelledLeavesTheHistory) {
  std::ofstream(Path("other.OUT"), std::ios::binary)
      << " 0 , 50 , 1 \r\n 5 , 80 , 1 \r\n 8 , 20 , 1 \r\n";
  const ScenarioRecord before = Scenario();
  const HistoryPollutant input = state->Building.Scenario.OutdoorConcInput;
  Outdoor();
  OutdoorConcForm& form = Form<OutdoorConcForm>();
  dialogs.answers = {Path("other.OUT")};
  ChooseMenu(form, {"file", "fileopen"});
  ASSERT_EQ(Scenario().OutdoorConcTime[2], 5.0f);
  prompt.answers = {Answer::Yes};
  ChooseMenu(form, {"cancel"});
  ASSERT_FALSE(IsOpen<OutdoorConcForm>());
  EXPECT_EQ(prompt.shown.size(), 1u) << "the file changed the grid: Cancel asks";
  EXPECT_EQ(Scenario().OutdoorConcTime, before.OutdoorConcTime);
  EXPECT_EQ(Scenario().NumOutdoorConcPoints, before.NumOutdoorConcPoints);
  EXPECT_EQ(state->Building.Scenario.OutdoorConcInput, input);
}

TEST_F(ConcWindows, OutdoorAdviceClosesByItsButton) {
  auto* advice = AppWindows().Load<OutdoorHelpForm>([] { return new OutdoorHelpForm; });
  advice->show();
  EXPECT_EQ(advice->windowTitle(), "Help ");
  EXPECT_FALSE(advice->findChild<QLabel*>("Label1")->text().contains("not stored"));
  advice->findChild<QPushButton*>("Command1")->click();
  EXPECT_FALSE(IsOpen<OutdoorHelpForm>());
}

}  // namespace
}  // namespace quarn
