#include "ui/inputs/room_source_form.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/steady_scenario.h"
#include "files/source_file.h"
#include "model/concentration_run.h"
#include "platform/clipboard.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/text_reader.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/scenario_room_form.h"
#include "ui/inputs/shower_help_form.h"
#include "ui/tools/chamber_data_form.h"

namespace quarn {
namespace {

// Five rooms, two pollutants; room 2 has three sources, room 3 none, room 5 one. Each
// source is on for the first day.
class RoomSourceFormTest : public testing::EditorWindowTest {
 protected:
  RoomSourceFormTest() {
    state->Building.NumRooms = 5;
    for (int r = 1; r <= 5; ++r) state->Building.RoomList[r].Name = "Room " + std::to_string(r);
    s.NumPollutants = 2;
    s.Pollutants[0].C0 = 250;
    s.Pollutants[1].C0 = 30;
    s.NumSources[2] = 3;
    s.NumSources[5] = 1;
    for (int k = 1; k <= 3; ++k) {
      s.Sources[2][k].Name = "carpet " + std::to_string(k);
      s.Sources[2][k].Model = 2;
      OnForADay(s.Sources[2][k]);
    }
    s.Sources[5][1].Name = "stove";
    OnForADay(s.Sources[5][1]);
    OpenEditor();
  }
  static void OnForADay(SourceRecord& source) {
    source.NumCycles = 1;
    source.TimeOn[1] = 0;
    source.TimeOff[1] = 24;
  }
  ~RoomSourceFormTest() override {
    AppWindows().Unload<RoomSourceForm>();
    AppWindows().Unload<ShowerHelpForm>();
  }

  RoomSourceForm& Open(int room) {
    testing::ProcessEvents();  // a window just closed is gone
    RoomSourceForm* form = OpenRoomSources(*context, room, editor);
    testing::ProcessEvents();
    return *form;
  }
  template <class W>
  static W& Child(QWidget& form, const char* name) {
    return *form.findChild<W*>(name);
  }
  static void Arrow(RoomSourceForm& form, const char* spinner, const char* which) {
    auto* button = Child<UpDown>(form, spinner).findChild<QToolButton*>(which);
    testing::Click(button, button->rect().center());
  }
  static void PickModel(RoomSourceForm& form, int model) {
    auto& list = Child<QComboBox>(form, "SourceModel");
    list.showPopup();
    QAbstractItemView* view = list.view();
    ASSERT_TRUE(testing::WaitFor([view] { return view->isVisible(); }));
    const QModelIndex item = view->model()->index(model, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    testing::ProcessEvents();
    // The offscreen platform gives the activation back to no window when the popup closes;
    // a user's next click or key goes to the window again.
    ASSERT_TRUE(testing::ShowActive(*form.window()));
  }
  static void TypeIntoBox(QWidget& form, const char* name, const char* text) {
    auto& box = Child<QLineEdit>(form, name);
    box.setFocus();
    box.selectAll();
    testing::Type(text);
  }
  // Toluene (and formaldehyde) in milligrams; every room 30 m³, flushed by 15 m³/h; run for
  // the hours given in steps of 0.1 h.
  void MakeRunnable(float hours, int pollutants = 1) {
    state->Building.MasterFile = "Run";
    s.NumPollutants = static_cast<int16_t>(pollutants);
    s.Pollutants[0].Name = "toluene";
    s.Pollutants[0].MolWt = 92.14F;
    s.Pollutants[0].Diffusivity = 0.0313F;
    s.Pollutants[0].C0 = 140000;
    s.Pollutants[1].Name = "formaldehyde";
    s.Pollutants[1].MolWt = 30.03F;
    s.Pollutants[1].Diffusivity = 0.0589F;
    s.Pollutants[1].C0 = 6345598;
    MakeSteadyInMilligrams(s);
    s.BuildingPenetration = {1, 1};
    for (int r = 1; r <= 5; ++r) {
      state->Building.RoomList[r].Volume = 30;
      s.NaturalFromOutdoors[r] = s.NaturalToOutdoors[r] = 15;
    }
    s.StepSize = 0.1F;
    s.YearsSimulated = hours / 8760;
  }
  bool Run() {
    RunSettings settings;
    settings.temp_folder_name = Path("run");
    settings.max_concentration = 1;
    RunObserver observer;
    return RunConcentrationCalculation(state->Building, settings, prompt, observer) ==
           RunOutcome::Completed;
  }
  static std::string Shown(RoomSourceForm& form) {
    return FromQt(Child<QLabel>(form, "RoomNumber").text() + "/" +
                  Child<QLabel>(form, "SourceNumber").text() + " ") +
           form.GeneralSourceDataGrid().TextMatrix(1, 1);
  }

  ScenarioRecord& s = Scenario();
};

TEST_F(RoomSourceFormTest, SpinnersMoveBetweenSourcesAndRoomsWithSources) {
  s.Sources[2][1].Model = 0;
  RoomSourceForm& form = Open(2);
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(0, 4), "Cycle repeats?");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(0, 7), "Mt2");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(2, 1), "30") << "mass transfer starts from C0";
  TypeIntoCell(form.ParameterGrid(), 1, 2, "0.5");
  Arrow(form, "Changesourcenumber", "down");  // at source 1: nothing
  for (int i = 0; i < 3; ++i) Arrow(form, "Changesourcenumber", "up");
  EXPECT_EQ(Shown(form), " 2/3 carpet 3");
  Arrow(form, "Changesourcenumber", "down");
  Arrow(form, "Changesourcenumber", "down");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(1, 2), "0.5") << "the edit survives moving away";

  prompt.answers = {Answer::No, Answer::Yes, Answer::Yes};
  Arrow(form, "spin1", "up");
  EXPECT_EQ(prompt.shown[0].text, "No sources in 3. Do you want to go to next room with source?");
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  Arrow(form, "spin1", "up");
  EXPECT_EQ(Shown(form), " 5/1 stove");
  EXPECT_EQ(Child<QLineEdit>(form, "Numberofsources").text(), "1");
  Arrow(form, "spin1", "up");  // the last room: nothing
  Arrow(form, "spin1", "down");
  EXPECT_EQ(prompt.shown[2].text, "No sources in  4. Do you want to go to next room with source?");
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  form.RunCommand("Transfer");
  EXPECT_FLOAT_EQ(s.Sources[2][1].Params[1][0], 0.5f);
  s.NumSources[5] = 0;
  prompt.answers = {Answer::Yes};
  Arrow(Open(2), "spin1", "up");
  EXPECT_EQ(prompt.shown.back().text, "No sources in rooms > 2");
  EXPECT_EQ(prompt.shown.size(), 5U);
}

