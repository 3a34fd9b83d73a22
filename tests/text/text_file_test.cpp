#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text/number_read.h"
#include "text/number_text.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("quarn_text_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

TEST(LineWriter, JoinsItemsAndEndsLinesWithCrLf) {
  LineWriter w;
  w.Put(FileSingle(0.5f));
  w.Put(FileSingle(-0.25f));
  w.Put("Room 1");
  w.NewLine();
  w.Put(FileSingle(12345678.0f));
  w.NewLine();
  EXPECT_EQ(w.Bytes(), " .5 -.25 Room 1\r\n 1.234568E+07 \r\n");
}

TEST(LineWriter, PrintZonesAreFourteenColumns) {
  LineWriter w;
  w.PutZoned("a");
  EXPECT_EQ(w.Column(), 14u);
  w.PutZoned("1234567890123");  // ends at column 27: pads to 28
  EXPECT_EQ(w.Column(), 28u);
  w.Put("x");
  w.NewLine();
  EXPECT_EQ(w.Column(), 0u);
  // An item that fills its zone exactly moves on to the zone after: items never touch.
  w.PutZoned("12345678901234");
  EXPECT_EQ(w.Column(), 28u);
  w.PutZoned("1234567890123456");  // 28 + 16 = 44: next zone 56
  EXPECT_EQ(w.Column(), 56u);
  w.Put("y");
  EXPECT_EQ(w.Bytes(), "a" + std::string(13, ' ') + "1234567890123" + " " + "x\r\n" +
                           "12345678901234" + std::string(14, ' ') + "1234567890123456" +
                           std::string(12, ' ') + "y");
}

TEST(WriteFileAtomic, ReplacesTheTargetOnlyWhenComplete) {
  TempDir dir;
  const std::string target = dir.File("out.txt");
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(target, "old\r\n", &error)) << error;
  ASSERT_TRUE(WriteFileAtomic(target, "new\r\n", &error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(target, bytes));
  EXPECT_EQ(bytes, "new\r\n");
  // Nothing is left beside the target.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

  // A folder that does not exist: the call fails and says why, naming the target.
  EXPECT_FALSE(WriteFileAtomic(dir.File("missing/out.txt"), "x", &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(WriteFileAtomic(dir.File("missing/out.txt"), "x", nullptr));
}

// A file without any write bit stays as it is, also for root.
TEST(WriteFileAtomic, LeavesAReadOnlyFileAsItIs) {
  TempDir dir;
  const std::string target = dir.File("kept.SEN");
  ASSERT_TRUE(WriteFileAtomic(target, "protected", nullptr));
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(target, "replacement", &error));
  EXPECT_EQ(error, "the file is read-only");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(target, bytes));
  EXPECT_EQ(bytes, "protected");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A private file stays private, and a save through a link updates the file it names.
TEST(WriteFileAtomic, KeepsThePermissionsAndTheLink) {
  TempDir dir;
  const std::string real = dir.File("real.SEN");
  ASSERT_TRUE(WriteFileAtomic(real, "old", nullptr));
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directory(dir.File("links"));
  fs::create_symlink("../real.SEN", dir.File("links/link.SEN"));
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(dir.File("links/link.SEN"), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.File("links/link.SEN")));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(real, bytes));
  EXPECT_EQ(bytes, "new");
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

// A pipe or a device at the name (or named by a link there) is no file to replace: the save
// is refused and it stays what it was. (A pipe of the test's own stands for both: a device of
// the system must never be a test's target.) A name near the system's longest still saves.
TEST(WriteFileAtomic, RefusesWhatIsNotARegularFileAndSavesALongName) {
  TempDir dir;
  const std::string pipe = dir.File("pipe.SEN");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink("pipe.SEN", dir.File("link.SEN"));
  for (const std::string& target : {pipe, dir.File("link.SEN")}) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(target, "x", &error)) << target;
    EXPECT_EQ(error, "it is not a regular file");
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);

  const std::string long_name = dir.File(std::string(246, 'n') + ".SEN");  // 250 bytes
  std::string error;
  EXPECT_TRUE(WriteFileAtomic(long_name, "x", &error)) << error;
  EXPECT_TRUE(WriteFileAtomic(long_name, "y", &error)) << error;
}

// Another user's file that is writable only by its owner (644) is refused, though its owner
// write bit is set. Root may write anything, so the save runs in a child as user "nobody".
TEST(WriteFileAtomic, RefusesAFileTheUserMayNotWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a file of another user";
  // A world-writable folder that "nobody" can reach, as a shared folder is.
  std::string folder = "/tmp/quarn-share-XXXXXX";
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  ::chmod(folder.c_str(), 0777);
  const std::string target = folder + "/root.SEN";
  ASSERT_TRUE(WriteFileAtomic(target, "root's", nullptr));
  ::chmod(target.c_str(), 0644);
  const pid_t child = ::fork();
  if (child == 0) {
    std::string error;
    const bool refused = ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                         !WriteFileAtomic(target, "nobody's", &error) &&
                         error == "Permission denied";
    ::_exit(refused ? 0 : 1);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(target, bytes));
  EXPECT_EQ(bytes, "root's");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  fs::remove_all(folder);
}

