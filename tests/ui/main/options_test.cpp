// The calculation options, the file-locations dialog and the prompt that supplies the
// program's title.

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <fstream>
#include <sstream>

#include "common/main_window_fixture.h"
#include "model/settings.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "ui/main/set_calculate.h"
#include "ui/main/set_files_form.h"
#include "ui/main/titled_prompt.h"

namespace quarn {
namespace {

using testing::MainWindowTest;
using testing::ScriptedPrompt;

struct OptionsCase {
  const char* step;
  const char* factor;
  bool stored;
  float step_size;
  float adjust;
};

TEST(CalculationOptions, StepSizeAndFactorRules) {
  const OptionsCase cases[] = {
      {"", "1.2", true, 0.1f, 1.2f},          // no number: the default step
      {"0", "", true, 0.1f, 0.0f},            // a factor of 0 means no growth
      {"0.05", "1", true, 0.05f, 1.0f},       //
      {"1,500", "1.2", true, 1500.0f, 1.2f},  // grouped thousands, as the grids take them
      {"0,5", "1.2", false, 0.5f, 3.0f},      // refused: not 0.1 h nor 5 h
      {"0.1", "1.5x", false, 0.5f, 3.0f},     // refused: not 1.5
      {"-1", "1.2", false, 0.5f, 3.0f},       // refused: negative step
      {"0.1", "-1", false, 0.5f, 3.0f},       // refused: negative factor
      {"0.1", "0.5", false, 0.5f, 3.0f},      // refused: a factor that shrinks the step
  };
  for (const OptionsCase& c : cases) {
    SCOPED_TRACE(std::string(c.step) + " / " + c.factor);
    ScenarioRecord sc;
    sc.StepSize = 0.5f;
    sc.RunSetting2 = 0;
    float adjust = 3.0f;
    ScriptedPrompt prompt;
    EXPECT_EQ(ApplyCalculationOptions(c.step, c.factor, sc, adjust, prompt), c.stored);
    EXPECT_FLOAT_EQ(sc.StepSize, c.step_size);
    EXPECT_FLOAT_EQ(adjust, c.adjust);
    EXPECT_EQ(sc.RunSetting2, c.stored ? 20 : 0);
    EXPECT_EQ(prompt.shown.size(), c.stored ? 0u : 1u);
  }
  ScenarioRecord sc;
  sc.RunSetting2 = 7;
  float adjust = 0;
  ScriptedPrompt prompt;
  ApplyCalculationOptions("1", "1", sc, adjust, prompt);
  EXPECT_EQ(sc.RunSetting2, 7);
  ApplyCalculationOptions("1", "7x", sc, adjust, prompt);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The step adjustment factor: \"7x\" is not a number.  A number is written "
            "with digits, a point for decimals (2.5), a sign and a power of ten (1E-05), and "
            "nothing else.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
}

TEST_F(MainWindowTest, CalculationOptionsWindow) {
  state->Building.Scenario.StepSize = 0.25f;
  state->StepAdjustFactor = 1.2f;
  SetCalculate w(*context);
  EXPECT_EQ(w.windowTitle(), "Set Calculation options");
  auto* text1 = w.findChild<QLineEdit*>("Text1");
  auto* adjust = w.findChild<QLineEdit*>("StepAdjust");
  EXPECT_EQ(text1->text(), "0.25");
  EXPECT_EQ(adjust->text(), "1.2");
  EXPECT_EQ(w.findChild<QPushButton*>("Command1")->text(), "&Ok");
  EXPECT_EQ(w.findChild<QPushButton*>("Command2")->text(), "&Cancel");
  // Cancel after editing changes nothing.
  text1->setText("9");
  w.findChild<QPushButton*>("Command2")->click();
  EXPECT_FLOAT_EQ(state->Building.Scenario.StepSize, 0.25f);
  text1->setText("0.05");
  adjust->setText("");
  w.findChild<QPushButton*>("Command1")->click();
  EXPECT_FLOAT_EQ(state->Building.Scenario.StepSize, 0.05f);
  EXPECT_FLOAT_EQ(state->StepAdjustFactor, 0.0f);
  // A decimal comma typed in is refused at Ok, and the window stays with it to be typed again.
  ASSERT_TRUE(testing::ShowActive(w));
  text1->setFocus(Qt::OtherFocusReason);
  text1->selectAll();
  testing::Type("0,5");
  w.findChild<QPushButton*>("Command1")->click();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The calculation step size: \"0,5\" is not a number.  Decimals take a "
            "point (2.5); a comma can only separate thousands (1,500).");
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(text1->text(), "0,5");
  EXPECT_FLOAT_EQ(state->Building.Scenario.StepSize, 0.05f);
  text1->selectAll();
  testing::Type("0.5");
  w.findChild<QPushButton*>("Command1")->click();
  EXPECT_FLOAT_EQ(state->Building.Scenario.StepSize, 0.5f);
  EXPECT_FALSE(w.isVisible());
  w.findChild<QPushButton*>("HelpButton")->click();
  ASSERT_EQ(help.shown.size(), 1u);
  EXPECT_EQ(help.shown[0].first, "RovozUzav.HLP");
  EXPECT_EQ(help.shown[0].second, "Calculate options");
}

class SetFilesTest : public MainWindowTest {
 protected:
  SetFilesTest() {
    w = std::make_unique<SetFilesForm>(*context);
    w->FillFromSettings();
  }
  QLineEdit* Box(const char* name) { return w->findChild<QLineEdit*>(name); }
  QTabWidget* Tabs() { return w->findChild<QTabWidget*>("SSTab1"); }
  std::unique_ptr<SetFilesForm> w;
};

TEST_F(SetFilesTest, ShowsTheFoldersInUse) {
  EXPECT_EQ(w->windowTitle(), "Set file locations");
  EXPECT_EQ(Box("CurrentBuildingPath")->text(), ToQt(state->DataFolder));
  EXPECT_EQ(Box("NewScenarioPath")->text(), ToQt(state->ScenarioFolder));
  EXPECT_EQ(Box("CurrentTempPath")->text(), ToQt(state->TempFolder));
  EXPECT_EQ(Tabs()->tabText(0), "Building Files");
  EXPECT_EQ(Tabs()->tabText(3), "Data separator");
  EXPECT_TRUE(w->findChild<QRadioButton*>("Option1")->isChecked());
  // A separator other than a comma becomes the tab.
  state->DataSeparator = ';';
  w->FillFromSettings();
  EXPECT_EQ(state->DataSeparator, '\t');
  EXPECT_TRUE(w->findChild<QRadioButton*>("Option2")->isChecked());
}

TEST_F(SetFilesTest, NewTemporaryFolderIsCreatedOnYesAndSplitAgain) {
  const std::string old_temp = state->TempFolder;
  const std::string fresh = Path("fresh_tmp");
  Tabs()->setCurrentIndex(2);
  Box("NewTempPath")->setText(ToQt(fresh));
  prompt.answers.push_back(Answer::No);
  w->Apply();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Path does not exist.  Do you want to create it?");
  EXPECT_EQ(state->TempFolder, old_temp);
  EXPECT_EQ(Box("NewTempPath")->text(), ToQt(old_temp));
  EXPECT_FALSE(std::filesystem::exists(fresh));

  Box("NewTempPath")->setText(ToQt(fresh));
  prompt.answers.push_back(Answer::Yes);
  w->Apply();
  EXPECT_TRUE(std::filesystem::is_directory(fresh));
  EXPECT_EQ(state->TempFolder, fresh);
  EXPECT_EQ(state->TempDrive + state->TempFolderName, fresh);
  EXPECT_EQ(Box("CurrentTempPath")->text(), ToQt(fresh));
}

TEST_F(SetFilesTest, AFolderThatCannotBeCreatedIsReportedAndTheOldOneKept) {
  {
    std::ofstream file(Path("plain_file"));
    file << "x";
  }
  const std::string old_data = state->DataFolder;
  Tabs()->setCurrentIndex(0);
  Box("NewBuildingPath")->setText(ToQt(Path("plain_file") + "/sub"));
  prompt.answers.push_back(Answer::Yes);
  w->Apply();
  EXPECT_EQ(state->DataFolder, old_data);
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[1].kind, "message");
  EXPECT_EQ(Box("NewBuildingPath")->text(), ToQt(old_data));
}

