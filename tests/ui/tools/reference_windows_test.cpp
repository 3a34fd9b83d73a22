#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/edit_cell.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/inputs/room_source_form.h"
#include "ui/tools/source_database_form.h"
#include "ui/tools/voc_database_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using testing::ClickCell;

// Each test has a program folder of its own holding five compounds; the fourth has P0 10
// mm Hg and MW 100.
class ReferenceWindowTest : public testing::EditorWindowTest {
 protected:
  ReferenceWindowTest() {
    state->ProgramFolder = Path("program");
    std::filesystem::create_directories(state->ProgramFolder);
    Write("program/vocprops.txt",
          "Toluene\r\nC7H8\r\n92.14\r\n28.4\r\n.0306\r\nBenzene\r\nC6H6\r\n78.11\r\n95.2\r\n"
          ".0324\r\nHexane\r\nC6H14\r\n86.18\r\n151\r\n.0288\r\nTest VOC\r\nX1\r\n100\r\n10\r\n"
          ".03\r\nStyrene\r\nC8H8\r\n104.15\r\n6.4\r\n.025\r\nEND\r\n");
    state->Building.NumRooms = 2;
    Scenario().NumPollutants = 3;
  }
  ~ReferenceWindowTest() override {
    AppWindows().Unload<VOCDatabaseForm>();
    AppWindows().Unload<SourceDatabaseForm>();
    AppWindows().Unload<PollutantForm>();
    AppWindows().Unload<RoomSourceForm>();
  }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  // VOC database of a gas-mode pollutant window, the pollutant grid on `row`.
  FlexGrid& OpenVoc(int row) {
    if (pollutants == nullptr) {
      OpenEditor();
      editor->FillGrid();
      ChooseMenu(*editor, {"definepollutants"});
      pollutants = AppWindows().Find<PollutantForm>();
    }
    ClickCell(pollutants->Grid(), row, 1);
    ChooseMenu(*pollutants, {"vocdata"});
    voc = AppWindows().Find<VOCDatabaseForm>();
    return voc->Grid();
  }
  void Transfer(std::initializer_list<int> marked) {
    for (int r : marked) ClickCell(voc->Grid(), r, 0);
    ChooseMenu(*voc, {"mnuTransfer"});
    EXPECT_TRUE(Gone());
  }
  static bool Gone() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    return AppWindows().Find<VOCDatabaseForm>() == nullptr;
  }
  // The texts of a block of cells, each followed by "|".
  static std::string Cells(const FlexGrid& g, int r1, int r2, int c1, int c2) {
    std::string texts;
    for (int r = r1; r <= r2; ++r)
      for (int c = c1; c <= c2; ++c) texts += g.TextMatrix(r, c) + "|";
    return texts;
  }
  std::string Names() { return Cells(pollutants->Grid(), 1, 3, 1, 1); }
  static bool Enabled(QMainWindow& w, const char* name) {
    return testing::ActionNamed(w.findChildren<QAction*>(), name)->isEnabled();
  }

  PollutantForm* pollutants = nullptr;
  VOCDatabaseForm* voc = nullptr;
};

