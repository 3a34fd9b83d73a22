#include "ui/tools/chamber_data_form.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <cmath>
#include <filesystem>
#include <string>

#include "files/chamber_data_file.h"
#include "model/source_schedule.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/graph.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/about_form.h"
#include "ui/inputs/room_source_form.h"
#include "ui/results/graph_form.h"
#include "ui/tools/r0k_plot_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// A chamber test of R0 0.3 mg/m2/h and k 0.05/h.
constexpr const char* kTimes[] = {"1", "2", "4", "8", "12", "16", "20", "24"};
constexpr const char* kConcs[] = {"0.078205", "0.103161", "0.107305", "0.089819",
                                  "0.073574", "0.060238", "0.049318", "0.040379"};

// Room 1 holds one "Mass transfer" source, renamed "Carpet" in the source window before
// Calculate > R0k opens the chamber data window on it.
class ChamberDataFormTest : public testing::EditorWindowTest {
 protected:
  ChamberDataFormTest() {
    Scenario().NumSources[1] = 1;
    source().Name = "rug";
    source().Model = 0;
    source().Size = 2;
    source().Params[1][0] = 0.7f;
    source().Params[2][0] = 500;  // M01, which an R0k model would read as R2
    source().Params[3][0] = 0.1f;
    source().NumCycles = 1;
    source().TimeOff[1] = 24;
    OpenEditor();
  }
  ~ChamberDataFormTest() override { AppWindows().Unload<R0kPlotForm>(); }

  SourceRecord& source() { return Scenario().Sources[1][1]; }

  ChamberDataForm& OpenFit() {
    testing::ProcessEvents();
    if (sources == nullptr) {
      sources = OpenRoomSources(*context, 1, editor);
      testing::ProcessEvents();
      TypeIntoCell(sources->GeneralSourceDataGrid(), 1, 1, "Carpet");
    }
    ChooseMenu(*sources, {"calculate", "CalculateR0k"});
    ChamberDataForm* form = AppWindows().Find<ChamberDataForm>();
    EXPECT_NE(form, nullptr);
    EXPECT_TRUE(testing::ShowActive(*form));
    return *form;
  }
  static void TypeBox(ChamberDataForm& form, const char* name, const char* text) {
    auto* box = form.findChild<QLineEdit*>(name);
    box->setFocus();
    box->selectAll();
    testing::Type(text);
  }
  static void TypePoint(ChamberDataForm& form, int row, const char* t, const char* c) {
    testing::ClickCell(form.Grid1(), row, 1);
    testing::Type(t);
    testing::Key(Qt::Key_Right);
    testing::Type(c);
  }
  static void TypeTest(ChamberDataForm& form, int points = 8) {
    TypeBox(form, "Volume", "0.053");
    TypeBox(form, "ach", "1");
    TypeBox(form, "areatext", "0.0225");
    TypeBox(form, "Peaktext", "0.10878");
    TypeBox(form, "peakt", "3.1534");
    for (int i = 0; i < points; ++i) TypePoint(form, i + 1, kTimes[i], kConcs[i]);
  }
  static std::string Box(ChamberDataForm& form, const char* name) {
    return FromQt(form.findChild<QLineEdit*>(name)->text());
  }
  static double BoxNumber(ChamberDataForm& form, const char* name) {
    return LeadingNumber(Box(form, name));
  }
  void ExpectQuestion() {
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().kind, "yesnocancel");
    EXPECT_EQ(prompt.shown.back().text, "File not saved.Do you wish to save it now?");
    EXPECT_EQ(prompt.shown.back().title, "File not saved");
    EXPECT_EQ(prompt.shown.back().icon, MessageIcon::Critical);
  }

  RoomSourceForm* sources = nullptr;
};

