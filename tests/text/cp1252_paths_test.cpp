#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "text/cp1252.h"
#include "text/paths.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

TEST(Cp1252, ConvertsBothWays) {
  const struct {
    const char* cp1252;
    const char* utf8;
  } cases[] = {
      {"mg/m\xB3", "mg/m\xC2\xB3"},
      {"\xB5g/h", "\xC2\xB5g/h"},
      {"\x80 5", "\xE2\x82\xAC 5"},  // euro sign
      {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"caf\xE9", "caf\xC3\xA9"},
      {"\xFF", "\xC3\xBF"},
      {"\x81", "\xC2\x81"},  // undefined byte survives as C1 control
      {"plain ASCII, 1.5E-07", "plain ASCII, 1.5E-07"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.cp1252;
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xE2\x88\x9A"
                         "2"),
            "?2");                                     // square root sign
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");  // emoji
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");              // cut off
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");           // overlong "/"
  EXPECT_EQ(Utf8ToCp1252("\xB3"), "?");                // a lone continuation byte
}

TEST(Paths, StoredPathsBecomeHostPaths) {
  const struct {
    const char* stored;
    bool windows;
    const char* host;
  } cases[] = {
      {"C:\\DudeDirav", true, ""},
      {"D:\\Work\\Tmp", true, ""},
      {"c:", true, ""},
      {"\\\\server\\share\\x", true, ""},
      {"\\root\\only", true, ""},
      {"sub\\file.SEN", true, "sub/file.SEN"},
      {"sub\\deeper\\a.BLD", true, "sub/deeper/a.BLD"},
      {"/home/u/x", false, "/home/u/x"},
      {"file.SEN", false, "file.SEN"},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWindowsPath(c.stored), c.windows) << c.stored;
    EXPECT_EQ(HostPath(c.stored), c.host) << c.stored;
  }
}

TEST(Paths, JoinNeverDoublesTheSeparator) {
  EXPECT_EQ(JoinPath("/home/u", "x.BLD"), "/home/u/x.BLD");
  EXPECT_EQ(JoinPath("/home/u/", "x.BLD"), "/home/u/x.BLD");
  EXPECT_EQ(JoinPath("/home/u//", "/x.BLD"), "/home/u/x.BLD");
  EXPECT_EQ(JoinPath("/", "tmp"), "/tmp");
  EXPECT_EQ(JoinPath("", "x.BLD"), "x.BLD");
  EXPECT_EQ(JoinPath("/home/u", ""), "/home/u");
  EXPECT_EQ(JoinPath("rel", HostPath("sub\\file.SEN")), "rel/sub/file.SEN");
}

TEST(Paths, SafeFileNameKeepsLettersDigitsDashAndUnderscore) {
  EXPECT_EQ(SafeFileName("Office_2-b"), "Office_2-b");
  EXPECT_EQ(SafeFileName("../../etc/passwd"), "etcpasswd");
  EXPECT_EQ(SafeFileName("C:\\Temp\\x y.z"), "CTempxyz");
  EXPECT_EQ(SafeFileName("caf\xE9"), "caf");
  EXPECT_EQ(SafeFileName(""), "");
}

TEST(Paths, FindFileAnyCase) {
  const fs::path dir =
      fs::temp_directory_path() /
      ("quarn_paths_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  std::ofstream(dir / "quarn.ini") << "x";
  std::ofstream(dir / "VOCPROPS.TXT") << "x";
  const std::string folder = dir.string();
  EXPECT_EQ(FindFileAnyCase(folder, "Quarn.ini"), (dir / "quarn.ini").string());
  EXPECT_EQ(FindFileAnyCase(folder, "quarn.ini"), (dir / "quarn.ini").string());
  EXPECT_EQ(FindFileAnyCase(folder, "vocprops.txt"), (dir / "VOCPROPS.TXT").string());
  EXPECT_EQ(FindFileAnyCase(folder, "missing.hlp"), std::nullopt);
  EXPECT_EQ(FindFileAnyCase(folder + "/no-such-folder", "quarn.ini"), std::nullopt);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
}  // namespace quarn
