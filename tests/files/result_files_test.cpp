#include "files/result_files.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "file_fixture.h"

namespace quarn {
namespace {

class ResultFiles : public testing::FileTest {
 protected:
  // House, scenario Winter, rooms Kitchen and Bed, pollutants CO and NO2.
  BuildingRecord House(int rooms = 2, int pollutants = 2) {
    BuildingRecord b;
    b.ID = "House";
    b.NumRooms = static_cast<int16_t>(rooms);
    b.RoomList[1].Name = "Kitchen";
    b.RoomList[2].Name = "Bed";
    b.Scenario.Name = "Winter";
    b.Scenario.NumPollutants = static_cast<int16_t>(pollutants);
    b.Scenario.Pollutants[0].Name = "CO";
    b.Scenario.Pollutants[1].Name = "NO2";
    b.ConcWorkFile = Path("TempSEN.TMP");
    return b;
  }
  // One room, one pollutant; a work file of records (time, outdoor, room).
  BuildingRecord OneRoom(const std::string& records) {
    BuildingRecord b = House(1, 1);
    Write("TempSEN.TMP", records + "-999 \r\n");
    return b;
  }
  std::string DataRows(const std::string& con) {
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) at = con.find("\r\n", at) + 2;
    return con.substr(at);
  }
};

std::string Record(const std::string& t, const std::string& outdoor, const std::string& room) {
  return " " + t + " , " + outdoor + " , " + room + " \r\n";
}
std::string Row(const std::string& t, const std::string& outdoor, const std::string& room) {
  return " " + t + " , " + outdoor + " , " + room + " ,\r\n";
}

// ---- concentrations ----

TEST_F(ResultFiles, ConcentrationHeadersNameEveryColumn) {
  BuildingRecord b = House();
  Write("TempSEN.TMP", " 0 , 1 , 2 , 3 , 4 , 5 , 6 \r\n-999 \r\n");
  const std::string path = Path("r.con");
  ASSERT_TRUE(WriteConcentrationFile(b, ',', path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Results for House Scenario Winter\r\n"
            "Time,Outdoors, ,Kitchen, ,Bed, ,\r\n"
            "Pollutant name,CO,NO2,CO,NO2,CO,NO2,\r\n"
            "Concentration unit,mg/m\xB3,mg/m\xB3,mg/m\xB3,mg/m\xB3,mg/m\xB3,mg/m\xB3,\r\n"
            " 0 , 1 , 2 , 3 , 4 , 5 , 6 ,\r\n");

  Write("TempSEN.TMP", " 0 \t 1 \t 2 \t 3 \t 4 \t 5 \t 6 \r\n-999 \r\n");
  ASSERT_TRUE(WriteConcentrationFile(b, '\t', path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Results for House Scenario Winter\r\n"
            "Time\tOutdoors\t \tKitchen\t \tBed\t \t\r\n"
            "Pollutant name\tCO\tNO2\tCO\tNO2\tCO\tNO2\t\r\n"
            "Concentration unit\tmg/m\xB3\tmg/m\xB3\tmg/m\xB3\tmg/m\xB3\tmg/m\xB3\tmg/m\xB3\t\r\n"
            " 0 \t 1 \t 2 \t 3 \t 4 \t 5 \t 6 \t\r\n");
}

// A saved file that drops records loses results: steady or changing, short or long, every
// record is a row, and the last only once.
TEST_F(ResultFiles, EveryRecordIsARow) {
  for (const int count : {1, 10, 250}) {
    SCOPED_TRACE(count);
    std::string records, rows;
    for (int k = 1; k <= count; ++k) {
      const std::string t = std::to_string(k), room = k % 7 == 0 ? "1.01" : "1";
      records += Record(t, "1", room);
      rows += Row(t, "1", room);
    }
    const BuildingRecord b = OneRoom(records);
    const std::string path = Path("all.con");
    ASSERT_TRUE(WriteConcentrationFile(b, ',', path, prompt_));
    EXPECT_EQ(DataRows(Bytes(path)), rows);
  }
}

TEST_F(ResultFiles, BrokenWorkFileGivesTheErrorAndNoFile) {
  BuildingRecord b = OneRoom(Record("0", "1", "1") + " 1 , 2 \r\n");
  const std::string path = Path("broken.con");
  EXPECT_FALSE(WriteConcentrationFile(b, ',', path, prompt_));
  ASSERT_EQ(Messages(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  Line 2 of the concentration file holds 2 numbers instead of 3.");
  EXPECT_EQ(prompt_.shown[0].title, "Error");
  EXPECT_FALSE(std::filesystem::exists(path));

  b.ConcWorkFile = Path("none.TMP");
  EXPECT_FALSE(WriteConcentrationFile(b, ',', path, prompt_));
  EXPECT_EQ(prompt_.shown[1].text,
            "Error.  The concentration work file " + Path("none.TMP") + " cannot be read.");
}

// ---- exposures ----

TEST_F(ResultFiles, ExposureColumnsStayAlignedWhenAnOccupantEndsEarly) {
  BuildingRecord b = House(2, 1);
  ScenarioRecord& s = b.Scenario;
  s.NumOccupants = 2;
  s.Occupants[1].Name = "Ann";
  s.Occupants[2].Name = "Bob";
  s.Occupants[1].InstExposureFile = Write("a.EMP", " 0 , 1 ,\r\n 1 , 2 ,\r\n 2 , 3 ,\r\n");
  s.Occupants[1].CumExposureFile = Write("a.CMP", " 0 , 0 ,\r\n 1 , 1.5 ,\r\n 2 , 4 ,\r\n");
  s.Occupants[2].InstExposureFile = Write("b.EMP", " 0 , 5 ,\r\n");
  s.Occupants[2].CumExposureFile = Write("b.CMP", " 0 , 0 ,\r\n");
  const std::string path = Path("e.EXP");
  ASSERT_TRUE(WriteExposureFile(b, ',', path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Exposure calculations for building House scenario Winter\r\n"
            "Occupant ,Ann, ,Occupant ,Bob, ,\r\n"
            "Time,Inst exposure (mg/m\xB3),Cum. exposure (mg/m\xB3\xB7h),Time,Inst exposure "
            "(mg/m\xB3),Cum. exposure (mg/m\xB3\xB7h),\r\n"
            " 0 , 1 , 0 , 0 , 5 , 0 ,\r\n"
            " 1 , 2 , 1.5 ,,,,\r\n"
            " 2 , 3 , 4 ,,,,\r\n"
            ",,,,,,\r\n");

  // The first occupant ends first: the second keeps its columns.
  std::swap(s.Occupants[1], s.Occupants[2]);
  ASSERT_TRUE(WriteExposureFile(b, ',', path, prompt_));
  const std::string bytes = Bytes(path);
  EXPECT_NE(bytes.find("\r\n,,, 1 , 2 , 1.5 ,\r\n,,, 2 , 3 , 4 ,\r\n,,,,,,\r\n"),
            std::string::npos);
}

TEST_F(ResultFiles, MissingExposureWorkFileIsReportedAndNothingWritten) {
  BuildingRecord b = House(1, 1);
  ScenarioRecord& s = b.Scenario;
  s.NumOccupants = 1;
  s.Occupants[1].Name = "Ann";
  s.Occupants[1].InstExposureFile = Write("a.EMP", " 0 , 1 ,\r\n");
  s.Occupants[1].CumExposureFile = Path("a.CMP");  // never written: no exposure run
  const std::string path = Path("none.EXP");
  EXPECT_FALSE(WriteExposureFile(b, ',', path, prompt_));
  ASSERT_EQ(Messages(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The exposure work file " + Path("a.CMP") + " cannot be read.");
  EXPECT_EQ(prompt_.shown[0].title, "Error");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ResultFiles, AverageExposureColumnsStayAligned) {
  BuildingRecord b = House(2, 2);
  ScenarioRecord& s = b.Scenario;
  s.NumOccupants = 2;
  s.Occupants[1].Name = "Ann";
  s.Occupants[2].Name = "Bob";
  s.Occupants[1].AvgExposureFile = Write("a.ave", " 8 , 1 , .5 , .25 ,\r\n 16 , 2 , .4 , .2 ,\r\n");
  s.Occupants[2].AvgExposureFile = Write("b.ave", " 8 , 1 , 1 , 2 ,\r\n");
  const std::string path = Path("a.AEX");
  ASSERT_TRUE(WriteAverageExposureFile(b, ',', path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Average Exposure calculations for building House scenario Winter\r\n"
            "Occupant ,Ann,Average exposure (mg/m\xB3), ,,,Occupant ,Bob,Average exposure "
            "(mg/m\xB3), ,,,\r\n"
            "Time,Period,CO,NO2,,,Time,Period,CO,NO2,,,\r\n"
            " 8 , 1 , .5 , .25 ,,, 8 , 1 , 1 , 2 ,,,\r\n"
            " 16 , 2 , .4 , .2 ,,,,,,,,,\r\n"
            ",,,,,,,,,,,,\r\n");
}

TEST_F(ResultFiles, AverageExposureInParticleModeHasTheFitColumns) {
  BuildingRecord b = House(1, 1);
  ScenarioRecord& s = b.Scenario;
  s.PollutantClass = "PM";
  s.Pollutants[0].Name = "2.5";
  s.NumOccupants = 1;
  s.Occupants[1].Name = "Ann";
  // Particle lines end with the geometric standard deviation, without a separator.
  s.Occupants[1].AvgExposureFile = Write("a.ave", " 8 , 1 , .5 , 2.1 , 1.8 \r\n");
  const std::string path = Path("p.AEX");
  ASSERT_TRUE(WriteAverageExposureFile(b, ',', path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Average Exposure calculations for building House scenario Winter\r\n"
            "Occupant ,Ann,Average exposure (mg/m\xB3), ,,,\r\n"
            "Time,Period,2.5,Mean diameter,Geometric standard deviation,,\r\n"
            " 8 , 1 , .5 , 2.1 , 1.8 ,,\r\n"
            ",,,,,,\r\n");
}

// ---- summary and risk reports ----

TEST_F(ResultFiles, SummaryMatchesItsLayout) {
  BuildingRecord b = House(1, 1);
  ScenarioRecord& s = b.Scenario;
  s.Pollutants[0].IrritantConc = 10;
  s.NumOccupants = 1;
  OccupantRecord& o = s.Occupants[1];
  o.Name = "Ann";
  o.HoursAboveIrritant[0] = 2.5f;
  o.TotalExposure[0] = 12;
  o.PeakExposure[0] = 3;
  o.CancerRiskResult[0] = 1e-6f;
  o.PotentialDose[0] = 99;  // not part of the summary
  s.Pollutants[0].CancerRisk = 1e-5f;
  const std::string path = Path("s.SUM");
  ASSERT_TRUE(WriteSummaryFile(b, {.exposure = true, .risk = true}, path, prompt_));
  EXPECT_EQ(Bytes(path),
            "House\r\nWinter\r\nCO\r\n 10 \r\nAnn\r\n 2.5 \r\n 12 \r\n 3 \r\n 1E-06 \r\n");
  // What was not calculated is not saved as a result: no risk yet, then no exposure either.
  ASSERT_TRUE(WriteSummaryFile(b, {.exposure = true}, path, prompt_));
  EXPECT_EQ(Bytes(path), "House\r\nWinter\r\nCO\r\n 10 \r\nAnn\r\n 2.5 \r\n 12 \r\n 3 \r\n---\r\n");
  ASSERT_TRUE(WriteSummaryFile(b, {}, path, prompt_));
  EXPECT_EQ(Bytes(path), "House\r\nWinter\r\nCO\r\n 10 \r\nAnn\r\n---\r\n---\r\n---\r\n---\r\n");
}

TEST_F(ResultFiles, RiskFrameworkReportMatchesItsLayout) {
  BuildingRecord b = House(1, 1);
  b.Scenario.Pollutants[0].IrritantConc = 0.5f;
  b.Scenario.Pollutants[0].CancerRisk = 2e-5f;
  b.Scenario.NumOccupants = 1;
  b.Scenario.Occupants[1].Name = "Ann";
  b.Scenario.ConcUnits = "micrograms";
  b.Scenario.ExposureMode = "I";
  RiskFrameworkTexts ann;
  ann.irritant = {"8", "4.2", "1", "4.2", "0.1", "0.42"};
  ann.cancer = {"70", "1.1", "1", "0.55", "2E-05", "1.1E-05"};
  ann.conversion = "0.5";
  const std::string path = Path("r.FUL");
  ASSERT_TRUE(WriteRiskFile(b, 0, "Test run", {ann}, path, prompt_));
  // The fixed lines in their places; what the figures are follows them all.
  EXPECT_EQ(Bytes(path),
            "Risk analysis for House\r\n"
            "Scenario Winter\r\n"
            "Pollutant CO\r\n"
            "Comments Test run\r\n"
            "Analysis for occupant Ann\r\n"
            "Irritant/Non Cancer:\r\n"
            "Irritant Concentration  .5 \r\n"
            "Duration 8\r\nExposure 4.2\r\nEfficiency 1\r\n Dose 4.2\r\n"
            "Dose/Response0.1\r\nIndividual risk 0.42\r\n"
            "Analysis for occupant Ann\r\n"
            "Cancer \r\n"
            "Integrated \r\n"
            "Duration 70\r\nExposure 1.1\r\nEfficiency 1\r\n Dose 0.55\r\n"
            "Dose/Response2E-05\r\nIndividual risk 1.1E-05\r\n"
            "Irritant level in \xB5g/m\xB3 500 \r\n"
            "Irritant exposure and dose in \xB5g/m\xB3\xB7h: the level x hours above\r\n"
            "Cancer exposure in \xB5g/m\xB3\xB7h, dose in \xB5g\r\n"
            "Unit risk 2E-05 per \xB5g/m\xB3\r\n"
            "Breathing rate x efficiency of Ann 0.5\r\n"
            "Individual risk is the lifetime cancer risk at the period's mean concentration\r\n");
}

// A reader of the report as it was: the fixed lines by their places and labels, four and
// then eighteen for each occupant.
struct FixedRiskReport {
  std::vector<std::string> heading;  // building, scenario, pollutant, comment
  std::vector<RiskFrameworkTexts> occupants;
  std::vector<std::string> rest;  // the lines after the fixed ones
};

FixedRiskReport ReadFixedRiskReport(const std::string& bytes, int occupants) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(bytes.substr(at, end - at));
  }
  FixedRiskReport report;
  std::size_t next = 0;
  auto take = [&](const std::string& label) {
    const std::string& l = next < lines.size() ? lines[next++] : label;
    EXPECT_EQ(l.substr(0, label.size()), label) << "line " << next;
    return l.substr(std::min(label.size(), l.size()));
  };
  for (const char* label : {"Risk analysis for ", "Scenario ", "Pollutant ", "Comments "}) {
    report.heading.push_back(take(label));
  }
  static const std::array<std::string, 6> kLabels = {
      "Duration ", "Exposure ", "Efficiency ", " Dose ", "Dose/Response", "Individual risk "};
  for (int o = 0; o < occupants; ++o) {
    RiskFrameworkTexts& texts = report.occupants.emplace_back();
    for (auto* block : {&texts.irritant, &texts.cancer}) {
      take("Analysis for occupant ");
      take(block == &texts.irritant ? "Irritant/Non Cancer:" : "Cancer ");
      take(block == &texts.irritant ? "Irritant Concentration " : "Integrated ");
      for (std::size_t i = 0; i < kLabels.size(); ++i) (*block)[i] = take(kLabels[i]);
    }
  }
  report.rest.assign(lines.begin() + static_cast<std::ptrdiff_t>(next), lines.end());
  return report;
}

// Two occupants of a particle count: a reader of the fixed lines reads back every text of
// both, the second occupant's where it always was; the notes after them say the units, the
// unit risk and the mass of a particle (π/6 × 2.5³ pg at 1 g/cm³).
TEST_F(ResultFiles, RiskFrameworkReportReadsBackByItsFixedLines) {
  BuildingRecord b = House(1, 1);
  ScenarioRecord& s = b.Scenario;
  s.ConcUnits = "number";
  s.ExposureMode = "N";
  s.Pollutants[0].Name = "2.5";
  s.Pollutants[0].Density = 1;
  s.Pollutants[0].CancerRisk = 1e-5f;
  s.NumOccupants = 2;
  s.Occupants[1].Name = "Ann";
  s.Occupants[2].Name = "Bob";
  RiskFrameworkTexts ann, bob;
  ann.irritant = {"1. hrs", "No Data", "1", "No Data", "No Data", "No Data"};
  ann.cancer = {"1.0 yrs", "880.0", "1", "880.0", "2.0E-5", "1.8E-2"};
  ann.conversion = "1";
  bob = ann;
  bob.cancer[1] = "440.0";
  bob.conversion = "0.5";
  const std::string path = Path("p.FUL");
  ASSERT_TRUE(WriteRiskFile(b, 0, "two", {ann, bob}, path, prompt_));
  const std::string bytes = Bytes(path);
  const FixedRiskReport read = ReadFixedRiskReport(bytes, 2);
  EXPECT_EQ(read.heading, (std::vector<std::string>{"House", "Winter", "2.5", "two"}));
  ASSERT_EQ(read.occupants.size(), 2U);
  for (std::size_t o = 0; o < 2; ++o) {
    const RiskFrameworkTexts& written = o == 0 ? ann : bob;
    EXPECT_EQ(read.occupants[o].irritant, written.irritant) << o;
    EXPECT_EQ(read.occupants[o].cancer, written.cancer) << o;
  }
  EXPECT_EQ(
      read.rest,
      (std::vector<std::string>{
          "Irritant exposure and dose in #/cc\xB7h: the level x hours above",
          "Cancer exposure in #/cc\xB7h, dose in #/cc\xB7h", "Unit risk 1E-05 per \xB5g/m\xB3",
          "Cancer risk through the mass of a particle: 8.181E-6 \xB5g (diameter 2.5 \xB5m, "
          "density 1 g/cm\xB3)",
          "Conversion factor of Ann 1", "Conversion factor of Bob 0.5",
          "Individual risk is the lifetime cancer risk at the period's mean concentration"}));
  // Written again from what was read (and the conversion factors of the notes), the report
  // is the same bytes.
  std::vector<RiskFrameworkTexts> again = read.occupants;
  again[0].conversion = "1";
  again[1].conversion = "0.5";
  ASSERT_TRUE(WriteRiskFile(b, 0, read.heading[3], again, Path("q.FUL"), prompt_));
  EXPECT_EQ(Bytes(Path("q.FUL")), bytes);
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(ResultFiles, RiskAnalysisReportMatchesItsLayout) {
  const BuildingRecord b = House(1, 1);
  const std::string path = Path("a.RSK");
  ASSERT_TRUE(WriteRiskAnalysisFile(b, {"30", "1.5E-02", "3E-06", "worst case"}, path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Risk analysis for House\r\n"
            "Scenario Winter\r\n"
            "Pollutant CO\r\n"
            "Exposure adsorbed dose after 30 1.5E-02\r\n"
            "Cancer risk lifetime 3E-06\r\n"
            "Comments worst case\r\n"
            "Cancer risk lifetime is the lifetime risk at the period's mean concentration\r\n");
}

// ---- all results ----

TEST_F(ResultFiles, SaveAllResultsNamesTheFilesFromTheBase) {
  EXPECT_EQ(ResultBaseName("run.RES"), "run");
  EXPECT_EQ(ResultBaseName("run"), "run");
  EXPECT_EQ(ResultBaseName("run.ab"), "run.ab");  // only a three-letter extension goes
  EXPECT_EQ(ResultBaseName(".RES"), "");

  BuildingRecord b = OneRoom(Record("0", "1", "2"));
  ASSERT_TRUE(SaveAllResults(b, ',', Path("run.RES"), prompt_));
  const std::string con = Bytes(Path("run.con"));
  const std::string exp = Bytes(Path("run.EXP"));
  ASSERT_FALSE(con.empty());
  ASSERT_FALSE(exp.empty());
  std::filesystem::remove(Path("run.con"));
  std::filesystem::remove(Path("run.EXP"));
  ASSERT_TRUE(SaveAllResults(b, ',', Path("run"), prompt_));
  EXPECT_EQ(Bytes(Path("run.con")), con);
  EXPECT_EQ(Bytes(Path("run.EXP")), exp);
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(ResultFiles, UnwritableTargetIsReported) {
  BuildingRecord b = House(1, 1);
  EXPECT_FALSE(WriteExposureFile(b, ',', Path("no/such/folder/e.EXP"), prompt_));
  ASSERT_EQ(Messages(), 1u);
  EXPECT_EQ(prompt_.shown[0].text.rfind("Error.  " + Path("no/such/folder/e.EXP") +
                                            " could not be saved: No such file or directory",
                                        0),
            0u);
  EXPECT_EQ(prompt_.shown[0].title, "Error");
}

// An overflowed result would be written as "Inf" or "NaN", which nothing reads back: the
// reports refuse it as every other writer does, and no file is made.
TEST_F(ResultFiles, ReportsRefuseValuesThatAreNotFinite) {
  BuildingRecord b = House(1, 1);
  b.Scenario.NumOccupants = 1;
  b.Scenario.Occupants[1].TotalExposure[0] = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(WriteSummaryFile(b, {.exposure = true}, Path("s.SUM"), prompt_));
  RiskFrameworkTexts ann;
  ann.cancer[4] = "Inf";
  EXPECT_FALSE(WriteRiskFile(b, 0, "", {ann}, Path("r.FUL"), prompt_));
  ASSERT_EQ(Messages(), 2u);
  EXPECT_EQ(prompt_.shown[0].text, "Error.  Cannot write the file " + Path("s.SUM") +
                                       ".  the value of TotalExposure is not a number");
  EXPECT_EQ(prompt_.shown[1].text, "Error.  Cannot write the file " + Path("r.FUL") +
                                       ".  the value of Dose/Response is not a number");
  EXPECT_FALSE(std::filesystem::exists(Path("s.SUM")));
  EXPECT_FALSE(std::filesystem::exists(Path("r.FUL")));
}

}  // namespace
}  // namespace quarn
