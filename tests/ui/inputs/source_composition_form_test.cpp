#include "ui/inputs/source_composition_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/mass_transfer_form.h"
#include "ui/inputs/room_source_form.h"

namespace quarn {
namespace {

// Pollutant 1 the mixture, 2 and 3 its components; room 1 holds a single spill, a VBX and
// an R0k source, each of 500 total mass, in the source window.
class SourceToolsTest : public testing::EditorWindowTest {
 protected:
  SourceToolsTest() {
    s.NumPollutants = 3;
    for (int p = 1; p < 3; ++p) {
      s.Pollutants[p].MolWt = p == 1 ? 100 : 150;
      s.Pollutants[p].C0 = p == 1 ? 10 : 2;
    }
    s.NumSources[1] = 3;
    for (int k = 1; k <= 3; ++k) {
      s.Sources[1][k].Model = static_cast<int16_t>(k == 1 ? 9 : k == 2 ? 7 : 1);
      s.Sources[1][k].TotalMass = 500;
      s.Sources[1][k].NumCycles = 1;
      s.Sources[1][k].TimeOff[1] = 24;
    }
    OpenEditor();
    sources = OpenRoomSources(*context, 1, editor);
    testing::ProcessEvents();
  }
  ~SourceToolsTest() override {
    AppWindows().Unload<SourceCompositionForm>();
    AppWindows().Unload<MassTransferForm>();
    AppWindows().Unload<RoomSourceForm>();
  }

  template <class W>
  W& Choose(const char* menu, const char* item) {
    testing::ChooseMenu(*sources, {menu, item});
    return *AppWindows().Find<W>();
  }
  void Step(const char* which) {
    auto* button =
        sources->findChild<UpDown*>("Changesourcenumber")->findChild<QToolButton*>(which);
    testing::Click(button, button->rect().center());
  }
  static void Press(MassTransferForm& form, const char* velocity, const char* area,
                    const char* button) {
    form.findChild<QLineEdit*>("AirVelocity")->setText(velocity);
    form.findChild<QLineEdit*>("SourceArea")->setText(area);
    auto* b = form.findChild<QPushButton*>(button);
    testing::Click(b, b->rect().center());
  }
  const std::string& Last() const { return prompt.shown.back().text; }
  static std::string Joined(const FlexGrid& grid, int row, int from, int to) {
    std::string cells = grid.TextMatrix(row, from);
    for (int c = from + 1; c <= to; ++c) cells += "|" + grid.TextMatrix(row, c);
    return cells;
  }

