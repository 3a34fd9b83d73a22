#include "ui/inputs/pollutant_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <fstream>
#include <string>
#include <vector>

#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "text/text_reader.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/penetration_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// A scenario of two rooms with `n` pollutants of the class, its pollutant window opened
// from the scenario editor's Define Pollutants.
class PollutantWindow : public testing::EditorWindowTest {
 protected:
  ~PollutantWindow() override {
    AppWindows().Unload<PenetrationForm>();
    AppWindows().Unload<PollutantForm>();
    Gone();
  }
  PollutantForm& Open(int n, const char* pollutant_class) {
    state->Building.NumRooms = 2;
    Scenario().NumPollutants = static_cast<int16_t>(n);
    Scenario().PollutantClass = pollutant_class;
    if (editor == nullptr) OpenEditor();
    editor->FillGrid();
    ChooseMenu(*editor, {"definepollutants"});
    form = AppWindows().Find<PollutantForm>();
    EXPECT_NE(form, nullptr);
    return *form;
  }
  FlexGrid& Grid() { return form->Grid(); }
  std::vector<std::string> Row(int row) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(Grid().Cols()));
    for (int c = 0; c < Grid().Cols(); ++c) texts.push_back(Grid().TextMatrix(row, c));
    return texts;
  }
  static bool Enabled(QMainWindow& window, const char* name) {
    return testing::ActionNamed(window.findChildren<QAction*>(), name)->isEnabled();
  }
  // Define penetration of the pollutant window.
  FlexGrid& OpenPenetration() {
    ChooseMenu(*form, {"Penetration"});
    pen = AppWindows().Find<PenetrationForm>();
    return pen->Grid();
  }
  static bool Gone() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    return AppWindows().Find<PollutantForm>() == nullptr;
  }

  PollutantForm* form = nullptr;
  PenetrationForm* pen = nullptr;
};

TEST_F(PollutantWindow, GasesAreTypedAndTransferredAndCancelDropsTheEdits) {
  Scenario().Pollutants[0].Name = "NO2";
  Scenario().Pollutants[0].Diameter = 3;
  Open(3, "VOC");
  EXPECT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"Pollutant#", "Name", "Mol. Wt", "Diffusivity", "C0",
                                              "Irritant conc", "Reference dose", "Reference conc",
                                              "Cancer risk"}));
  EXPECT_EQ(Grid().TextMatrix(1, 0) + Grid().TextMatrix(2, 0) + Grid().TextMatrix(3, 0), " 1 2 3");
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_TRUE(Enabled(*form, "vocdata"));
  EXPECT_FALSE(Enabled(*form, "Deposition"));

  TypeIntoCell(Grid(), 1, 2, "9x2.14");
  EXPECT_EQ(Grid().TextMatrix(1, 2), "92.14") << "numbers only in a number column";
  TypeIntoCell(Grid(), 2, 1, "a,b");
  EXPECT_EQ(Grid().TextMatrix(2, 1), "a,b") << "a name takes every key";
  // Column 2 holds molecular weights here, which are no diameters.
  FlexGrid& names = OpenPenetration();
  EXPECT_EQ(names.TextMatrix(0, 0) + "|" + names.TextMatrix(1, 0), "Name|NO2");
  EXPECT_FALSE(Enabled(*pen, "calculate"));
  EXPECT_FALSE(Enabled(*pen, "filesave"));
  EXPECT_FALSE(form->isEnabled());
  EXPECT_EQ(Scenario().Pollutants[0].Diameter, 3.0f);
  pen->RunCommand("cancel");
  form->RunCommand("FileCancel");
  EXPECT_TRUE(Gone());
  ASSERT_EQ(prompt.shown.size(), 1u) << "typed edits are dropped only after a question";
  EXPECT_EQ(prompt.shown[0].text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
  EXPECT_EQ(Scenario().Pollutants[0].MolWt, 0.0f);
  EXPECT_TRUE(editor->isEnabled());

  Open(3, "VOC");
  TypeIntoCell(Grid(), 1, 1, "Toluene");
  TypeIntoCell(Grid(), 1, 2, "92.14");
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(Gone());
  EXPECT_EQ(Scenario().Pollutants[0].Name, "Toluene");
  EXPECT_EQ(Scenario().Pollutants[0].MolWt, 92.14f);
  EXPECT_EQ(state->ScenarioSaved, false);
  EXPECT_TRUE(editor->isEnabled());
}

// The program shows small and large numbers in the exponent form; they are typed back so.
TEST_F(PollutantWindow, NumbersTypedInTheExponentFormAreStoredAsTyped) {
  Open(1, "VOC");
  TypeIntoCell(Grid(), 1, 2, "1.4e5");
  TypeIntoCell(Grid(), 1, 3, "1E-05");
  EXPECT_EQ(Grid().TextMatrix(1, 2), "1.4e5");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(Gone());
  EXPECT_EQ(Scenario().Pollutants[0].MolWt, 1.4e5f);
  EXPECT_EQ(Scenario().Pollutants[0].Diffusivity, 1e-5f);
}

