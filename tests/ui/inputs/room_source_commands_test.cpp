#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/qt_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/room_source_form.h"
#include "ui/inputs/shower_help_form.h"

namespace quarn {
namespace {

// Two rooms; room 2 has two sources and the scenario three pollutants.
class RoomSourceCommands : public testing::EditorWindowTest {
 protected:
  RoomSourceCommands() {
    state->Building.NumRooms = 2;
    s.NumPollutants = 3;
    const float mol_wt[] = {0, 100, 200};
    const float c0[] = {250, 5, 1};
    for (int p = 0; p < 3; ++p) {
      s.Pollutants[p].Name = "VOC" + std::to_string(p);
      s.Pollutants[p].MolWt = mol_wt[p];
      s.Pollutants[p].C0 = c0[p];
    }
    s.NumSources[2] = 2;
    SourceRecord& vbx = s.Sources[2][1];
    vbx.Name = "varnish";
    vbx.Model = 7;
    vbx.Size = 4;
    vbx.TotalMass = 2;
    vbx.CycleRepeats = "D";
    vbx.NumCycles = 2;
    vbx.TimeOn = {0, 1, 9};
    vbx.TimeOff = {0, 3, 12};
    vbx.RawParam3 = {50, 10, 30};
    s.Sources[2][2].Name = "carpet";
    s.Sources[2][2].Model = 2;
    OpenEditor();
  }
  ~RoomSourceCommands() override {
    AppWindows().Unload<RoomSourceForm>();
    AppWindows().Unload<ShowerHelpForm>();
  }

  RoomSourceForm& Open() {
    RoomSourceForm* form = OpenRoomSources(*context, 2, editor);
    testing::ProcessEvents();
    prompt.shown.clear();  // the note that VBX's first pollutant is the TVOC
    return *form;
  }
  size_t Files() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
  }

  ScenarioRecord& s = Scenario();
};

// The fields that a source file holds.
void ExpectSameRoomLayout(const SourceRecord& a, const SourceRecord& b) {
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.Model, b.Model);
  EXPECT_EQ(a.EmissionUnits, b.EmissionUnits);
  EXPECT_EQ(a.Size, b.Size);
  EXPECT_EQ(a.CycleRepeats.str(), b.CycleRepeats.str());
  EXPECT_EQ(a.NumCycles, b.NumCycles);
  EXPECT_EQ(a.GasVelocity, b.GasVelocity);
  EXPECT_EQ(a.TimeOn, b.TimeOn);
  EXPECT_EQ(a.TimeOff, b.TimeOff);
  EXPECT_EQ(a.TotalMass, b.TotalMass);
  EXPECT_EQ(a.SourceValue, b.SourceValue);
  EXPECT_EQ(a.Params, b.Params);
  EXPECT_EQ(a.RawParam3, b.RawParam3);
}

TEST_F(RoomSourceCommands, SourceFileSavedFromOneSlotOpensIntoAnother) {
  RoomSourceForm& form = Open();
  TypeIntoCell(form.ssrmsrc(), 1, 2, "0.5");
  // A cancelled dialog and a name with "*" read and write nothing.
  const size_t files = Files();
  dialogs.answers = {std::nullopt, Path("*.SOR"), std::nullopt, Path("*.SOR")};
  for (const char* command : {"FileSave", "FileSave", "FileOpen", "FileOpen"})
    form.RunCommand(command);
  EXPECT_EQ(Files(), files);
  EXPECT_EQ(s.Sources[2][1].Params[1][0], 0);

  dialogs.answers = {Path("varnish")};
  form.RunCommand("FileSave");
  ASSERT_EQ(dialogs.asked.back().request.filter, "Source (*.SOR)|*.SOR|All files (*.*)|*.*");
  EXPECT_EQ(dialogs.asked.back().request.initial_name, "*.SOR");
  ASSERT_TRUE(std::filesystem::exists(Path("varnish"))) << "no extension is added";

  // A damaged file says so and leaves the source shown and stored as it was.
  std::string bytes;
  {
    std::ifstream in(Path("varnish"), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(Path("short"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  form.RunCommand("ChangesourcenumberUp");
  const size_t messages = prompt.shown.size();
  dialogs.answers = {Path("short")};
  form.RunCommand("FileOpen");
  ASSERT_EQ(prompt.shown.size(), messages + 1);
  EXPECT_EQ(prompt.shown.back().title, "Error");
  EXPECT_EQ(s.Sources[2][2].Name, "carpet");
  EXPECT_EQ(form.GeneralSourceDataGrid().TextMatrix(1, 1), "carpet");

  state->ScenarioSaved = kTrue;
  dialogs.answers = {Path("varnish")};
  form.RunCommand("FileOpen");
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  EXPECT_EQ(s.Sources[2][2].Name, "varnish");
  EXPECT_EQ(form.ShownSource(), 2);
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 2), "0.5");
  EXPECT_EQ(form.findChild<QComboBox*>("SourceModel")->currentText(), "VBX");
  form.RunCommand("Transfer");
  ExpectSameRoomLayout(s.Sources[2][2], s.Sources[2][1]);
  EXPECT_EQ(s.Sources[2][2].Params[1][0], 0.5f);
  EXPECT_EQ(s.Sources[2][2].Params[2][1], 20.0f) << "10 mg/g of 2 g/m2";
  EXPECT_EQ(s.Sources[2][2].NumCycles, 2);
}

TEST_F(RoomSourceCommands, TvocPropertiesOfTheComponents) {
  RoomSourceForm& form = Open();
  // 10 and 30 mg/g of MW 100 and 200, C0 5 and 1: C0 2.6, MW 160.
  state->ScenarioSaved = kTrue;
  form.RunCommand("CalculateTVOC");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 1), "2.6");
  EXPECT_FLOAT_EQ(s.Pollutants[0].C0, 2.6f);
  EXPECT_FLOAT_EQ(s.Pollutants[0].MolWt, 160);
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  EXPECT_TRUE(prompt.shown.empty());

  // A component without a molecular weight is left out: component 2 alone.
  s.Pollutants[2].MolWt = 0;
  form.RunCommand("CalculateTVOC");
  EXPECT_FLOAT_EQ(s.Pollutants[0].C0, 5);
  EXPECT_FLOAT_EQ(s.Pollutants[0].MolWt, 100);

  // One pollutant is a mixture without components: a message and no change.
  s.NumPollutants = 1;
  form.RunCommand("CalculateTVOC");
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_FLOAT_EQ(s.Pollutants[0].C0, 5);
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 1), "5.");
}