TEST_F(ChamberDataFormTest, FitsTypedPointsPredictsPlotsPrintsAndHelps) {
  ChamberDataForm& form = OpenFit();
  EXPECT_EQ(form.windowTitle(), "R0 k Source Model Calculator");
  EXPECT_EQ(form.windowModality(), Qt::WindowModal);
  EXPECT_EQ(form.parentWidget(), sources);
  FlexGrid& grid = form.Grid1();
  EXPECT_EQ(grid.Rows(), 300);
  const char* headers[] = {"Point", "Time", "Concentration", "Predicted", "Residual "};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(grid.TextMatrix(0, c), headers[c]);
  EXPECT_EQ(grid.TextMatrix(299, 0), "299");

  // A number key in the grid starts the entry; the rest is typed in Text1.
  grid.setFocus();
  grid.SetRowCol(10, 1);
  testing::Type("9");
  EXPECT_EQ(grid.TextMatrix(10, 1), "9");
  EXPECT_EQ(QApplication::focusWidget(), &form.Text1());
  testing::Type(",");
  EXPECT_EQ(form.Text1().text(), "9") << "a comma is no part of a number";
  TypeTest(form);
  grid.setFocus();
  testing::Key(Qt::Key_Delete, QString(QChar(127)));
  EXPECT_EQ(grid.TextMatrix(8, 2), "0.040379") << "Delete changes no cell";

  grid.SetRowCol(1, 1);
  grid.SetRowSel(2);
  grid.SetColSel(2);
  ChooseMenu(form, {"edit", "EditCopy"});
  EXPECT_EQ(ClipboardText(), "1\t0.078205\r2\t0.103161");
  EXPECT_EQ(grid.TextMatrix(0, 0), "Point");

  ChooseMenu(form, {"calculate", "calculateR0k"});
  EXPECT_NEAR(BoxNumber(form, "r0result"), 0.3, 1e-5);
  EXPECT_TRUE(Box(form, "r0result").ends_with(" mg/m2/h")) << Box(form, "r0result");
  EXPECT_NEAR(BoxNumber(form, "kresult"), 0.05, 1e-5);
  EXPECT_TRUE(Box(form, "kresult").ends_with(" 1/h")) << Box(form, "kresult");
  EXPECT_NEAR(state->FittedK, 0.05, 1e-5);

  ChooseMenu(form, {"calculate", "calculatedPredicted"});
  for (int r = 1; r <= 8; ++r) {
    EXPECT_NE(grid.TextMatrix(r, 3), "") << r;
    EXPECT_NE(grid.TextMatrix(r, 4), "") << r;
  }
  EXPECT_EQ(grid.TextMatrix(9, 3), "");
  EXPECT_NEAR(LeadingNumber(grid.TextMatrix(2, 3)), 0.103161, 1e-5);
  testing::ClickCell(grid, 2, 1);
  testing::Type("0");  // after the "2" the cell holds
  testing::Enter();
  EXPECT_EQ(grid.TextMatrix(2, 1), "20");
  ChooseMenu(form, {"calculate", "calculatedPredicted"});
  EXPECT_NEAR(LeadingNumber(grid.TextMatrix(2, 3)), 0.049318, 1e-5);

  ChooseMenu(form, {"plot"});
  auto* plot = AppWindows().Find<R0kPlotForm>();
  ASSERT_NE(plot, nullptr);
  const GraphData& data = plot->R0kGraph().data();
  ASSERT_EQ(data.NumSets(), 2);
  EXPECT_EQ(data.sets[0].legend, "Data");
  EXPECT_EQ(data.sets[1].legend, "Fit");
  EXPECT_EQ(data.sets[0].points.size(), 8U);
  EXPECT_EQ(data.sets[1].points.size(), 8U);
  EXPECT_FLOAT_EQ(static_cast<float>(data.sets[0].points[7].y), 0.040379f);
  EXPECT_EQ(data.bottom_title, "Time (hrs)");
  EXPECT_EQ(data.left_title, "Concentration (mg/m3)");

  ChooseMenu(form, {"help", "helpdataentry", "helpenvironment"});
  ChooseMenu(form, {"help", "helpdataentry", "helpconcentration"});
  for (const char* item : {"helpcalculate", "helpprint", "helpplot"}) {
    ChooseMenu(form, {"help", item});
  }
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"RovozUzav.HLP", "Chamber environment"},
      {"RovozUzav.HLP", "Chamber concentration"},
      {"RovozUzav.HLP", "Calculate R0 k"},
      {"RovozUzav.HLP", "Contents"},
      {"RovozUzav.HLP", "Plot R0 k results"}};
  EXPECT_EQ(help.shown, keys);
  ChooseMenu(form, {"help", "helpabout"});
  EXPECT_NE(AppWindows().Find<AboutForm>(), nullptr);

  ChooseMenu(form, {"file", "fileprint"});
  EXPECT_EQ(printer.setups, 1);
  ASSERT_EQ(printer.pages.size(), 1U);
  EXPECT_FALSE(printer.pages[0].picture.isNull());

  GraphForm graph(*context);
  graph.show();
  graph.findChild<QPushButton*>("Command1")->click();
  testing::ProcessEvents();
  EXPECT_FALSE(graph.isVisible());
  EXPECT_TRUE(testing::WaitFor([&] { return QApplication::activeWindow() == &form; }));
}

