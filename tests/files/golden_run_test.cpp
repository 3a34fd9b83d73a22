// The concentration work files of the sample scenarios and of the largest scenario, byte for
// byte. They were written once the run's clock and units were right; any change to the
// run's arithmetic, its stepping or the number text shows here. Set QUARN_WRITE_GOLDEN=1 to
// write them afresh after a change that is meant to move the numbers.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "common/largest_scenario.h"
#include "common/scripted_prompt.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/concentration_run.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

std::string ScenarioSample(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/samples/Scenario/" + name;
}

std::string GoldenPath(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/tests/fixtures/golden/" + name;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

uint64_t Fnv1a(const std::string& bytes) {
  uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
  return h;
}

bool Writing() {
  const char* v = std::getenv("QUARN_WRITE_GOLDEN");
  return v != nullptr && std::string(v) == "1";
}

class LastTotals : public RunObserver {
 public:
  RunRecordInfo last;
  void RecordWritten(const RunRecordInfo& r) override { last = r; }
};

class GoldenRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("quarn-golden-" + std::to_string(::getpid()) + "-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    settings_.temp_folder_name = folder_.string();
    settings_.step_adjust_factor = 1;
    settings_.max_concentration = 100;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string RunSample(const std::string& scenario, BuildingRecord& b) {
    std::string bld = std::string(QUARN_SOURCE_DIR) + "/samples/house.BLD";
    EXPECT_TRUE(ReadBuildingFile(b, bld, prompt_));
    EXPECT_EQ(CommitScenarioRead(NewReadScenario(b, ScenarioSample(scenario), prompt_), b),
              ScenarioReadResult::Read);
    b.MasterFile = "Golden";
    return Run(b);
  }
  std::string Run(BuildingRecord& b) {
    EXPECT_EQ(RunConcentrationCalculation(b, settings_, prompt_, observer_), RunOutcome::Completed);
    return Bytes(b.ConcWorkFile);
  }
  void ExpectGolden(const std::string& bytes, const std::string& name) {
    if (Writing()) std::ofstream(GoldenPath(name), std::ios::binary) << bytes;
    const std::string golden = Bytes(GoldenPath(name));
    ASSERT_FALSE(golden.empty()) << name;
    EXPECT_TRUE(bytes == golden) << name << " differs";
  }

  fs::path folder_;
  RunSettings settings_;
  testing::ScriptedPrompt prompt_;
  LastTotals observer_;
};

TEST_F(GoldenRunTest, SampleHouseGasRange) {
  BuildingRecord b;
  ExpectGolden(RunSample("house.SEN", b), "house.SEN.TMP");
}

TEST_F(GoldenRunTest, SampleHouseParticles) {
  BuildingRecord b;
  ExpectGolden(RunSample("particles.SEN", b), "particles.SEN.TMP");
  // With clean outdoor air, what left the house is part of what the frying emitted, counted
  // in the same particles.
  b.Scenario.OutdoorConc = {};
  b.Scenario.OutdoorConcInput = {};
  Run(b);
  EXPECT_GT(observer_.last.leaving, 0.1F * observer_.last.total_emitted);
  EXPECT_LT(observer_.last.leaving, observer_.last.total_emitted);
}

TEST_F(GoldenRunTest, LargestScenarioForAWeek) {
  BuildingRecord b = LargestScenario(7.0F / 365);
  const std::string bytes = Run(b);
  EXPECT_EQ(b.Scenario.NumOutputRecords, 849);
  const uint64_t golden = 18005817370396757817ULL;
  if (Writing())
    std::printf("largest scenario hash %llu\n", static_cast<unsigned long long>(Fnv1a(bytes)));
  EXPECT_EQ(Fnv1a(bytes), golden);
}

}  // namespace
}  // namespace quarn
