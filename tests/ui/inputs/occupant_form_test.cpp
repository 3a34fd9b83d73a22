#include "ui/inputs/occupant_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <string>

#include "platform/up_down.h"
#include "text/text_reader.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/grids/scenario_grid.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

const char* const kWarning =
    "You have not fully described the occupancy pattern for occupant Bo Either reenter data or "
    "reduce the number of occupants.";

// Three rooms, two of them named "Kitchen", and two occupants, opened from the editor.
class OccupantWindow : public testing::EditorWindowTest {
 protected:
  OccupantWindow() {
    BuildingRecord& b = state->Building;
    b.NumRooms = 3;
    b.RoomList[1].Name = "Living";
    b.RoomList[2].Name = "Kitchen";
    b.RoomList[3].Name = "Kitchen";
    Scenario().NumOccupants = 2;
    OccupantRecord& bo = Scenario().Occupants[1];
    bo.Name = "Bo";
    bo.Population = 1234567;
    bo.Weight = 0;
    bo.Lifetime = 70;
    bo.BreathingRate = 0.833F;
    bo.EfficiencyFactor = 1;
    bo.EndTime = 48;
    bo.CycleLength = 24;
    bo.TimeLeave[1] = 24;
    bo.Location[1] = "Outdoors";
    OccupantRecord& cy = Scenario().Occupants[2];
    cy.Name = "Cy";
    cy.CycleLength = 24;
    cy.Lifetime = 0;
    cy.TimeLeave[1] = 9;
    cy.Location[1] = "Living";
    OpenEditor();
  }

  OccupantForm* Open() {
    ChooseMenu(*editor, {"Occupancy"});
    form = AppWindows().Find<OccupantForm>();
    return form;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<OccupantForm>() != nullptr;
  }
  std::string Box(const char* name) {
    return form->findChild<QLineEdit*>(name)->text().toStdString();
  }
  // A click into the box, which selects its text, then the text typed over it.
  void TypeInto(const char* box, const char* text) {
    QTest::mouseClick(form->findChild<QLineEdit*>(box), Qt::LeftButton);
    testing::ProcessEvents();
    testing::Type(text);
  }
  void Spin(const char* arrow) {
    auto* button = form->findChild<UpDown*>("spin1")->findChild<QToolButton*>(arrow);
    testing::Click(button, button->rect().center());
  }
  void Pick(int entry) {
    QListWidget* list = form->findChild<QListWidget*>("ActivityList");
    testing::Click(list->viewport(), list->visualItemRect(list->item(entry)).center());
  }
  FlexGrid& Grid() { return form->Grid(); }
  OccupantRecord& Occupant(int i) { return Scenario().Occupants[static_cast<size_t>(i)]; }

  OccupantForm* form = nullptr;
};

TEST_F(OccupantWindow, OpensOnlyWithOccupantsAndShowsThemAsTheRecordHoldsThem) {
  editor->ScenarioSS().SetTextMatrix(scenario_row::kNumOccupants, 1, "0");
  EXPECT_EQ(Open(), nullptr);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Number of occupants was defined as 0.");
  editor->ScenarioSS().SetTextMatrix(scenario_row::kNumOccupants, 1, "2");

  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(form->windowTitle(), "Activity patterns");
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Box("Population"), "1.2346E6");
  EXPECT_EQ(Box("weight"), "70");
  Spin("up");
  EXPECT_EQ(Box("OccupantNumber"), "2");
  EXPECT_EQ(Box("Lifetime"), "70");
  EXPECT_EQ(Box("CycleTime"), "24.0");
  EXPECT_EQ(Grid().TextMatrix(1, 4), "1");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Occupant(1).Population, 1234567.0F) << "not the rounded text";
  EXPECT_EQ(Occupant(2).Lifetime, 70.0F) << "the box shows 70 and gives it back";
}

TEST_F(OccupantWindow, EditsSurviveTheSpinnerAndTransferStoresEveryOccupant) {
  ASSERT_NE(Open(), nullptr);
  TypeInto("OccupantName", "Ann");
  TypeInto("weight", "7x4");
  // A box has no moment of storing: its comma is refused as it is typed, and said.
  TypeInto("CycleTime", "1,");
  EXPECT_EQ(Box("CycleTime"), "1");
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  A comma cannot be typed into this box.  Decimals take a point (2.5), and "
            "thousands are typed without a separator (1500).");
  testing::Key(Qt::Key_Backspace, "\b");
  testing::Type("12");
  TypeIntoCell(Grid(), 2, 1, "2x5");
  testing::ClickCell(Grid(), 2, 3);
  Pick(3);
  EXPECT_EQ(Grid().TextMatrix(2, 4), " 3");
  Spin("down");
  EXPECT_EQ(Box("OccupantNumber"), "1");
  Spin("up");
  Spin("up");
  EXPECT_EQ(Box("OccupantName"), "Cy");
  EXPECT_EQ(Box("OccupantNumber"), "2");
  Spin("down");
  EXPECT_EQ(Box("OccupantName"), "Ann");
  EXPECT_EQ(Grid().TextMatrix(2, 1), " 25") << "numbers only in the times";
  EXPECT_EQ(Grid().TextMatrix(2, 4), "2") << "the first room of that name";
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"File", "FileTransfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(Occupant(1).Name, "Ann");
  EXPECT_EQ(Occupant(1).Weight, 74.0F);
  EXPECT_EQ(Occupant(1).CycleLength, 12.0F);
  EXPECT_EQ(Occupant(1).TimeEnter[2], 25.0F);
  EXPECT_EQ(Occupant(1).LocationRoom[2], 2.0F);
  EXPECT_EQ(Occupant(2).Name, "Cy");
  EXPECT_EQ(Occupant(2).TimeLeave[1], 9.0F);
  EXPECT_EQ(state->OccupantsSaved, true);
  EXPECT_EQ(state->ScenarioSaved, false);
}

