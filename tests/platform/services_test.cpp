#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <functional>

#include <gtest/gtest.h>

#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/qt_prompt.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"

namespace quarn {
namespace {

// Acts on the modal dialog a prompt is about to show, as the user would.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
  });
}

void Press(QWidget* modal, QMessageBox::StandardButton which) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  ASSERT_NE(box, nullptr);
  box->button(which)->click();
}

TEST(QtPromptBoxes, ShowWindows1252TextsAndGiveTheAnswerClicked) {
  QtPrompt prompt;
  QString shown_text, shown_title;
  QMessageBox::Icon shown_icon = QMessageBox::NoIcon;
  WhenModal([&](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    shown_text = box->text();
    shown_title = box->windowTitle();
    shown_icon = box->icon();
    Press(m, QMessageBox::Ok);
  });
  prompt.Message("Rate in \xB5g/h.  Volume in m\xB3", "Error", MessageIcon::Critical);
  EXPECT_EQ(shown_text, QString::fromUtf8("Rate in \xC2\xB5g/h.  Volume in m\xC2\xB3"));
  EXPECT_EQ(shown_title, "Error");
  EXPECT_EQ(shown_icon, QMessageBox::Critical);

  WhenModal([](QWidget* m) { Press(m, QMessageBox::No); });
  EXPECT_EQ(prompt.AskYesNo("Discard?", "Warning", MessageIcon::Question), Answer::No);
  WhenModal([](QWidget* m) { Press(m, QMessageBox::Yes); });
  EXPECT_EQ(prompt.AskYesNo("Discard?", "Warning", MessageIcon::Question), Answer::Yes);
  WhenModal([](QWidget* m) { Press(m, QMessageBox::Cancel); });
  EXPECT_EQ(prompt.AskYesNoCancel("Save?", "Warning", MessageIcon::Question), Answer::Cancel);
  WhenModal([](QWidget* m) { Press(m, QMessageBox::No); });
  EXPECT_EQ(prompt.AskYesNoCancel("Save?", "Warning", MessageIcon::Question), Answer::No);
  WhenModal([](QWidget* m) { Press(m, QMessageBox::Ok); });
  EXPECT_EQ(prompt.AskOkCancel("Go on?", "", MessageIcon::None), Answer::Ok);
}

TEST(QtPromptBoxes, AnInputLineComesBackAsWindows1252OrNothingWhenCancelled) {
  QtPrompt prompt;
  WhenModal([](QWidget* m) {
    auto* dialog = qobject_cast<QInputDialog*>(m);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->textValue(), "old");
    dialog->setTextValue(QString::fromUtf8("5 m\xC2\xB3"));
    dialog->accept();
  });
  EXPECT_EQ(prompt.InputLine("Volume", "Input", "old"), std::optional<std::string>("5 m\xB3"));
  WhenModal([](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
  EXPECT_EQ(prompt.InputLine("Volume", "Input", "old"), std::nullopt);
}

TEST(FileDialogRules, FiltersFromTheWindowsBecomeQtFilters) {
  const auto filters = ParseFileFilter("Building files (*.bld)|*.bld|Text|*.txt;*.dat|All|*.*");
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.txt", "*.dat"}));
  EXPECT_EQ(QtNameFilters(filters), "Building files (*.bld);;Text (*.txt *.dat);;All (*.*)");
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("odd without pattern").empty());
}

TEST(FileDialogRules, PatternsMatchWhateverTheLetterCase) {
  EXPECT_TRUE(MatchesPattern("HOUSE.BLD", "*.bld"));
  EXPECT_TRUE(MatchesPattern("house.Bld", "*.BLD"));
  EXPECT_FALSE(MatchesPattern("house.bldx", "*.bld"));
  EXPECT_TRUE(MatchesPattern("a1.sen", "a?.SEN"));
  EXPECT_TRUE(MatchesPattern("README", "*.*"));
}

TEST(FileDialogRules, TheDefaultExtensionGoesOnlyOnAFileNameWithoutADot) {
  EXPECT_EQ(WithDefaultExtension("/home/u/house", "bld"), "/home/u/house.bld");
  EXPECT_EQ(WithDefaultExtension("/home/u/house.BLD", "bld"), "/home/u/house.BLD");
  EXPECT_EQ(WithDefaultExtension("/home/u.v/house", "bld"), "/home/u.v/house.bld")
      << "the dot of a folder does not count";
  EXPECT_EQ(WithDefaultExtension("C:\\a.b\\house", "sen"), "C:\\a.b\\house.sen");
  EXPECT_EQ(WithDefaultExtension("house", ""), "house");
  EXPECT_EQ(ChosenName("/tmp/*.bld", "bld"), std::nullopt) << "a pattern is no choice";
  EXPECT_EQ(ChosenName("", "bld"), std::nullopt);
}

