#include "ui/inputs/room_source_form.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <string>

#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"

namespace quarn {
namespace {

constexpr const char* kNotYet = "Feature not implemented in version.";

// Five rooms, two pollutants; room 2 has three sources, room 3 none, room 5 one.
class RoomSourceFormTest : public testing::EditorWindowTest {
 protected:
  RoomSourceFormTest() {
    state->Building.NumRooms = 5;
    for (int r = 1; r <= 5; ++r) state->Building.RoomList[r].Name = "Room " + std::to_string(r);
    ScenarioRecord& s = Scenario();
    s.NumPollutants = 2;
    s.Pollutants[0].Name = "TVOC";
    s.Pollutants[0].C0 = 250;
    s.Pollutants[1].Name = "Toluene";
    s.Pollutants[1].C0 = 30;
    s.NumSources[2] = 3;
    s.NumSources[5] = 1;
    for (int k = 1; k <= 3; ++k) {
      s.Sources[2][k].Name = "carpet " + std::to_string(k);
      s.Sources[2][k].Model = 2;
    }
    s.Sources[5][1].Name = "stove";
    OpenEditor();
  }
  ~RoomSourceFormTest() override { AppWindows().Unload<RoomSourceForm>(); }

  RoomSourceForm& Open(int room) {
    RoomSourceForm* form = OpenRoomSources(*context, room, editor);
    EXPECT_NE(form, nullptr);
    testing::ProcessEvents();
    return *form;
  }
  static std::string Text(RoomSourceForm& form, const char* label) {
    return FromQt(form.findChild<QLabel*>(label)->text());
  }
  static void Arrow(RoomSourceForm& form, const char* spinner, const char* which) {
    auto* button = form.findChild<UpDown*>(spinner)->findChild<QToolButton*>(which);
    testing::Click(button, button->rect().center());
  }
  // The model picked from the open list with the mouse.
  static void PickModel(RoomSourceForm& form, int model) {
    auto* list = form.findChild<QComboBox*>("SourceModel");
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(testing::WaitFor([view] { return view->isVisible(); }));
    const QModelIndex item = view->model()->index(model, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(item).center());
    testing::ProcessEvents();
  }
  static void TypeIntoBox(RoomSourceForm& form, const char* name, const char* text) {
    auto* box = form.findChild<QLineEdit*>(name);
    box->setFocus();
    box->selectAll();
    testing::Type(text);
  }
  std::string Shown(RoomSourceForm& form) {
    return Text(form, "RoomNumber") + "/" + Text(form, "SourceNumber") + " " +
           form.GeneralSourceDataGrid().TextMatrix(1, 1);
  }
};

TEST_F(RoomSourceFormTest, ShowsSourceOneOfTheRoomWithBothGridsHeaded) {
  Scenario().Sources[2][1].Model = 0;
  RoomSourceForm& form = Open(2);
  EXPECT_EQ(FromQt(form.windowTitle()), "Source data");
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  EXPECT_EQ(Text(form, "Msg"), "Room 2");
  EXPECT_EQ(FromQt(form.findChild<QLineEdit*>("Numberofsources")->text()), "3");
  auto* list = form.findChild<QComboBox*>("SourceModel");
  ASSERT_EQ(list->count(), 11);
  EXPECT_EQ(FromQt(list->itemText(10)), "Exact spill");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(0, 4), "Cycle repeats?");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(1, 0), "Mass transfer");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(0, 7), "Mt2");
  // A mass-transfer source starts from each pollutant's saturation concentration.
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 1), "250");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(2, 1), "30");
  EXPECT_GE(form.minimumWidth(), 732);
  testing::ChooseMenu(form, {"file", "FilePrint"});
  EXPECT_EQ(prompt.shown.back().text, kNotYet);
}

