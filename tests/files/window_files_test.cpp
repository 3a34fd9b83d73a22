#include "files/window_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file_fixture.h"

namespace quarn {
namespace {

using WindowFiles = testing::FileTest;

// A pair line: the second number starts in column 14, the next print zone.
std::string PairLine(const std::string& first, const std::string& second) {
  return first + std::string(14 - first.size(), ' ') + second + "\r\n";
}

ScenarioRecord TwoPollutants() {
  ScenarioRecord s;
  s.NumPollutants = 2;
  s.Pollutants[0].Name = "Toluene";
  s.Pollutants[1].Name = "Benzene";
  return s;
}

// ---- golden bytes ----

TEST_F(WindowFiles, HVACFlowHistoryMatchesItsLayout) {
  ScenarioRecord s;
  s.HVACHistoryTime[1] = 0;
  s.HVACHistoryFraction[1] = 1;
  s.HVACHistoryTime[2] = 12;
  s.HVACHistoryFraction[2] = 0.5f;
  const std::string path = Path("flow.FHI");
  ASSERT_TRUE(WriteHVACFlowHistoryFile(s, true, true, path, prompt_));
  // The outdoor-only option is stored as 1, not as the true of a flag field.
  std::string golden = " 1 \r\nY\r\n" + PairLine(" 0 ", " 1 ") + PairLine(" 12 ", " .5 ");
  for (int t = 3; t <= 50; ++t) golden += PairLine(" 0 ", " 0 ");
  EXPECT_EQ(Bytes(path), golden);
  EXPECT_EQ(s.HVACHistoryOutdoorOnly, 1);
  EXPECT_EQ(s.HVACHistoryCycle.str(), "Y");

  ASSERT_TRUE(WriteHVACFlowHistoryFile(s, false, false, path, prompt_));
  EXPECT_EQ(Bytes(path).substr(0, 8), " 0 \r\nN\r\n");
}

TEST_F(WindowFiles, VentilationWritesEveryPointGivenUpTo50) {
  // A rate of 0 (ventilation off) is a point like any other.
  const std::vector<TimeValue> points = {{0, 2}, {5, 1.5f}, {10, 0}, {20, 3}};
  const std::string path = Path("vent.VEN");
  ASSERT_TRUE(WriteVentilationFile(points, path, prompt_));
  EXPECT_EQ(Bytes(path), PairLine(" 0 ", " 2 ") + PairLine(" 5 ", " 1.5 ") +
                             PairLine(" 10 ", " 0 ") + PairLine(" 20 ", " 3 "));
  ASSERT_TRUE(WriteVentilationFile(std::vector<TimeValue>(51, {1, 1}), path, prompt_));
  EXPECT_EQ(Bytes(path).size(), 50 * PairLine(" 1 ", " 1 ").size());
}

TEST_F(WindowFiles, OutdoorFlowsMatchTheirLayout) {
  ScenarioRecord s;
  s.NaturalFromOutdoors[1] = 1;
  s.NaturalToOutdoors[1] = 2;
  s.HVACSupply[1] = 3;
  s.HVACReturn[1] = 4;
  s.HVACExhaust[1] = 5;
  s.NaturalRoomFlows[1][2] = 6;
  s.HVACRoomFlows[1][2] = 7;
  s.NaturalFromOutdoors[2] = 0.5f;
  s.NaturalToOutdoors[2] = -1;
  s.NaturalRoomFlows[2][1] = 8;
  s.HVACRoomFlows[2][1] = 9;
  s.NaturalRoomFlows[1][1] = 99;  // a room's flow to itself is not stored
  const std::string path = Path("flows.FLO");
  ASSERT_TRUE(WriteOutdoorFlowFile(s, 2, path, prompt_));
  EXPECT_EQ(Bytes(path),
            " 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n 6 \r\n 7 \r\n"
            " .5 \r\n-1 \r\n 0 \r\n 0 \r\n 0 \r\n 8 \r\n 9 \r\n");
}

TEST_F(WindowFiles, InitialConcentrationsArePollutantByPollutant) {
  ScenarioRecord s = TwoPollutants();
  s.InitialConc[1][0] = 1;
  s.InitialConc[2][0] = 2;
  s.InitialConc[1][1] = 0.25f;
  s.InitialConc[2][1] = 1e-6f;
  s.InitialConc[0][0] = 55;  // outdoors is not a room of this file
  const std::string path = Path("conc.INT");
  ASSERT_TRUE(WriteInitialIndoorFile(s, 2, path, prompt_));
  EXPECT_EQ(Bytes(path), " 1 \r\n 2 \r\n .25 \r\n 1E-06 \r\n");

  ScenarioRecord back = TwoPollutants();
  ASSERT_TRUE(ReadInitialIndoorFile(back, 2, path, prompt_));
  EXPECT_EQ(back.InitialConc, [&] {
    RoomPollutant expected{};
    expected[1] = s.InitialConc[1];
    expected[2] = s.InitialConc[2];
    return expected;
  }());
}

ScenarioRecord CarpetSink() {
  ScenarioRecord s = TwoPollutants();
  s.NumSinks[1] = 1;
  s.NumSinks[2] = 0;
  SinkRecord& sink = s.Sinks[1][1];
  sink.Name = "Carpet";
  sink.Area = 10;
  sink.Mass = {1, 0};
  sink.ka = {0.5f, 2};
  sink.kd = {0.25f, 0.1f};
  return s;
}

TEST_F(WindowFiles, GeneralSinksJoinValuesWithTheSeparator) {
  const ScenarioRecord s = CarpetSink();
  const std::string comma = Path("comma.SNK");
  ASSERT_TRUE(WriteGeneralSinkFile(s, 2, ',', comma, prompt_));
  EXPECT_EQ(Bytes(comma), "Carpet, 10 \r\n 1 , .5 , .25 \r\n 0 , 2 , .1 \r\n");
  const std::string tab = Path("tab.SNK");
  ASSERT_TRUE(WriteGeneralSinkFile(s, 2, '\t', tab, prompt_));
  EXPECT_EQ(Bytes(tab), "Carpet\t 10 \r\n 1 \t .5 \t .25 \r\n 0 \t 2 \t .1 \r\n");

  for (auto [path, sep] : {std::pair{comma, ','}, std::pair{tab, '\t'}}) {
    ScenarioRecord back = TwoPollutants();
    back.NumSinks = s.NumSinks;
    ASSERT_TRUE(ReadGeneralSinkFile(back, 2, sep, path, prompt_));
    const SinkRecord& sink = back.Sinks[1][1];
    EXPECT_EQ(sink.Name, "Carpet");
    EXPECT_EQ(sink.Area, 10.0f);
    EXPECT_EQ(sink.Mass, s.Sinks[1][1].Mass);
    EXPECT_EQ(sink.ka, s.Sinks[1][1].ka);
    EXPECT_EQ(sink.kd, s.Sinks[1][1].kd);
  }
}

// ---- round trips and damaged files ----

TEST_F(WindowFiles, SinkNameHoldingTheSeparatorRoundTrips) {
  ScenarioRecord s = CarpetSink();
  s.Sinks[1][1].Name = "Carpet, wool";
  const std::string path = Path("wool.SNK");
  ASSERT_TRUE(WriteGeneralSinkFile(s, 2, ',', path, prompt_));
  ScenarioRecord back = CarpetSink();
  back.Sinks[1][1].Name = "old";
  ASSERT_TRUE(ReadGeneralSinkFile(back, 2, ',', path, prompt_));
  EXPECT_EQ(back.Sinks[1][1].Name, "Carpet, wool");
}

TEST_F(WindowFiles, DamagedSinkFileChangesNothing) {
  ScenarioRecord s = CarpetSink();
  // Two values where mass, ka and kd belong (the layout another reader once expected).
  const std::string path = Write("short.SNK", "Carpet, 10 \r\n .5 , .25 \r\n 2 , .1 \r\n");
  EXPECT_FALSE(ReadGeneralSinkFile(s, 2, ',', path, prompt_));
  EXPECT_EQ(s.Sinks[1][1].ka, CarpetSink().Sinks[1][1].ka);
  // Read under the other separator, the name line holds none: refused as well.
  const std::string tab = Path("tab.SNK");
  ASSERT_TRUE(WriteGeneralSinkFile(s, 2, '\t', tab, prompt_));
  EXPECT_FALSE(ReadGeneralSinkFile(s, 2, ',', tab, prompt_));
  EXPECT_EQ(s.Sinks[1][1].Name, "Carpet");
  EXPECT_EQ(Messages(), 2u);
}

// A file saved for another building shape (more rooms, more sinks) has items left over: it
// is refused and the record keeps its values, so no value lands in another room's cell.
TEST_F(WindowFiles, FilesOfAnotherShapeAreRefused) {
  ScenarioRecord s = TwoPollutants();
  s.InitialConc[1][0] = 7;
  ASSERT_TRUE(WriteInitialIndoorFile(s, 3, Path("three.INT"), prompt_));
  EXPECT_FALSE(ReadInitialIndoorFile(s, 2, Path("three.INT"), prompt_));
  EXPECT_EQ(s.InitialConc[1][0], 7);

  ScenarioRecord two = CarpetSink();
  two.NumSinks[1] = 2;
  two.Sinks[1][2] = two.Sinks[1][1];
  two.Sinks[1][2].Name = "Drapes";
  ASSERT_TRUE(WriteGeneralSinkFile(two, 2, ',', Path("two.SNK"), prompt_));
  ScenarioRecord one = CarpetSink();
  one.Sinks[1][1].Name = "Mine";
  EXPECT_FALSE(ReadGeneralSinkFile(one, 2, ',', Path("two.SNK"), prompt_));
  EXPECT_EQ(one.Sinks[1][1].Name, "Mine");
  ASSERT_EQ(Messages(), 2u);
  EXPECT_EQ(prompt_.shown[1].text.rfind("Error.  The file " + Path("two.SNK") + " ends early", 0),
            0u);
}

TEST_F(WindowFiles, PollutantDiametersRoundTrip) {
  const PerPollutant<float> diameters = {0.1f, 2.5f, 10, 0, 0, 0, 0, 0};
  const std::string path = Path("bins.POL");
  ASSERT_TRUE(WritePollutantFile(diameters, 3, path, prompt_));
  EXPECT_EQ(Bytes(path), " .1 \r\n 2.5 \r\n 10 \r\n");
  PerPollutant<float> back{};
  back[3] = 7;
  ASSERT_TRUE(ReadPollutantFile(back, 3, path, prompt_));
  EXPECT_EQ(back, (PerPollutant<float>{0.1f, 2.5f, 10, 7, 0, 0, 0, 0}));
  // Four pollutants need four lines.
  EXPECT_FALSE(ReadPollutantFile(back, 4, path, prompt_));
  EXPECT_EQ(back[3], 7.0f);
}

TEST_F(WindowFiles, HVACFlowCellsRoundTripInDoublePrecision) {
  const std::vector<double> cells = {0, 0, 0, 100, 90, 1.0 / 3.0, 50.5, -2, 0};
  const std::string path = Path("base.HVA");
  ASSERT_TRUE(WriteHVACFlowFile(cells, 2, path, prompt_));
  EXPECT_EQ(Bytes(path).substr(0, 30), " 0 \r\n 0 \r\n 0 \r\n 100 \r\n 90 \r\n .");
  EXPECT_NE(Bytes(path).find(" .333333333333333 \r\n"), std::string::npos);
  auto back = ReadHVACFlowFile(2, path, prompt_);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 9u);
  EXPECT_EQ((*back)[4], 90.0);
  EXPECT_NEAR((*back)[5], 1.0 / 3.0, 1e-15);
  // The file of a two-room building is too short for three rooms.
  EXPECT_FALSE(ReadHVACFlowFile(3, path, prompt_).has_value());
  // A grid of the wrong size is a fault of the caller: nothing is written.
  EXPECT_FALSE(WriteHVACFlowFile({1, 2}, 2, Path("bad.HVA"), prompt_));
}

TEST_F(WindowFiles, HVACFlowHistoryRoundTrips) {
  ScenarioRecord s;
  for (int t = 1; t <= 50; ++t) {
    s.HVACHistoryTime[t] = t * 0.5f;
    s.HVACHistoryFraction[t] = 1.0f / t;
  }
  const std::string path = Path("h.FHI");
  ASSERT_TRUE(WriteHVACFlowHistoryFile(s, true, false, path, prompt_));
  ScenarioRecord back;
  ASSERT_TRUE(ReadHVACFlowHistoryFile(back, path, prompt_));
  EXPECT_EQ(back.HVACHistoryOutdoorOnly, 1);
  EXPECT_EQ(back.HVACHistoryCycle.str(), "N");
  EXPECT_EQ(back.HVACHistoryTime, s.HVACHistoryTime);
  for (int t = 1; t <= 50; ++t) EXPECT_NEAR(back.HVACHistoryFraction[t], 1.0 / t, 1e-7);

  // A file that stops after 49 points is refused whole.
  std::string bytes = Bytes(path);
  const std::string cut = Write("cut.FHI", bytes.substr(0, bytes.rfind(PairLine(" 25 ", " .02 "))));
  ScenarioRecord untouched;
  EXPECT_FALSE(ReadHVACFlowHistoryFile(untouched, cut, prompt_));
  EXPECT_EQ(untouched.HVACHistoryTime[1], 0.0f);
  EXPECT_EQ(untouched.HVACHistoryCycle.str(), " ");
}

TEST_F(WindowFiles, VentilationReadFillsPointsAndReturnsRows) {
  ScenarioRecord s;
  s.VentTime[3] = 33;
  const std::string path = Write("v.VEN", PairLine(" 0 ", " 2 ") + PairLine(" 5 ", " 1.5 "));
  auto rows = ReadVentilationFile(s, path, prompt_);
  ASSERT_TRUE(rows.has_value());
  EXPECT_EQ(*rows, (std::vector<TimeValue>{{0, 2}, {5, 1.5f}}));
  EXPECT_EQ(s.VentRate[2], 1.5f);
  EXPECT_EQ(s.VentTime[3], 0.0f);  // older points after the file's last are gone

  // A time without its rate.
  ScenarioRecord other;
  const std::string odd = Write("odd.VEN", PairLine(" 1 ", " 2 ") + " 7 \r\n");
  EXPECT_FALSE(ReadVentilationFile(other, odd, prompt_).has_value());
  EXPECT_EQ(other.VentTime[1], 0.0f);

  // Exactly 50 points are read; one more is refused and changes nothing.
  std::string many;
  for (int i = 1; i <= 50; ++i) many += PairLine(" " + std::to_string(i) + " ", " 1 ");
  ASSERT_EQ(ReadVentilationFile(other, Write("fifty.VEN", many), prompt_)->size(), 50u);
  EXPECT_EQ(other.VentTime[50], 50.0f);
  ScenarioRecord untouched;
  const std::string more = Write("many.VEN", many + PairLine(" 51 ", " 1 "));
  EXPECT_FALSE(ReadVentilationFile(untouched, more, prompt_).has_value());
  EXPECT_EQ(prompt_.shown.back().text, "Error.  " + more + " holds more than 50 points.");
  EXPECT_EQ(untouched.VentTime[1], 0.0f);
}

TEST_F(WindowFiles, RiskDataFillsThePollutantAsked) {
  ScenarioRecord s = TwoPollutants();
  s.Pollutants[0].Name = "Formaldehyde";
  s.Pollutants[0].IrritantConc = 0.1f;
  s.Pollutants[0].CancerRisk = 1.3e-5f;
  s.Pollutants[0].Comments = "IRIS, 1991";
  const std::string path = Path("f.RSK");
  ASSERT_TRUE(WriteRiskDataFile(s, path, prompt_));
  EXPECT_EQ(Bytes(path), "Formaldehyde\r\n .1 \r\n 1.3E-05 \r\n\"IRIS, 1991\"\r\n");
  ScenarioRecord back = TwoPollutants();
  ASSERT_TRUE(ReadRiskDataFile(back, 2, path, prompt_));
  EXPECT_EQ(back.Pollutants[2].Name, "Formaldehyde");
  EXPECT_EQ(back.Pollutants[2].IrritantConc, 0.1f);
  EXPECT_EQ(back.Pollutants[2].CancerRisk, 1.3e-5f);
  EXPECT_EQ(back.Pollutants[2].Comments, "IRIS, 1991");
  EXPECT_EQ(back.Pollutants[0].Name, "Toluene");
  EXPECT_FALSE(ReadRiskDataFile(back, 8, path, prompt_));  // no ninth pollutant

  // A double quote inside a text needs no quoting and comes back as it was.
  s.Pollutants[0].Name = "Dust 2\" duct";
  s.Pollutants[0].Comments = "Ashrae \"52.2\"";
  ASSERT_TRUE(WriteRiskDataFile(s, path, prompt_));
  EXPECT_EQ(Bytes(path), "Dust 2\" duct\r\n .1 \r\n 1.3E-05 \r\nAshrae \"52.2\"\r\n");
  ASSERT_TRUE(ReadRiskDataFile(back, 2, path, prompt_));
  EXPECT_EQ(back.Pollutants[2].Name, "Dust 2\" duct");
  EXPECT_EQ(back.Pollutants[2].Comments, "Ashrae \"52.2\"");

  // Empty texts are empty lines and read back empty.
  s.Pollutants[0].Name = "";
  s.Pollutants[0].Comments = "";
  ASSERT_TRUE(WriteRiskDataFile(s, path, prompt_));
  EXPECT_EQ(Bytes(path), "\r\n .1 \r\n 1.3E-05 \r\n\r\n");
  ASSERT_TRUE(ReadRiskDataFile(back, 2, path, prompt_));
  EXPECT_EQ(back.Pollutants[2].Name, "");
  EXPECT_EQ(back.Pollutants[2].Comments, "");
}

TEST_F(WindowFiles, FilterFileRenamesThePollutants) {
  ScenarioRecord s = TwoPollutants();
  s.Pollutants[1].Name = "PM 2.5 fine";
  s.FilterPenetration[0][0] = 0.5f;
  s.FilterPenetration[0][1] = 0.05f;
  const std::string path = Path("hepa.flt");
  ASSERT_TRUE(WriteFilterFile(s, path, prompt_));
  EXPECT_EQ(Bytes(path), "Toluene        .5 \r\nPM 2.5 fine    .05 \r\n");
  ScenarioRecord back;
  back.NumPollutants = 2;
  ASSERT_TRUE(ReadFilterFile(back, path, prompt_));
  EXPECT_EQ(back.Pollutants[0].Name, "Toluene");
  EXPECT_EQ(back.Pollutants[1].Name, "PM 2.5 fine");
  EXPECT_EQ(back.FilterPenetration[0][0], 0.5f);
  EXPECT_EQ(back.FilterPenetration[0][1], 0.05f);
  // A line whose last item is no number is refused, and nothing is renamed.
  ScenarioRecord kept = TwoPollutants();
  EXPECT_FALSE(ReadFilterFile(kept, Write("bad.flt", "Toluene .5\r\nBenzene\r\n"), prompt_));
  EXPECT_EQ(kept.Pollutants[0].Name, "Toluene");
  EXPECT_EQ(kept.FilterPenetration[0][0], 0.0f);
}

TEST_F(WindowFiles, PenetrationFileSetsDiametersAndFactors) {
  ScenarioRecord s = TwoPollutants();
  PerPollutant<float> diameters{};
  const std::string path = Write("p.pen", PairLine(" .3 ", " .9 ") + PairLine(" 2.5 ", " .7 "));
  ASSERT_TRUE(ReadPenetrationFile(s, diameters, path, prompt_));
  EXPECT_EQ(diameters[0], 0.3f);
  EXPECT_EQ(diameters[1], 2.5f);
  EXPECT_EQ(s.BuildingPenetration[0], 0.9f);
  EXPECT_EQ(s.BuildingPenetration[1], 0.7f);
  EXPECT_EQ(Messages(), 0u);
}

}  // namespace
}  // namespace quarn

