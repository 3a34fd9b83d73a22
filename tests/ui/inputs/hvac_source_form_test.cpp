#include "ui/inputs/hvac_source_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/qt_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/source_display_form.h"

namespace quarn {
namespace {

class HvacSourceFormTest : public testing::EditorWindowTest {
 protected:
  HvacSourceFormTest() {
    state->Building.RoomList[0].Name = "HVAC";
    s.NumSources[0] = 2;
    s.NumSources[1] = 1;
    s.Sources[0][1].Name = "filter";
    s.Sources[0][2].Name = "duct";
    s.Sources[0][2].Model = 6;
    s.Sources[1][1].Name = "room";
  }
  ~HvacSourceFormTest() override {
    AppWindows().Unload<fmSourceDisplay>();
    AppWindows().Unload<HVACSourcefrm>();
  }
  template <class W>
  W& Child(const char* name) {
    return *form->findChild<W*>(name);
  }
  ScenarioRecord& s = Scenario();
  HVACSourcefrm* form = nullptr;
};

TEST_F(HvacSourceFormTest, ShowsStepsSavesOpensAndTransfersTheHvacSources) {
  s.ConcUnits = "micrograms";
  form = OpenHVACSourceForm(*context);
  EXPECT_EQ(form->windowTitle(), "HVAC Source");
  EXPECT_EQ(FromQt(Child<QLabel>("Msg").text()), "HVAC");
  EXPECT_EQ(Child<QComboBox>("SourceModel").count(), 9);
  EXPECT_EQ(Child<QComboBox>("SourceModel").itemText(8), "Spill");
  EXPECT_TRUE(Child<QRadioButton>("Option2").isChecked());
  EXPECT_TRUE(Child<QRadioButton>("Option1").isHidden());
  form->RunCommand("ChangesourcenumberDown");  // at source 1: nothing
  EXPECT_EQ(form->ShownSource(), 1);
  testing::ShowActive(*form);
  TypeIntoCell(form->GeneralSourceDataGrid(), 1, 2, "4");
  form->RunCommand("ChangesourcenumberUp");
  form->RunCommand("ChangesourcenumberUp");  // at the last: nothing
  EXPECT_EQ(form->GeneralSourceDataGrid().TextMatrix(1, 1), "duct");
  dialogs.answers = {Path("h")};
  form->RunCommand("filesave");
  form->RunCommand("ChangesourcenumberDown");
  EXPECT_EQ(form->GeneralSourceDataGrid().TextMatrix(1, 2), "4") << "the edit survives";
  dialogs.answers = {Path("h.SOR")};
  form->RunCommand("fileopen");
  EXPECT_EQ(s.Sources[0][1].Name, "duct");
  EXPECT_EQ(s.Sources[0][1].Model, 6);
  auto* display = AppWindows().Find<fmSourceDisplay>();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->ssSourceDisplay().TextMatrix(1, 0), "duct");
  EXPECT_EQ(display->ssSourceDisplay().TextMatrix(1, 1), "Polyfit");
  form->RunCommand("htransfer");
  EXPECT_EQ(s.Sources[0][2].Name, "duct");
  EXPECT_EQ(s.Sources[1][1].Name, "room");
  EXPECT_EQ(s.NumSources[0], 2);
}

}  // namespace
}  // namespace quarn
