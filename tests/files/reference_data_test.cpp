#include "files/reference_data.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "text/number_read.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompt;

class ReferenceData : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quarn-refdata-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  ScriptedPrompt prompt_;
};

VocRecord Voc(std::vector<std::string> fields) {
  VocRecord record;
  for (std::size_t i = 0; i < fields.size(); ++i) record.fields[i] = fields[i];
  return record;
}

using Fields = std::array<std::string, VocFieldCount>;

// ---- VOC data files ----

TEST_F(ReferenceData, VocFileReadsFullAndShortenedRecordsWithEndInAnyCase) {
  const std::string path =
      Write("solvents.DAT",
            "Toluene\r\nC7H8\r\n92.14\r\n28.4\r\n.0313\r\n3.8\r\n.08\r\n5\r\n0\r\n"
            "Styrene\r\nC8H8\r\nEND\r\n"
            "Acetone\nend\n"
            "Benzene\r\nC6H6\r\n78.11\r\neNd\r\n"
            "END\r\n");
  const auto records = ReadVocFile(path, prompt_);
  ASSERT_TRUE(records.has_value());
  EXPECT_TRUE(prompt_.shown.empty());
  ASSERT_EQ(records->size(), 4u);
  EXPECT_EQ((*records)[0].fields,
            (Fields{"Toluene", "C7H8", "92.14", "28.4", ".0313", "3.8", ".08", "5", "0"}));
  EXPECT_EQ((*records)[1].fields, (Fields{"Styrene", "C8H8", "", "", "", "", "", "", ""}));
  EXPECT_EQ((*records)[2].fields, (Fields{"Acetone", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ((*records)[3].fields, (Fields{"Benzene", "C6H6", "78.11", "", "", "", "", "", ""}));
  // The file holds P0 before the diffusivity; the grid shows the diffusivity first.
  EXPECT_EQ(kVocGridColumn[VocVapourPressure], 5);
  EXPECT_EQ(kVocGridColumn[VocDiffusivity], 4);
}

TEST_F(ReferenceData, VocFileGrowsWithItsRecords) {
  std::string bytes;
  for (int i = 0; i < 30; ++i) {
    bytes += "VOC" + std::to_string(i) + "\r\nC" + std::to_string(i + 1) + "\r\n";
    for (int k = 2; k < 9; ++k) bytes += std::to_string(k) + "\r\n";
  }
  bytes += "END\r\n";
  const auto records = ReadVocFile(Write("many.DAT", bytes), prompt_);
  ASSERT_TRUE(records.has_value());
  ASSERT_EQ(records->size(), 30u);
  EXPECT_EQ(records->back().fields[VocName], "VOC29");
  EXPECT_EQ(records->back().fields[VocCancer], "8");
}

TEST_F(ReferenceData, VocFileWritesNineLinesPerRecordAndSkipsEmptyRows) {
  const std::vector<VocRecord> table = {
      Voc({"Toluene", "C7H8", "92.14", "28.4", ".0313", "3.8", ".08", "5", "0"}),
      Voc({}),  // a row the user inserted and left empty
      Voc({"Styrene", "C8H8"}),
      Voc({"Two\r\nlines"}),
  };
  const std::string path = Path("out.DAT");
  ASSERT_TRUE(WriteVocFile(path, table, prompt_));
  EXPECT_TRUE(prompt_.shown.empty());
  EXPECT_EQ(Bytes(path),
            "Toluene\r\nC7H8\r\n92.14\r\n28.4\r\n.0313\r\n3.8\r\n.08\r\n5\r\n0\r\n"
            "Styrene\r\nC8H8\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
            "Two  lines\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
            "END\r\n");

  // Saved and opened again: the same records, and no empty one added.
  const auto back = ReadVocFile(path, prompt_);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 3u);
  EXPECT_EQ((*back)[0].fields, table[0].fields);
  EXPECT_EQ((*back)[1].fields, table[2].fields);
  ASSERT_TRUE(WriteVocFile(path, *back, prompt_));
  const auto again = ReadVocFile(path, prompt_);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->size(), 3u);
}

TEST_F(ReferenceData, VocFileFaultsGiveAMessageAndNoRecords) {
  // Cut off inside a record: the lines after it are missing.
  const auto cut = ReadVocFile(Write("cut.DAT", "Toluene\r\nC7H8\r\n92.14\r\n"), prompt_);
  EXPECT_FALSE(cut.has_value());
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The file " + Path("cut.DAT") + " ends inside a record.  Nothing was read.");
  EXPECT_EQ(prompt_.shown[0].title, "Error");

  const auto missing = ReadVocFile(Path("missing.DAT"), prompt_);
  EXPECT_FALSE(missing.has_value());
  ASSERT_EQ(prompt_.shown.size(), 2u);
  EXPECT_EQ(prompt_.shown[1].text, "Error.  Cannot read the file " + Path("missing.DAT") + ".");

  // Blank lines after the closing END are no record.
  const auto trailing = ReadVocFile(Write("blank.DAT", "Acetone\r\nEND\r\n\r\n\r\n"), prompt_);
  ASSERT_TRUE(trailing.has_value());
  EXPECT_EQ(trailing->size(), 1u);
  EXPECT_EQ(prompt_.shown.size(), 2u);

  // A save that cannot be written leaves the previous file alone.
  EXPECT_FALSE(WriteVocFile(Path("no-such-folder/out.DAT"), {Voc({"Acetone"})}, prompt_));
  EXPECT_EQ(prompt_.shown.size(), 3u);
}

// A field "End" would end its record in the file and shift every later record: the save is
// refused and the file keeps what it held.
TEST_F(ReferenceData, VocFieldReadingAsEndIsRefusedOnSave) {
  const std::string path = Write("kept.DAT", "Acetone\r\nEND\r\n");
  EXPECT_FALSE(WriteVocFile(path, {Voc({"Toluene", "End", "92.14"}), Voc({"Styrene"})}, prompt_));
  EXPECT_EQ(Bytes(path), "Acetone\r\nEND\r\n");
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  Field 2 of record 1 reads \"End\", which ends a record in the file.  Change "
            "it and save again.");
}