// Points typed by keyboard alone: Tab moves right, Enter down, the arrows their way, and
// what is typed after a move replaces the cell's number; Esc gives the cell back.
TEST_F(ChamberDataFormTest, PointsTypedByKeyboardAloneStoreEveryCell) {
  ChamberDataForm& form = OpenFit();
  FlexGrid& grid = form.Grid1();
  testing::ClickCell(grid, 1, 1);
  testing::Type("1");
  testing::Key(Qt::Key_Tab);
  testing::Type("0.5");
  testing::Enter();
  testing::Type("7");
  testing::Escape();
  testing::Key(Qt::Key_Up);
  testing::Type("0.6");
  testing::Key(Qt::Key_Left);
  EXPECT_EQ(grid.TextMatrix(1, 1), "1");
  EXPECT_EQ(grid.TextMatrix(1, 2), "0.6");
  EXPECT_EQ(grid.TextMatrix(2, 2), "");
  EXPECT_EQ(std::make_pair(grid.Row(), grid.Col()), std::make_pair(1, 1));
}

TEST_F(ChamberDataFormTest, SmallResultsKeepTheirDigitsAndThePlotShowsTheData) {
  // A slow source, R0 1 and k 4E-05, met to seven digits: a k, a sum and residuals near 0.
  const char* concs[] = {"0.6321058", "0.8646193", "0.9501309", "0.9815636",
                         "0.9931018", "0.9973212", "0.9988481", "0.9993846"};
  ChamberDataForm& form = OpenFit();
  for (const char* box : {"Volume", "ach", "areatext"}) TypeBox(form, box, "1");
  TypeBox(form, "Peaktext", concs[7]);
  TypeBox(form, "peakt", "8");
  for (int i = 0; i < 8; ++i) TypePoint(form, i + 1, std::to_string(i + 1).c_str(), concs[i]);
  ChooseMenu(form, {"calculate", "calculateR0k"});
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_NEAR(BoxNumber(form, "kresult"), 4e-5, 4e-7) << Box(form, "kresult");
  EXPECT_TRUE(Box(form, "kresult").ends_with(" 1/h"));
  EXPECT_NEAR(BoxNumber(form, "r0result"), 1, 1e-5);
  const double sum = BoxNumber(form, "sumsqrsresult");
  EXPECT_LT(sum, 1e-12);
  EXPECT_NE(Box(form, "sumsqrsresult"), ".");

  ChooseMenu(form, {"calculate", "calculatedPredicted"});
  FlexGrid& grid = form.Grid1();
  double squares = 0;
  for (int r = 1; r <= 8; ++r) {
    EXPECT_NEAR(LeadingNumber(grid.TextMatrix(r, 3)), LeadingNumber(concs[r - 1]), 1e-6)
        << grid.TextMatrix(r, 3);
    const double residual = LeadingNumber(grid.TextMatrix(r, 4));
    EXPECT_LT(std::fabs(residual), 1e-6) << grid.TextMatrix(r, 4);
    squares += residual * residual;
  }
  // The residuals as shown add up to the sum of squares shown.
  EXPECT_NEAR(squares, sum, 1e-3 * sum);

  // The measured points show as markers of their own under the fitted line.
  ChooseMenu(form, {"plot"});
  auto* plot = AppWindows().Find<R0kPlotForm>();
  ASSERT_NE(plot, nullptr);
  const QList<QAbstractSeries*> series = plot->R0kGraph().Chart()->series();
  ASSERT_FALSE(series.empty());
  auto* data = qobject_cast<QScatterSeries*>(series.front());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->name(), "Data");
  ASSERT_EQ(data->count(), 8);
  EXPECT_EQ(data->at(7), QPointF(8, 0.9993846f));
}

