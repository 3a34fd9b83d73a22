#include "ui/tools/units_form.h"

#include <QAction>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/menu_input.h"
#include "common/scripted_prompt.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "ui/tools/units_convert.h"

namespace quarn {
namespace {

class UnitsWindow : public ::testing::Test {
 protected:
  UnitsWindow() { EXPECT_TRUE(testing::ShowActive(*form_)); }

  FlexGrid& Grid(int tab) { return form_->UnitsGrid(tab); }
  // Selects the tab and clicks the cell, as a user does before typing into it.
  FlexGrid& ClickCell(int tab, int row, int col) {
    form_->UnitsTab().setCurrentIndex(tab);
    testing::ClickCell(Grid(tab), row, col);
    testing::ProcessEvents();
    return Grid(tab);
  }
  void TypeAndEnter(int tab, int row, int col, const char* text) {
    ClickCell(tab, row, col);
    testing::Type(text);
    testing::Enter();
  }
  void Paste(const char* clipboard, bool by_keys = false) {
    SetClipboardText(clipboard);
    if (by_keys) {
      testing::Key(Qt::Key_V, "\x16", Qt::ControlModifier);
    } else {
      testing::ChooseMenu(*form_, {"edit", "editpaste"});
    }
  }

  testing::ScriptedPrompt prompt_;
  std::unique_ptr<UnitsForm> form_ = std::make_unique<UnitsForm>(prompt_);
};

TEST_F(UnitsWindow, EveryTabIsFilledFromItsTable) {
  struct Row {
    const char *from, *factor, *result, *to;
  };
  // From the converter's tables: factors, and the results of the input 1 under each mask, or
  // in full where the mask would hide digits (1 in\xB3 is 1.638706E-05 m\xB3, not .000016).
  const std::vector<std::vector<Row>> tabs = {
      {{"ft", "0.304800", "0.304800", "m"},
       {"yds", "0.9144000", "0.9144000", "m"},
       {"in", "0.0254000", "0.0254000", "m"},
       {"m", "3.2808399", "3.2808399", "ft"},
       {"m", "39.3700787", "39.3700787", "in"},
       {"m", "1.0936133", "1.0936133", "yd"}},
      {{"ft\xB2", "0.0929030", ".092903", "m\xB2"},
       {"yd\xB2", "0.8361274", "0.8361274", "m\xB2"},
       {"in\xB2", "0.00064516", "0.00064516", "m\xB2"},
       {"m\xB2", "10.76392", "10.76392", "ft\xB2"},
       {"m\xB2", "1.19599", "1.19599", "yd\xB2"},
       {"m\xB2", "1550.003", "1550.003", "in\xB2"}},
      {{"ft\xB3", "0.02831685", "0.02831685", "m\xB3"},
       {"yd\xB3", "0.76455486", "0.7645549", "m\xB3"},
       {"in\xB3", "1.63870640E-05", "1.638706E-05", "m\xB3"},
       {"m\xB3", "35.31466", "35.31466", "ft\xB3"},
       {"m\xB3", "1.307951", "1.307951", "yd\xB3"},
       {"m\xB3", "61023.74", "61023.74", "in\xB3"}},
      {{"ppmv", "100", "4.081633", "mg/m\xB3"},
       {"ppmv", "100", "4,081.633", "\xB5g/m\xB3"},
       {"ppb", "100", "4.081633", "\xB5g/m\xB3"},
       {"mg/m\xB3", "100", ".245", "ppmv"},
       {"\xB5g/m\xB3", "100", ".000245", "ppmv"},
       {"\xB5g/m\xB3", "100", ".245", "pbmv"}},
      {{"ft\xB3/m", "1.699011", "1.699011", "m\xB3/h"},
       {"ft\xB3/m", ".4719474", ".4719474", "L/s"},
       {"m\xB3/s", "3,600.", "3,600.", "m\xB3/h "},
       {"L/s", "3.6", "3.6", "m\xB3/h"},
       {"L/s", "2.11888", "2.11888", "ft\xB3/m"},
       {"m\xB3/h", ".5885778", ".5885778", "ft\xB3/min"}},
      {{"\"water", "249.08", "249.08", "Pa"},
       {"\"water", "0.0024583", "0.0024583", "atm"},
       {"\"water", "1.86827", "1.86827", "mm Hg"},
       {"Pa", "0.0040147", "0.0040147", "\"water"},
       {"Pa", "9.869233E-06", "9.869233E-06", "atm"},
       {"Pa", "0.0075006", "0.0075006", "mm Hg"},
       {"atm", "406.794", "406.794", "\"water"},
       {"atm", "760.", "760.", "mm Hg"},
       {"atm", "101,325.", "101,325.", "Pa"},
       {"Bar", "0.986923", "0.986923", "atm"}}};
  const char* captions[] = {"&Length",        "&Area",      "&Volume",
                            "&Concentration", "F&low rate", "&Pressure"};
  const QColor cyan(0, 255, 255);
  for (int t = 0; t < 6; ++t) {
    // The window recomputes the row under the cursor when it opens; the fill is the grid's.
    FlexGrid g;
    ShowUnits(g, t);
    EXPECT_EQ(form_->UnitsTab().tabText(t), captions[t]);
    ASSERT_EQ(g.Rows(), static_cast<int>(tabs[t].size()) + 1) << t;
    EXPECT_EQ(g.TextMatrix(0, 2), t == 3 ? "Mol. wt g/mole" : "Conversion factor");
    for (int r = 1; r < g.Rows(); ++r) {
      const Row& e = tabs[t][r - 1];
      const std::vector<std::string> cells = {"1.0000", e.from, e.factor, e.result, e.to};
      for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(g.TextMatrix(r, c), cells[c]) << t << "," << r << "," << c;
        EXPECT_EQ(g.CellBackColorAt(r, c) == cyan, c == 1 || c == 2 || c == 4);
      }
    }
  }
  EXPECT_EQ(form_->windowTitle(), "Units conversion ");
  EXPECT_FALSE(form_->findChild<QAction*>("help")->isEnabled());
}

TEST_F(UnitsWindow, TypedInputConvertsItsRowExactlyAndMovesOn) {
  struct Case {
    int tab, row;
    const char *typed, *result;
  };
  // 3,600. reads as 3600: the factors are used as filled.
  const Case cases[] = {
      {0, 1, "2", "0.6096"}, {4, 3, "2", "7200"}, {5, 9, "2", "202650"}, {5, 5, "101325", "1"}};
  for (const Case& k : cases) {
    TypeAndEnter(k.tab, k.row, 0, k.typed);
    EXPECT_EQ(Grid(k.tab).TextMatrix(k.row, 3), k.result) << k.typed;
    EXPECT_EQ(Grid(k.tab).Row(), k.row + 1);
  }
  // A factor that was edited is stored and read with its separators taken out.
  FlexGrid& flow = ClickCell(4, 3, 2);
  testing::Key(Qt::Key_F2);
  testing::Type("0");
  testing::Enter();
  EXPECT_EQ(flow.TextMatrix(3, 2), "3600.0");
  EXPECT_EQ(flow.TextMatrix(3, 3), "7200");

  // An edit that ends by going to another tab still converts its row.
  FlexGrid& length = ClickCell(0, 2, 0);
  testing::Type("3");
  auto* bar = form_->UnitsTab().findChild<QTabBar*>();
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
  testing::ProcessEvents();
  EXPECT_EQ(length.TextMatrix(2, 3), "2.7432");

  ClickCell(0, 3, 0);
  testing::Type("a");
  EXPECT_TRUE(form_->EditCell(0).text().isEmpty()) << "letters are no number";
  testing::Escape();
  EXPECT_EQ(length.TextMatrix(3, 0), "1.0000");
  TypeAndEnter(0, 2, 1, "x");
  EXPECT_EQ(length.TextMatrix(2, 1), "x") << "units are text";
}

TEST_F(UnitsWindow, EachConcentrationRowUsesItsOwnMolecularWeight) {
  TypeAndEnter(3, 4, 2, "50");
  TypeAndEnter(3, 4, 0, "1");
  FlexGrid& g = Grid(3);
  EXPECT_EQ(g.TextMatrix(4, 3), ".49");
  for (int r : {1, 2, 3, 5, 6}) EXPECT_EQ(g.TextMatrix(r, 2), "100") << r;
  TypeAndEnter(3, 1, 2, "0");
  EXPECT_EQ(g.TextMatrix(1, 3), "") << "no weight, no conversion";
}

// A pasted value is judged as a typed one: "12abc" would convert as 12.
TEST_F(UnitsWindow, PasteTakesOneLineEndOffAndCopyGivesAPlainNumber) {
  ClickCell(0, 1, 3);
  const std::pair<const char*, const char*> pastes[] = {
      {"2.5\r\n", "2.5"}, {"1,500", "1500"}, {"2.5", "2.5"}, {"12abc\r\n", "2.5"}};
  for (const auto& [clipboard, cell] : pastes) {
    Paste(clipboard, clipboard[0] == '1');
    EXPECT_EQ(Grid(0).TextMatrix(1, 0), cell);
  }
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  Nothing was pasted.  In row 1, column \"Input value\", \"12abc\" is not a "
            "number.  A number is written with digits, a point for decimals (2.5), a sign and a "
            "power of ten (1E-05), and nothing else.");
  EXPECT_EQ(Grid(0).TextMatrix(1, 3), "0.762");
  EXPECT_EQ(Grid(0).Col(), 0);

  FlexGrid& conc = ClickCell(3, 2, 0);
  conc.SetRowSel(5);
  conc.SetColSel(4);
  testing::ChooseMenu(*form_, {"edit", "editcopy"});
  EXPECT_EQ(ClipboardText(), "4081.633");
}

}  // namespace
}  // namespace quarn
