#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "tools/source_database_form.h"
#include "tools/voc_database_form.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/inputs/room_source_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using testing::ClickCell;

// Five compounds; the fourth has P0 10 mm Hg and MW 100.
const char* const kVocProps =
    "Toluene\r\nC7H8\r\n92.14\r\n28.4\r\n.0306\r\n"
    "Benzene\r\nC6H6\r\n78.11\r\n95.2\r\n.0324\r\n"
    "Hexane\r\nC6H14\r\n86.18\r\n151\r\n.0288\r\n"
    "Test VOC\r\nX1\r\n100\r\n10\r\n.03\r\n"
    "Styrene\r\nC8H8\r\n104.15\r\n6.4\r\n.025\r\nEND\r\n";

// Each test has a program folder of its own holding the five compounds, and a scenario of
// two rooms whose pollutant window is opened from the editor.
class ReferenceWindowTest : public testing::EditorWindowTest {
 protected:
  ReferenceWindowTest() {
    state->ProgramFolder = Path("program");
    std::filesystem::create_directories(state->ProgramFolder);
    Write("program/vocprops.txt", kVocProps);
    state->Building.NumRooms = 2;
  }
  ~ReferenceWindowTest() override {
    AppWindows().Unload<VOCdatabase>();
    AppWindows().Unload<frmv17sourcedb>();
    AppWindows().Unload<PollutantForm>();
    AppWindows().Unload<RoomSourceForm>();
  }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  PollutantForm& OpenPollutants(int n) {
    Scenario().NumPollutants = static_cast<int16_t>(n);
    if (editor == nullptr) OpenEditor();
    editor->FillGrid();
    ChooseMenu(*editor, {"definepollutants"});
    pollutants = AppWindows().Find<PollutantForm>();
    return *pollutants;
  }
  // VOC database with the pollutant grid on `row`.
  VOCdatabase& OpenVoc(int row) {
    ClickCell(pollutants->definepollutantss(), row, 1);
    ChooseMenu(*pollutants, {"vocdata"});
    voc = AppWindows().Find<VOCdatabase>();
    return *voc;
  }
  static bool Gone() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    return AppWindows().Find<VOCdatabase>() == nullptr;
  }
  void Mark(std::initializer_list<int> rows) {
    for (int r : rows) ClickCell(voc->VOCdbgrid(), r, 0);
  }
  std::string Names(int from, int to) {
    std::string names;
    for (int r = from; r <= to; ++r)
      names += pollutants->definepollutantss().TextMatrix(r, 1) + "|";
    return names;
  }
  static std::vector<std::string> Cells(const FlexGrid& grid, int first_col, int last_col) {
    std::vector<std::string> cells;
    for (int r = 0; r < grid.Rows(); ++r) {
      for (int c = first_col; c <= last_col; ++c) cells.push_back(grid.TextMatrix(r, c));
    }
    return cells;
  }

  PollutantForm* pollutants = nullptr;
  VOCdatabase* voc = nullptr;
};

TEST_F(ReferenceWindowTest, MarkedCompoundsGoIntoThePollutantGridFromItsCurrentRow) {
  OpenPollutants(3);
  FlexGrid& grid = OpenVoc(2).VOCdbgrid();
  EXPECT_EQ(grid.Rows(), 26);
  EXPECT_EQ(grid.TextMatrix(0, 0) + "|" + grid.TextMatrix(0, 4) + "|" + grid.TextMatrix(0, 10),
            "Selected|Diffusivity m2/h|Comments");
  EXPECT_EQ(grid.TextMatrix(1, 0) + grid.TextMatrix(1, 1) + "|" + grid.TextMatrix(1, 4) + "|" +
                grid.TextMatrix(1, 5),
            "  Toluene|.0306|28.4");
  EXPECT_FALSE(pollutants->isEnabled());
  EXPECT_FALSE(testing::ActionNamed(voc->findChildren<QAction*>(), "help")->isEnabled());

  Mark({2, 4, 3});
  EXPECT_EQ(grid.TextMatrix(2, 0) + grid.TextMatrix(3, 0) + grid.TextMatrix(4, 0), "XXX");
  Mark({3});
  EXPECT_EQ(grid.TextMatrix(3, 0), "");
  ChooseMenu(*voc, {"mnuTransfer"});
  EXPECT_TRUE(Gone());
  EXPECT_TRUE(pollutants->isEnabled());
  const FlexGrid& target = pollutants->definepollutantss();
  EXPECT_EQ(Names(1, 3), "|Benzene|Test VOC|");
  EXPECT_EQ(target.TextMatrix(2, 2) + "|" + target.TextMatrix(2, 3), "78.11|.0324");
  EXPECT_EQ(target.TextMatrix(3, 4), "54320.99");
  EXPECT_TRUE(prompt.shown.empty());

  ChooseMenu(*pollutants, {"Transfer"});
  EXPECT_EQ(Scenario().Pollutants[1].Name, "Benzene");
  EXPECT_EQ(Scenario().Pollutants[2].MolWt, 100.0f);
  EXPECT_NEAR(Scenario().Pollutants[2].C0, 54320.99, 0.01);
}