TEST_F(RoomSourceFormTest, RoomOneDownAndTheHvacSpinnersDoNothing) {
  s.NumSources[1] = 1;
  Arrow(Open(1), "spin1", "down");
  EXPECT_EQ(Shown(*AppWindows().Find<RoomSourceForm>()), " 1/1 ");
  AppWindows().Find<RoomSourceForm>()->RunCommand("Cancel");
  RoomSourceForm& hvac = Open(0);
  Arrow(hvac, "spin1", "up");
  Arrow(hvac, "spin1", "down");
  EXPECT_EQ(Shown(hvac), " 0/1 ");
  EXPECT_TRUE(prompt.shown.empty());
}

// One model's parameters are never read as another's: a choice asks before it clears those
// the user gave (No keeps the model and them), and clears a C0 taken from the pollutant
// without a word. The VBX note comes with the VBX grids.
TEST_F(RoomSourceFormTest, ModelChoiceClearsTheParametersAndShowsTheTotalMassBox) {
  // An old source beyond the count, which the window never showed.
  s.Sources[2][4].Name = "old heater";
  s.Sources[2][4].Model = 1;
  s.Sources[2][4].Params[0][0] = 100;
  s.Pollutants[0].Name = "toluene";
  s.Pollutants[1].Name = "formaldehyde";
  const ScenarioRecord before = s;
  RoomSourceForm& form = Open(2);
  auto& mass = Child<QLineEdit>(form, "TotalMass");
  auto& label = Child<QLabel>(form, "Label6");
  auto& list = Child<QComboBox>(form, "SourceModel");
  TypeIntoCell(form.GeneralSourceDataGrid(), 1, 2, "3");
  TypeIntoCell(form.ParameterGrid(), 2, 2, "0.25");
  prompt.answers = {Answer::No, Answer::Yes};
  PickModel(form, 1);  // "R0k"
  ASSERT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Source 1 (carpet 1) changes from \"Paint1\" to \"R0k\".  Its \"Paint1\" parameters "
            "of formaldehyde have no meaning under \"R0k\" and are cleared.  Do you wish to "
            "change the model?");
  EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
  EXPECT_EQ(list.currentText(), "Paint1");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(0, 2) + " " + form.ParameterGrid().TextMatrix(2, 2),
            "k1 0.25");
  PickModel(form, 1);
  EXPECT_EQ(form.ParameterGrid().TextMatrix(0, 2) + " " + form.ParameterGrid().TextMatrix(2, 2),
            "k 0");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(1, 2), "3") << "the schedule is kept";

  std::string behind_note;
  prompt.while_message = [&] {
    behind_note = form.GeneralSourceDataGrid().TextMatrix(1, 0) + " " +
                  std::to_string(form.ParameterGrid().Cols()) + " " + FromQt(label.text());
  };
  const struct {
    int model;
    bool box;
    const char* caption;
  } cases[] = {{7, true, "g product applied/m2"}, {9, true, "Total mg spilled"}, {6, false, ""}};
  for (const auto& c : cases) {
    PickModel(form, c.model);
    EXPECT_EQ(mass.isVisible(), c.box) << c.model;
    EXPECT_EQ(label.isEnabled(), c.box) << c.model;
    if (c.box) {
      EXPECT_EQ(FromQt(label.text()), c.caption);
    }
  }
  EXPECT_EQ(form.ParameterGrid().TextMatrix(1, 1), "0") << "Polyfit's A0 is no C0";
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(prompt.shown.back().text,
            "Note that for VBX and petroleum solvent spill the first pollutant is TVOC");
  EXPECT_EQ(behind_note, "VBX 4 g product applied/m2") << "the note comes with what it is about";
  // Cancel, after a raised count too, leaves every source, model and count as it was.
  TypeIntoBox(form, "Numberofsources", "4");
  form.RunCommand("FileCancel");
  EXPECT_EQ(s.NumSources, before.NumSources);
  for (int r = 0; r < kRoomSlots; ++r)
    for (int k = 0; k <= kMaxSources; ++k)
      EXPECT_TRUE(s.Sources[r][k] == before.Sources[r][k]) << r << " " << k;
  EXPECT_EQ(state->SourcesSaved, false);
}

