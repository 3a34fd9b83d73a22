#include "model/work_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/planted_link.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

TEST(WorkFileTest, RecordLinesByHand) {
  std::string out;
  const float one[] = {10, 9.512294F};
  AppendWorkRecord(out, 0.1F, one, ',');
  EXPECT_EQ(out, " .1 , 10 , 9.512294 \r\n");
  out.clear();
  const float neg[] = {-0.25F, 1.5e-7F, 12345678};
  AppendWorkRecord(out, 48, neg, '\t');
  EXPECT_EQ(out, " 48 \t-.25 \t 1.5E-07 \t 1.234568E+07 \r\n");
  out.clear();
  AppendWorkFileEnd(out);
  EXPECT_EQ(out, "-999 \r\n");
}

TEST(WorkFileTest, FullBuffersAreBlocksInOrderThenOnlyTheEndLine) {
  const fs::path path = fs::temp_directory_path() / "quarn-work-file-test.TMP";
  ResultsBuffer buffer(2);
  {
    WorkFileWriter writer;
    ASSERT_TRUE(writer.Create(path.string(), nullptr));
    // The second block fills the buffer while the first is being written.
    for (int block = 0; block < 2; ++block) {
      while (!buffer.Full()) {
        auto rec = buffer.Add(static_cast<float>(block * 1501 + buffer.Count()));
        rec[0] = static_cast<float>(2 * block + 1);
        rec[1] = static_cast<float>(-2 * block - 2);
      }
      ASSERT_TRUE(writer.WriteResultsBlock(buffer, ','));
      EXPECT_EQ(buffer.Count(), 0);
      EXPECT_EQ(buffer.Add(5)[0], 0);  // written records are cleared
      buffer.Clear();
    }
    ASSERT_TRUE(writer.WriteResultsBlock(buffer, ','));  // nothing left: nothing written
    ASSERT_TRUE(writer.Finish());
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string bytes = text.str();
  EXPECT_EQ(bytes.substr(0, 24), " 0 , 1 ,-2 \r\n 1 , 1 ,-2 ");
  EXPECT_NE(bytes.find("\n 1500 , 1 ,-2 \r\n 1501 , 3 ,-4 \r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 23), " 3001 , 3 ,-4 \r\n-999 \r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2 * 1501 + 1);
  fs::remove(path);
}

// The run goes on writing into the file it made, whatever is put at its name meanwhile.
TEST(WorkFileTest, ALinkPlantedAfterTheFileIsMadeIsNotFollowed) {
  const fs::path folder = fs::temp_directory_path();
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "keep";
  {
    testing::PlantedLinks links(victim.string());
    WorkFileWriter writer;
    ASSERT_TRUE(writer.Create((folder / "RunSEN.TMP").string(), nullptr));
    ResultsBuffer buffer(1);
    buffer.Add(0)[0] = 1;
    writer.WriteResultsBlock(buffer, ',');
    writer.Finish();
  }
  std::ifstream in(victim, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "keep");
}

// A hard link left at the work file's name is another name of a file: it is refused, and the
// file keeps its bytes.
TEST(WorkFileTest, AHardLinkAtTheNameIsRefusedAndItsFileKept) {
  const fs::path folder = fs::temp_directory_path();
  const fs::path kept = folder / "kept";
  std::ofstream(kept) << "keep";
  fs::create_hard_link(kept, folder / "LinkSEN.TMP");
  WorkFileWriter writer;
  std::string reason;
  EXPECT_FALSE(writer.Create((folder / "LinkSEN.TMP").string(), &reason));
  EXPECT_EQ(reason, "the file has another name as well");
  EXPECT_EQ(fs::file_size(kept), 4U);
}

TEST(WorkFileTest, UnwritableFolderIsReported) {
  WorkFileWriter writer;
  std::string reason;
  EXPECT_FALSE(writer.Create("/nonexistent-quarn-folder/x/RunSEN.TMP", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_FALSE(writer.Finish());
}

}  // namespace
}  // namespace quarn