TEST_F(ReferenceWindowTest, MarkedCompoundsFillThePollutantGridFromItsCurrentRow) {
  FlexGrid& grid = OpenVoc(2);
  EXPECT_EQ(grid.Rows(), 26);
  EXPECT_EQ(Cells(grid, 0, 1, 0, 1) + Cells(grid, 0, 1, 4, 5),
            "Selected|Name|  |Toluene|Diffusivity m2/h|P0 mm hg|.0306|28.4|");
  EXPECT_FALSE(pollutants->isEnabled());
  EXPECT_FALSE(Enabled(*voc, "help"));
  ClickCell(grid, 3, 0);
  Transfer({3, 2, 4});  // the second click on row 3 clears its mark
  EXPECT_TRUE(pollutants->isEnabled());
  EXPECT_EQ(Names(), "|Benzene|Test VOC|");
  EXPECT_EQ(Cells(pollutants->Grid(), 3, 3, 2, 4), "100|.03|54320.99|");

  // Four marked from row 1: the first three, top down. Three from row 2: two fit.
  OpenVoc(1);
  Transfer({4, 1, 2, 3});
  EXPECT_EQ(Names(), "Toluene|Benzene|Hexane|");
  EXPECT_TRUE(prompt.shown.empty());
  OpenVoc(2);
  Transfer({5, 4, 1});
  EXPECT_EQ(Names(), "Toluene|Toluene|Test VOC|");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Only 2 of the 3 marked rows fit in the pollutant table; 2 were copied.");
  OpenVoc(1);
  TypeIntoCell(voc->Grid(), 2, 0, "x");
  Transfer({5});
  EXPECT_EQ(Names(), "Styrene|Toluene|Test VOC|");
  ChooseMenu(*pollutants, {"Transfer"});
  EXPECT_EQ(Scenario().Pollutants[0].Name + Scenario().Pollutants[2].Name, "StyreneTest VOC");
  EXPECT_NEAR(Scenario().Pollutants[2].C0, 54320.99, 0.01);
}

// The table has no irritant level, reference dose or concentration, nor cancer risk: what
// was typed there for the pollutant stays (a Transfer wiped it).
TEST_F(ReferenceWindowTest, ATransferKeepsTheFieldsTheTableHasNoValueFor) {
  OpenVoc(1);
  Transfer({1});
  FlexGrid& grid = pollutants->Grid();
  const char* typed[] = {"5", "0.2", "0.3", "1e-6"};
  for (int c = 5; c <= 8; ++c) TypeIntoCell(grid, 1, c, typed[c - 5]);
  OpenVoc(1);
  Transfer({1});
  EXPECT_EQ(Cells(grid, 1, 1, 1, 8), "Toluene|92.14|.0306|142145.86|5|0.2|0.3|1e-6|");
}

TEST_F(ReferenceWindowTest, VocFilesOpenAndSaveOnlyTheirRecords) {
  std::string big;
  for (int i = 1; i <= 30; ++i) {
    const std::string n = std::to_string(i);
    big += "C" + n + "\r\nF" + n + "\r\n" + n + "\r\n";
    big += i == 5   ? "END\r\n"
           : i == 9 ? "end\r\n"
                    : n + ".5\r\n.0" + n + "\r\n1\r\n2\r\n3\r\n4\r\n";
  }
  Write("big.DAT", big + "END\r\n");
  Write("one.dat", "Solo\r\nS\r\n50\r\nEND\r\n");
  Write("bad.DAT", "Name\r\nF\r\n");
  FlexGrid& grid = OpenVoc(1);
  grid.SetTextMatrix(3, 10, "note");
  dialogs.answers = {Path("big")};
  voc->RunCommand("fileopen");
  ASSERT_EQ(grid.Rows(), 32);
  EXPECT_EQ(Cells(grid, 1, 1, 3, 5) + Cells(grid, 5, 5, 3, 5) + Cells(grid, 31, 31, 1, 1),
            "1|.01|1.5|5||||");
  EXPECT_EQ(grid.TextMatrix(3, 10), "note");
  const std::string opened = Cells(grid, 0, 31, 0, 9);

  dialogs.answers = {Path("mine"), Path("mine"), Path("missing"), Path("bad.DAT")};
  voc->RunCommand("filesave");
  grid.SetTextMatrix(1, 1, "changed");
  voc->RunCommand("fileopen");
  EXPECT_EQ(Cells(grid, 0, grid.Rows() - 1, 0, 9), opened) << "mine.DAT read back";
  voc->RunCommand("fileopen");
  voc->RunCommand("fileopen");
  EXPECT_EQ(prompt.Count("message"), 2u);
  EXPECT_EQ(Cells(grid, 0, grid.Rows() - 1, 0, 9), opened) << "unreadable files change nothing";

  voc->RunCommand("FileCancel");
  ASSERT_TRUE(Gone());
  FlexGrid& fresh = OpenVoc(1);
  dialogs.answers = {Path("one.dat")};
  voc->RunCommand("fileopen");
  ASSERT_EQ(fresh.Rows(), 4);
  EXPECT_EQ(Cells(fresh, 1, 3, 0, 9), "  |Solo|S|50|" + std::string(26, '|'));
}