TEST_F(ReferenceWindowTest, OnlyTheFirstMarkedRowsThatFitAreTransferred) {
  OpenPollutants(3);
  OpenVoc(1);
  Mark({1, 2, 3, 4});
  voc->RunCommand("FileTransfer");
  EXPECT_EQ(Names(1, 3), "Toluene|Benzene|Hexane|");
  EXPECT_TRUE(prompt.shown.empty());

  ASSERT_TRUE(Gone());
  OpenVoc(2);
  Mark({5, 4, 1});
  voc->RunCommand("mnuTransfer");
  EXPECT_EQ(Names(1, 3), "Toluene|Toluene|Test VOC|");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Only 2 of the 3 marked rows fit in the pollutant table; 2 were copied.");

  ASSERT_TRUE(Gone());
  OpenVoc(1);
  ClickCell(voc->VOCdbgrid(), 2, 0);
  testing::Type("x");
  testing::Enter();
  EXPECT_EQ(voc->VOCdbgrid().TextMatrix(2, 0), "x");
  Mark({5});
  voc->RunCommand("mnuTransfer");
  EXPECT_EQ(Names(1, 3), "Styrene|Toluene|Test VOC|");
}

TEST_F(ReferenceWindowTest, VocFilesOpenAndSaveTheWholeTable) {
  std::string big;
  for (int i = 1; i <= 30; ++i) {
    const std::string n = std::to_string(i);
    if (i == 5) {
      big += "Cut" + n + "\r\nF" + n + "\r\n" + n + "\r\nEND\r\n";
    } else if (i == 9) {
      big += "cut" + n + "\r\nend\r\n";
    } else {
      big += "C" + n + "\r\nF" + n + "\r\n" + n + "\r\n" + n + ".5\r\n.0" + n +
             "\r\n1\r\n2\r\n3\r\n" + n + "E-05\r\n";
    }
  }
  Write("big.DAT", big + "END\r\n");
  Write("one.dat", "Solo\r\nS\r\n50\r\nEND\r\n");
  OpenPollutants(2);
  FlexGrid& grid = OpenVoc(1).VOCdbgrid();
  grid.SetTextMatrix(3, 10, "my note");

  dialogs.answers = {Path("big")};
  voc->RunCommand("fileopen");
  EXPECT_EQ(dialogs.asked.back().request.filter, "VOC data (*.DAT)|*.DAT|All files (*.*)|*.*");
  ASSERT_EQ(grid.Rows(), 32);
  EXPECT_EQ(grid.TextMatrix(30, 1) + "|" + grid.TextMatrix(31, 1), "C30|");
  EXPECT_EQ(grid.TextMatrix(1, 5) + "|" + grid.TextMatrix(1, 4) + "|" + grid.TextMatrix(1, 9),
            "1.5|.01|1E-05");
  EXPECT_EQ(grid.TextMatrix(5, 3) + "|" + grid.TextMatrix(5, 5) + "|" + grid.TextMatrix(9, 1) +
                grid.TextMatrix(9, 2),
            "5||cut9");
  EXPECT_EQ(grid.TextMatrix(3, 10), "my note");
  const std::vector<std::string> opened = Cells(grid, 1, 9);

  dialogs.answers = {Path("mine")};
  voc->RunCommand("filesave");
  EXPECT_EQ(dialogs.asked.back().request.filter, "DBase (*.DAT)|*.DAT|All files (*.*)|*.*");
  ASSERT_TRUE(std::filesystem::exists(Path("mine.DAT")));
  grid.SetTextMatrix(1, 1, "changed");
  dialogs.answers = {Path("mine")};
  voc->RunCommand("fileopen");
  EXPECT_EQ(Cells(grid, 1, 9), opened);
  EXPECT_EQ(grid.TextMatrix(31, 0), "");

  // Unreadable files leave the table as it is.
  Write("bad.DAT", "Name\r\nF\r\n");
  dialogs.answers = {Path("missing"), Path("bad.DAT")};
  voc->RunCommand("fileopen");
  voc->RunCommand("fileopen");
  EXPECT_EQ(prompt.Count("message"), 2u);
  EXPECT_EQ(Cells(grid, 1, 9), opened);

  voc->RunCommand("FileCancel");
  ASSERT_TRUE(Gone());
  FlexGrid& fresh = OpenVoc(1).VOCdbgrid();
  dialogs.answers = {Path("one.dat")};
  voc->RunCommand("fileopen");
  ASSERT_EQ(fresh.Rows(), 4);
  EXPECT_EQ(fresh.TextMatrix(1, 1) + "|" + fresh.TextMatrix(1, 3) + "|" + fresh.TextMatrix(1, 5),
            "Solo|50|");
  for (int r = 2; r <= 3; ++r) {
    for (int c = 0; c <= 9; ++c) EXPECT_EQ(fresh.TextMatrix(r, c), "") << r << "," << c;
  }
}