  ScenarioRecord& s = Scenario();
  RoomSourceForm* sources = nullptr;
};

TEST_F(SourceToolsTest, CompositionGridCalculatesTheMixtureAndCancelKeepsTheRecords) {
  auto& form = Choose<SourceCompositionForm>("tools", "sourcecomposition");
  FlexGrid& grid = form.Grid();
  ASSERT_EQ(grid.Rows(), 4);
  EXPECT_EQ(Joined(grid, 0, 0, 4), "Component #|Name|MW g/mole|C0 mg/m3|mg/g in source");
  EXPECT_EQ(Joined(grid, 1, 0, 2), "1|TVOC|0");
  TypeIntoCell(grid, 2, 4, "1x00");  // numbers only past the name column
  TypeIntoCell(grid, 3, 4, "300");
  TypeIntoCell(grid, 3, 1, "oct,ane");
  EXPECT_EQ(Joined(grid, 3, 1, 1) + Joined(grid, 2, 4, 4), "oct,ane100");
  testing::ChooseMenu(form, {"calculate"});
  EXPECT_EQ(Joined(grid, 1, 2, 3), "133.33|4.67");
  testing::ChooseMenu(form, {"cancel"});
  EXPECT_EQ(s.Pollutants[0].MolWt, 0);
  EXPECT_EQ(CompositionMgPerGram(s.Sources[1][1])[1], 0);
}

TEST_F(SourceToolsTest, TransferAsksBeforeReplacingPollutantOneWithTheMixtureC0) {
  s.Pollutants[0].Name = "toluene";
  s.Pollutants[0].MolWt = 92.14F;
  s.Pollutants[0].C0 = 140000;
  auto& form = Choose<SourceCompositionForm>("tools", "sourcecomposition");
  FlexGrid& grid = form.Grid();
  // By hand: 100 mg/g of MW 100 saturated at 10 mg/m3 and 300 mg/g of MW 150 at 2 mg/m3 are
  // 3 mmol a gram; C0 (10 · 1 + 2 · 2) / 3 = 4.67 mg/m3, MW 400 / 3 = 133.33.
  TypeIntoCell(grid, 2, 4, "100");
  TypeIntoCell(grid, 3, 4, "300");
  testing::ChooseMenu(form, {"calculate"});
  EXPECT_EQ(Joined(grid, 1, 2, 3), "133.33|4.67");
  prompt.answers = {Answer::No};
  form.RunCommand("Transfer");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(Last(),
            "Transfer replaces pollutant 1, toluene, molecular weight 92.14 and C0 140000 mg/m3, "
            "with the mixture's 133.3333 and 4.666667 mg/m3.  Replace them?");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(s.Pollutants[0].MolWt, 92.14F);
  EXPECT_EQ(s.Pollutants[0].C0, 140000);
  EXPECT_EQ(CompositionMgPerGram(s.Sources[1][1])[1], 0);
  // Opened again from the source window, it asks before the record replaces what was typed;
  // No keeps it.
  prompt.answers = {Answer::No};
  Choose<SourceCompositionForm>("tools", "sourcecomposition");
  EXPECT_EQ(prompt.shown.back().text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(grid.TextMatrix(3, 4), "300");
  prompt.answers = {Answer::Yes};
  form.RunCommand("Transfer");
  EXPECT_NEAR(s.Pollutants[0].C0, 14.0 / 3, 1e-5);
  // The spill shown takes the mixture's C0 as its own, in the same unit.
  EXPECT_EQ(sources->ParameterGrid().TextMatrix(1, 1), "4.67");
}

TEST_F(SourceToolsTest, CompositionTransferFollowsTheModelAndTheSourceShown) {
  FlexGrid& parameters = sources->ParameterGrid();
  // mg of 500 mg spilled; mg/g as it is; "R0k" keeps its R0 and R2.
  const char* expected[3][2] = {{"7.", "10."}, {"7.", "20."}, {"0", "0.5"}};
  for (int k = 1; k <= 3; ++k) {
    if (k == 3) TypeIntoCell(parameters, 2, 3, "0.5");
    auto& form = Choose<SourceCompositionForm>("tools", "sourcecomposition");
    TypeIntoCell(form.Grid(), 1, 3, "7");
    TypeIntoCell(form.Grid(), 2, 4, "20");
    form.RunCommand("Transfer");
    EXPECT_EQ(parameters.TextMatrix(1, 1), expected[k - 1][0]) << k;
    EXPECT_EQ(parameters.TextMatrix(2, 3), expected[k - 1][1]) << k;
    EXPECT_EQ(CompositionMgPerGram(s.Sources[1][k])[1], 20);
    if (k < 3) Step("up");
  }
  EXPECT_TRUE(s.Pollutants[0].C0 == 7 && !state->ScenarioSaved);
  // Left open while the source window moves on, then after it closed.
  auto& behind = Choose<SourceCompositionForm>("tools", "sourcecomposition");
  Step("down");
  const std::string shown = parameters.TextMatrix(3, 3);
  TypeIntoCell(behind.Grid(), 3, 4, "40");
  behind.RunCommand("Transfer");
  EXPECT_EQ(parameters.TextMatrix(3, 3), shown);
  sources->RunCommand("Transfer");
  EXPECT_EQ(CompositionMgPerGram(s.Sources[1][3])[2], 40)
      << "the source window's Transfer keeps it";
  testing::ProcessEvents();
  sources = OpenRoomSources(*context, 1, editor);
  auto& orphan = Choose<SourceCompositionForm>("tools", "sourcecomposition");
  sources->RunCommand("Cancel");
  // The source window gave the front back to the editor that opened it: a first click
  // brings the composition window forward again.
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ClickCell(orphan.Grid(), 3, 4);
  TypeIntoCell(orphan.Grid(), 3, 4, "50");
  orphan.RunCommand("Transfer");
  EXPECT_EQ(CompositionMgPerGram(s.Sources[1][1])[2], 50);
}

TEST_F(SourceToolsTest, MassTransferWritesIntoTheRowItWasOpenedFor) {
  FlexGrid& parameters = sources->ParameterGrid();
  testing::ClickCell(parameters, 2, 1);
  auto& form = Choose<MassTransferForm>("calculate", "Calculatek");
  EXPECT_TRUE(sources->isEnabled());
  EXPECT_EQ(form.findChild<QLabel*>("SourceNumber")->text(), "2");
  EXPECT_EQ(form.findChild<QLineEdit*>("Diffusivity")->text(), "0.03");
  for (const char* typed_area : {" ", "0", "0.000000001"}) {
    for (const char* button : {"CalculateBTN", "Xfer"}) Press(form, "10", typed_area, button);
  }
  EXPECT_EQ(prompt.Count("message"), 6U);
  EXPECT_EQ(Last(), "Area not entered. Can not calculate. Aborting calculation.");
  Press(form, "-1", "4", "Xfer");
  EXPECT_EQ(Last(), "Error.  The air velocity and the diffusivity must not be negative.");
  const std::string k = parameters.TextMatrix(2, 2);
  Press(form, "10", "4", "CalculateBTN");
  EXPECT_EQ(form.findChild<QLineEdit*>("Result")->text(), "2.347662");
  EXPECT_EQ(parameters.TextMatrix(2, 2), k);
  testing::ClickCell(parameters, 3, 1);
  Press(form, "10", "4", "Xfer");
  EXPECT_EQ(parameters.TextMatrix(2, 2), "2.347662");
  EXPECT_EQ(AppWindows().Find<MassTransferForm>(), nullptr);

  // "R0k" keeps a decay constant in column 2, "R/T" has no column 2; then another source.
  Step("up");
  Step("up");
  auto& other = Choose<MassTransferForm>("calculate", "Calculatek");
  const std::string r0k = parameters.TextMatrix(1, 2);
  const char* no_k = "Error.  The source model shown has no mass transfer coefficient.";
  Press(other, "10", "4", "Xfer");
  EXPECT_EQ(Last(), no_k);
  EXPECT_EQ(parameters.TextMatrix(1, 2), r0k);
  Q_EMIT sources->findChild<QComboBox*>("SourceModel")->activated(4);
  prompt.shown.clear();
  Press(other, "10", "4", "Xfer");
  EXPECT_EQ(Last(), no_k);
  Step("down");
  Press(other, "10", "4", "Xfer");
  EXPECT_EQ(Last(),
            "Error.  The source window no longer shows room 1, source 3.  The coefficient was "
            "not transferred.");
  EXPECT_TRUE(other.isVisible());
}

}  // namespace
}  // namespace quarn