TEST_F(RoomSourceCommands, EditCommandsWorkOnTheParameterBlock) {
  s.Sources[2][1].Model = 2;  // "Paint1": R0 and k
  s.Sources[2][1].Params[0] = {1, 3};
  s.Sources[2][1].Params[1] = {2, 4};
  RoomSourceForm& form = Open();
  FlexGrid& params = form.ssrmsrc();
  FlexGrid& schedule = form.GeneralSourceDataGrid();
  auto at = [&params](int r, int c) {
    return params.visualRect(params.model()->index(r, c)).center();
  };
  testing::ClickCell(schedule, 1, 2);
  testing::Drag(params.viewport(), at(1, 1), at(2, 2));
  // The schedule last in use does not steer the Edit commands.
  testing::ClickCell(schedule, 1, 1);
  form.RunCommand("EditCopy");
  EXPECT_EQ(ClipboardText(), "1\t2\r3\t4");
  form.RunCommand("EditClear");
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c) EXPECT_EQ(params.TextMatrix(r, c), "") << r << c;
  EXPECT_EQ(params.TextMatrix(3, 1), "0");
  EXPECT_EQ(params.TextMatrix(1, 0), "VOC0");
  EXPECT_EQ(schedule.TextMatrix(1, 1), "varnish");
  testing::ClickCell(params, 1, 1);
  form.RunCommand("EditPaste");
  EXPECT_EQ(params.TextMatrix(1, 1), "1");
  EXPECT_EQ(params.TextMatrix(2, 2), "4");
}

TEST_F(RoomSourceCommands, FitAndCompositionStoredBehindTheWindow) {
  RoomSourceForm& form = Open();
  form.RunCommand("CalculateR0k");
  EXPECT_EQ(state->CurrentRoom, 2);
  EXPECT_EQ(state->CurrentSource, 1);
  EXPECT_EQ(prompt.shown.back().text, "Feature not implemented in version.");
  SourceRecord fit = s.Sources[2][1];
  fit.Params[0][0] = 5;
  fit.Params[1][0] = 0.2f;
  form.StoreFit(fit);
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 1), "5");
  EXPECT_EQ(form.ssrmsrc().TextMatrix(1, 2), "0.2");
  EXPECT_EQ(form.findChild<QComboBox*>("SourceModel")->currentText(), "R0k");

  // A composition stored for source 1 while source 2 is shown.
  form.RunCommand("ChangesourcenumberUp");
  s.Sources[2][1].SourceWork2[1] = 42;
  form.TakeStoredSource(2, 1, RoomSourceForm::Stored::Composition);
  form.RunCommand("Transfer");
  const SourceRecord& stored = s.Sources[2][1];
  EXPECT_EQ(stored.Model, 1);
  EXPECT_EQ(stored.Params[0][0], 5);
  EXPECT_EQ(stored.Params[1][0], 0.2f);
  EXPECT_EQ(stored.SourceWork2[1], 42);
}

struct MenuLine {
  std::string path;
  std::string name;
};

