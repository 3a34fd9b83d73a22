#include "ui/inputs/hvac_source_form.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

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
    AppWindows().Unload<SourceDisplayForm>();
    AppWindows().Unload<HVACSourceForm>();
  }
  template <class W>
  W& Child(const char* name) {
    return *form->findChild<W*>(name);
  }
  ScenarioRecord& s = Scenario();
  HVACSourceForm* form = nullptr;
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
  auto* display = AppWindows().Find<SourceDisplayForm>();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->Grid().TextMatrix(1, 0), "duct");
  EXPECT_EQ(display->Grid().TextMatrix(1, 1), "Polyfit");
  form->RunCommand("htransfer");
  EXPECT_EQ(s.Sources[0][2].Name, "duct");
  EXPECT_EQ(s.Sources[1][1].Name, "room");
  EXPECT_EQ(s.NumSources[0], 2);
}

// The menu items of a window as "object name=caption", in the order of the bar.
std::vector<std::string> MenuItems(QMainWindow& window) {
  std::vector<std::string> items;
  for (QAction* a : window.menuBar()->findChildren<QAction*>()) {
    if (!a->objectName().isEmpty()) items.push_back(FromQt(a->objectName() + "=" + a->text()));
  }
  return items;
}

TEST_F(HvacSourceFormTest, UnitsCountBoxDamagedFileAndTheDisplaysOwnOpenAndTransfer) {
  s.ConcUnits = "number";
  s.Sources[0][1].Model = 4;
  form = OpenHVACSourceForm(*context);
  EXPECT_TRUE(Child<QRadioButton>("Option3").isChecked());
  form->Transfer();
  s.ConcUnits = "ppm";
  form = OpenHVACSourceForm(*context);
  EXPECT_TRUE(Child<QRadioButton>("Option1").isChecked());
  EXPECT_TRUE(Child<QRadioButton>("Option2").isHidden());

  QTest::keyClicks(&Child<QLineEdit>("Numberofsources"), "4");
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text, "Only allowed 3 sources.");
  EXPECT_EQ(FromQt(Child<QLineEdit>("Numberofsources").text()).back(), '4');
  EXPECT_EQ(s.NumSources[0], 2);

  // Source 1 to "f", source 2 to "d"; a copy of "d" cut in half is refused whole.
  dialogs.answers = {Path("f")};
  form->RunCommand("filesave");
  form->RunCommand("ChangesourcenumberUp");
  dialogs.answers = {Path("d")};
  form->RunCommand("filesave");
  form->RunCommand("ChangesourcenumberDown");
  const auto size = std::filesystem::file_size(Path("d.SOR"));
  std::filesystem::copy_file(Path("d.SOR"), Path("cut.SOR"));
  std::filesystem::resize_file(Path("cut.SOR"), size / 2);
  const SourceRecord before = s.Sources[0][1];
  const size_t messages = prompt.shown.size();
  dialogs.answers = {Path("cut.SOR")};
  form->RunCommand("fileopen");
  EXPECT_GT(prompt.shown.size(), messages);
  EXPECT_EQ(s.Sources[0][1].Name, before.Name);
  EXPECT_EQ(AppWindows().Find<SourceDisplayForm>(), nullptr);

  // Opening "d" into source 1 shows it; the display then looks at "f" and takes that whole.
  dialogs.answers = {Path("d.SOR")};
  form->RunCommand("fileopen");
  SourceDisplayForm* display = AppWindows().Find<SourceDisplayForm>();
  ASSERT_NE(display, nullptr);
  dialogs.answers = {Path("f.SOR")};
  display->RunCommand("fileopen");
  EXPECT_EQ(display->Grid().TextMatrix(1, 0), "filter");
  EXPECT_EQ(display->Grid().TextMatrix(1, 1), "R/T");
  EXPECT_EQ(s.Sources[0][1].Name, "duct") << "only Transfer stores what the display shows";
  display->Transfer();
  EXPECT_EQ(s.Sources[0][1].Name, "filter");
  EXPECT_EQ(s.Sources[0][1].Model, 4);
  EXPECT_EQ(form->GeneralSourceDataGrid().TextMatrix(1, 1), "filter");
  EXPECT_EQ(s.Sources[0][2].Name, "duct");
}

TEST_F(HvacSourceFormTest, MenusOfBothWindows) {
  form = OpenHVACSourceForm(*context);
  EXPECT_EQ(MenuItems(*form),
            (std::vector<std::string>{"file=&File", "fileopen=&Open", "filesave=&Save",
                                      "hFileTransfer=&Transfer", "hFileCancel=&Cancel",
                                      "htransfer=&Transfer", "hcancel=&Cancel", "help=&Help"}));
  SourceDisplayForm* display = OpenSourceDisplay(*context, s.Sources[0][1], 0, 1, form);
  EXPECT_EQ(display->windowTitle(), "Source information");
  EXPECT_EQ(
      MenuItems(*display),
      (std::vector<std::string>{"file=&File", "fileopen=&Open another file",
                                "FileTransfer=&Transfer", "FileCancel=&Cancel", "help=&Help"}));
}

}  // namespace
}  // namespace quarn