TEST_F(PollutantWindow, ParticlesGetDepositionVelocitiesFromTheirDiametersInEverySink) {
  Open(2, "PM");
  EXPECT_EQ(Row(0), (std::vector<std::string>{"Pollutant#", "Name", "Diameter \xB5m", "Density",
                                              "Irritant conc.", "Reference dose", "Reference conc",
                                              "Cancer risk"}));
  EXPECT_FALSE(Enabled(*form, "vocdata"));
  TypeIntoCell(Grid(), 1, 2, "1");
  const std::vector<std::string> before = Row(1);
  ChooseMenu(*form, {"Deposition"});
  EXPECT_NEAR(Scenario().Pollutants[0].DepositionVelocity, 0.03894, 1e-5);
  for (int r = 1; r <= 2; ++r) {
    for (int slot = 0; slot <= 2; ++slot) {
      EXPECT_EQ(Scenario().Sinks[r][slot].ka[0], Scenario().Pollutants[0].DepositionVelocity);
    }
  }
  EXPECT_EQ(Row(1), before);
  EXPECT_FALSE(Gone());
}

TEST_F(PollutantWindow, ClearAllAsksAndKeepsTheNumbersAndHeadings) {
  Scenario().Pollutants[0].Name = "NO2";
  Scenario().Pollutants[0].MolWt = 46;
  Open(1, "VOC");
  const std::vector<std::string> filled = Row(1);
  prompt.answers = {Answer::No, Answer::Yes};
  form->RunCommand("editclearall");
  EXPECT_EQ(Row(1), filled);
  form->RunCommand("editclearall");
  EXPECT_EQ(Row(1), (std::vector<std::string>{" 1", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(Grid().TextMatrix(0, 2), "Mol. Wt");
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].text,
            "All data in the form will be cleared.  Do you wish to continue?");
  EXPECT_EQ(prompt.shown[0].title, "Clear data");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Question);
}

TEST_F(PollutantWindow, SavedDiametersComeBackIntoTheDiameterColumn) {
  Open(2, "PM");
  TypeIntoCell(Grid(), 1, 1, "fine");
  form->RunCommand("filesave");  // cancelled
  EXPECT_FALSE(Gone());
  EXPECT_EQ(Scenario().Pollutants[0].Name, "fine") << "stored before the dialog";
  EXPECT_EQ(dialogs.asked.back().request.filter, "Pollutant(*.POL)|*.POL|All files (*.*)|*.*");

  TypeIntoCell(Grid(), 1, 2, "0.5");
  TypeIntoCell(Grid(), 2, 2, "2.5");
  dialogs.answers = {Path("p")};
  form->RunCommand("filesave");
  EXPECT_TRUE(Gone());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("p.POL"), bytes));
  EXPECT_EQ(bytes, " .5 \r\n 2.5 \r\n");

  Open(2, "PM");
  TypeIntoCell(Grid(), 1, 2, "7");
  TypeIntoCell(Grid(), 2, 2, "8");
  dialogs.answers = {Path("p.POL")};
  form->RunCommand("fileopen");
  EXPECT_EQ(Grid().TextMatrix(1, 2) + " " + Grid().TextMatrix(2, 2), ".5 2.5");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "fine");
  form->RunCommand("Transfer");
  EXPECT_EQ(Scenario().Pollutants[0].Diameter, 0.5f);
  EXPECT_EQ(Scenario().Pollutants[1].Diameter, 2.5f);
}

TEST_F(PollutantWindow, DefaultPenetrationIsStoredAsShownAndTypedFactorsExactly) {
  Scenario().BuildingPenetration[2] = 0.12345f;
  Open(3, "PM");
  TypeIntoCell(Grid(), 1, 2, "1");
  TypeIntoCell(Grid(), 2, 2, "0");
  FlexGrid& shown = OpenPenetration();
  EXPECT_EQ(shown.TextMatrix(0, 0) + "|" + shown.TextMatrix(3, 1), "Diameter|.123");
  state->ScenarioSaved = true;
  ChooseMenu(*pen, {"Transfer"});
  EXPECT_EQ(Scenario().BuildingPenetration[2], 0.12345f) << "the shown factor keeps its digits";
  EXPECT_EQ(state->ParticleDiameters[0], 1.0f);
  EXPECT_EQ(state->ScenarioSaved, false);
  EXPECT_EQ(editor->ScenarioSS().Row(), 12);

  FlexGrid& defaults = OpenPenetration();
  ChooseMenu(*pen, {"calculate"});
  EXPECT_EQ(defaults.TextMatrix(1, 1) + " " + defaults.TextMatrix(2, 1), ".63 0");
  ChooseMenu(*pen, {"Transfer"});
  EXPECT_EQ(Scenario().BuildingPenetration[0], 0.63f);
  EXPECT_EQ(Scenario().BuildingPenetration[1], 0.0f);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(PollutantWindow, FactorsOfAPenetrationFileStayWhenTheWindowIsCancelled) {
  std::ofstream(Path("two.pen"), std::ios::binary) << " 1 , .5 \r\n 2 , .25 \r\n";
  Open(2, "PM");
  FlexGrid& grid = OpenPenetration();
  dialogs.answers = {Path("two.pen")};
  pen->RunCommand("fileopen");
  EXPECT_EQ(dialogs.asked.back().request.filter, "All files (*.*)|*.*");
  EXPECT_EQ(grid.TextMatrix(1, 1) + " " + grid.TextMatrix(2, 1), ".5 .25");
  pen->RunCommand("cancel");
  EXPECT_EQ(Scenario().BuildingPenetration[1], 0.25f);
  EXPECT_EQ(state->ParticleDiameters[1], 2.0f);
}

}  // namespace
}  // namespace quarn
