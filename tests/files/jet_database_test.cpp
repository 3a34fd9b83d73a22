#include "files/jet_database.h"
#include "files/jet_reader_client.h"

#include <gtest/gtest.h>

#include "common/decimal_comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace quarn {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  return std::string(QUARN_FIXTURES_DIR) + "/jet/" + name;
}

using Row = std::vector<std::string>;

// Both tables of the Access 97 file, every value of Table1 in the documented text forms.
void ExpectTestV1997(const JetDatabase& db) {
  const std::vector<std::string> tables = db.Tables();
  ASSERT_GE(tables.size(), 2u);
  EXPECT_EQ(tables[0], "Table1");
  EXPECT_EQ(tables[1], "Table2");
  for (const auto& name : tables) EXPECT_NE(name.rfind("MSys", 0), 0u) << name;

  const auto table1 = db.ReadTable("Table1");
  ASSERT_TRUE(table1.has_value());
  EXPECT_EQ(table1->columns, (Row{"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
  ASSERT_EQ(table1->rows.size(), 2u);
  EXPECT_EQ(table1->rows[0],
            (Row{"a", "b", "0", "0", "0", "0", "1981-12-12 00:00:00", "0.0000", "0"}));
  EXPECT_EQ(table1->rows[1], (Row{"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555",
                                  "1974-09-21 00:00:00", "3.5000", "1"}));

  const auto table2 = db.ReadTable("Table2");
  ASSERT_TRUE(table2.has_value());
  ASSERT_EQ(table2->columns.size(), 89u);
  EXPECT_EQ(table2->columns.front(), "column1");
  EXPECT_EQ(table2->columns.back(), "column89");
  EXPECT_TRUE(table2->rows.empty());
}

// The value column of the named row of testIndexCodesV1997.mdb.
std::string IndexCodesValue(const JetTable& table, const std::string& row_name) {
  for (const auto& row : table.rows) {
    if (row.size() == 2 && row[0] == row_name) return row[1];
  }
  return "<no row " + row_name + ">";
}

void ExpectIndexCodes(const JetDatabase& db) {
  const auto table = db.ReadTable("Table1");
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->columns, (Row{"name", "data"}));
  EXPECT_EQ(table->rows.size(), 275u);
  // Text comes back as Windows-1252 bytes, not as the library's UTF-8 (0xB5 micro sign,
  // 0xB3 superscript three, 0xE9 e acute).
  auto aa = [](const char* middle) { return "AA" + std::string(middle) + "AA"; };
  EXPECT_EQ(IndexCodesValue(*table, "row181"), aa("\xB5"));
  EXPECT_EQ(IndexCodesValue(*table, "row179"), aa("\xB3"));
  EXPECT_EQ(IndexCodesValue(*table, "row233"), aa("\xE9"));
  EXPECT_EQ(IndexCodesValue(*table, "row65"), aa("A"));
}

TEST(JetDatabase, ReadsEveryValueOfAnAccess97File) {
  std::string error;
  const auto db = JetDatabase::Open(Fixture("testV1997.mdb"), &error);
  ASSERT_TRUE(db.has_value()) << error;
  ExpectTestV1997(*db);
  EXPECT_FALSE(db->ReadTable("NoSuchTable").has_value());
  EXPECT_FALSE(db->ReadTable("MSysObjects").has_value());  // system tables stay hidden
}

TEST(JetDatabase, ReturnsTextAsWindows1252) {
  std::string error;
  const auto db = JetDatabase::Open(Fixture("testIndexCodesV1997.mdb"), &error);
  ASSERT_TRUE(db.has_value()) << error;
  ExpectIndexCodes(*db);
}

using quarn::testing::DecimalCommaLocale;

TEST(JetDatabase, NumbersKeepTheDecimalPointUnderADecimalCommaLocale) {
  DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "localedef (package locales) cannot build de_DE";
  std::string error;
  const auto db = JetDatabase::Open(Fixture("testV1997.mdb"), &error);
  ASSERT_TRUE(db.has_value()) << error;
  ExpectTestV1997(*db);
  const auto codes = JetDatabase::Open(Fixture("testIndexCodesV1997.mdb"), &error);
  ASSERT_TRUE(codes.has_value()) << error;
  ExpectIndexCodes(*codes);
  // The service leaves the caller's locale as it found it.
  EXPECT_EQ(std::string(std::localeconv()->decimal_point), ",");
}

TEST(JetDatabase, RefusesWhatIsNotADatabase) {
  const fs::path dir = fs::temp_directory_path() / ("quarn-jet-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path text = dir / "notes.mdb";
  {
    std::ofstream out(text, std::ios::binary);
    out << "This is a text file, not a database.\r\n";
  }
  std::string error;
  EXPECT_FALSE(JetDatabase::Open(text.string(), &error).has_value());
  EXPECT_FALSE(error.empty());

  // The first pages of a real file pass mdb_open; the missing catalogue must still refuse it.
  const fs::path truncated = dir / "truncated.mdb";
  {
    std::ifstream in(Fixture("testV1997.mdb"), std::ios::binary);
    std::string head(5000, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream out(truncated, std::ios::binary);
    out.write(head.data(), in.gcount());
  }
  error.clear();
  EXPECT_FALSE(JetDatabase::Open(truncated.string(), &error).has_value());
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_FALSE(JetDatabase::Open((dir / "missing.mdb").string(), &error).has_value());
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(JetDatabase::Open((dir / "missing.mdb").string(), nullptr).has_value());
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// The database library crashes on one of these and loops, its memory growing, on the other:
// each is refused within the reader's time limit, and a sound file still reads afterwards.
TEST(JetDatabase, ADamagedDatabaseIsRefusedAndTheProgramGoesOn) {
  for (const char* name : {"damaged/segfault.mdb", "damaged/hang.mdb"}) {
    std::string error;
    EXPECT_FALSE(JetDatabase::Open(Fixture(name), &error).has_value()) << name;
    EXPECT_EQ(error, "The file is not a database or is damaged.") << name;
  }
  std::string error;
  const auto db = JetDatabase::Open(Fixture("testV1997.mdb"), &error);
  ASSERT_TRUE(db.has_value()) << error;
  ExpectTestV1997(*db);
}

// A reply cut short, padded or with counts it cannot back is refused, never misread.
TEST(JetDatabase, AMalformedReplyOfTheReaderIsRefused) {
  const std::string table = "2:ok1:21:11:A1:B1:a1:b";
  ASSERT_TRUE(DecodeJetTable(table).value.has_value());
  EXPECT_EQ(DecodeJetTable(table).value->rows, (std::vector<Row>{{"a", "b"}}));
  for (const std::string& bad :
       {table.substr(0, table.size() - 1), table + "0:", std::string("2:ok1:22:991:A1:B1:a1:b"),
        std::string("2:ok1:01:0"), std::string("2:ok9:999999999"), std::string("99999999999:x"),
        std::string("")}) {
    EXPECT_FALSE(DecodeJetTable(bad).value.has_value()) << bad;
  }
  EXPECT_EQ(DecodeJetTable("5:error8:No table").refusal, "No table");
  EXPECT_EQ(DecodeJetTableList("2:ok1:25:Table").value, std::nullopt);
}

}  // namespace
}  // namespace quarn