TEST_F(ChamberDataFormTest, CloseAndReturnHandsTheFitToTheSourceWindow) {
  state->Building.RoomList[1].Name = "Office";
  // Nothing fitted: the source keeps its model and parameters.
  OpenFit().close();
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), nullptr);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(source().Model, 0);
  EXPECT_FLOAT_EQ(source().Params[1][0], 0.7f);
  EXPECT_TRUE(context->windows.grid_events_enabled);

  // A fit that cannot be made returns nothing: C = 0.1 t keeps rising.
  ChamberDataForm& failing = OpenFit();
  EXPECT_EQ(FromQt(failing.findChild<QLabel*>("FitFor")->text()),
            "Fit for Room 1 Office, source 1 Carpet");
  TypeBox(failing, "Volume", "1");
  TypeBox(failing, "ach", "1");
  TypeBox(failing, "areatext", "1");
  TypeBox(failing, "Peaktext", "1");
  TypeBox(failing, "peakt", "10");
  for (int i = 1; i <= 10; ++i) {
    TypePoint(failing, i, std::to_string(i).c_str(), FormatSingle(0.1f * i).c_str());
  }
  ChooseMenu(failing, {"calculate", "calculateR0k"});
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().title, "Error");
  prompt.answers = {Answer::No};
  ChooseMenu(failing, {"file", "fileexit"});
  testing::ProcessEvents();
  EXPECT_EQ(sources->findChild<QComboBox*>("SourceModel")->currentText(), "Mass transfer");

  ChamberDataForm& form = OpenFit();
  TypeTest(form);
  ChooseMenu(form, {"calculate", "calculateR0k"});
  prompt.answers = {Answer::No};
  ChooseMenu(form, {"file", "fileexit"});
  ExpectQuestion();
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), nullptr);
  EXPECT_EQ(source().Model, 0) << "the source window's Transfer stores the fit";
  EXPECT_EQ(sources->findChild<QComboBox*>("SourceModel")->currentText(), "R0k");
  EXPECT_EQ(sources->GeneralSourceDataGrid().TextMatrix(1, 0), "R0k");
  EXPECT_NEAR(LeadingNumber(sources->ParameterGrid().TextMatrix(1, 1)), 0.3, 1e-5);
  EXPECT_NEAR(LeadingNumber(sources->ParameterGrid().TextMatrix(1, 2)), 0.05, 1e-5);
  EXPECT_EQ(sources->GeneralSourceDataGrid().TextMatrix(1, 1), "Carpet");
  EXPECT_TRUE(context->windows.grid_events_enabled);
  sources->RunCommand("Transfer");
  EXPECT_EQ(source().Name, "Carpet");
  EXPECT_EQ(source().Model, 1);
  const float r0 = source().Params[0][0];
  const float k = source().Params[1][0];
  EXPECT_NEAR(r0, 0.3, 1e-5);
  EXPECT_NEAR(k, 0.05, 1e-5);
  // The source emits the fit alone: R0 e^(-k a) × size 2 over the step from 1 h to 1.1 h,
  // nothing of the old layers.
  ScenarioRecord& s = Scenario();
  s.NumPollutants = 1;
  source().UnitFactor = 1;
  SourceStates states = MakeSourceStates(s);
  states[1][1].source_age = 0;
  RoomPollutant conc{};
  PerPollutant<float> emitted{};
  SourceRecord& run = source();
  run.NumCycles = 1;
  run.TimeOn[1] = 0;
  run.TimeOff[1] = 10;
  run.CycleRepeats = "N";
  const float out = SourceEmissionRate(s, states, 1, 1.0f, {1.0f, 0.1f, conc, conc}, 0, emitted);
  EXPECT_NEAR(out, 2 * r0 * (std::exp(-k) - std::exp(-1.1 * k)) / k / 0.1, 1e-5);

  // With no chamber data window open, the graph window's OK only closes it.
  GraphForm graph(*context);
  graph.show();
  graph.findChild<QPushButton*>("Command1")->click();
  EXPECT_FALSE(graph.isVisible());
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), nullptr);
}

