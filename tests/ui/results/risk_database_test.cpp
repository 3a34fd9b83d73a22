#include "ui/results/risk_data_form.h"
#include "ui/results/risk_db_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/menu_input.h"
#include "files/database_service.h"
#include "platform/clipboard.h"
#include "platform/data_control.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/tools/calculator_form.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const Texts kFields{"Pollutant",         "IrritantConcentration",
                    "OdorConcentration", "ThresholdConcentration",
                    "CancerRisk",        "Comments",
                    "Reference"};
// "µg dust café" and "été µ" in Windows-1252.
constexpr const char* kMicro = "\xB5g dust caf\xE9";
constexpr const char* kMicroNote = "\xE9t\xE9 \xB5";

// An ordinary pollutant with numbers as the database writes them, one with Null numbers,
// one with "µ" and "é" in its texts, and the record without a pollutant; pollutant 0 set.
class RiskDatabase : public testing::EditorWindowTest {
 protected:
  RiskDatabase() {
    Scenario().Pollutants[0] = {.Name = "Old", .CancerRisk = 8, .MolWt = 78, .Comments = "kept"};
    OpenEditor();
  }
  ~RiskDatabase() override {
    AppWindows().Unload<RiskDbForm>();
    AppWindows().Unload<RiskDataForm>();
    AppWindows().Unload<CalculatorForm>();
  }
  static JetTable FourRows() {
    return {kFields,
            {{"Benzene", "1.23e-04", "4.5", "", "1.5e-05", "carcinogen", "EPA"},
             {"Nulls", "", "", "", "", "", ""},
             {kMicro, "2", "", "", "", kMicroNote, "ref"},
             Texts(7, "")}};
  }
  PollutantRecord& P0() { return Scenario().Pollutants[0]; }
  static bool Closed() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return AppWindows().Find<RiskDbForm>() == nullptr &&
           AppWindows().Find<RiskDataForm>() == nullptr;
  }
  static Texts Cells(const FlexGrid& g, int row) {
    Texts texts;
    for (int c = 1; c <= 7; ++c) texts.push_back(g.TextMatrix(row, c));
    return texts;
  }
  static Texts Boxes(RiskDataForm& f) {
    Texts texts;
    for (const QLineEdit* box : f.findChildren<QLineEdit*>()) texts.push_back(FromQt(box->text()));
    return texts;
  }
  static void Press(RiskDataForm& f, const char* button) {
    QTest::mouseClick(f.Data1().findChild<QToolButton*>(button), Qt::LeftButton);
  }
  std::string LastMessage() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }
};

TEST_F(RiskDatabase, GridShowsTheTableAndTransfersTheCurrentRowIntoPollutantZero) {
  RiskDbForm* form = ShowRiskDbForm(*context, editor);
  EXPECT_EQ(LastMessage(),
            "Error.  Cannot open the database VADUZODU.MDB.  The file was not found.");
  EXPECT_EQ(Cells(form->RiskDbGrid(), 0), kFields);
  EXPECT_EQ(Cells(form->RiskDbGrid(), form->RiskDbGrid().Rows() - 1), Texts(7, ""));
  form->Unload();
  ASSERT_TRUE(Closed());

  database.Add("VADUZODU.MDB", "PollutantList", FourRows());
  form = ShowRiskDbForm(*context, editor);
  FlexGrid& g = form->RiskDbGrid();
  EXPECT_EQ(g.Cols(), 9);
  ASSERT_EQ(g.Rows(), 5);
  EXPECT_EQ(Cells(g, 0), kFields);
  EXPECT_EQ(Cells(g, 1), (Texts{"Benzene", "0.000123", "4.5", "", "1.5E-05", "carcinogen", "EPA"}));
  EXPECT_EQ(g.TextMatrix(3, 1), kMicro);
  EXPECT_EQ(form->Data1().Caption(), "Benzene");
  testing::ClickCell(g, 4, 2);
  EXPECT_EQ(form->Data1().Caption(), "End of data");
  for (const char* idle : {"FileCancel", "FilePrint"}) {
    EXPECT_FALSE(testing::ActionNamed(form->findChildren<QAction*>(), idle)->isEnabled()) << idle;
  }

  const std::string editor_cells = AllCellsText(editor->ScenarioSS());
  testing::ClickCell(g, 1, 3);
  testing::ChooseMenu(*form, {"file", "FileTransfer"});
  EXPECT_TRUE(Closed());
  EXPECT_EQ(P0().Name, "Benzene");
  EXPECT_EQ(P0().IrritantConc, 0.000123F);
  EXPECT_EQ(P0().CancerRisk, 1.5E-05F);
  EXPECT_EQ(P0().Comments + "," + std::to_string(P0().MolWt), "kept,78.000000");
  EXPECT_EQ(AllCellsText(editor->ScenarioSS()), editor_cells);
}