TEST(FileDialogRules, TheQtDialogListsFilesOfAnyLetterCase) {
  QTemporaryDir dir;
  for (const char* name : {"UPPER.BLD", "lower.bld", "other.txt"}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QFileDialog dialog;
  FileDialogRequest request;
  request.filter = "Building files (*.bld)|*.bld";
  request.initial_folder = FromQt(dir.path());
  ConfigureFileDialog(dialog, request, false);
  auto* model = dialog.findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  dialog.show();
  const QModelIndex root = model->index(dir.path());
  // The folder is read in the background; wait until its files are there.
  for (int i = 0; i < 300 && model->rowCount(root) < 2; ++i) {
    if (model->canFetchMore(root)) model->fetchMore(root);
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QStringList enabled;
  for (int r = 0; r < model->rowCount(root); ++r) {
    const QModelIndex i = model->index(r, 0, root);
    if (model->flags(i) & Qt::ItemIsEnabled) enabled << i.data().toString();
  }
  enabled.sort();
  EXPECT_EQ(enabled, (QStringList{"UPPER.BLD", "lower.bld"}));
  dialog.reject();
}

TEST(FileDialogRules, TheScriptedDialogAnswersLikeTheRealOne) {
  testing::ScriptedFileDialog files;
  files.answers = {std::string("/data/house"), std::nullopt, std::string("/data/*.sen")};
  FileDialogRequest r;
  r.default_extension = "bld";
  EXPECT_EQ(files.OpenFileName(r), std::optional<std::string>("/data/house.bld"));
  EXPECT_EQ(files.SaveFileName(r), std::nullopt);
  EXPECT_EQ(files.OpenFileName(r), std::nullopt);
  EXPECT_EQ(files.OpenFileName(r), std::nullopt) << "an empty script cancels";
  EXPECT_EQ(files.asked.size(), 4u);
  EXPECT_EQ(files.asked[1].kind, "save");
}

TEST(HelpServiceTest, OpensTheHelpFileAtTheKeywordWhateverItsLetterCase) {
  QTemporaryDir dir;
  QFile f(dir.filePath("QUARN.HTML"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  testing::ScriptedPrompt prompt;
  QUrl opened;
  QtHelpService help(prompt, FromQt(dir.path()), [&](const QUrl& u) {
    opened = u;
    return true;
  });
  help.ShowHelp("quarn.html", "Room data");
  EXPECT_EQ(opened.toLocalFile(), dir.filePath("QUARN.HTML"));
  EXPECT_EQ(opened.fragment(), "Room data");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST(HelpServiceTest, SaysSoWhenNoHelpFileIsInstalled) {
  QTemporaryDir dir;
  testing::ScriptedPrompt prompt;
  bool opened = false;
  QtHelpService help(prompt, FromQt(dir.path()), [&](const QUrl&) { return opened = true; });
  help.ShowHelp("quarn.html", "Rooms");
  EXPECT_FALSE(opened);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text.rfind("No help file is installed.", 0), 0u);
}

class OneWindow : public QWidget {};
class OtherWindow : public QWidget {};

TEST(WindowRegistryTest, OneInstancePerClassAndAClosedWindowIsNotFound) {
  WindowRegistry windows;
  EXPECT_EQ(windows.Find<OneWindow>(), nullptr);
  int made = 0;
  auto make = [&] {
    ++made;
    return new OneWindow;
  };
  OneWindow* a = windows.Load<OneWindow>(make);
  EXPECT_EQ(windows.Load<OneWindow>(make), a);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(windows.Find<OtherWindow>(), nullptr);
  a->show();
  windows.Unload<OneWindow>();  // deleted on close
  EXPECT_EQ(windows.Find<OneWindow>(), nullptr);
  windows.Unload<OneWindow>();  // nothing open: nothing happens
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(windows.Find<OneWindow>(), nullptr);
  EXPECT_NE(windows.Load<OneWindow>(make), nullptr);
  EXPECT_EQ(made, 2);
  windows.Unload<OneWindow>();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WindowRegistryTest, TheOpenerComesBackHoweverTheChildCloses) {
  WindowRegistry windows;
  QWidget opener;
  opener.show();
  auto* child = windows.Load<OneWindow>([] { return new OneWindow; });
  WindowRegistry::HideOpenerWhileOpen(child, &opener);
  child->show();
  EXPECT_FALSE(opener.isVisible());
  child->close();
  EXPECT_EQ(windows.Find<OneWindow>(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(opener.isVisible());

  auto* second = windows.Load<OtherWindow>([] { return new OtherWindow; });
  WindowRegistry::DisableOpenerWhileOpen(second, &opener);
  EXPECT_FALSE(opener.isEnabled());
  delete second;  // closed by the program's own code
  EXPECT_TRUE(opener.isEnabled());
}

TEST(HourglassTest, ShowsWhileTheWorkRunsAndGoesAfter) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    Hourglass busy;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(EditCellBoxTest, HandlersSeeKeysFirstAndSwallowThem) {
  QWidget window;
  auto* box = new EditCellBox(&window);
  EXPECT_EQ(box->objectName(), "EditCell");
  ASSERT_TRUE(testing::ShowActive(window));
  box->setFocus();
  testing::ProcessEvents();
  QObject::connect(box, &EditCellBox::KeyPress, [](int& ch) {
    if (ch == 'x') ch = 0;
  });
  QObject::connect(box, &EditCellBox::KeyDown, [](int& code, int) {
    if (code == keycode::kLeft) code = 0;
  });
  testing::Type("axb");
  EXPECT_EQ(box->text(), "ab");
  testing::Key(Qt::Key_Left);
  EXPECT_EQ(box->cursorPosition(), 2) << "the swallowed Left did not move the caret";
  box->TypeCharacter(0xB5);
  EXPECT_EQ(box->text(), QString::fromUtf8("ab\xC2\xB5"));
  std::vector<Qt::FocusReason> lost;
  QObject::connect(box, &EditCellBox::LostFocus, [&](Qt::FocusReason r) { lost.push_back(r); });
  auto* other = new QLineEdit(&window);
  other->show();
  other->setFocus(Qt::TabFocusReason);
  testing::ProcessEvents();
  EXPECT_EQ(lost, std::vector<Qt::FocusReason>{Qt::TabFocusReason});
}

}  // namespace
}  // namespace quarn