TEST_F(ChamberDataFormTest, SaveOpenNewAndTheSaveQuestion) {
  ChamberDataForm& form = OpenFit();
  TypeTest(form, 2);
  dialogs.answers = {Path("run")};
  ChooseMenu(form, {"file", "filesave"});
  EXPECT_TRUE(std::filesystem::exists(Path("run.dat")));
  EXPECT_EQ(dialogs.asked.back().request.filter, "Data files (*.dat)|*.dat");
  EXPECT_TRUE(form.ChamberDataSaved());

  TypePoint(form, 3, "4", "0.107305");
  prompt.answers = {Answer::Cancel};
  ChooseMenu(form, {"file", "filenew"});
  ExpectQuestion();
  EXPECT_EQ(form.Grid1().TextMatrix(3, 1), "4") << "Cancel keeps the data";
  prompt.answers = {Answer::No};
  ChooseMenu(form, {"file", "filenew"});
  EXPECT_EQ(form.Grid1().TextMatrix(1, 1), "");
  EXPECT_EQ(Box(form, "Volume"), "");

  // The new test has no file yet: Yes asks for a name, and a cancelled dialog keeps the
  // window open and the data unsaved.
  TypePoint(form, 1, "5", "1");
  prompt.answers = {Answer::Cancel};
  ChooseMenu(form, {"file", "fileexit"});
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), &form);
  prompt.answers = {Answer::Yes};
  const size_t asked = dialogs.asked.size();
  ChooseMenu(form, {"file", "fileexit"});
  ASSERT_EQ(dialogs.asked.size(), asked + 1);
  EXPECT_EQ(dialogs.asked.back().kind, "save");
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), &form);
  EXPECT_FALSE(form.ChamberDataSaved());

  dialogs.answers = {Path("run.dat")};
  ChooseMenu(form, {"file", "fileopen"});
  EXPECT_FLOAT_EQ(static_cast<float>(BoxNumber(form, "Volume")), 0.053f);
  EXPECT_FLOAT_EQ(static_cast<float>(BoxNumber(form, "peakt")), 3.1534f);
  EXPECT_EQ(form.Grid1().TextMatrix(2, 1), SignSingle(2));
  EXPECT_FLOAT_EQ(static_cast<float>(LeadingNumber(form.Grid1().TextMatrix(2, 2))), 0.103161f);
  EXPECT_EQ(form.Grid1().TextMatrix(3, 1), "") << "the point typed after Save is not in the file";
  EXPECT_TRUE(form.ChamberDataSaved());

  // A result typed with thousands separators is read without them on return.
  TypeBox(form, "r0result", "1,234");
  TypeBox(form, "kresult", "1,000.5");
  prompt.answers = {Answer::No};
  ChooseMenu(form, {"file", "fileexit"});
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), nullptr);
  sources->RunCommand("Transfer");
  sources = nullptr;
  EXPECT_EQ(source().Model, 1);
  EXPECT_FLOAT_EQ(source().Params[0][0], 1234);
  EXPECT_FLOAT_EQ(source().Params[1][0], 1000.5f);

  // A test of more points than the grid has rows.
  ChamberDataRecord big;
  big.Volume = 1;
  big.NumPoints = 400;
  for (int i = 1; i <= 400; ++i) big.Times[i] = static_cast<float>(i);
  ASSERT_TRUE(WriteChamberDataFile(Path("big.dat"), big, 0, 0, prompt));
  ChamberDataForm& again = OpenFit();
  dialogs.answers = {Path("big.dat")};
  ChooseMenu(again, {"file", "fileopen"});
  EXPECT_EQ(again.Grid1().Rows(), 401);
  EXPECT_EQ(again.Grid1().TextMatrix(400, 0), "400");
  EXPECT_EQ(again.Grid1().TextMatrix(400, 1), SignSingle(400));
}

}  // namespace
}  // namespace quarn
