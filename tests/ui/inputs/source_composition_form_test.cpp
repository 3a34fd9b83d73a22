#include "ui/inputs/source_composition_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <string>

#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/mass_transfer_form.h"
#include "ui/inputs/room_source_form.h"

namespace quarn {
namespace {

// Three pollutants, a mixture and two components; room 1 has a single spill of 500 mg,
// a VBX source and an R0k source.
class SourceToolsTest : public testing::EditorWindowTest {
 protected:
  SourceToolsTest() {
    s.NumPollutants = 3;
    const char* names[3] = {"TVOC", "hexane", "octane"};
    const float mw[3] = {0, 100, 150};
    const float vp[3] = {0, 10, 2};
    for (int p = 0; p < 3; ++p) {
      s.Pollutants[p].Name = names[p];
      s.Pollutants[p].MolWt = mw[p];
      s.Pollutants[p].C0 = vp[p];
    }
    s.NumSources[1] = 3;
    const int models[3] = {9, 7, 1};
    for (int k = 1; k <= 3; ++k) {
      s.Sources[1][k].Model = static_cast<int16_t>(models[k - 1]);
      s.Sources[1][k].TotalMass = 500;
    }
    OpenEditor();
    testing::ProcessEvents();
    sources = OpenRoomSources(*context, 1, editor);
    testing::ProcessEvents();
  }
  ~SourceToolsTest() override {
    AppWindows().Unload<fmSourceComposition>();
    AppWindows().Unload<MassXferDataForm>();
    AppWindows().Unload<RoomSourceForm>();
  }

  fmSourceComposition& Composition() {
    testing::ChooseMenu(*sources, {"tools", "sourcecomposition"});
    return *AppWindows().Find<fmSourceComposition>();
  }
  MassXferDataForm& MassTransfer() {
    testing::ChooseMenu(*sources, {"calculate", "Calculatek"});
    return *AppWindows().Find<MassXferDataForm>();
  }
  void NextSource(const char* which = "up") {
    auto* button =
        sources->findChild<UpDown*>("Changesourcenumber")->findChild<QToolButton*>(which);
    testing::Click(button, button->rect().center());
  }
  static void Fill(MassXferDataForm& form, const char* velocity, const char* area) {
    form.findChild<QLineEdit*>("AirVelocity")->setText(velocity);
    form.findChild<QLineEdit*>("SourceArea")->setText(area);
  }
  static void Press(MassXferDataForm& form, const char* button) {
    auto* b = form.findChild<QPushButton*>(button);
    testing::Click(b, b->rect().center());
  }