namespace quarn {
namespace {

// ---- outdoor concentration history ----

class OutdoorConcFile : public testing::FileTest {
 protected:
  bool Read(const std::string& path) { return ReadOutdoorConcentrationFile(s, path, prompt_); }
  ScenarioRecord s = TwoPollutants();
  HistoryPollutant& in = s.OutdoorConcInput;
};

TEST_F(OutdoorConcFile, FiftyLinesOfTimeAndValuesJoinedByTheSeparator) {
  in[1] = {0.015f, 3};
  for (const char separator : {',', '\t'}) {
    ASSERT_TRUE(WriteOutdoorConcentrationFile(s, separator, Path("h.OUT"), prompt_));
    const std::string j(1, separator);
    const std::string bytes = Bytes(Path("h.OUT"));
    EXPECT_EQ(bytes.substr(0, 16), " 0 " + j + " .015 " + j + " 3 \r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 50);
  }
}

TEST_F(OutdoorConcFile, PointsEndAtTheFirstZeroTimeOrTheFileEnd) {
  for (int t = 1; t <= 50; ++t) s.OutdoorConcTime[t] = static_cast<float>(t);
  in[7] = {0.25f, -3};
  ASSERT_TRUE(WriteOutdoorConcentrationFile(s, '\t', Path("h.OUT"), prompt_));
  const HistoryPollutant written = in;
  in = {};
  ASSERT_TRUE(Read(Path("h.OUT")));
  EXPECT_EQ(in, written);
  EXPECT_EQ(s.OutdoorConcTime[50], 50);
  EXPECT_EQ(s.NumOutdoorConcPoints, 50);

  // Cut from 50 points to 2: the old points do not come back.
  ASSERT_TRUE(Read(Write("two.OUT", " 0 , 1 , 2 \r\n 1 , 3 , 4 \r\n 0 , 0 , 0 \r\n")));
  EXPECT_EQ(s.NumOutdoorConcPoints, 2);
  EXPECT_EQ(in[2][1], 4);
  EXPECT_EQ(s.OutdoorConcTime[3], 0);
  EXPECT_EQ(in[7][1], 0);
  // Written by hand: commas, blanks and tabs, three lines.
  ASSERT_TRUE(Read(Write("hand.OUT", "0,1 7\n1\t2,8\n2,3,9\n")));
  EXPECT_EQ(s.NumOutdoorConcPoints, 3);
  EXPECT_EQ(in[3][1], 9);
}

TEST_F(OutdoorConcFile, ALineMissingAValueOrANumberChangesNothing) {
  s.OutdoorConcTime[2] = 5;
  s.NumOutdoorConcPoints = 2;
  for (const char* bytes : {"0,1,2\r\n1,3\r\n", "0,1,x\r\n", ""}) {
    EXPECT_FALSE(Read(Write("bad.OUT", bytes))) << bytes;
    EXPECT_EQ(s.OutdoorConcTime[2], 5);
    EXPECT_EQ(s.NumOutdoorConcPoints, 2);
    EXPECT_EQ(in[1][0], 0);
  }
  ASSERT_EQ(Messages(), 3u);
  EXPECT_NE(prompt_.shown[0].text.find("on line 2"), std::string::npos);
}

// A history of 72 hours would run cut at hour 49 without a word: it is refused.
TEST_F(OutdoorConcFile, MoreThanFiftyPointsAreRefused) {
  std::string bytes;
  for (int t = 0; t < 72; ++t) bytes += std::to_string(t) + ",1,2\r\n";
  s.NumOutdoorConcPoints = 2;
  EXPECT_FALSE(Read(Write("long.OUT", bytes)));
  EXPECT_EQ(s.NumOutdoorConcPoints, 2);
  ASSERT_EQ(Messages(), 1u);
  EXPECT_EQ(prompt_.shown[0].text, "Error.  " + Path("long.OUT") + " holds more than 50 points.");
}

}  // namespace
}  // namespace quarn
