#include "ui/tools/calculator_form.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "common/menu_input.h"
#include "common/recorded_help.h"
#include "common/scripted_prompt.h"
#include "platform/clipboard.h"
#include "platform/help_service.h"
#include "platform/user_input.h"

namespace quarn {
namespace {

using testing::RecordedHelp;

class Calculator : public ::testing::Test {
 protected:
  Calculator() { EXPECT_TRUE(testing::ShowActive(*form_)); }

  QString Readout() const { return form_->ReadoutText(); }
  void ClickKey(const char* name) {
    auto* key = form_->findChild<QPushButton*>(name);
    ASSERT_NE(key, nullptr) << name;
    QTest::mouseClick(key, Qt::LeftButton);
  }

  testing::ScriptedPrompt prompt_;
  RecordedHelp help_;
  std::unique_ptr<CalculatorForm> form_ = std::make_unique<CalculatorForm>(prompt_, help_);
};

TEST_F(Calculator, TypedKeysReachTheKeypadThroughEnter) {
  ASSERT_EQ(QApplication::focusWidget()->objectName(), "dummy");
  // Enter performs "=" once; z, x and * multiply, % is percent (of the first operand after + or
  // -, as desk calculators take it); blank and capitals do nothing.
  const std::pair<const char*, const char*> table[] = {
      {"12+3\r", "15"}, {"\r", "15"},          {"12.5*4=", "50"}, {"3x4=", "12"},
      {"2z3=", "6"},    {"50+10%=", "55"},     {"4e", "0."},      {"5 CZ", "5."},
      {"+1c=", "0."},   {"50+10%%=", "50.05"}, {"+1=", "51.05"}};
  for (const auto& [typed, readout] : table) {
    testing::Type(typed);
    EXPECT_EQ(Readout(), readout) << typed;
  }
}

TEST_F(Calculator, ClickedKeysComputeAndLeaveTheFocusOnEnter) {
  for (const char* key : {"number(7)", "Operator(2)", "number(2)", "Operator(4)"}) ClickKey(key);
  EXPECT_EQ(Readout(), "14");
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "dummy");
  for (const char* key : {"number(9)", "Operator(0)", "number(3)", "dummy"}) ClickKey(key);
  EXPECT_EQ(Readout(), "3") << "a click on Enter is =";
}

TEST_F(Calculator, CopyPutsTheTypedEntryOnTheClipboard) {
  SetClipboardText("old");
  testing::Type("12");
  testing::ChooseMenu(*form_, {"edit", "EditCopy"});
  EXPECT_EQ(ClipboardText(), "12.");
  testing::ChooseMenu(*form_, {"help", "HelpContents"});
  ASSERT_EQ(help_.shown.size(), 1U);
  EXPECT_EQ(help_.shown[0],
            std::make_pair(std::string("Rovozuzav.hlp"), std::string("Calculator")));
}

}  // namespace
}  // namespace quarn