TEST_F(RoomSourceFormTest, SpillTypedInTheWindowEmitsWhatWasSpilled) {
  // 1000 mg of pure toluene (1000 mg/g) spilled on 1 m² in room 2, run for 48 h.
  MakeRunnable(48);
  RoomSourceForm& form = Open(2);
  auto& models = Child<QComboBox>(form, "SourceModel");
  models.setCurrentIndex(10);
  Q_EMIT models.activated(10);  // "Exact spill"
  // A paste into the box is judged as typing: "1,000" would be read as 1.
  auto& mass = Child<QLineEdit>(form, "TotalMass");
  const QString shown = mass.text();
  SetClipboardText("1,000");
  mass.setFocus();
  mass.selectAll();
  testing::Key(Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(mass.text(), shown);
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(prompt.shown.back().text.substr(0, 40), "Error.  \"1,000\" cannot go into this box:");
  TypeIntoBox(form, "TotalMass", "1000");
  TypeIntoCell(form.ParameterGrid(), 1, 3, "1000");
  FlexGrid& schedule = form.GeneralSourceDataGrid();
  const char* typed[] = {"1", "1", "N", "0", "48"};
  for (int c = 2; c <= 6; ++c) TypeIntoCell(schedule, 1, c, typed[c - 2]);
  form.RunCommand("Transfer");
  EXPECT_FLOAT_EQ(s.Sources[2][1].Params[2][0], 1000);
  ASSERT_TRUE(Run());
  EXPECT_NEAR(s.TotalEmitted[0], 1000, 1);
}

// The two spill models read "mg/g product" alike: a switch between them keeps it, and asks
// only about the rate constant, which they read differently.
TEST_F(RoomSourceFormTest, ASwitchBetweenTheSpillModelsKeepsTheColumnTheyShare) {
  s.Pollutants[0].Name = "toluene";
  RoomSourceForm& form = Open(2);
  auto& models = Child<QComboBox>(form, "SourceModel");
  models.setCurrentIndex(10);
  Q_EMIT models.activated(10);  // "Exact spill"
  TypeIntoCell(form.ParameterGrid(), 1, 3, "400");
  models.setCurrentIndex(8);
  Q_EMIT models.activated(8);  // "Petroleum spill"
  EXPECT_EQ(prompt.Count("yesno"), 0U) << "nothing given is lost";
  EXPECT_EQ(form.ParameterGrid().TextMatrix(0, 3) + " " + form.ParameterGrid().TextMatrix(1, 3),
            "mg/g product 400.");
  TypeIntoCell(form.ParameterGrid(), 1, 2, "0.5");
  prompt.answers = {Answer::Yes};
  models.setCurrentIndex(10);
  Q_EMIT models.activated(10);
  ASSERT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_EQ(prompt.shown.back().text,
            "Source 1 (carpet 1) changes from \"Petroleum spill\" to \"Exact spill\".  Its "
            "\"Petroleum spill\" parameters of toluene have no meaning under \"Exact spill\" and "
            "are cleared.  Do you wish to change the model?");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(1, 2) + " " + form.ParameterGrid().TextMatrix(1, 3),
            "0 400.");
}

