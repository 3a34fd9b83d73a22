#include "ui/tools/convert_diameters_form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "common/recorded_help.h"
#include "common/scripted_prompt.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "text/number_read.h"

namespace quarn {
namespace {

class DiameterWindow : public ::testing::Test {
 protected:
  QLineEdit& Box(const char* name) { return *form_->findChild<QLineEdit*>(name); }
  std::string Text(const char* name) { return FromQt(Box(name).text()); }
  void Set(const char* name, const char* text) { Box(name).setText(ToQt(text)); }
  void Click(const char* name) {
    QTest::mouseClick(form_->findChild<QPushButton*>(name), Qt::LeftButton);
  }

  testing::ScriptedPrompt prompt_;
  testing::RecordedHelp help_;
  std::unique_ptr<ConvertDiametersForm> form_ =
      std::make_unique<ConvertDiametersForm>(prompt_, help_);
};

TEST_F(DiameterWindow, ConvertsFromTheInitialTextsAndChains) {
  Click("btnCalculateAerodiam");
  EXPECT_EQ(Text("Daero"), "0.01 \xB5m");
  Set("Daero", ".05");
  Click("btnCalculatePhysical");
  EXPECT_EQ(Text("DPhysical"), "0.05 \xB5m");

  Set("DPhysical", "1");
  Set("Density", "2");
  Click("btnCalculateAerodiam");
  EXPECT_EQ(Text("Daero"), "1.44393 \xB5m");
  Click("btnCalculatePhysical");
  EXPECT_EQ(Text("DPhysical"), "1. \xB5m") << "the result box is read by its leading number";

  Set("DPhysical", "10");
  Set("Density", "4 g/cc");
  Click("btnCalculateAerodiam");
  EXPECT_EQ(Text("Daero"), "20.07604 \xB5m");
  EXPECT_TRUE(prompt_.shown.empty());
  Click("btnHelp");
  EXPECT_EQ(help_.shown, (decltype(help_.shown){{"RovozUzav.HLP", ""}}));
}

TEST_F(DiameterWindow, AerodynamicAndPhysicalInvertEachOther) {
  // A unit-density sphere's aerodynamic diameter is its own, at any size.
  for (const char* d : {"0.1", "1", "2.5"}) {
    Set("DPhysical", d);
    Click("btnCalculateAerodiam");
    EXPECT_NEAR(LeadingNumber(Text("Daero")), LeadingNumber(d), 1e-4) << d;
  }
  Set("Density", "2");
  Click("btnCalculateAerodiam");
  EXPECT_NEAR(LeadingNumber(Text("Daero")), 3.57, 0.02);
  Set("DPhysical", "");
  Click("btnCalculatePhysical");
  EXPECT_EQ(Text("DPhysical"), "2.5 \xB5m");

  // Water freezes at a temperature like any other.
  Set("TempC", "0");
  Click("btnCalculateAerodiam");
  EXPECT_NEAR(LeadingNumber(Text("Daero")), 3.5636, 1e-3);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(DiameterWindow, BadInputIsRefusedAndNoBoxChanges) {
  const std::pair<const char*, const char*> bad[] = {{"DPhysical", ""}, {"TempC", "-300"},
                                                     {"TempC", "-273"}, {"PressureA", "-1"},
                                                     {"Density", "-1"}, {"DPhysical", "-0.5"}};
  for (const auto& [box, text] : bad) {
    SCOPED_TRACE(std::string(box) + "=" + text);
    form_ = std::make_unique<ConvertDiametersForm>(prompt_, help_);
    prompt_.shown.clear();
    Set(box, text);
    std::map<std::string, std::string> before;
    for (const char* name : {"TempC", "PressureA", "DPhysical", "Daero", "Density"}) {
      before[name] = Text(name);
    }
    Click("btnCalculateAerodiam");
    if (std::string(box) != "DPhysical") Click("btnCalculatePhysical");
    ASSERT_FALSE(prompt_.shown.empty());
    EXPECT_EQ(prompt_.shown[0].text, "Error in input data. Please check your input and try again.");
    EXPECT_EQ(prompt_.shown[0].title, "");
    for (const auto& [name, text_before] : before) EXPECT_EQ(Text(name.c_str()), text_before);
  }
}

TEST_F(DiameterWindow, NumberBoxesRefuseLetters) {
  ASSERT_TRUE(testing::ShowActive(*form_));
  Box("Density").setFocus();
  Box("Density").selectAll();
  testing::Type("a-2.5*/b");
  testing::Key(Qt::Key_Backspace, "\b");
  EXPECT_EQ(Text("Density"), "-2.5*");
}

}  // namespace
}  // namespace quarn