// The number of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// A save killed midway leaves its new copy, named with its process: the next save into the
// folder removes it, but not that of a copy still running (process 1 always runs), nor a file
// whose name only looks alike.
TEST(WriteFileAtomic, RemovesTheCopiesThatKilledSavesLeft) {
  TempDir dir;
  const std::string dead = dir.File(".quarn-" + std::to_string(EndedProcess()) + "-sfgwUn");
  const std::string running = dir.File(".quarn-1-jgjZMl");
  const std::string alike = dir.File(".quarn-sfgwUn");
  for (const std::string& file : {dead, running, alike}) std::ofstream(file) << "new content";
  ASSERT_TRUE(WriteFileAtomic(dir.File("house.BLD"), "saved", nullptr));
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(alike));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}

TEST(ReadFileBytes, AFolderIsRefusedNotThrown) {
  TempDir dir;
  std::string bytes = "unchanged";
  EXPECT_FALSE(ReadFileBytes(dir.Path().string(), bytes));
  EXPECT_EQ(bytes, "unchanged");
}

TEST(ReadFileBytes, MissingFileFails) {
  std::string bytes = "unchanged";
  EXPECT_FALSE(ReadFileBytes("/nonexistent/quarn/file.txt", bytes));
}

TEST(ItemReader, ItemsQuotesAndLines) {
  const std::string bytes =
      "Room A, 12 ,\"Hall, east\" , last  \r\n"
      "\r\n"
      "C:\\DudeDirav, with comma\r\n"
      "tail";
  ItemReader r(bytes);
  EXPECT_EQ(r.LineNumber(), 1);
  EXPECT_EQ(r.ReadItem(), "Room A");
  EXPECT_EQ(r.ReadItem(), "12");
  EXPECT_EQ(r.ReadItem(), "Hall, east");
  EXPECT_EQ(r.ReadItem(), "last");
  EXPECT_EQ(r.LineNumber(), 2);
  EXPECT_EQ(r.ReadItem(), "");  // an empty line is an empty item
  EXPECT_EQ(r.ReadLine(), "C:\\DudeDirav, with comma");
  EXPECT_EQ(r.LineNumber(), 4);
  EXPECT_FALSE(r.AtEnd());
  EXPECT_EQ(r.ReadLine(), "tail");
  EXPECT_TRUE(r.AtEnd());
  EXPECT_EQ(r.ReadLine(), std::nullopt);
  EXPECT_EQ(r.ReadItem(), std::nullopt);
  EXPECT_EQ(r.ReadNumber(), std::nullopt);
}

TEST(ItemReader, NumbersEndAtBlankCommaTabOrLineEnd) {
  const std::string bytes = " .5 -.25  1E-05 \r\n3,4\t5 , 6\r\n1,,3\r\n7,\r\n\r\n 44 \r\n-999 ";
  ItemReader r(bytes);
  std::vector<double> values;
  while (auto v = r.ReadNumber()) values.push_back(*v);
  EXPECT_EQ(values, (std::vector<double>{0.5, -0.25, 1e-05, 3, 4, 5, 6, 1, 0, 3, 7, 0, 44, -999}));
  EXPECT_TRUE(r.AtEnd());
}

TEST(ItemReader, BadNumberIsReportedWithItsLine) {
  const std::string bytes = " 1 \r\n 2 x3 \r\n";
  ItemReader r(bytes);
  EXPECT_EQ(r.ReadNumber(), 1);
  EXPECT_EQ(r.ReadNumber(), 2);
  EXPECT_EQ(r.LineNumber(), 2);
  EXPECT_EQ(r.ReadNumber(), std::nullopt);
  EXPECT_EQ(r.LastItem(), "x3");
}

TEST(ItemReader, LfOnlyReadsLikeCrLf) {
  const std::string crlf = "title line\r\n 1  2 \r\nname\r\n";
  const std::string lf = "title line\n 1  2 \nname\n";
  for (const std::string* bytes : {&crlf, &lf}) {
    ItemReader r(*bytes);
    EXPECT_EQ(r.ReadLine(), "title line");
    EXPECT_EQ(r.ReadNumber(), 1);
    EXPECT_EQ(r.ReadNumber(), 2);
    EXPECT_EQ(r.ReadItem(), "name");
    EXPECT_EQ(r.LineNumber(), 4);
    EXPECT_TRUE(r.AtEnd());
  }
}