TEST_F(RoomSourceFormTest, SpinnersMoveBetweenSourcesAndRoomsWithSources) {
  RoomSourceForm& form = Open(2);
  EditorWindowTest::TypeIntoCell(form.ssrmsrc(), 1, 2, "0.5");
  Arrow(form, "Changesourcenumber", "down");  // at source 1: nothing
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  Arrow(form, "Changesourcenumber", "up");
  Arrow(form, "Changesourcenumber", "up");
  Arrow(form, "Changesourcenumber", "up");  // at the room's last source: nothing
  EXPECT_EQ(Shown(form), " 2/3 carpet 3");
  Arrow(form, "Changesourcenumber", "down");
  Arrow(form, "Changesourcenumber", "down");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 2), "0.5") << "the edit survives moving away";

  prompt.answers = {Answer::No, Answer::Yes};
  Arrow(form, "spin1", "up");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "No sources in 3. Do you want to go to next room with source?");
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  Arrow(form, "spin1", "up");
  EXPECT_EQ(Shown(form), " 5/1 stove");
  EXPECT_EQ(FromQt(form.findChild<QLineEdit*>("Numberofsources")->text()), "1");
  Arrow(form, "spin1", "up");  // the last room: nothing
  prompt.answers = {Answer::Yes};
  Arrow(form, "spin1", "down");
  EXPECT_EQ(prompt.shown.back().text,
            "No sources in  4. Do you want to go to next room with source?");
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");
  EXPECT_EQ(prompt.shown.size(), 3U);

  Scenario().NumSources[5] = 0;
  prompt.answers = {Answer::Yes};
  Arrow(form, "spin1", "up");
  EXPECT_EQ(prompt.shown.back().text, "No sources in rooms > 2");
  EXPECT_EQ(Shown(form), " 2/1 carpet 1");

  form.RunCommand("Transfer");
  EXPECT_FLOAT_EQ(Scenario().Sources[2][1].Params[1][0], 0.5f);
}

TEST_F(RoomSourceFormTest, RoomOneDownAndTheHvacSpinnersDoNothing) {
  Scenario().NumSources[1] = 1;
  Scenario().NumSources[0] = 1;
  RoomSourceForm& form = Open(1);
  Arrow(form, "spin1", "down");
  EXPECT_EQ(Text(form, "RoomNumber"), " 1");
  form.RunCommand("Cancel");
  testing::ProcessEvents();
  RoomSourceForm& hvac = Open(0);
  Arrow(hvac, "spin1", "up");
  Arrow(hvac, "spin1", "down");
  EXPECT_EQ(Text(hvac, "RoomNumber"), " 0");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(RoomSourceFormTest, CountBoxKeepsToThreeSources) {
  RoomSourceForm& form = Open(2);
  TypeIntoBox(form, "Numberofsources", "4");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Only allowed 3 sources.");
  EXPECT_EQ(Scenario().NumSources[2], 3);
  TypeIntoBox(form, "Numberofsources", "-1");
  EXPECT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(Scenario().NumSources[2], 3);
  TypeIntoBox(form, "Numberofsources", "0");
  EXPECT_EQ(Scenario().NumSources[2], 0);
}

TEST_F(RoomSourceFormTest, ModelChoiceKeepsEditsAndShowsTheTotalMassBox) {
  RoomSourceForm& form = Open(2);
  auto* mass = form.findChild<QLineEdit*>("TotalMass");
  auto* label = form.findChild<QLabel*>("Label6");
  EXPECT_FALSE(mass->isVisible());
  EditorWindowTest::TypeIntoCell(form.ssrmsrc(), 2, 2, "0.25");
  PickModel(form, 1);  // "R0k"
  EXPECT_EQ(form.ssrmsrc().TextMatrix(0, 2), "k");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(2, 2), "0.25") << "the edit survives the choice";
  EXPECT_EQ(Scenario().Sources[2][1].Model, 1) << "the choice is stored at once";

  PickModel(form, 7);  // "VBX"
  EXPECT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Note that for VBX and petroleum solvent spill the first pollutant is TVOC");
  EXPECT_TRUE(mass->isVisible());
  EXPECT_EQ(FromQt(label->text()), "g product applied/m2");
  PickModel(form, 9);  // "Single spill"
  EXPECT_EQ(FromQt(label->text()), "Total mg spilled");
  EXPECT_TRUE(label->isEnabled());
  PickModel(form, 6);  // "Polyfit"
  EXPECT_FALSE(mass->isVisible());
  EXPECT_FALSE(label->isEnabled());
  EXPECT_EQ(prompt.Count("message"), 1U);

  // Cancel drops the edits but not the model, which was stored at its choice.
  form.RunCommand("FileCancel");
  EXPECT_EQ(Scenario().Sources[2][1].Model, 6);
  EXPECT_EQ(Scenario().Sources[2][1].Params[1][1], 0);
  EXPECT_EQ(state->SourcesSaved, kTrue);
}