TEST_F(SetFilesTest, SeparatorApplyAndSaveWriteTheShownValues) {
  Tabs()->setCurrentIndex(3);
  w->findChild<QRadioButton*>("Option2")->setChecked(true);
  // Changing tabs without Apply shows the separator in use again.
  Tabs()->setCurrentIndex(0);
  EXPECT_TRUE(w->findChild<QRadioButton*>("Option1")->isChecked());
  Tabs()->setCurrentIndex(3);
  w->findChild<QRadioButton*>("Option2")->setChecked(true);
  w->Apply();
  EXPECT_EQ(state->DataSeparator, '\t');

  std::filesystem::create_directories(Path("data"));
  Box("NewBuildingPath")->setText(ToQt(Path("data")));
  Box("NewScenarioPath")->setText("");
  prompt.answers.push_back(Answer::Yes);
  w->SaveSettings();
  EXPECT_EQ(prompt.shown[0].text,
            "This will replace all your defaults with new defaults. Do you want to continue?");
  EXPECT_EQ(state->DataFolder, Path("data"));
  // An empty box keeps the folder and shows it again.
  EXPECT_EQ(Box("NewScenarioPath")->text(), ToQt(state->ScenarioFolder));
  std::ifstream in(context->settings_file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string expected = state->ProgramTitle + "\r\n" + state->ProgramVersion + "\r\n" +
                               state->TempFolder + "\r\n" + Path("data") + "\r\n" +
                               state->ScenarioFolder + "\r\n" + " 9 \r\n";
  EXPECT_EQ(bytes.str(), expected);

  // Open reads it back into the program.
  state->DataFolder = "/elsewhere";
  state->DataSeparator = ',';
  w->OpenSettings();
  EXPECT_EQ(state->DataFolder, Path("data"));
  EXPECT_EQ(state->DataSeparator, '\t');
  EXPECT_EQ(Box("CurrentBuildingPath")->text(), ToQt(Path("data")));

  // No at the question writes nothing.
  std::filesystem::remove(context->settings_file);
  prompt.answers.push_back(Answer::No);
  w->SaveSettings();
  EXPECT_FALSE(std::filesystem::exists(context->settings_file));
}

TEST(TitledPrompt, AnEmptyTitleBecomesTheProgramsTitle) {
  ScriptedPrompt inner;
  ProgramState state;
  TitledPrompt prompt(inner, state, "Quarn");
  prompt.Message("a", "", MessageIcon::None);
  state.ProgramTitle = "Quarn indoor air quality model";
  prompt.AskYesNo("b", "", MessageIcon::None);
  prompt.AskOkCancel("c", "Error", MessageIcon::Critical);
  prompt.InputLine("d", "", "x");
  ASSERT_EQ(inner.shown.size(), 4u);
  EXPECT_EQ(inner.shown[0].title, "Quarn");
  // The settings' first line is the program's description, not its title.
  EXPECT_EQ(inner.shown[1].title, "Quarn");
  EXPECT_EQ(inner.shown[2].title, "Error");
  EXPECT_EQ(inner.shown[3].title, "Quarn");
}

}  // namespace
}  // namespace quarn