TEST_F(RoomSourceFormTest, PetroleumSpillWithoutAirSpeedIsNotTransferred) {
  RoomSourceForm& form = Open(2);
  auto& models = Child<QComboBox>(form, "SourceModel");
  models.setCurrentIndex(8);
  Q_EMIT models.activated(8);  // "Petroleum spill", its gas velocity left at 0
  form.RunCommand("Transfer");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("Room 2 (Room 2), source 1 (carpet 1)"), std::string::npos)
      << prompt.shown[0].text;
  EXPECT_NE(prompt.shown[0].text.find("Gas velocity"), std::string::npos);
  EXPECT_EQ(s.Sources[2][1].Model, 2) << "nothing stored";
  EXPECT_TRUE(form.isVisible());

  TypeIntoBox(form, "GasVelocity", "10");
  form.RunCommand("Transfer");
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(s.Sources[2][1].Model, 8);
  EXPECT_FLOAT_EQ(s.Sources[2][1].GasVelocity, 10);
}

TEST_F(RoomSourceFormTest, NumberUnitsOnlyForParticles) {
  for (bool particles : {false, true}) {
    s.PollutantClass = particles ? "PM" : "VOC";
    s.Sources[2][1].EmissionUnits = 2;
    RoomSourceForm& form = Open(2);
    EXPECT_EQ(Child<QRadioButton>(form, "Option3").isEnabled(), particles);
    EXPECT_EQ(Child<QRadioButton>(form, "Option1").isChecked(), !particles);
    form.RunCommand("Transfer");
    EXPECT_EQ(s.Sources[2][1].EmissionUnits, particles ? 2 : 0);
  }
}

TEST_F(RoomSourceFormTest, ScheduleTakesTextOnlyInNameAndRepeatColumns) {
  RoomSourceForm& form = Open(2);
  FlexGrid& schedule = form.GeneralSourceDataGrid();
  TypeIntoCell(schedule, 1, 4, "d");
  TypeIntoCell(schedule, 1, 1, "rug,1");
  TypeIntoCell(schedule, 1, 2, "1x5");
  Arrow(form, "Changesourcenumber", "up");
  Arrow(form, "Changesourcenumber", "down");
  EXPECT_EQ(schedule.TextMatrix(1, 4), "D");
  EXPECT_EQ(schedule.TextMatrix(1, 1), "rug,1");
  EXPECT_EQ(schedule.TextMatrix(1, 2), "15");
  // A refused cycle count keeps the window on the source and stores nothing.
  TypeIntoCell(schedule, 1, 3, "6");
  form.RunCommand("Transfer");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(s.Sources[2][1].Name, "carpet 1");
}

TEST_F(RoomSourceFormTest, CountBoxAndTransferFromARoomOrTheHvacSystem) {
  s.NumSources[0] = 1;
  OnForADay(s.Sources[0][1]);
  RoomSourceForm& form = Open(2);
  s.Sources[0][1].Name = s.Sources[5][1].Name = "changed meanwhile";
  for (const char* typed : {"4", "-1"}) TypeIntoBox(form, "Numberofsources", typed);
  EXPECT_EQ(prompt.Count("message"), 2U);
  EXPECT_EQ(prompt.shown[0].text, "Only allowed 3 sources.");
  EXPECT_EQ(s.NumSources[2], 3);
  TypeIntoBox(form, "Numberofsources", "0");
  EXPECT_EQ(s.NumSources[2], 3) << "stored by Transfer";
  state->ScenarioSaved = true;
  form.RunCommand("Transfer");
  EXPECT_EQ(s.NumSources[2], 0);
  EXPECT_EQ(s.Sources[0][1].Name, "changed meanwhile");
  EXPECT_EQ(s.Sources[5][1].Name, "stove") << "every room's copy is stored";
  EXPECT_EQ(state->ScenarioSaved, false);

  RoomSourceForm& hvac = Open(0);
  s.Sources[5][1].Name = "room 5 now";
  TypeIntoCell(hvac.GeneralSourceDataGrid(), 1, 1, "fan");
  hvac.RunCommand("FileTranfer");
  EXPECT_EQ(s.Sources[0][1].Name, "fan");
  EXPECT_EQ(s.Sources[5][1].Name, "room 5 now");
}

