#include "files/building_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../common/other_copy.h"
#include "../common/scripted_prompt.h"
#include "files/folders.h"
#include "text/text_reader.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompt;

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("quarn_bld_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
  return bytes;
}

// One room "R" 4 x 2.5 x 2 m (20 m³), HVAC 1, no neighbours; ID "B", no comments, "Temp".
// Singles: 4 = 40800000, 2.5 = 40200000, 2 = 40000000, 20 = 41A00000 (little-endian below).
const std::string kOneRoom(
    "\x01\x00"
    "B"
    "\x00\x00"
    "\x01\x00"
    "\x04\x00"
    "Temp"
    "\x01\x00"
    "R"
    "\x01\x00"
    "\x00\x00\x80\x40"
    "\x00\x00\x20\x40"
    "\x00\x00\x00\x40"
    "\x00\x00\xA0\x41"
    "\x00\x00"
    "\x00\x00",
    38);

// Three rooms in a row, 1-2 and 2-3 connected, ID "Home", comments "a,b", master "H1".
// Room sizes: "Kit" 3 x 4 x 2.5 = 30 (40400000 40800000 40200000 41F00000), HVAC 1;
// "Hall" 1.5 x 4 x 2.5 = 15 (3FC00000 40800000 40200000 41700000), HVAC 2;
// "Bed" 3 x 3 x 2.5 = 22.5 (40400000 40400000 40200000 41B40000), HVAC 3.
const std::string kThreeRooms(
    "\x04\x00Home"
    "\x03\x00"
    "a,b"
    "\x03\x00"
    "\x02\x00H1"
    "\x03\x00Kit\x01\x00\x00\x00\x40\x40\x00\x00\x80\x40\x00\x00\x20\x40\x00\x00\xF0\x41\x01\x00"
    "\x04\x00Hall\x02\x00\x00\x00\xC0\x3F\x00\x00\x80\x40\x00\x00\x20\x40\x00\x00\x70\x41\x02\x00"
    "\x03\x00"
    "Bed\x03\x00\x00\x00\x40\x40\x00\x00\x40\x40\x00\x00\x20\x40\x00\x00\xB4\x41\x01\x00"
    "\x00\x00\xFF\xFF\x00\x00"
    "\xFF\xFF\x00\x00\xFF\xFF"
    "\x00\x00\xFF\xFF\x00\x00",
    2 + 4 + 2 + 3 + 2 + 2 + 2 + (2 + 3 + 20) + (2 + 4 + 20) + (2 + 3 + 20) + 18);

BuildingRecord OneRoomRecord() {
  BuildingRecord b;
  b.ID = "B";
  b.NumRooms = 1;
  b.MasterFile = "Temp";
  b.RoomList[1] = {"R", 1, 4.0f, 2.5f, 2.0f, 20.0f, 0};
  return b;
}

BuildingRecord ThreeRoomRecord() {
  BuildingRecord b;
  b.ID = "Home";
  b.Comments = "a,b";
  b.NumRooms = 3;
  b.MasterFile = "H1";
  b.RoomList[1] = {"Kit", 1, 3.0f, 4.0f, 2.5f, 30.0f, 1};
  b.RoomList[2] = {"Hall", 2, 1.5f, 4.0f, 2.5f, 15.0f, 2};
  b.RoomList[3] = {"Bed", 3, 3.0f, 3.0f, 2.5f, 22.5f, 1};
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  b.Neighbors[2][3] = b.Neighbors[3][2] = kTrue;
  return b;
}