TEST_F(RiskDatabase, RecordWindowMovesThroughTheTableAndTransfersTheBoxes) {
  database.Add("DEVOviza15.MDB", "PollutantList", FourRows());
  RiskDataForm* form = ShowRiskDataForm(*context, editor);
  EXPECT_EQ(Boxes(*form),
            (Texts{"Benzene", "0.000123", "1.5E-05", "4.5", "", "carcinogen", "EPA"}));
  EXPECT_EQ(form->Data1().Caption(), "Benzene");
  Press(*form, "MoveNext");
  EXPECT_EQ(Boxes(*form), (Texts{"Nulls", "", "", "", "", "", ""}));
  Press(*form, "MoveNext");
  EXPECT_EQ(form->PollutantName().text(), QString::fromUtf8("\xC2\xB5g dust caf\xC3\xA9"));
  EXPECT_EQ(form->Data1().Caption(), kMicro);
  form->Comments().setText("typed");
  Press(*form, "MoveLast");
  EXPECT_EQ(form->Data1().Caption(), "End of data");
  EXPECT_EQ(Boxes(*form), Texts(7, ""));
  Press(*form, "MovePrevious");
  EXPECT_EQ(FromQt(form->Comments().text()), kMicroNote);  // the edit was dropped

  QTest::mouseClick(form->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(P0().Name + "|" + P0().Comments, std::string(kMicro) + "|" + kMicroNote);
  EXPECT_EQ(P0().IrritantConc, 2);
  EXPECT_EQ(P0().CancerRisk, 0);
}

TEST_F(RiskDatabase, RiskDataFilesSaveAndOpenAndDamagedFilesChangeNothing) {
  database.Add("DEVOviza15.MDB", "PollutantList", FourRows());
  RiskDataForm* form = ShowRiskDataForm(*context, editor);
  Press(*form, "MoveNext");
  Press(*form, "MoveNext");
  dialogs.answers = {std::nullopt, Path("risk.txt"), std::nullopt, Path("risk.txt")};
  form->RunCommand("filesave");
  EXPECT_EQ(P0().Name, "Old");
  form->RunCommand("filesave");
  EXPECT_EQ(P0().Name, kMicro);
  Press(*form, "MoveFirst");
  form->RunCommand("fileopen");
  EXPECT_EQ(Boxes(*form)[0], "Benzene");
  form->RunCommand("fileopen");
  // The empty cancer box left pollutant 0's cancer risk as it was when saved.
  const Texts restored{kMicro, " 2", " 8", "4.5", "", kMicroNote, "EPA"};
  EXPECT_EQ(Boxes(*form), restored);

  std::ofstream(Path("report.RSK")) << "Risk analysis for House\r\nScenario R1\r\nPollutant B\r\n";
  std::ofstream(Path("cut.RSK")) << "Benzene\r\n";
  for (const char* damaged : {"report.RSK", "cut.RSK"}) {
    dialogs.answers = {Path(damaged)};
    form->RunCommand("fileopen");
    EXPECT_NE(LastMessage().find("ends early or holds a value that does not fit"),
              std::string::npos);
    EXPECT_EQ(P0().Name + std::to_string(P0().IrritantConc), std::string(kMicro) + "2.000000");
    EXPECT_EQ(Boxes(*form), restored);
  }
}

TEST_F(RiskDatabase, OtherDatabasesEditMenuAndTheOtherCommands) {
  RiskDataForm* form = ShowRiskDataForm(*context, editor);
  EXPECT_EQ(Boxes(*form), Texts(7, ""));
  EXPECT_TRUE(prompt.shown.empty());
  database.Add("second.mdb", "PollutantList",
               {kFields, {{"Toluene", "0.5", "", "", "", "tol", ""}}});
  database.Refuse("notes.mdb", "The file is not a database or is damaged.");
  database.Add("sources.mdb", "SourceList", {});
  dialogs.answers = {std::nullopt, "second", "notes", "sources"};
  form->RunCommand("openriskdb");
  EXPECT_EQ(Boxes(*form)[0], "");
  form->RunCommand("openriskdb");
  EXPECT_EQ(Boxes(*form)[0] + "|" + form->Data1().Caption(), "Toluene|Toluene");
  form->RunCommand("openriskdb");
  EXPECT_EQ(LastMessage(),
            "Error.  Cannot open the database notes.mdb.  The file is not a database or is "
            "damaged.");
  form->RunCommand("openriskdb");
  EXPECT_EQ(LastMessage(), "Error.  The database sources.mdb holds no table PollutantList.");
  EXPECT_EQ(Boxes(*form)[0], "Toluene");

  form->Irritant().setFocus();
  EXPECT_TRUE(testing::WaitFor([&] { return form->Irritant().selectedText() == "0.5"; }));
  form->Comments().setFocus();
  form->Comments().setSelection(0, 2);
  form->RunCommand("EditCut");
  EXPECT_EQ(ClipboardText(), "to");
  form->Comments().end(false);
  form->RunCommand("EditPaste");
  EXPECT_EQ(form->Comments().text().toStdString(), "lto");
  form->RunCommand("Filesetup");
  EXPECT_EQ(LastMessage(), "Feature not implemented in version.");
  form->RunCommand("FilePrint");
  EXPECT_EQ(printer.pages.size(), 1U);
  form->RunCommand("help");
  EXPECT_EQ(help.shown.back(), std::make_pair(std::string("RovozUzav.HLP"), std::string("Risk")));
  form->RunCommand("Calculator");
  EXPECT_NE(AppWindows().Find<CalculatorForm>(), nullptr);
}

// The program's own service finds a bare name in the program folder whatever its letter
// case, and a table of a real Access 97 file moves through the navigation bar.
TEST(JetDatabaseServiceTest, FindsTheFileByAnotherCaseAndFeedsTheNavigationBar) {
  const fs::path folder = fs::temp_directory_path() / ("quarn_jet_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy_file(std::string(QUARN_FIXTURES_DIR) + "/jet/testV1997.mdb", folder / "TESTv1997.MDB",
                fs::copy_options::overwrite_existing);
  ProgramState state;
  state.ProgramFolder = folder.string();
  JetDatabaseService service(state.ProgramFolder);

  DatabaseTable read = service.ReadTable("testv1997.mdb", "Table1");
  ASSERT_TRUE(read.table.has_value()) << read.reason;
  DataControl data;
  data.SetRecords(read.table->columns, read.table->rows);
  EXPECT_EQ(data.Field("A") + std::to_string(data.RecordCount()), "a2");
  data.MoveLast();
  data.MoveNext();
  EXPECT_EQ(data.AbsolutePosition(), 1);
  EXPECT_EQ(data.Field("B") + "|" + data.Field("F"), "hijklmnop|444.555");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace quarn
