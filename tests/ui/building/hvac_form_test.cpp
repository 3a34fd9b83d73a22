#include "ui/building/hvac_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "ui/building/filter_definition_form.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

constexpr const char* kRefused = "Error.  The efficiency of Benzene must be between 0 and 100.";

// The scenario editor with two pollutants, from which the user opens HVAC > Air cleaner.
class HVACFormTest : public testing::MainWindowTest {
 protected:
  HVACFormTest() {
    s.NumPollutants = 2;
    s.Pollutants[0].Name = "Benzene";
    s.Pollutants[1].Name = "Toluene";
    editor->Load();
    EXPECT_TRUE(testing::ShowActive(*editor));
  }
  ~HVACFormTest() override {
    AppWindows().Unload<FilterDefinitionForm>();
    AppWindows().Unload<HVACForm>();
  }

  HVACForm* OpenAirCleaner() {
    testing::ProcessEvents();  // a window just closed is gone
    editor->RunCommand("HVACAirClean");
    return AppWindows().Find<HVACForm>();
  }
  FilterDefinitionForm* OpenFilter() {
    QTest::mouseClick(OpenAirCleaner()->findChild<QPushButton*>("userdefine"), Qt::LeftButton);
    FilterDefinitionForm* filter = AppWindows().Find<FilterDefinitionForm>();
    EXPECT_TRUE(filter != nullptr && testing::ShowActive(*filter));
    return filter;
  }
  static void TypeInCell(FilterDefinitionForm& form, int row, const char* text) {
    testing::ClickCell(form.Grid(), row, 2);
    testing::TypeKeys(text);
  }

  ScenarioRecord& s = state->Building.Scenario;
  std::unique_ptr<ScenarioEditor> editor = std::make_unique<ScenarioEditor>(*context);
};

