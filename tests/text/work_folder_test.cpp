// The default work folder belongs to the user alone and each running copy works in a folder
// of its own inside it.

#include "text/work_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quarn {
namespace {

namespace fs = std::filesystem;

TEST(WorkFolder, DefaultIsAPrivateFolderOfTheUserWithAFolderForThisCopy) {
  const fs::path base = DefaultTempFolder();
  EXPECT_EQ(base, fs::path(std::getenv("XDG_RUNTIME_DIR")) / "DudeDirav");
  std::string reason;
  const std::optional<std::string> copy = WorkFolderOf(base.string(), &reason);
  ASSERT_TRUE(copy) << reason;
  EXPECT_EQ(fs::path(*copy).parent_path(), base);
  EXPECT_EQ(WorkFolderOf(base.string(), &reason), copy);  // the same for the copy's life
  struct stat st {};
  ASSERT_EQ(::stat(base.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700U);
  EXPECT_EQ(WorkFolderOf("/tmp/DudeDirav", &reason), copy);  // the shared one of old settings
  const std::string chosen = std::string(std::getenv("TMPDIR")) + "/chosen";
  const std::optional<std::string> in_chosen = WorkFolderOf(chosen, &reason);
  ASSERT_TRUE(in_chosen) << reason;
  EXPECT_EQ(fs::path(*in_chosen).parent_path(), chosen);  // a folder of this copy's there too
  EXPECT_EQ(WorkFolderOf(chosen, &reason), in_chosen);
  EXPECT_EQ(WorkFolderOf(base.string(), &reason), copy);  // and the default one is still held
  ASSERT_EQ(::stat(chosen.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700U);  // made for the user alone
}

// Where another account may rename files, it could swap a link in for a work file: such a
// chosen folder is refused unless it is sticky, which keeps each file to its owner.
TEST(WorkFolder, AChosenFolderOthersMayWriteInIsRefusedUnlessSticky) {
  const std::string shared = std::string(std::getenv("TMPDIR")) + "/shared";
  fs::create_directories(shared);
  ::chmod(shared.c_str(), 0777);
  std::string reason;
  EXPECT_EQ(WorkFolderOf(shared, &reason), std::nullopt);
  EXPECT_EQ(reason, shared + " may be written by other users and is not sticky");
  ::chmod(shared.c_str(), 01777);
  const std::optional<std::string> copy = WorkFolderOf(shared, &reason);
  ASSERT_TRUE(copy) << reason;
  EXPECT_EQ(fs::path(*copy).parent_path(), shared);
}

// A folder of the user's that others may enter is closed to them; a link, or a folder of
// another user, is refused by name.
TEST(WorkFolder, ALooseFolderIsMadePrivateAndAnotherUsersIsRefused) {
  const fs::path folder = fs::path(std::getenv("TMPDIR")) / "loose";
  fs::create_directories(folder);
  ::chmod(folder.c_str(), 0755);
  std::string reason;
  EXPECT_TRUE(MakePrivateFolder(folder.string(), &reason)) << reason;
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700U);

  const fs::path link = fs::path(std::getenv("TMPDIR")) / "link";
  fs::create_directory_symlink(folder, link);
  EXPECT_FALSE(MakePrivateFolder(link.string(), &reason));
  EXPECT_EQ(reason, link.string() + " is a symbolic link");
  EXPECT_EQ(WorkFolderRefusal(reason),
            "Error.  The work folder cannot be used: " + link.string() + " is a symbolic link.");

  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  ::chmod(folder.c_str(), 0755);
  EXPECT_FALSE(MakePrivateFolder(folder.string(), &reason));
  EXPECT_EQ(reason, folder.string() + " belongs to another user");
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755U);  // not the user's to change
}

// Another copy's exit erases the folders of copies no longer running. A folder that a copy
// starting meanwhile has just made, and not yet locked, is no such folder: it is kept.
TEST(WorkFolder, AnotherCopysExitSparesTheFolderOfACopyStarting) {
  const fs::path run = fs::path(std::getenv("TMPDIR")) / "run-of-a-starting-copy";
  fs::create_directories(run);
  ::setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
  SetWorkFolderHook([](WorkFolderMoment moment, const std::string&) {
    if (moment == WorkFolderMoment::CopyFolderMade) EraseIdleWorkFiles();
  });
  std::string reason;
  const std::optional<std::string> copy = WorkFolderOf(DefaultTempFolder(), &reason);
  SetWorkFolderHook(nullptr);
  ASSERT_TRUE(copy) << reason;
  EXPECT_TRUE(fs::is_directory(*copy));
  EXPECT_EQ(fs::path(*copy).parent_path(), run / "DudeDirav");
  EXPECT_TRUE(WriteWorkFile(*copy + "/RunSEN.TMP", "-999 \r\n", &reason)) << reason;
  // Locked as a running copy's folder: another copy cannot take the lock.
  const int lock = ::open((*copy + "/.lock").c_str(), O_RDWR);
  ASSERT_GE(lock, 0);
  EXPECT_NE(::flock(lock, LOCK_EX | LOCK_NB), 0);
  ::close(lock);
}

}  // namespace
}  // namespace quarn