TEST_F(ReferenceWindowTest, WithoutThePropertyFileTheTableIsEmptyAndStillUsable) {
  std::filesystem::remove(Path("program/vocprops.txt"));
  OpenPollutants(1);
  FlexGrid& grid = OpenVoc(1).VOCdbgrid();
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_EQ(grid.Rows(), 26);
  EXPECT_EQ(grid.TextMatrix(0, 1) + "|" + grid.TextMatrix(1, 0) + grid.TextMatrix(1, 1), "Name|");
  TypeIntoCell(grid, 1, 5, "a5");
  TypeIntoCell(grid, 1, 1, "a5");
  EXPECT_EQ(grid.TextMatrix(1, 5) + "|" + grid.TextMatrix(1, 1), "5|a5");
  grid.SetRowCol(2, 1);
  voc->RunCommand("Editinsert");
  EXPECT_EQ(grid.Rows(), 27);
  EXPECT_EQ(grid.TextMatrix(1, 1) + "|" + grid.TextMatrix(2, 1), "a5|");

  ChooseMenu(*voc, {"mnucancel"});
  EXPECT_TRUE(Gone());
  EXPECT_TRUE(pollutants->isEnabled());
  OpenVoc(1);
  EXPECT_FALSE(pollutants->isEnabled());
  OuterFrame(voc)->close();
  EXPECT_TRUE(Gone());
  EXPECT_TRUE(pollutants->isEnabled());
  EXPECT_EQ(Scenario().Pollutants[0].Name, "");
}

TEST_F(ReferenceWindowTest, SourceDatabaseOpensFromTheRoomSourceWindow) {
  const std::string titles = "\"Source, type\",Material,Test,Ref,R0,k,P3,P4,P5,P6,Note,Date\r\n";
  const std::string entry = "Carpet,\"Nylon, cut\",chamber,EPA,.5,2.2E-05,1,2,3,4,new,1998\r\n";
  Write("test.sdb", titles + entry);
  std::string five = titles;
  for (int i = 0; i < 5; ++i) five += entry;
  Write("five.sdb", five);
  Write("titles.sdb", titles);
  Write("cut.sdb", titles + entry + "Paint,Latex,chamber\r\n");
  OpenEditor();
  RoomSourceForm* sources = OpenRoomSources(*context, 1, editor);
  testing::ProcessEvents();

  dialogs.answers = {Path("test")};
  ChooseMenu(*sources, {"file", "FileOpenDatabase"});
  EXPECT_EQ(dialogs.asked.back().request.initial_name, "*.sdb");
  EXPECT_EQ(dialogs.asked.back().request.filter, "SourceDB(*.sdb)|*.sdb|All files (*.*)|*.*");
  auto* db = AppWindows().Find<frmv17sourcedb>();
  ASSERT_NE(db, nullptr);
  EXPECT_TRUE(sources->isEnabled());
  FlexGrid& grid = db->v17sourcedb();
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 0) + "|" + grid.TextMatrix(1, 1), "Source, type|Nylon, cut");
  EXPECT_EQ(grid.TextMatrix(1, 4) + "|" + grid.TextMatrix(1, 5) + "|" + grid.TextMatrix(1, 11),
            "5.000E-1|2.200E-5|1998");
  EXPECT_EQ(grid.Row() * 10 + grid.Col(), 10);
  EXPECT_FALSE(testing::ActionNamed(db->findChildren<QAction*>(), "filesave")->isEnabled());

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
  EXPECT_EQ(dialogs.asked.back().request.initial_name, "");
  EXPECT_EQ(grid.Rows(), 7);
  db->RunCommand("fileopen");
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(1, 0), "");

  db->RunCommand("fileclose");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
  ASSERT_EQ(AppWindows().Find<frmv17sourcedb>(), nullptr);
  dialogs.answers = {Path("cut")};
  sources->RunCommand("FileOpenDatabase");
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_EQ(AppWindows().Find<frmv17sourcedb>(), nullptr);
}

}  // namespace
}  // namespace quarn