  ScenarioRecord& s = Scenario();
  RoomSourceForm* sources = nullptr;
};

TEST_F(SourceToolsTest, CompositionGridCalculatesTheMixtureAndCancelKeepsTheRecords) {
  fmSourceComposition& form = Composition();
  EXPECT_TRUE(sources->isEnabled());
  FlexGrid& grid = form.SourceCompositionss();
  ASSERT_EQ(grid.Rows(), 4);
  const char* headings[5] = {"Component #", "Name", "MW g/mole", "Vapor pressure mm hg",
                             "mg/g in source"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(grid.TextMatrix(0, c), headings[c]);
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(1, 1), "TVOC");
  EXPECT_EQ(grid.TextMatrix(1, 2), ".");
  EXPECT_EQ(form.findChild<QLabel*>("lblcurrentsource")->text(), "1");
  TypeIntoCell(grid, 2, 4, "1,00");  // numbers only past the name column
  TypeIntoCell(grid, 3, 4, "300");
  TypeIntoCell(grid, 3, 1, "oct,ane");
  EXPECT_EQ(grid.TextMatrix(2, 4), "100");
  EXPECT_EQ(grid.TextMatrix(3, 1), "oct,ane");
  testing::ChooseMenu(form, {"calculate"});
  EXPECT_EQ(grid.TextMatrix(1, 2), "133.33");
  EXPECT_EQ(grid.TextMatrix(1, 3), "4.67");
  const ScenarioRecord before = s;
  testing::ChooseMenu(form, {"cancel"});
  EXPECT_EQ(AppWindows().Find<fmSourceComposition>(), nullptr);
  EXPECT_EQ(s.Pollutants[0].MolWt, before.Pollutants[0].MolWt);
  EXPECT_EQ(s.Sources[1][1].SourceWork2, before.Sources[1][1].SourceWork2);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SourceToolsTest, CompositionTransferFollowsTheModelAndTheSourceShown) {
  FlexGrid& parameters = sources->ssrmsrc();
  const char* expected[2] = {"10.", "20."};  // mg spilled of 500 mg; mg/g as it is
  for (int k = 1; k <= 2; ++k) {
    fmSourceComposition& form = Composition();
    TypeIntoCell(form.SourceCompositionss(), 1, 3, "7");
    TypeIntoCell(form.SourceCompositionss(), 2, 4, "20");
    form.RunCommand("Transfer");
    EXPECT_EQ(parameters.TextMatrix(2, 3), expected[k - 1]) << k;
    EXPECT_EQ(parameters.TextMatrix(1, 1), "7.");
    EXPECT_EQ(s.Sources[1][k].SourceWork2[1], 20);
    NextSource();
  }
  EXPECT_EQ(s.Pollutants[0].C0, 7);
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  // "R0k" keeps R2 in column 3: the grid stays, the record takes the composition.
  TypeIntoCell(parameters, 2, 3, "0.5");
  fmSourceComposition& r0k = Composition();
  TypeIntoCell(r0k.SourceCompositionss(), 2, 4, "30");
  r0k.RunCommand("FileTransfer");
  EXPECT_EQ(parameters.TextMatrix(2, 3), "0.5");
  EXPECT_EQ(s.Sources[1][3].SourceWork2[1], 30);
  // Left open while the source window moves on, then after it closed.
  fmSourceComposition& behind = Composition();
  NextSource("down");
  TypeIntoCell(behind.SourceCompositionss(), 3, 4, "40");
  const std::string shown = parameters.TextMatrix(3, 3);
  behind.RunCommand("Transfer");
  EXPECT_EQ(parameters.TextMatrix(3, 3), shown);
  sources->RunCommand("Transfer");
  EXPECT_EQ(s.Sources[1][3].SourceWork2[2], 40) << "the source window's Transfer keeps it";
  testing::ProcessEvents();
  sources = OpenRoomSources(*context, 1, editor);
  fmSourceComposition& orphan = Composition();
  sources->RunCommand("Cancel");
  sources = nullptr;
  TypeIntoCell(orphan.SourceCompositionss(), 3, 4, "50");
  orphan.RunCommand("Transfer");
  EXPECT_EQ(s.Sources[1][1].SourceWork2[2], 50);
}

TEST_F(SourceToolsTest, MassTransferWritesIntoTheRowItWasOpenedFor) {
  FlexGrid& parameters = sources->ssrmsrc();
  testing::ClickCell(parameters, 2, 1);
  MassXferDataForm& form = MassTransfer();
  EXPECT_TRUE(sources->isEnabled());
  EXPECT_EQ(form.findChild<QLabel*>("SourceNumber")->text(), "2");
  EXPECT_EQ(form.findChild<QLineEdit*>("Diffusivity")->text(), "0.03");
  for (const char* area : {" ", "0", "0.000000001"}) {
    Fill(form, "10", area);
    Press(form, "CalculateBTN");
    Press(form, "Xfer");
  }
  ASSERT_EQ(prompt.Count("message"), 6U);
  EXPECT_EQ(prompt.shown[5].text, "Area not entered. Can not calculate. Aborting calculation.");
  Fill(form, "-1", "4");
  Press(form, "Xfer");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  The air velocity and the diffusivity must not be negative.");
  const std::string k = parameters.TextMatrix(2, 2);
  Fill(form, "10", "4");
  Press(form, "CalculateBTN");
  EXPECT_EQ(form.findChild<QLineEdit*>("Result")->text(), "2.347662");
  EXPECT_EQ(parameters.TextMatrix(2, 2), k);
  testing::ClickCell(parameters, 3, 1);
  Press(form, "Xfer");
  EXPECT_EQ(parameters.TextMatrix(2, 2), "2.347662");
  EXPECT_EQ(parameters.TextMatrix(3, 2), k);
  EXPECT_EQ(AppWindows().Find<MassXferDataForm>(), nullptr);

  // "R0k" keeps a decay constant in column 2, "R/T" has no column 2; and a source shown
  // other than the one asked for.
  NextSource();
  NextSource();
  MassXferDataForm& other = MassTransfer();
  const std::string r0k_k = parameters.TextMatrix(1, 2);
  Fill(other, "10", "4");
  Press(other, "Xfer");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  The source model shown has no mass transfer coefficient.");
  EXPECT_EQ(parameters.TextMatrix(1, 2), r0k_k);
  Q_EMIT sources->findChild<QComboBox*>("SourceModel")->activated(4);
  const size_t messages = prompt.shown.size();
  Press(other, "Xfer");
  EXPECT_EQ(prompt.shown.size(), messages + 1);
  EXPECT_EQ(prompt.shown.back().text, prompt.shown[messages - 1].text);
  NextSource("down");
  Press(other, "Xfer");
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  The source window no longer shows room 1, source 3.  The coefficient was "
            "not transferred.");
  EXPECT_TRUE(other.isVisible());
}

}  // namespace
}  // namespace quarn