// "# sources in room" raised in the window is stored by its Transfer: the scenario room
// window that opened it shows the new count, and its own Transfer keeps it, so that the run
// has the new source.
TEST_F(RoomSourceFormTest, ACountRaisedInTheWindowReachesTheRoomWindowAndTheRun) {
  MakeRunnable(24);
  SourceRecord& stove = s.Sources[5][1];
  stove.Model = 1;  // 10 mg/h, "R0k" without decay
  stove.Size = 1;
  stove.Params[0][0] = 10;
  ASSERT_TRUE(Run());
  const float stove_alone = s.TotalEmitted[0];
  ScenarioRoomForm* rooms = OpenScenarioRooms(*context, editor);
  testing::ProcessEvents();
  testing::ClickCell(rooms->Grid(), 5, 2);
  auto* form = AppWindows().Find<RoomSourceForm>();
  ASSERT_NE(form, nullptr);
  TypeIntoBox(*form, "Numberofsources", "2");
  testing::Enter();
  Arrow(*form, "Changesourcenumber", "up");
  EXPECT_EQ(Shown(*form), " 5/2 ");
  PickModel(*form, 1);  // a new heater of 100 mg/h
  const char* typed[] = {"heater", "1", "1", "N", "0", "24"};
  for (int c = 1; c <= 6; ++c) TypeIntoCell(form->GeneralSourceDataGrid(), 1, c, typed[c - 1]);
  TypeIntoCell(form->ParameterGrid(), 1, 1, "100");
  form->RunCommand("Transfer");
  testing::ProcessEvents();
  EXPECT_EQ(rooms->Grid().TextMatrix(5, 2), "2");
  rooms->RunCommand("Transfer");
  EXPECT_EQ(s.NumSources[5], 2);
  ASSERT_TRUE(Run());
  EXPECT_NEAR(s.TotalEmitted[0] - stove_alone, 2400,
              0.5);  // 100 mg/h over 24 h, from the first step
}

// A new source slot shows no times of the source shown before it, and Transfer refuses a
// source that would never come on, naming it and showing it to be mended.
TEST_F(RoomSourceFormTest, ANewSlotShowsNoTimesAndASourceThatNeverComesOnIsRefused) {
  SourceRecord& carpet = s.Sources[2][1];
  carpet.NumCycles = 2;
  carpet.TimeOn = {0, 1, 9};
  carpet.TimeOff = {0, 3, 12};
  s.Sources[2][2].NumCycles = 0;
  s.Sources[2][3].NumCycles = 0;
  const ScenarioRecord before = s;
  RoomSourceForm& form = Open(2);
  FlexGrid& schedule = form.GeneralSourceDataGrid();
  EXPECT_EQ(schedule.TextMatrix(1, 7), "9");
  Arrow(form, "Changesourcenumber", "up");
  std::string times;
  for (int c = 5; c <= 14; ++c) times += schedule.TextMatrix(1, c);
  EXPECT_EQ(schedule.TextMatrix(1, 3) + "|" + times, "0|");
  form.RunCommand("Transfer");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  Room 2 (Room 2), source 2 (carpet 2) has no on/off cycle, so it would never "
            "emit.  Give it at least one cycle, or lower \"# sources in room\".");
  const char* typed[] = {"1", "N", "4", "2"};
  for (int c = 3; c <= 6; ++c) TypeIntoCell(schedule, 1, c, typed[c - 3]);
  form.RunCommand("Transfer");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  Room 2 (Room 2), source 2 (carpet 2): cycle 1 goes off at 2 h, not after it "
            "comes on at 4 h.  Correct its times.");
  TypeIntoCell(schedule, 1, 6, "6");
  Arrow(form, "Changesourcenumber", "down");
  form.RunCommand("Transfer");
  EXPECT_EQ(Shown(form), " 2/3 carpet 3") << "the source refused is shown";
  EXPECT_EQ(prompt.shown.size(), 3U);
  EXPECT_TRUE(s.Sources[2][2] == before.Sources[2][2]) << "nothing is stored";
  TypeIntoBox(form, "Numberofsources", "2");
  form.RunCommand("Transfer");
  EXPECT_EQ(s.NumSources[2], 2);
  EXPECT_EQ(s.Sources[2][2].TimeOff[1], 6);
  EXPECT_EQ(prompt.shown.size(), 3U);
}