void ExpectSameBuilding(const BuildingRecord& want, const BuildingRecord& got) {
  EXPECT_EQ(got.ID, want.ID);
  EXPECT_EQ(got.Comments, want.Comments);
  EXPECT_EQ(got.NumRooms, want.NumRooms);
  EXPECT_EQ(got.MasterFile, want.MasterFile);
  for (int i = 1; i <= want.NumRooms; ++i) {
    const RoomRecord& w = want.RoomList[i];
    const RoomRecord& g = got.RoomList[i];
    EXPECT_EQ(g.Name, w.Name) << i;
    EXPECT_EQ(g.HVAC, w.HVAC) << i;
    EXPECT_EQ(g.Length, w.Length) << i;
    EXPECT_EQ(g.Width, w.Width) << i;
    EXPECT_EQ(g.Height, w.Height) << i;
    EXPECT_EQ(g.Volume, w.Volume) << i;
    EXPECT_EQ(g.NumNeighbors, w.NumNeighbors) << i;
    for (int j = 1; j <= want.NumRooms; ++j) EXPECT_EQ(got.Neighbors[i][j], want.Neighbors[i][j]);
  }
}

TEST(BuildingFile, WriterReproducesHandWrittenGoldenFiles) {
  ASSERT_EQ(kOneRoom.size(), 38u);
  EXPECT_EQ(BuildingFileBytes(OneRoomRecord()), kOneRoom);
  EXPECT_EQ(BuildingFileBytes(ThreeRoomRecord()), kThreeRooms);

  TempDir dir;
  ScriptedPrompt prompt;
  std::string name = dir.File("house");
  ASSERT_TRUE(WriteBuildingFile(ThreeRoomRecord(), name, prompt));
  EXPECT_EQ(name, dir.File("house.BLD"));  // the caller sees the longer name
  EXPECT_EQ(ReadBytes(name), kThreeRooms);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST(BuildingFile, ReaderReadsGoldenFilesFieldByField) {
  TempDir dir;
  for (const auto& [bytes, want] :
       {std::pair{kOneRoom, OneRoomRecord()}, std::pair{kThreeRooms, ThreeRoomRecord()}}) {
    WriteBytes(dir.File("g.BLD"), bytes);
    BuildingRecord got;
    got.Scenario.Name = "kept";  // the scenario is not part of the file
    got.ConcWorkFile = "work";
    ScriptedPrompt prompt;
    std::string name = dir.File("g");
    ASSERT_TRUE(ReadBuildingFile(got, name, prompt));
    EXPECT_TRUE(prompt.shown.empty());
    ExpectSameBuilding(want, got);
    EXPECT_EQ(got.Scenario.Name, "kept");
    EXPECT_EQ(got.ConcWorkFile, "work");
  }
}

TEST(BuildingFile, RoomWithoutNeighboursGetsAnEmptyRowWhateverTheFileHolds) {
  BuildingRecord stored = ThreeRoomRecord();
  stored.RoomList[2].NumNeighbors = 0;  // the row still holds -1 values in the file
  TempDir dir;
  WriteBytes(dir.File("n.BLD"), BuildingFileBytes(stored));
  BuildingRecord got;
  got.Neighbors[2][0] = kTrue;
  ScriptedPrompt prompt;
  std::string name = dir.File("n.BLD");
  ASSERT_TRUE(ReadBuildingFile(got, name, prompt));
  for (int j = 0; j <= 3; ++j) EXPECT_EQ(got.Neighbors[2][j], 0) << j;
  EXPECT_EQ(got.Neighbors[1][2], kTrue);
  EXPECT_EQ(got.Neighbors[3][2], kTrue);
}

TEST(BuildingFile, ExtensionRuleLooksAtTheFileNamePartOnly) {
  EXPECT_EQ(WithDefaultExtension("house", ".BLD"), "house.BLD");
  EXPECT_EQ(WithDefaultExtension("house.bak", ".BLD"), "house.bak");
  EXPECT_EQ(WithDefaultExtension("my.data/house", ".BLD"), "my.data/house.BLD");
  EXPECT_EQ(WithDefaultExtension("C:\\v1.2\\house", ".SEN"), "C:\\v1.2\\house.SEN");
  EXPECT_EQ(WithDefaultExtension("a.b", ".SEN"), "a.b");
}

TEST(BuildingFile, MissingFileNamesTheFileWithItsExtension) {
  TempDir dir;
  BuildingRecord b = OneRoomRecord();
  ScriptedPrompt prompt;
  std::string name = dir.File("nothing");
  EXPECT_FALSE(ReadBuildingFile(b, name, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "File " + dir.File("nothing.BLD") + " does not exist.");
  EXPECT_EQ(prompt.shown[0].title, "ERROR");
  ExpectSameBuilding(OneRoomRecord(), b);
}

TEST(BuildingFile, DamagedFilesChangeNothing) {
  TempDir dir;
  const std::string path = dir.File("bad.BLD");
  std::vector<std::string> damaged;
  for (std::size_t n = 0; n < kThreeRooms.size(); ++n) damaged.push_back(kThreeRooms.substr(0, n));
  std::string rooms14 = kOneRoom;
  rooms14[5] = 14;  // room count above the table
  damaged.push_back(rooms14);
  std::string negative = kOneRoom;
  negative[5] = '\xFF';
  negative[6] = '\xFF';  // room count -1
  damaged.push_back(negative);
  std::string long_text = kOneRoom;
  long_text[0] = 100;  // an ID that runs past the end
  damaged.push_back(long_text);
  std::string minus_length = kOneRoom;
  minus_length[1] = '\x80';  // a negative text length
  damaged.push_back(minus_length);
  std::string nan_volume = kOneRoom;
  nan_volume.replace(30, 4, std::string("\x00\x00\xC0\x7F", 4));  // a room of NaN m³
  damaged.push_back(nan_volume);
  std::string negative_volume = kOneRoom;
  negative_volume[33] = '\xC1';  // -20 m³
  damaged.push_back(negative_volume);
  std::string infinite_length = kOneRoom;
  infinite_length.replace(18, 4, std::string("\x00\x00\x80\x7F", 4));
  damaged.push_back(infinite_length);
  damaged.push_back(std::string(8, '\0'));  // zeros: a building of no rooms

  for (const std::string& bytes : damaged) {
    WriteBytes(path, bytes);
    BuildingRecord b = ThreeRoomRecord();
    b.RoomList[4].Name = "spare";
    ScriptedPrompt prompt;
    std::string name = path;
    EXPECT_FALSE(ReadBuildingFile(b, name, prompt)) << bytes.size();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Error.  " + path + " is not a building file or is damaged.");
    ExpectSameBuilding(ThreeRoomRecord(), b);
    EXPECT_EQ(b.RoomList[4].Name, "spare");
  }
}

// Older versions saved a smaller building over a longer file without cutting the file's end
// off, so users keep files with an older building's end behind the new one; random bytes
// after a building look the same to the reader. The user is asked, and Enter refuses.
TEST(BuildingFile, BytesAfterTheBuildingAreAskedAboutAndEnterRefuses) {
  TempDir dir;
  const std::string path = dir.File("tail.BLD");
  std::string random_tail = kOneRoom;
  for (int i = 0; i < 100000; ++i) random_tail += static_cast<char>((i * 7919) % 251);
  const std::string old_tail = kOneRoom + kThreeRooms.substr(kOneRoom.size());
  for (const std::string& bytes : {random_tail, old_tail}) {
    WriteBytes(path, bytes);
    for (Answer answer : {Answer::No, Answer::Yes}) {
      BuildingRecord b = ThreeRoomRecord();
      ScriptedPrompt prompt;
      prompt.answers = {answer};
      std::string name = path;
      EXPECT_EQ(ReadBuildingFile(b, name, prompt), answer == Answer::Yes);
      ASSERT_EQ(prompt.shown.size(), 1u);
      EXPECT_EQ(prompt.shown[0].kind, "yesno");
      EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
      EXPECT_NE(prompt.shown[0].text.find(std::to_string(bytes.size() - kOneRoom.size()) +
                                          " bytes after the building"),
                std::string::npos)
          << prompt.shown[0].text;
      ExpectSameBuilding(answer == Answer::Yes ? OneRoomRecord() : ThreeRoomRecord(), b);
    }
  }
}

TEST(BuildingFile, SmallerBuildingOverALargerFileLeavesExactlyTheSmallerFile) {
  TempDir dir;
  ScriptedPrompt prompt;
  std::string name = dir.File("same.BLD");
  ASSERT_TRUE(WriteBuildingFile(ThreeRoomRecord(), name, prompt));
  ASSERT_TRUE(WriteBuildingFile(OneRoomRecord(), name, prompt));
  EXPECT_EQ(ReadBytes(name), kOneRoom);
  BuildingRecord got = ThreeRoomRecord();
  ASSERT_TRUE(ReadBuildingFile(got, name, prompt));
  ExpectSameBuilding(OneRoomRecord(), got);
  EXPECT_EQ(fs::directory_iterator(dir.File("")) == fs::directory_iterator(), false);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.File(""))) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left beside it
}