TEST_F(HVACFormTest, ListsTheKindsAndStoresTheCapacityInMilligrams) {
  s.HVACFilterType = 3;
  s.FilterCapacity = 1.5e6f;
  HVACForm* form = OpenAirCleaner();
  const char* kinds[] = {"None",           "Furnace filter", "ASHRAE 40",
                         "ASHRAE 65",      "ASHRAE 85",      "ASHRAE 95",
                         "Pleated filter", "HEPA filter",    "Electronic air cleaner",
                         "User defined"};
  ASSERT_EQ(form->FilterType().count(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(FromQt(form->FilterType().itemText(i)), kinds[i]);
  EXPECT_EQ(form->FilterType().currentIndex(), 3);
  EXPECT_EQ(form->Capacity().text(), "1500");
  EXPECT_FALSE(editor->isEnabled());

  ASSERT_TRUE(testing::ShowActive(*form));
  form->Capacity().setFocus();
  form->Capacity().selectAll();
  testing::Type("2,500");
  EXPECT_EQ(form->Capacity().text(), "2500") << "number-only";
  testing::ChooseMenu(*form, {"Transfer"});
  EXPECT_EQ(AppWindows().Find<HVACForm>(), nullptr);
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_FLOAT_EQ(s.FilterCapacity, 2.5e6f);
  EXPECT_EQ(state->ScenarioSaved, false);

  // An untouched box gives the stored number back, not a rounding of what it shows.
  s.FilterCapacity = 1234.567f;
  OpenAirCleaner()->RunCommand("FileTransfer");
  EXPECT_EQ(s.FilterCapacity, 1234.567f);
}

TEST_F(HVACFormTest, AChosenKindSetsWhatPassesAndCancelStoresNothing) {
  s.PollutantClass = "PM";
  s.Pollutants[0].Name = "1";
  s.Pollutants[1].Name = "VOC1";
  s.HVACFilterType = 12;  // from a damaged file: selects nothing and is kept
  OpenAirCleaner()->RunCommand("Transfer");
  EXPECT_EQ(s.HVACFilterType, 12);
  for (const char* command : {"cancel", "Transfer"}) {
    OpenAirCleaner()->FilterType().setCurrentIndex(7);  // HEPA filter
    AppWindows().Find<HVACForm>()->RunCommand(command);
  }
  EXPECT_EQ(s.HVACFilterType, 7);
  EXPECT_NEAR(s.FilterPenetration[0][0], 0.02, 1e-6);
  EXPECT_EQ(s.FilterPenetration[0][1], 1.0f) << "a gas passes";
}

TEST_F(HVACFormTest, UserDefinedEfficienciesReachTheRecordAndStay) {
  FilterDefinitionForm* filter = OpenFilter();
  HVACForm* hvac = AppWindows().Find<HVACForm>();
  EXPECT_FALSE(hvac->isEnabled());
  ASSERT_EQ(filter->Grid().Rows(), 3);
  EXPECT_EQ(filter->Grid().TextMatrix(2, 0) + filter->Grid().TextMatrix(2, 1) +
                filter->Grid().TextMatrix(2, 2),
            " 2Toluene 0");
  filter->RunCommand("FileCancel");
  testing::ProcessEvents();
  EXPECT_TRUE(hvac->isEnabled());
  EXPECT_EQ(hvac->FilterType().currentText(), "User defined") << "after Cancel too";

  TypeInCell(*OpenFilter(), 1, "90");
  testing::ChooseMenu(*AppWindows().Find<FilterDefinitionForm>(), {"Transfer"});
  EXPECT_NEAR(s.FilterPenetration[0][0], 0.1, 1e-6);
  AppWindows().Find<HVACForm>()->RunCommand("Transfer");
  EXPECT_EQ(s.HVACFilterType, 9);
  EXPECT_NEAR(s.FilterPenetration[0][0], 0.1, 1e-6) << "kept by the kind";

  filter = OpenFilter();
  EXPECT_EQ(filter->Grid().TextMatrix(1, 2), " 90");
  testing::ClickCell(filter->Grid(), 1, 2);
  testing::ChooseMenu(*filter, {"Edit", "editclear"});
  filter->RunCommand("FileTransfer");
  EXPECT_EQ(s.FilterPenetration[0][0], 1.0f) << "an empty cell removes nothing";
}

TEST_F(HVACFormTest, EfficiencyOutsideNoughtToAHundredIsRefusedAndClearAllEmptiesThemAll) {
  FilterDefinitionForm* filter = OpenFilter();
  TypeInCell(*filter, 1, "150");
  TypeInCell(*filter, 2, "20");
  dialogs.answers = {Path("filt")};
  for (const char* command : {"Transfer", "filesave"}) filter->RunCommand(command);
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[1].text, kRefused);
  EXPECT_EQ(prompt.shown[1].title, "Error");
  EXPECT_EQ(AppWindows().Find<FilterDefinitionForm>(), filter) << "the window stays";
  EXPECT_EQ(s.FilterPenetration[0][1], 1.0f);
  EXPECT_TRUE(dialogs.asked.empty()) << "nothing written";

  testing::ChooseMenu(*filter, {"Edit", "editclearall"});
  for (int r = 1; r <= 2; ++r) {
    EXPECT_EQ(filter->Grid().TextMatrix(r, 0), r == 1 ? " 1" : " 2");
    EXPECT_EQ(filter->Grid().TextMatrix(r, 1), r == 1 ? "Benzene" : "Toluene");
    EXPECT_EQ(filter->Grid().TextMatrix(r, 2), "");
  }
}

TEST_F(HVACFormTest, FilterFileKeepsNamesAndEfficiencies) {
  FilterDefinitionForm* filter = OpenFilter();
  TypeInCell(*filter, 1, "90");
  dialogs.answers = {Path("filt")};
  filter->RunCommand("filesave");
  EXPECT_EQ(dialogs.asked[0].request.filter + dialogs.asked[0].request.default_extension, "");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("filt"), bytes));
  EXPECT_EQ(bytes, std::string("Benzene") + std::string(7, ' ') + " .1 \r\n" + "Toluene" +
                       std::string(7, ' ') + " 1 \r\n");

  TypeInCell(*filter, 1, "5");
  TypeInCell(*filter, 2, "5");
  s.Pollutants[0].Name = "Other";
  state->ScenarioSaved = true;
  dialogs.answers = {Path("filt")};
  filter->RunCommand("fileopen");
  EXPECT_EQ(filter->Grid().TextMatrix(1, 2) + filter->Grid().TextMatrix(2, 2), " 90 0");
  EXPECT_EQ(s.Pollutants[0].Name, "Benzene");
  EXPECT_EQ(state->ScenarioSaved, false);

  // A short file has the reader's own message; a fraction out of range is refused.
  for (const char* text : {"Benzene  .5\r\n", "Benzene  -.5\r\nToluene  1\r\n"}) {
    ASSERT_TRUE(WriteFileAtomic(Path("bad"), text, nullptr));
    prompt.shown.clear();
    dialogs.answers = {Path("bad")};
    filter->RunCommand("fileopen");
    ASSERT_EQ(prompt.shown.size(), 1U) << text;
    EXPECT_NEAR(s.FilterPenetration[0][0], 0.1, 1e-6);
    EXPECT_EQ(filter->Grid().TextMatrix(1, 2), " 90");
  }
  EXPECT_EQ(prompt.shown[0].text, kRefused);
}

}  // namespace
}  // namespace quarn