// The values a concentration work file holds: times, concentrations spanning many decades,
// and a negative end marker.
std::vector<float> SampleValues() {
  return {0.0f,        0.1f,   0.5f,     -0.25f,  1.0f / 3.0f, 1234567.0f,
          12345678.0f, 1e-05f, 1.5e-07f, -1e+20f, 8760.0f,     0.0001f};
}

std::string WriteSample(const std::string& separator) {
  LineWriter w;
  // Tabs separate numbers only; texts are always separated by a comma.
  w.Put("Kitchen,\"Hall, east\"");
  w.NewLine();
  const auto values = SampleValues();
  for (std::size_t i = 0; i < values.size(); ++i) {
    w.Put(FileSingle(values[i]));
    if (i + 1 < values.size() && i % 4 != 3) w.Put(separator);
    if (i % 4 == 3) w.NewLine();
  }
  w.PutZoned("Total");
  w.Put(FileDouble(1.0 / 3.0));
  w.NewLine();
  return w.Bytes();
}

struct SampleRead {
  std::vector<std::string> names;
  std::vector<double> values;
  std::string label;
  double total = 0;
};

SampleRead ReadSample(const std::string& bytes) {
  SampleRead s;
  ItemReader r(bytes);
  for (int i = 0; i < 2; ++i) s.names.push_back(r.ReadItem().value_or("?"));
  for (std::size_t i = 0; i < SampleValues().size(); ++i)
    s.values.push_back(r.ReadNumber().value_or(-1));
  const std::string line = r.ReadLine().value_or("");
  s.label = line.substr(0, 5);
  s.total = line.size() > 14 ? ParseNumber(line.substr(14)).value_or(-1) : -1;
  return s;
}

void ExpectSample(const SampleRead& s) {
  EXPECT_EQ(s.names, (std::vector<std::string>{"Kitchen", "Hall, east"}));
  // What the seven-digit texts hold, which is not always the Single that was written
  // (1/3 comes back as 0.3333333).
  const std::vector<double> expected = {0,        0.1,   0.5,     -0.25,  0.3333333, 1234567,
                                        12345680, 1e-05, 1.5e-07, -1e+20, 8760,      0.0001};
  EXPECT_EQ(s.values, expected);
  EXPECT_EQ(s.label, "Total");
  EXPECT_EQ(s.total, 0.333333333333333);
}

TEST(TextFileRoundTrip, CommaAndTabSeparatorsReadBackTheSame) {
  TempDir dir;
  for (const std::string separator : {",", "\t"}) {
    const std::string path = dir.File(separator == "," ? "comma.txt" : "tab.txt");
    ASSERT_TRUE(WriteFileAtomic(path, WriteSample(separator), nullptr));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    SCOPED_TRACE(separator == "," ? "comma" : "tab");
    ExpectSample(ReadSample(bytes));
  }
}

TEST(TextFileRoundTrip, GoldenBytes) {
  const std::string bytes = WriteSample(",");
  EXPECT_EQ(bytes,
            "Kitchen,\"Hall, east\"\r\n"
            " 0 , .1 , .5 ,-.25 \r\n"
            " .3333333 , 1234567 , 1.234568E+07 , 1E-05 \r\n"
            " 1.5E-07 ,-1E+20 , 8760 , .0001 \r\n"
            "Total          .333333333333333 \r\n");
}

// The program sets LC_NUMERIC to "C", but a library or a window toolkit may change it; the
// texts must not follow the user's decimal comma.
TEST(TextFileRoundTrip, DecimalCommaLocaleChangesNothing) {
  if (std::system("command -v localedef >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "localedef is not installed";
  TempDir dir;
  const std::string locales = dir.File("locales");
  fs::create_directories(locales);
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + locales + "/de_DE.UTF-8' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 && !fs::exists(locales + "/de_DE.UTF-8"))
    GTEST_SKIP() << "localedef could not build de_DE.UTF-8";

  const std::string c_bytes = WriteSample(",");
  const std::string c_pattern = FormatPattern(1234.5, "#,###0.0#");

  const char* old_locpath = std::getenv("LOCPATH");
  const std::string saved_locpath = old_locpath ? old_locpath : "";
  setenv("LOCPATH", locales.c_str(), 1);
  const char* set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  ASSERT_NE(set, nullptr);
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");

  const std::string de_bytes = WriteSample(",");
  const std::string de_pattern = FormatPattern(1234.5, "#,###0.0#");
  const SampleRead de_read = ReadSample(de_bytes);
  const double leading = LeadingNumber(" 2.5 ");

  std::setlocale(LC_NUMERIC, "C");
  if (old_locpath)
    setenv("LOCPATH", saved_locpath.c_str(), 1);
  else
    unsetenv("LOCPATH");

  EXPECT_EQ(de_bytes, c_bytes);
  EXPECT_EQ(de_pattern, c_pattern);
  EXPECT_EQ(leading, 2.5);
  ExpectSample(de_read);
}

}  // namespace
}  // namespace quarn