// Two copies open the same building and one saves it: the other is asked before it replaces
// that, and Enter keeps it.
TEST(BuildingFile, SavingOverABuildingChangedSinceItWasOpenedAsksFirst) {
  TempDir dir;
  ScriptedPrompt prompt;
  std::string name = dir.File("house.BLD");
  ASSERT_TRUE(WriteBuildingFile(OneRoomRecord(), name, prompt));
  BuildingRecord mine;
  ASSERT_TRUE(ReadBuildingFile(mine, name, prompt));
  testing::OtherCopy([&](testing::OtherCopy&) {
    ScriptedPrompt theirs;
    std::string same = name;
    WriteBuildingFile(ThreeRoomRecord(), same, theirs);
  });  // ends when the other copy has
  auto on_disk = [&] {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  prompt.answers = {Answer::No};
  EXPECT_FALSE(WriteBuildingFile(mine, name, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, name + " has changed since it was opened.  Replace it?");
  EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
  EXPECT_EQ(on_disk(), BuildingFileBytes(ThreeRoomRecord()));
  prompt.answers = {Answer::Yes};
  EXPECT_TRUE(WriteBuildingFile(mine, name, prompt));
  EXPECT_EQ(on_disk(), kOneRoom);
  EXPECT_TRUE(WriteBuildingFile(mine, name, prompt));  // its own save: nothing to ask
  EXPECT_EQ(prompt.shown.size(), 2u);
}

TEST(BuildingFile, FailedWriteIsReportedAndKeepsNothingHalfWritten) {
  TempDir dir;
  ScriptedPrompt prompt;
  std::string name = dir.File("no_such_folder/house");
  EXPECT_FALSE(WriteBuildingFile(OneRoomRecord(), name, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text.rfind("Error.  " + name + " could not be saved", 0), 0u);

  // A building of no rooms (typed into the grid) would not open again: it is not saved.
  BuildingRecord empty = OneRoomRecord();
  empty.NumRooms = 0;
  name = dir.File("empty.BLD");
  EXPECT_FALSE(WriteBuildingFile(empty, name, prompt));
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  " + name + " could not be saved: the building has no rooms");
  EXPECT_FALSE(fs::exists(name));
}

TEST(BuildingFile, OverlongTextIsCutToWhatALengthCanCount) {
  BuildingRecord b = OneRoomRecord();
  b.Comments.assign(40000, 'x');
  const std::string bytes = BuildingFileBytes(b);
  EXPECT_EQ(bytes.size(), 38u + 32767u);
  EXPECT_EQ(bytes.substr(3, 2), std::string("\xFF\x7F", 2));
}

TEST(Folders, MakeFolderAndFolderExists) {
  TempDir dir;
  const std::string made = dir.File("tmpwork");
  EXPECT_FALSE(FolderExists(made));
  MakeFolder(dir.File(""), "tmpwork");
  EXPECT_TRUE(FolderExists(made));
  MakeFolder(dir.File(""), "tmpwork");  // already there: ignored
  EXPECT_TRUE(FolderExists(made));
  WriteBytes(dir.File("plain"), "x");
  EXPECT_FALSE(FolderExists(dir.File("plain")));
  EXPECT_FALSE(FolderExists("C:\\DudeDirav"));  // a drive letter names nothing here
  MakeFolder("C:\\", "DudeDirav");              // and is not created as a strange name
  EXPECT_FALSE(fs::exists("C:\\DudeDirav"));
}

}  // namespace
}  // namespace quarn