// The chamber fit is of the first pollutant. Returned to a "Mass transfer" source, it asks
// before the other pollutant's parameters go: No keeps the source whole, Yes leaves that
// pollutant nothing to emit, instead of its C0 read as R0 and its M01 as R2.
TEST_F(RoomSourceFormTest, AFitReturnedToAnotherModelLeavesTheOtherPollutantsNothing) {
  MakeRunnable(24, 2);
  SourceRecord& rug = s.Sources[2][1];
  rug.Name = "rug";
  rug.Model = 0;
  rug.Size = 1;
  rug.Params[1] = {0.3F, 0.5F};  // k1
  rug.Params[2] = {50, 100};     // M01
  for (Answer answer : {Answer::No, Answer::Yes}) {
    RoomSourceForm& form = Open(2);
    form.RunCommand("CalculateR0k");
    auto* fit = AppWindows().Find<ChamberDataForm>();
    ASSERT_NE(fit, nullptr);
    ASSERT_TRUE(testing::ShowActive(*fit));
    TypeIntoBox(*fit, "r0result", "5");
    TypeIntoBox(*fit, "kresult", "0");
    prompt.answers = {Answer::No, answer};  // the chamber data unsaved; the fit's question
    fit->RunCommand("fileexit");
    testing::ProcessEvents();
    EXPECT_EQ(prompt.shown.back().text,
              "The fit makes Source 1 (rug) an \"R0k\" source, with R0 and k for toluene alone.  "
              "Its \"Mass transfer\" parameters of formaldehyde have no meaning under \"R0k\" "
              "and are set to 0.  Do you wish to store the fit?");
    form.RunCommand("Transfer");
    testing::ProcessEvents();
    if (answer == Answer::No) {
      EXPECT_EQ(rug.Model, 0);
      EXPECT_EQ(rug.Params[1][1] + rug.Params[2][1], 100.5F) << "the source is kept whole";
    }
  }
  EXPECT_EQ(rug.Model, 1);
  EXPECT_EQ(rug.Params[0][0], 5);
  for (const auto& row : rug.Params) EXPECT_EQ(row[1], 0);
  ASSERT_TRUE(Run());
  EXPECT_EQ(s.TotalEmitted[1], 0) << "formaldehyde";
  EXPECT_NEAR(s.TotalEmitted[0], 5 * 24, 1.2);
}

TEST_F(RoomSourceFormTest, HvacSourcesFromTheEditor) {
  testing::ChooseMenu(*editor, {"HVAC", "HVACSources"});
  auto* form = AppWindows().Find<RoomSourceForm>();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(s.NumSources[0], 1);
  EXPECT_EQ(Child<QLabel>(*form, "Msg").text(), "HVAC");
  EXPECT_FALSE(editor->isEnabled());
  form->close();
  testing::ProcessEvents();
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(state->SourcesSaved, false) << "closed without Transfer";
}

