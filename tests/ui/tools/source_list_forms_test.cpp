#include "ui/tools/indoor_source_form.h"
#include "ui/tools/source_list_form.h"
#include "ui/tools/source_list_rows.h"
#include "ui/tools/view_model_form.h"

#include <QAction>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"

namespace quarn {
namespace {

class SourceListWindows : public testing::MainWindowTest {
 protected:
  ~SourceListWindows() override {
    AppWindows().Unload<SourceListForm>();
    AppWindows().Unload<IndoorSourceForm>();
    AppWindows().Unload<ViewModelForm>();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static std::vector<std::string> Column(const FlexGrid& grid, int col) {
    std::vector<std::string> texts;
    for (int r = 1; r < grid.Rows(); ++r) texts.push_back(grid.TextMatrix(r, col));
    return texts;
  }
  static std::vector<std::string> Headings(const FlexGrid& grid) {
    std::vector<std::string> texts;
    for (int c = 0; c < grid.Cols(); ++c) texts.push_back(grid.TextMatrix(0, c));
    return texts;
  }
  static QPoint Heading(FlexGrid& grid, int col) { return grid.CellCenter(0, col); }
};

TEST_F(SourceListWindows, SourceListSortsByHeadingAndMovesADraggedColumn) {
  // The table's fields in an order of their own.
  database.Add(kSourceListFile, kSourceListTable,
               {{"Comments", "Pollutant", "SourceName", "SourceID"},
                {{"c10", "Toluene", "Birch", "10"},
                 {"c9", "Xylene", "apple", "9"},
                 {"c2", "Benzene", "Cedar", "2"}}});
  SourceListForm& form = ShowSourceList(*context);
  EXPECT_EQ(form.windowTitle(), "SourceList");
  FlexGrid& grid = form.MSHFlexGrid1();
  EXPECT_EQ(Headings(grid),
            (std::vector<std::string>{"SourceID", "SourceName", "Pollutant", "Emission Model",
                                      "Description", "Reference", "Comments"}));
  EXPECT_TRUE(grid.RowFontBold(0));
  EXPECT_EQ(grid.FixedCols(), 0);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2", "9", "10"}));
  EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"c2", "c9", "c10"}));

  testing::DoubleClick(grid.viewport(), Heading(grid, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"apple", "Birch", "Cedar"}));
  testing::DoubleClick(grid.viewport(), Heading(grid, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"Cedar", "Birch", "apple"}));
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2", "10", "9"}));

  testing::Drag(grid.viewport(), Heading(grid, 2), Heading(grid, 0));
  EXPECT_EQ(Headings(grid)[0], "Pollutant");
  EXPECT_EQ(Headings(grid)[1], "SourceID");
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"Benzene", "Toluene", "Xylene"}));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"2", "10", "9"}));
  // Two pixels across the border of two headings are no drag.
  const QRect border = grid.visualRect(grid.model()->index(0, 3));
  const QPoint from(border.right() - 1, border.center().y());
  testing::Drag(grid.viewport(), from, from + QPoint(2, 0));
  EXPECT_EQ(Headings(grid)[3], "Emission Model");
  EXPECT_EQ(Headings(grid)[4], "Description");
  // The moved column sorts as itself.
  testing::DoubleClick(grid.viewport(), Heading(grid, 1));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"2", "9", "10"}));

  form.resize(700, 420);
  testing::ProcessEvents();
  EXPECT_EQ(form.CloseButton().y() - (grid.geometry().bottom() + 1), TwipsToPixels(60));
  EXPECT_EQ(grid.y(), TwipsToPixels(60));
  EXPECT_TRUE(prompt.shown.empty());
  form.CloseButton().click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(AppWindows().Find<SourceListForm>(), nullptr);
}