TEST_F(ReferenceWindowTest, WithoutThePropertyFileTheTableIsEmptyAndStillUsable) {
  std::filesystem::remove(Path("program/vocprops.txt"));
  FlexGrid& grid = OpenVoc(1);
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_EQ(grid.Rows(), 26);
  EXPECT_EQ(Cells(grid, 0, 1, 1, 1), "Name||");
  TypeIntoCell(grid, 1, 5, "a5");
  TypeIntoCell(grid, 1, 1, "a5");
  grid.SetRowCol(1, 1);
  voc->RunCommand("Editinsert");
  EXPECT_EQ(Cells(grid, 1, 2, 1, 1) + Cells(grid, 2, 2, 5, 5), "|a5|5|");
  EXPECT_EQ(grid.Rows(), 27);
  ChooseMenu(*voc, {"mnucancel"});
  EXPECT_TRUE(Gone());
  EXPECT_TRUE(pollutants->isEnabled());
  OpenVoc(1);
  EXPECT_FALSE(pollutants->isEnabled());
  OuterFrame(voc)->close();
  EXPECT_TRUE(Gone());
  EXPECT_TRUE(pollutants->isEnabled());
}

TEST_F(ReferenceWindowTest, SourceDatabaseOpensFromTheRoomSourceWindow) {
  const std::string titles = "\"Source, type\",Material,Test,Ref,R0,k,P3,P4,P5,P6,Note,Date\r\n";
  const std::string entry = "Carpet,Nylon,chamber,EPA,.5,2.2E-05,1,2,3,4,new,1998\r\n";
  Write("test.sdb", titles + entry);
  Write("five.sdb", titles + entry + entry + entry + entry + entry);
  Write("titles.sdb", titles);
  Write("cut.sdb", titles + entry + "Paint,Latex,chamber\r\n");
  OpenEditor();
  RoomSourceForm* sources = OpenRoomSources(*context, 1, editor);
  dialogs.answers = {Path("test")};
  ChooseMenu(*sources, {"file", "FileOpenDatabase"});
  auto* db = AppWindows().Find<SourceDatabaseForm>();
  ASSERT_NE(db, nullptr);
  EXPECT_TRUE(sources->isEnabled());
  EXPECT_FALSE(Enabled(*db, "filesave"));
  FlexGrid& grid = db->Grid();
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(Cells(grid, 0, 0, 0, 0) + Cells(grid, 1, 1, 3, 5) + Cells(grid, 1, 1, 11, 11),
            "Source, type|EPA|5.000E-1|2.200E-5|1998|");
  EXPECT_EQ(grid.Row() * 10 + grid.Col(), 10);

  ClickCell(grid, 1, 5);
  testing::Type("a");
  EXPECT_EQ(db->EditCell().text().toStdString() + "|" + grid.TextMatrix(1, 5), "|2.200E-5");
  testing::Escape();
  TypeIntoCell(grid, 1, 2, "a");
  EXPECT_EQ(grid.TextMatrix(1, 2), "a");
  ClickCell(grid, 1, 3);
  testing::Key(Qt::Key_F2);
  EXPECT_FALSE(db->EditCell().isVisible());

  dialogs.answers = {Path("five"), Path("titles")};
  db->RunCommand("fileopen");
  EXPECT_EQ(grid.Rows(), 7);
  db->RunCommand("fileopen");
  EXPECT_EQ(grid.Rows(), 3);
  db->RunCommand("fileclose");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
  dialogs.answers = {Path("cut")};
  sources->RunCommand("FileOpenDatabase");
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_EQ(AppWindows().Find<SourceDatabaseForm>(), nullptr);
}

}  // namespace
}  // namespace quarn