TEST_F(RoomSourceFormTest, SourceFileSavedFromOneSlotOpensIntoAnother) {
  SourceRecord& vbx = s.Sources[2][1];
  vbx.Model = 7;
  vbx.TotalMass = 2;
  vbx.NumCycles = 2;
  vbx.TimeOn = {0, 1, 9};
  vbx.TimeOff = {0, 3, 12};
  vbx.RawParam3 = {50, 10};
  RoomSourceForm& form = Open(2);
  TypeIntoCell(form.ParameterGrid(), 1, 2, "0.5");
  const auto files = [this] {
    return std::distance(std::filesystem::directory_iterator(folder), {});
  };
  const auto before = files();
  // Cancelled, or a name with "*": nothing read or written. Then a name without extension.
  dialogs.answers = {std::nullopt, Path("*.SOR"), std::nullopt, Path("*.SOR"), Path("vbx")};
  for (const char* command : {"FileSave", "FileSave", "FileOpen", "FileOpen", "FileSave"})
    form.RunCommand(command);
  EXPECT_EQ(dialogs.asked[2].request.filter, "Source (*.SOR)|*.SOR|All files (*.*)|*.*");
  EXPECT_EQ(files(), before + 1);
  EXPECT_TRUE(std::filesystem::exists(Path("vbx.SOR"))) << "the filter's extension is added";

  std::filesystem::copy_file(Path("vbx.SOR"), Path("short"));
  std::filesystem::resize_file(Path("short"), std::filesystem::file_size(Path("vbx.SOR")) / 2);
  Arrow(form, "Changesourcenumber", "up");
  const size_t shown = prompt.shown.size();
  dialogs.answers = {Path("short"), Path("vbx.SOR")};
  form.RunCommand("FileOpen");
  ASSERT_EQ(prompt.shown.size(), shown + 1);
  EXPECT_EQ(s.Sources[2][2].Name, "carpet 2") << "a damaged file changes nothing";
  state->ScenarioSaved = true;
  form.RunCommand("FileOpen");
  EXPECT_EQ(state->ScenarioSaved, false);
  form.RunCommand("Transfer");
  EXPECT_EQ(s.Sources[2][2].Params[1][0], 0.5f);
  // Both slots written again give the same file: every field of the layout is equal.
  std::string one, two;
  WriteRoomSourceFile(2, s.Sources[2][1], Path("1"), prompt);
  WriteRoomSourceFile(2, s.Sources[2][2], Path("2"), prompt);
  ASSERT_TRUE(ReadFileBytes(Path("1"), one) && ReadFileBytes(Path("2"), two));
  EXPECT_EQ(one, two);
}

TEST_F(RoomSourceFormTest, TvocPropertiesOfTheComponents) {
  s.NumPollutants = 3;
  s.Pollutants[1].MolWt = 100;
  s.Pollutants[1].C0 = 5;
  s.Pollutants[2].MolWt = 200;
  s.Pollutants[2].C0 = 1;
  s.Sources[2][1].Model = 7;
  s.Sources[2][1].RawParam3 = {0, 10, 30};
  RoomSourceForm& form = Open(2);
  state->ScenarioSaved = true;
  form.RunCommand("CalculateTVOC");
  EXPECT_EQ(form.ParameterGrid().TextMatrix(1, 1), "2.6");
  EXPECT_FLOAT_EQ(s.Pollutants[0].C0, 2.6f);
  EXPECT_FLOAT_EQ(s.Pollutants[0].MolWt, 160);
  EXPECT_EQ(state->ScenarioSaved, false);
  s.NumPollutants = 1;  // a mixture without components
  form.RunCommand("CalculateTVOC");
  EXPECT_EQ(prompt.shown.back().title, "Error");
  EXPECT_FLOAT_EQ(s.Pollutants[0].MolWt, 160);
  // A component without a molecular weight is refused by name; nothing is written.
  s.NumPollutants = 3;
  s.Pollutants[2].Name = "xylene";
  s.Pollutants[2].MolWt = 0;
  s.Pollutants[0].C0 = 7;
  form.RunCommand("CalculateTVOC");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  xylene has no molecular weight above 0.  The mixture was not calculated.");
  EXPECT_FLOAT_EQ(s.Pollutants[0].C0, 7);
  EXPECT_EQ(form.ParameterGrid().TextMatrix(1, 1), "2.6");
}