TEST_F(ReferenceData, VocPropertiesTakeFiveLinesPerRecordWhateverTheNameCase) {
  Write("VOCPROPS.TXT",
        "Toluene\r\nC7H8\r\n92.14\r\n28.4\r\n.0313\r\n"
        "Acetone\r\nC3H6O\r\nEND\r\n"
        "Benzene\r\nC6H6\r\n78.11\r\n95.2\r\n.0317\r\nEND\r\n");
  const auto records = ReadVocProperties(dir_.string(), prompt_);
  ASSERT_TRUE(records.has_value());
  ASSERT_EQ(records->size(), 3u);
  EXPECT_EQ((*records)[0].fields, (Fields{"Toluene", "C7H8", "92.14", "28.4", ".0313"}));
  EXPECT_EQ((*records)[1].fields, (Fields{"Acetone", "C3H6O"}));
  EXPECT_EQ((*records)[2].fields, (Fields{"Benzene", "C6H6", "78.11", "95.2", ".0317"}));

  EXPECT_FALSE(ReadVocProperties(Path("empty-folder"), prompt_).has_value());
  EXPECT_EQ(prompt_.Count("message"), 1u);
}

// Molecular weight from a formula such as "C6H4Cl2", with standard atomic weights.
double MolecularWeight(const std::string& formula) {
  const std::map<std::string, double> atomic = {
      {"C", 12.011}, {"H", 1.008}, {"O", 15.999}, {"Cl", 35.45}, {"N", 14.007}};
  double total = 0;
  std::size_t i = 0;
  while (i < formula.size()) {
    std::string element(1, formula[i++]);
    if (i < formula.size() && std::islower(static_cast<unsigned char>(formula[i])))
      element += formula[i++];
    int count = 0;
    while (i < formula.size() && std::isdigit(static_cast<unsigned char>(formula[i])))
      count = count * 10 + (formula[i++] - '0');
    const auto it = atomic.find(element);
    if (it == atomic.end()) return -1;
    total += it->second * (count == 0 ? 1 : count);
  }
  return total;
}