TEST_F(RoomSourceFormTest, NumberUnitsOnlyForParticles) {
  for (bool particles : {false, true}) {
    Scenario().PollutantClass = particles ? "PM" : "VOC";
    Scenario().Sources[2][1].EmissionUnits = 2;
    RoomSourceForm& form = Open(2);
    auto* number = form.findChild<QRadioButton*>("Option3");
    EXPECT_EQ(number->isEnabled(), particles);
    EXPECT_EQ(number->isChecked(), particles);
    EXPECT_EQ(form.findChild<QRadioButton*>("Option1")->isChecked(), !particles);
    form.RunCommand("Transfer");
    EXPECT_EQ(Scenario().Sources[2][1].EmissionUnits, particles ? 2 : 0);
    testing::ProcessEvents();
  }
}

TEST_F(RoomSourceFormTest, ScheduleTakesTextOnlyInNameAndRepeatColumns) {
  RoomSourceForm& form = Open(2);
  FlexGrid& schedule = form.GeneralSourceDataGrid();
  EditorWindowTest::TypeIntoCell(schedule, 1, 4, "d");
  EditorWindowTest::TypeIntoCell(schedule, 1, 1, "rug,1");
  EditorWindowTest::TypeIntoCell(schedule, 1, 2, "1,5");
  EXPECT_EQ(schedule.TextMatrix(1, 2), "15");
  Arrow(form, "Changesourcenumber", "up");
  Arrow(form, "Changesourcenumber", "down");
  EXPECT_EQ(schedule.TextMatrix(1, 4), "D");
  EXPECT_EQ(schedule.TextMatrix(1, 1), "rug,1");

  // A refused cycle count keeps the window on the source and stores nothing.
  EditorWindowTest::TypeIntoCell(schedule, 1, 3, "6");
  form.RunCommand("Transfer");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(Scenario().Sources[2][1].Name, "carpet 1");
}

TEST_F(RoomSourceFormTest, TransferStoresTheRoomsOrTheHvacSystem) {
  ScenarioRecord& s = Scenario();
  s.NumSources[0] = 1;
  s.Sources[0][1].Name = "duct";
  {
    RoomSourceForm& form = Open(2);
    s.Sources[0][1].Name = "changed meanwhile";
    s.Sources[5][1].Name = "changed meanwhile";
    TypeIntoBox(form, "Numberofsources", "3");
    state->ScenarioSaved = kTrue;
    form.RunCommand("Transfer");
    EXPECT_EQ(s.Sources[0][1].Name, "changed meanwhile");
    EXPECT_EQ(s.Sources[5][1].Name, "stove") << "every room's copy is stored";
    EXPECT_EQ(state->ScenarioSaved, kFalse);
  }
  testing::ProcessEvents();
  EXPECT_TRUE(editor->isEnabled());
  RoomSourceForm& hvac = Open(0);
  s.Sources[5][1].Name = "room 5 now";
  EditorWindowTest::TypeIntoCell(hvac.GeneralSourceDataGrid(), 1, 1, "fan");
  hvac.RunCommand("FileTranfer");
  EXPECT_EQ(s.Sources[0][1].Name, "fan");
  EXPECT_EQ(s.Sources[5][1].Name, "room 5 now");
}

TEST_F(RoomSourceFormTest, HvacSourcesFromTheEditor) {
  state->SourcesSaved = kFalse;
  testing::ChooseMenu(*editor, {"HVAC", "HVACSources"});
  auto* form = AppWindows().Find<RoomSourceForm>();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(state->Building.RoomList[0].Name, "HVAC");
  EXPECT_EQ(Scenario().NumSources[0], 1);
  EXPECT_EQ(Text(*form, "Msg"), "HVAC");
  EXPECT_FALSE(editor->isEnabled());
  form->close();
  testing::ProcessEvents();
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(state->SourcesSaved, kTrue);
}

}  // namespace
}  // namespace quarn