TEST_F(SourceListWindows, IndoorSourceShowsTheClickedEntryUnderItsModelsLabels) {
  // No "Comments" field, and the others in an order of their own.
  database.Add(
      kSourceListFile, kSourceListTable,
      {{"Reference", "Parameter 2", "Parameter 1", "Emission Model", "SourceName", "SourceID",
        "Parameter 3", "Parameter 4", "Parameter 5", "Parameter 6", "Pollutant", "Description"},
       {{"Ref A", "0.3", "1200", "paint1", "Latex paint", "7", "", "", "", "", "TVOC", "d"},
        {"Ref B", "2", "1", "XYZ", "Odd", "8", "3", "4", "5", "6", "NO2", "e"}}});
  IndoorSourceForm& form = ShowIndoorSource(*context);
  FlexGrid& list = form.MSFlexGrid1();
  ASSERT_EQ(list.Cols(), 20);
  EXPECT_EQ(list.TextMatrix(0, 0), "");
  EXPECT_EQ(list.TextMatrix(0, 5), "Emission Model");
  EXPECT_EQ(list.TextMatrix(1, 1), "7");
  EXPECT_EQ(list.TextMatrix(2, 13), "");
  EXPECT_TRUE(list.RowFontBold(0));
  FlexGrid& model = form.EmissionModelGrid();
  EXPECT_EQ(Headings(model), (std::vector<std::string>{"Source ID", "Source Name", "Model ", "", "",
                                                       "", "", "", "Reference", ""}));

  testing::ClickCell(list, 1, 3);
  testing::ProcessEvents();
  EXPECT_EQ(Headings(model), (std::vector<std::string>{"Source ID", "Source Name", "Model ", "R0",
                                                       "k", "--", "--", "--", "--", "--"}));
  EXPECT_EQ(model.TextMatrix(1, 0), "7");
  EXPECT_EQ(model.TextMatrix(1, 1), "Latex paint");
  EXPECT_EQ(model.TextMatrix(1, 2), "PAINT1");
  EXPECT_EQ(model.TextMatrix(1, 3), "1200");
  EXPECT_EQ(model.TextMatrix(1, 4), "0.3");
  EXPECT_EQ(model.TextMatrix(1, 9), "Ref A");

  testing::ClickCell(list, 2, 1);
  testing::ProcessEvents();
  EXPECT_EQ(model.TextMatrix(1, 2), "XYZ");
  EXPECT_EQ(model.TextMatrix(0, 3), "C0");
  EXPECT_EQ(model.TextMatrix(0, 8), "Diffusivity");
  EXPECT_EQ(model.TextMatrix(1, 8), "6");

  EXPECT_FALSE(form.findChild<QAction*>("Copy")->isEnabled());
  testing::ChooseMenu(form, {"help"});
  testing::ChooseMenu(form, {"PMchanges"});
  EXPECT_EQ(help.shown, (std::vector<std::pair<std::string, std::string>>{
                            {"RovozUzav.HLP", "Contents"}, {"RIRozid.HLP", "Sources"}}));
}

TEST_F(SourceListWindows, ViewModelShowsTheWorkingSourceAndAMissingListSaysWhy) {
  state->WorkSource.Name = "Carpet glue";
  ViewModelForm& view = ShowViewModel(*context);
  EXPECT_EQ(view.windowTitle(), "Source Model parameters");
  EXPECT_EQ(Headings(view.ViewModelGrid()),
            (std::vector<std::string>{"Source Name", "Pollutant", "Emission Model"}));
  EXPECT_EQ(view.ViewModelGrid().TextMatrix(1, 0), "Carpet glue");
  EXPECT_FALSE(view.findChild<QAction*>("EditCopy")->isEnabled());
  EXPECT_FALSE(view.findChild<QAction*>("Help")->isEnabled());

  database.Add(kSourceListFile, "Other", {});
  SourceListForm& held = ShowSourceList(*context);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  The database varavir15.mdb holds no table SourceList.");
  EXPECT_EQ(Column(held.MSHFlexGrid1(), 0), std::vector<std::string>{""});
  AppWindows().Unload<SourceListForm>();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // The program's own service, looking in the program's folder and the current one.
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  state->ProgramFolder = folder.string();
  JetDatabaseService jet(state->ProgramFolder);
  MainContext program{*state, prompt, dialogs, help, printer, identity, "", jet};
  const std::string cannot = "Error.  Cannot open the database varavir15.mdb.  ";
  ShowSourceList(program);
  AppWindows().Unload<SourceListForm>();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::ofstream(folder / "VARAVIR15.MDB") << "not a database\r\n";
  IndoorSourceForm& text = ShowIndoorSource(program);
  EXPECT_EQ(Column(text.MSFlexGrid1(), 1), std::vector<std::string>{""});
  AppWindows().Unload<IndoorSourceForm>();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::filesystem::current_path(was);
  ASSERT_EQ(prompt.shown.size(), 3U);
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(prompt.shown[i].title, "Error");
    EXPECT_EQ(prompt.shown[i].text.substr(0, cannot.size()), cannot);
    EXPECT_GT(prompt.shown[i].text.size(), cannot.size());
  }
}

}  // namespace
}  // namespace quarn