TEST_F(ReferenceData, ShippedVocPropertiesAreConsistent) {
  const auto records = ReadVocProperties(std::string(QUARN_SOURCE_DIR) + "/data", prompt_);
  ASSERT_TRUE(records.has_value());
  EXPECT_TRUE(prompt_.shown.empty());
  ASSERT_GE(records->size(), 15u);
  for (const VocRecord& r : *records) {
    SCOPED_TRACE(r.fields[VocName]);
    const auto mw = ParseNumber(r.fields[VocMolecularWeight]);
    const auto p0 = ParseNumber(r.fields[VocVapourPressure]);
    const auto d = ParseNumber(r.fields[VocDiffusivity]);
    ASSERT_TRUE(mw && p0 && d);
    EXPECT_NEAR(*mw, MolecularWeight(r.fields[VocFormula]), 0.02);
    EXPECT_GT(*p0, 0.0);
    // Gas diffusivities in air of such molecules lie near 0.05 to 0.2 cm2/s.
    EXPECT_GT(*d, 0.05 * 0.36);
    EXPECT_LT(*d, 0.2 * 0.36);
  }
  EXPECT_EQ((*records)[1].fields[VocName], "Toluene");
}

// ---- Text source database ----

const char* kTitles = "ID,Name,Pollutant,Model,P1,P2,P3,P4,P5,P6,Reference,Comments\r\n";

TEST_F(ReferenceData, SourceDatabaseReadsTitlesAndEntries) {
  const std::string path =
      Write("list.sdb",
            std::string(kTitles) +
                "1,\"Paint, latex\",Toluene,R0K,1.5E-03,.25,0,-2,1e+02,7,\"Smith 1990\",\r\n"
                "2,Carpet,Styrene,PAINT1\r\n12.5\r\n1\r\n2\r\n3\r\n4\r\n5\r\nNone,ok\r\n\r\n");
  const auto db = ReadSourceDatabase(path, prompt_);
  ASSERT_TRUE(db.has_value());
  EXPECT_TRUE(prompt_.shown.empty());
  EXPECT_EQ(db->titles.front(), "ID");
  EXPECT_EQ(db->titles[4], "P1");
  EXPECT_EQ(db->titles.back(), "Comments");
  ASSERT_EQ(db->entries.size(), 2u);
  const SourceDatabaseEntry& paint = db->entries[0];
  EXPECT_EQ(paint.names, (std::array<std::string, 4>{"1", "Paint, latex", "Toluene", "R0K"}));
  EXPECT_EQ(paint.parameters, (std::array<float, 6>{1.5e-3f, 0.25f, 0.0f, -2.0f, 100.0f, 7.0f}));
  EXPECT_EQ(paint.notes, (std::array<std::string, 2>{"Smith 1990", ""}));
  const SourceDatabaseEntry& carpet = db->entries[1];
  EXPECT_EQ(carpet.names[3], "PAINT1");
  EXPECT_EQ(carpet.parameters, (std::array<float, 6>{12.5f, 1, 2, 3, 4, 5}));
  EXPECT_EQ(carpet.notes, (std::array<std::string, 2>{"None", "ok"}));

  const auto titles_only = ReadSourceDatabase(Write("titles.sdb", kTitles), prompt_);
  ASSERT_TRUE(titles_only.has_value());
  EXPECT_EQ(titles_only->titles[11], "Comments");
  EXPECT_TRUE(titles_only->entries.empty());
}

