#include "tools/calculform.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "common/scripted_prompt.h"
#include "platform/clipboard.h"
#include "platform/help_service.h"
#include "platform/user_input.h"
#include "ui/main/menu_input.h"

namespace quarn {
namespace {

struct RecordedHelp : HelpService {
  std::vector<std::pair<std::string, std::string>> shown;
  void ShowHelp(const std::string& file, const std::string& keyword) override {
    shown.emplace_back(file, keyword);
  }
};

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
  std::unique_ptr<calculform> form_ = std::make_unique<calculform>(prompt_, help_);
};

TEST_F(Calculator, TypedKeysReachTheKeypadThroughEnter) {
  ASSERT_EQ(QApplication::focusWidget()->objectName(), "dummy");
  testing::Type("12+3");
  testing::Enter();
  EXPECT_EQ(Readout(), "15") << "Enter performs = once";
  testing::Enter();
  EXPECT_EQ(Readout(), "15");

  testing::Type("2x*");
  EXPECT_EQ(Readout(), "2.") << "x and * are not multiply";
  testing::Type("z3=");
  EXPECT_EQ(Readout(), "6");
  testing::Type("4e");
  EXPECT_EQ(Readout(), "0.");
  testing::Type("5 C");
  EXPECT_EQ(Readout(), "5.") << "blank and capitals do nothing";
  testing::Type("+1c");
  EXPECT_EQ(Readout(), "0.");
  testing::Type("=");
  EXPECT_EQ(Readout(), "0.") << "after clear nothing is pending";
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