TEST_F(OccupantWindow, ALocationIsFoundWhateverItsCaseAndOneOfNoRoomIsRefused) {
  ASSERT_NE(Open(), nullptr);
  TypeIntoCell(Grid(), 1, 3, "kitchen");
  TypeIntoCell(Grid(), 2, 1, "24");
  TypeIntoCell(Grid(), 2, 2, "30");
  TypeIntoCell(Grid(), 2, 3, "Kitchn");
  // The room number beside each typed location follows it, never the former one.
  EXPECT_EQ(Grid().TextMatrix(1, 4) + "|" + Grid().TextMatrix(2, 4), "2|");
  ChooseMenu(*form, {"Transfer"});
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The location Kitchn of occupant Bo is not a room of the building.  Enter "
            "the name of a room or Outdoors.");
  EXPECT_TRUE(IsOpen()) << "nothing typed is lost";
  EXPECT_EQ(Occupant(1).Location[1], "Outdoors");

  TypeIntoCell(Grid(), 2, 3, "LIVING");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Occupant(1).LocationRoom[1], 2.0F);
  EXPECT_EQ(Occupant(1).LocationRoom[2], 1.0F);
}

TEST_F(OccupantWindow, AnUnfinishedFirstStayWarnsAtEveryStoreAndIsStoredAnyway) {
  Occupant(1).TimeLeave[1] = 0;
  ASSERT_NE(Open(), nullptr);
  TypeInto("Efficiency", ".5");
  Spin("up");
  Spin("down");
  dialogs.answers = {Path("b")};
  ChooseMenu(*form, {"File", "filesave"});
  ChooseMenu(*form, {"Transfer"});
  ASSERT_EQ(prompt.Count("message"), 3U);
  for (const auto& shown : prompt.shown) {
    EXPECT_EQ(shown.text, kWarning);
    EXPECT_EQ(shown.title, "Warning");
  }
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Occupant(1).EfficiencyFactor, 0.5F);
}

TEST_F(OccupantWindow, AnOpenedPatternIsTheOccupantsWhetherTransferredOrCancelled) {
  std::ofstream(Path("d.ACT"), std::ios::binary)
      << "Di\r\n 0 \r\n 8 \r\nKitchen\r\n 2 \r\nDONE\r\n .5 \r\n 1 \r\n 0 \r\n 48 \r\n 12 \r\n"
         " 60 \r\n 3 \r\n 80 \r\n";
  for (const char* close : {"cancel", "Transfer"}) {
    ASSERT_NE(Open(), nullptr);
    Spin("up");
    dialogs.answers = {Path("d")};
    ChooseMenu(*form, {"File", "fileopen"});
    EXPECT_EQ(dialogs.asked.back().request.filter,
              "All Occpancies (*.ACT)|*.ACT|All files (*.*)|*.*");
    EXPECT_EQ(Occupant(2).Name, "Di");
    EXPECT_EQ(Grid().TextMatrix(1, 3), "Kitchen");
    prompt.answers = {Answer::Yes};
    ChooseMenu(*form, {close});
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(Occupant(2).CycleLength, 12.0F) << close;
    EXPECT_EQ(Occupant(2).Weight, 80.0F) << close;
  }
}

TEST_F(OccupantWindow, SaveWritesTheShownOccupantAndStoresEveryOne) {
  ASSERT_NE(Open(), nullptr);
  TypeInto("OccupantName", "Ann");
  TypeInto("weight", "74");
  TypeIntoCell(Grid(), 1, 2, "8");
  testing::ClickCell(Grid(), 1, 3);
  Pick(2);
  EXPECT_EQ(Grid().TextMatrix(1, 4), " 2");
  TypeInto("Population", "0");
  Spin("up");
  TypeInto("OccupantName", "Eve");
  Spin("down");
  dialogs.answers = {Path("a")};
  ChooseMenu(*form, {"File", "filesave"});
  EXPECT_EQ(dialogs.asked.back().request.filter,
            "All Activities (*.ACT)|*.ACT|All files (*.*)|*.*");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("a.ACT"), bytes));
  EXPECT_EQ(bytes,
            "Ann\r\n 0 \r\n 8 \r\nKitchen\r\n 2 \r\nDONE\r\n .833 \r\n 1 \r\n 0 \r\n 48 \r\n"
            " 24 \r\n 70 \r\n 0 \r\n 74 \r\n");
  EXPECT_EQ(Occupant(2).Name, "Eve");
  EXPECT_EQ(state->OccupantsSaved, false);
  EXPECT_TRUE(IsOpen());
}

TEST_F(OccupantWindow, CancelAsksUntilATransferAndPrintSendsTheRecord) {
  ASSERT_NE(Open(), nullptr);
  TypeInto("OccupantName", "Zed");
  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> lines = printer.Lines();
  ASSERT_GT(lines.size(), 3U);
  EXPECT_EQ(lines[2], testing::Line({{20, "Information of occupant #  1    Bo"}}));
  prompt.answers = {Answer::No};
  ChooseMenu(*form, {"cancel"});
  ASSERT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Occupant data has not been transfered.  Do you with to continue without "
            "transfering occupant data?");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(IsOpen());
  form->RunCommand("Transfer");
  ASSERT_NE(Open(), nullptr);
  form->RunCommand("FileCancel");
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_EQ(Occupant(1).Name, "Zed");
}

}  // namespace
}  // namespace quarn