// The last entry of a file may end in an empty comment: "...,Smith,", then the line end.
TEST_F(ReferenceData, SourceDatabaseLastEntryWithAnEmptyCommentIsRead) {
  const auto db = ReadSourceDatabase(
      Write("last.sdb", std::string(kTitles) + "1,Paint,Toluene,R0K,1,2,3,4,5,6,Smith,\r\n\r\n"),
      prompt_);
  ASSERT_TRUE(db.has_value());
  EXPECT_TRUE(prompt_.shown.empty());
  ASSERT_EQ(db->entries.size(), 1u);
  EXPECT_EQ(db->entries[0].notes, (std::array<std::string, 2>{"Smith", ""}));

  // One empty item, not two: a file that stops after the parameters' comma lacks a note.
  EXPECT_FALSE(ReadSourceDatabase(Write("short.sdb", std::string(kTitles) +
                                                         "1,Paint,Toluene,R0K,1,2,3,4,5,6,\r\n"),
                                  prompt_)
                   .has_value());
  EXPECT_EQ(prompt_.shown.size(), 1u);
}

TEST_F(ReferenceData, SourceDatabaseFaultsGiveAMessageAndNothing) {
  const auto cut = ReadSourceDatabase(
      Write("cut.sdb", std::string(kTitles) + "1,Carpet,Styrene,R0K,1,2,3\r\n"), prompt_);
  EXPECT_FALSE(cut.has_value());
  const auto short_titles = ReadSourceDatabase(Write("short.sdb", "ID,Name\r\n"), prompt_);
  EXPECT_FALSE(short_titles.has_value());
  EXPECT_EQ(prompt_.Count("message"), 2u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The file " + Path("cut.sdb") + " ends inside a record.  Nothing was read.");

  const auto bad = ReadSourceDatabase(
      Write("bad.sdb", std::string(kTitles) + "1,Carpet,Styrene,R0K,1,two,3,4,5,6,a,b\r\n"),
      prompt_);
  EXPECT_FALSE(bad.has_value());
  ASSERT_EQ(prompt_.shown.size(), 3u);
  EXPECT_EQ(prompt_.shown[2].text, "Error.  The file " + Path("bad.sdb") +
                                       " holds \"two\" where a number belongs.  Nothing was read.");

  // Beyond single precision: no value could hold it.
  const auto huge = ReadSourceDatabase(
      Write("huge.sdb", std::string(kTitles) + "1,Carpet,Styrene,R0K,1E+39,2,3,4,5,6,a,b\r\n"),
      prompt_);
  EXPECT_FALSE(huge.has_value());
  EXPECT_FALSE(ReadSourceDatabase(Path("missing.sdb"), prompt_).has_value());
  EXPECT_EQ(prompt_.shown.size(), 5u);
}

// ---- Jet database ----

TEST_F(ReferenceData, OpenDatabaseFileAcceptsOnlyARealDatabase) {
  EXPECT_TRUE(OpenDatabaseFile(std::string(QUARN_FIXTURES_DIR) + "/jet/testV1997.mdb", prompt_));
  EXPECT_TRUE(prompt_.shown.empty());

  const std::string fake = Write("fake.mdb", "SourceID,SourceName\r\n1,Paint\r\n");
  EXPECT_FALSE(OpenDatabaseFile(fake, prompt_));
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text.rfind("Error.  Cannot open the database " + fake + ".  ", 0), 0u);
  EXPECT_EQ(prompt_.shown[0].icon, MessageIcon::Critical);
  EXPECT_FALSE(OpenDatabaseFile(Path("missing.mdb"), prompt_));
  EXPECT_EQ(prompt_.shown.size(), 2u);

  const std::string damaged = std::string(QUARN_FIXTURES_DIR) + "/jet/damaged/segfault.mdb";
  EXPECT_FALSE(OpenDatabaseFile(damaged, prompt_));
  ASSERT_EQ(prompt_.shown.size(), 3u);
  EXPECT_EQ(prompt_.shown[2].text, "Error.  Cannot open the database " + damaged +
                                       ".  The file is not a database or is damaged.");
}

}  // namespace
}  // namespace quarn