std::vector<MenuLine> MenuLines(QMenuBar& bar) {
  std::vector<MenuLine> lines;
  for (QAction* top : bar.actions()) {
    lines.push_back({FromQt(top->text()), FromQt(top->objectName())});
    if (top->menu() == nullptr) continue;
    for (QAction* item : top->menu()->actions()) {
      if (item->isSeparator()) continue;
      lines.push_back({FromQt(top->text() + " > " + item->text()), FromQt(item->objectName())});
    }
  }
  return lines;
}

TEST_F(RoomSourceCommands, ShowerDataHelpPrintAndMenus) {
  RoomSourceForm& form = Open();
  std::filesystem::create_directories(Path("program"));
  {
    std::ofstream file(Path("program") + "/showerdatafile.dat", std::ios::binary);
    for (int r = 1; r <= 13; ++r) file << "\"VOC " << r << "\",25,0." << r << ",n/a\r\n";
  }
  state->ProgramFolder = Path("program");
  form.RunCommand("showerdata");
  ShowerHelpForm* shower = AppWindows().Find<ShowerHelpForm>();
  ASSERT_NE(shower, nullptr);
  EXPECT_EQ(shower->windowTitle(), "Shower source data");
  FlexGrid& table = shower->ShowerDataGrid();
  EXPECT_EQ(table.Rows(), 14);
  EXPECT_EQ(table.Cols(), 4);
  const char* heads[] = {"VOC", "Temp water C", "Henry Law", "Mass xfer "};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(table.TextMatrix(0, c), heads[c]);
  EXPECT_EQ(table.TextMatrix(13, 0), "VOC 13");
  EXPECT_TRUE(prompt.shown.empty());
  state->ProgramFolder = Path("none");
  form.RunCommand("showerdata");
  EXPECT_EQ(prompt.Count("message"), 1U);
  state->ProgramFolder = std::string(QUARN_SOURCE_DIR) + "/data";
  form.RunCommand("showerdata");
  EXPECT_EQ(prompt.Count("message"), 1U) << "the shipped table is whole";
  EXPECT_EQ(table.TextMatrix(1, 0), "Chloroform");
  auto* close = shower->findChild<QPushButton*>("btnclose");
  EXPECT_EQ(close->text(), "&Close");
  close->click();
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ShowerHelpForm>(), nullptr);

  for (const char* command : {"HelpCalculate", "shourcehelp", "showerhelp"})
    form.RunCommand(command);
  const std::vector<std::pair<std::string, std::string>> helps = {
      {"RovozUzav.HLP", "Sources"}, {"RovozUzav.HLP", "Source room data form"}, {"Shower.HLP", ""}};
  EXPECT_EQ(help.shown, helps);

  form.RunCommand("FilePrint");
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> printed = printer.Lines();
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed[0], testing::Line({{20, "Source information "}}));
  EXPECT_NE(std::find_if(printed.begin(), printed.end(),
                         [](const std::string& l) { return l.find("varnish") != l.npos; }),
            printed.end());

  const std::vector<MenuLine> table_of_menus = {
      {"&File", "file"},
      {"&File > &Open source file", "FileOpen"},
      {"&File > &Save source file", "FileSave"},
      {"&File > Open source &data base", "FileOpenDatabase"},
      {"&File > &Print source information", "FilePrint"},
      {"&File > &Transfer", "FileTranfer"},
      {"&File > &Cancel", "FileCancel"},
      {"&Transfer", "Transfer"},
      {"&Cancel", "Cancel"},
      {"&Edit", "edit"},
      {"&Edit > C&ut", "EditCut"},
      {"&Edit > &Copy", "EditCopy"},
      {"&Edit > C&lear", "EditClear"},
      {"&Edit > &Paste", "EditPaste"},
      {"&Calculate", "calculate"},
      {"&Calculate > &R0k", "CalculateR0k"},
      {"&Calculate > TVOC properties", "CalculateTVOC"},
      {"&Calculate > &Mass transfer coefficient", "Calculatek"},
      {"&Calculate > &Help", "HelpCalculate"},
      {"T&ools", "tools"},
      {"T&ools > &Source composition", "sourcecomposition"},
      {"T&ools > &Calculator", "ToolsCalculator"},
      {"T&ools > &Units conversion", "Units"},
      {"&Window", "Window"},
      {"&Window > &Cascade", "WindowCascade"},
      {"&Window > &Tile", "WindowTile"},
      {"&Window > &List windows", "WindowList"},
      {"&Help", "help"},
      {"&Help > &Source help", "shourcehelp"},
      {"&Help > S&hower help", "showerhelp"},
      {"&Help > Shower &Data", "showerdata"},
  };
  const std::vector<MenuLine> menus = MenuLines(*form.menuBar());
  ASSERT_EQ(menus.size(), table_of_menus.size());
  for (size_t i = 0; i < menus.size(); ++i) {
    EXPECT_EQ(menus[i].path, table_of_menus[i].path);
    EXPECT_EQ(menus[i].name, table_of_menus[i].name) << menus[i].path;
  }
}

}  // namespace
}  // namespace quarn