TEST_F(RoomSourceFormTest, EditCommandsFitAndCompositionKeepToTheirSources) {
  s.Sources[2][1].Params[0] = {1, 3};
  s.Sources[2][1].Params[1] = {2, 4};
  RoomSourceForm& form = Open(2);
  FlexGrid& params = form.ParameterGrid();
  const auto at = [&params](int r, int c) {
    return params.visualRect(params.model()->index(r, c)).center();
  };
  testing::ClickCell(form.GeneralSourceDataGrid(), 1, 2);
  testing::Drag(params.viewport(), at(1, 1), at(2, 2));
  testing::ClickCell(form.GeneralSourceDataGrid(), 1, 1);  // the schedule does not steer Edit
  form.RunCommand("EditCopy");
  EXPECT_EQ(ClipboardText(), "1\t2\r3\t4");
  form.RunCommand("EditClear");
  EXPECT_EQ(params.TextMatrix(1, 1) + params.TextMatrix(2, 2) + params.TextMatrix(2, 0), "");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(1, 1), "carpet 1");
  testing::ClickCell(params, 1, 1);
  form.RunCommand("EditPaste");
  EXPECT_EQ(params.TextMatrix(1, 1) + params.TextMatrix(2, 2), "14");

  form.RunCommand("CalculateR0k");
  EXPECT_NE(AppWindows().Find<ChamberDataForm>(), nullptr);
  AppWindows().Unload<ChamberDataForm>();
  EXPECT_EQ(state->CurrentRoom, 2);
  EXPECT_EQ(state->CurrentSource, 1);
  SourceRecord fit = s.Sources[2][1];
  fit.Params[0][0] = 5;
  fit.Params[1][0] = 0.2f;
  form.StoreFit(fit);
  EXPECT_EQ(params.TextMatrix(1, 1) + " " + params.TextMatrix(1, 2), "5 0.2");
  EXPECT_EQ(Child<QComboBox>(form, "SourceModel").currentText(), "R0k");
  // A composition stored for source 1 while source 2 is shown.
  Arrow(form, "Changesourcenumber", "up");
  CompositionMgPerGram(s.Sources[2][1])[1] = 42;
  form.TakeStoredSource(2, 1);
  form.RunCommand("Transfer");
  EXPECT_EQ(s.Sources[2][1].Model, 1);
  EXPECT_EQ(s.Sources[2][1].Params[1][0], 0.2f);
  EXPECT_EQ(CompositionMgPerGram(s.Sources[2][1])[1], 42);
}

TEST_F(RoomSourceFormTest, ShowerDataHelpPrintAndMenus) {
  RoomSourceForm& form = Open(2);
  std::ofstream table(Path("ShowerDataFile.DAT"));
  for (int r = 1; r <= 13; ++r) table << "VOC " << r << ",25,0.1,n/a\n";
  table.close();
  for (const std::string& program :
       {folder.string(), Path("none"), std::string(QUARN_SOURCE_DIR "/data")}) {
    state->ProgramFolder = program;
    form.RunCommand("showerdata");
    FlexGrid& grid = AppWindows().Find<ShowerHelpForm>()->ShowerDataGrid();
    EXPECT_EQ(grid.TextMatrix(0, 3), "Mass xfer ");
    EXPECT_EQ(grid.Rows() * 10 + grid.Cols(), 144);
    EXPECT_EQ(grid.TextMatrix(13, 3), program == Path("none") ? "" : "n/a");
  }
  EXPECT_EQ(prompt.Count("message"), 1U) << "only the missing file; the shipped one is whole";
  AppWindows().Find<ShowerHelpForm>()->findChild<QPushButton*>("btnclose")->click();
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ShowerHelpForm>(), nullptr);

  for (const char* command : {"HelpCalculate", "shourcehelp", "showerhelp"})
    form.RunCommand(command);
  EXPECT_EQ(help.shown, (std::vector<std::pair<std::string, std::string>>{
                            {"RovozUzav.HLP", "Sources"},
                            {"RovozUzav.HLP", "Source room data form"},
                            {"Shower.HLP", ""}}));
  form.RunCommand("FilePrint");
  EXPECT_EQ(printer.documents, 1);
  EXPECT_EQ(printer.Lines()[0], testing::Line({{20, "Source information "}}));

  std::string menus;
  for (QAction* top : form.menuBar()->actions()) {
    menus += FromQt(top->objectName() + " " + top->text()) + ";";
    for (QAction* a : top->menu() ? top->menu()->actions() : QList<QAction*>{})
      menus += a->isSeparator() ? "-;" : FromQt(a->objectName() + " " + a->text()) + ";";
  }
  EXPECT_EQ(menus,
            "file &File;FileOpen &Open source file;FileSave &Save source file;-;FileOpenDatabase "
            "Open source &data base;-;FilePrint &Print source information;-;FileTranfer "
            "&Transfer;FileCancel &Cancel;Transfer &Transfer;Cancel &Cancel;edit &Edit;EditCut "
            "C&ut;EditCopy &Copy;EditClear C&lear;EditPaste &Paste;calculate "
            "&Calculate;CalculateR0k &R0k;CalculateTVOC TVOC properties;Calculatek &Mass "
            "transfer coefficient;HelpCalculate &Help;tools T&ools;sourcecomposition &Source "
            "composition;ToolsCalculator &Calculator;Units &Units conversion;Window "
            "&Window;WindowCascade &Cascade;WindowTile &Tile;WindowList &List windows;help "
            "&Help;shourcehelp &Source help;showerhelp S&hower help;showerdata Shower &Data;");
}

}  // namespace
}  // namespace quarn
