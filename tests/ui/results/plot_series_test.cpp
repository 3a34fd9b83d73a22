// The plot series on work files written here: thinning, floor, titles, the exposure
// line counters, and every way a plot refuses.

#include <QGuiApplication>
#include <functional>

#include "files/file_fixture.h"
#include "model/program_state.h"
#include "model/work_file.h"
#include "text/number_text.h"
#include "ui/results/plot_series.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

using Times = std::vector<double>;

class PlotSeriesTest : public testing::FileTest {
 protected:
  PlotSeriesTest() {
    state.ConcentrationFloor = 0.0001f;
    Rooms(1, 1);
  }
  void Rooms(int rooms, int pollutants) {
    state.Building.NumRooms = static_cast<int16_t>(rooms);
    state.Building.Scenario.NumPollutants = static_cast<int16_t>(pollutants);
  }
  // Record k (from 1) is at time k; its value for room r and pollutant p is conc(k, r, p).
  void WriteConc(int records, const std::function<float(int, int, int)>& conc) {
    const int rooms = state.Building.NumRooms;
    const int pollutants = state.Building.Scenario.NumPollutants;
    std::string text;
    std::vector<float> values;
    for (int k = 1; k <= records; ++k) {
      values.clear();
      for (int r = 0; r <= rooms; ++r) {
        for (int p = 0; p < pollutants; ++p) values.push_back(conc(k, r, p));
      }
      AppendWorkRecord(text, static_cast<float>(k), values, ',');
    }
    AppendWorkFileEnd(text);
    state.Building.ConcWorkFile = Write("RunSEN.TMP", text);
  }
  void WriteConc(int records) {
    WriteConc(records,
              [](int k, int r, int p) { return static_cast<float>(100 * r + 10 * p + k); });
  }
  // Line k (from 1) holds the time `time(k)` (k unless given) and the value 10 k.
  OccupantRecord& Occupant(int o, int lines, char separator = ',',
                           const std::function<float(int)>& time = {}) {
    std::string text;
    for (int k = 1; k <= lines; ++k) {
      text += FileSingle(time ? time(k) : static_cast<float>(k)) + separator;
      text += FileSingle(10.0f * static_cast<float>(k)) + separator + "\r\n";
    }
    ScenarioRecord& s = state.Building.Scenario;
    s.NumOccupants = std::max<int16_t>(s.NumOccupants, static_cast<int16_t>(o));
    OccupantRecord& occupant = s.Occupants[static_cast<size_t>(o)];
    occupant.Name = "Person " + std::to_string(o);
    occupant.InstExposureFile = occupant.CumExposureFile =
        Write("A" + std::to_string(o) + (separator == ',' ? ".EMP" : "tab.EMP"), text);
    return occupant;
  }
  // The x positions of the drawn points of set `set`.
  Times Drawn(int set) const {
    Times times;
    for (const GraphPoint& p : graph.sets.at(static_cast<size_t>(set - 1)).points) {
      if (!p.missing) times.push_back(p.x);
    }
    return times;
  }

  ProgramState state;
  GraphData graph;
};

TEST_F(PlotSeriesTest, ConcentrationSeriesAreThinnedByTheRecordCount) {
  WriteConc(10);
  int32_t count = 0;
  EXPECT_FALSE(CountConcentrationRecords(state.Building.ConcWorkFile, ',', 1, 1, count));
  EXPECT_EQ(count, 10);

  // The pollutant series keeps one record in (records \ 2000) + 1.
  const int thinning[][3] = {{1999, 1, 1998}, {2000, 2, 999}, {4000, 3, 1333}, {40000, 21, 1904}};
  for (const auto& [records, period, plotted] : thinning) {
    SCOPED_TRACE(records);
    WriteConc(records);
    ConcentrationSeries series;
    ASSERT_FALSE(ReadPollutantSeries(state.Building, ',', 0, series));
    ASSERT_EQ(series.Count(), 1 + (records - 1) / period);
    for (int j = 0; j < series.Count(); ++j) ASSERT_EQ(series.times[j], 1 + j * period);
    EXPECT_EQ(series.values[1][1], 101 + period);
    EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
    EXPECT_EQ(Drawn(1).size(), static_cast<size_t>(plotted));
  }

  // The room series keeps one in (records \ 2000) + 2, even of a short file.
  Rooms(2, 2);
  WriteConc(10);
  EXPECT_FALSE(PlotConcentrationAllPollutants(state, prompt_, graph, 2));
  EXPECT_EQ(Drawn(2), (Times{1, 3, 5, 7}));
  EXPECT_EQ(graph.Point(2, 4).y, 217.0);
}

TEST_F(PlotSeriesTest, ValuesAtOrBelowTheFloorAreDrawnOnItAndTheFloorStaysRaised) {
  const std::vector<float> values{0.0f, 0.0005f, 0.002f, 5.0f};
  WriteConc(4, [&](int k, int, int) { return values[static_cast<size_t>(k - 1)]; });
  EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
  EXPECT_EQ(state.ConcentrationFloor, 0.001f);
  const double floor = 0.001f;
  EXPECT_EQ(graph.Point(1, 1).y, floor);
  EXPECT_EQ(graph.Point(1, 2).y, floor);
  EXPECT_EQ(graph.Point(1, 3).y, static_cast<double>(0.002f));
  EXPECT_EQ(graph.y_axis.maximum, 5.0);  // the last record counts, though it is not drawn

  // Print all graphs raises it too, and shows its message without reading a file.
  Rooms(3, 1);
  state.ConcentrationFloor = 0.0001f;
  state.Building.ConcWorkFile = Path("none.TMP");
  EXPECT_FALSE(PrintAllPlots(state, prompt_, graph));
  EXPECT_EQ(state.ConcentrationFloor, 0.001f);
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text, "Not implemented in this version. ");
  EXPECT_EQ(prompt_.shown[0].title, "");
  EXPECT_EQ(graph.NumSets(), 5);
  EXPECT_TRUE(Drawn(1).empty());
}

TEST_F(PlotSeriesTest, LegendsAndTitlesFollowTheSetsAndTheUnits) {
  Rooms(3, 2);
  state.Building.Scenario.Pollutants[1].Name = "VOC1";
  WriteConc(3);
  const char* const titles[][2] = {{"milligrams", "Concentration (mg/m\xB3)"},
                                   {"micrograms", "Concentration (\xB5g/m\xB3)"},
                                   {"number", "Concentration (#/cc)"},
                                   {"ppm", "as before"}};
  for (const auto& [units, left_title] : titles) {
    state.Building.Scenario.ConcUnits = units;
    graph = GraphData{};
    graph.left_title = "as before";
    graph.x_axis.ticks = 4;
    EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 1));
    EXPECT_EQ(graph.left_title, left_title);
    EXPECT_EQ(graph.bottom_title + "|" + graph.title, "Time (hrs)|Concentration vs time");
    EXPECT_EQ(graph.sets.at(2).legend, "Room 3");
    for (const GraphAxis& axis : {graph.x_axis, graph.y_axis}) {
      EXPECT_TRUE(axis.automatic && axis.ticks == 10) << units;
    }
  }
  EXPECT_FALSE(PlotConcentrationAllPollutants(state, prompt_, graph, 3));
  EXPECT_EQ(graph.sets.at(1).legend, "Pollutant VOC1");
}

TEST_F(PlotSeriesTest, CumulativeLineCounterRunsOnAcrossTheOccupants) {
  Occupant(1, 10);
  Occupant(2, 10);
  EXPECT_FALSE(PlotCumulativeExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1), (Times{1, 6}));
  EXPECT_EQ(Drawn(2), (Times{2, 8}));
  EXPECT_EQ(graph.Point(2, 2).y, 80.0);
  EXPECT_EQ(graph.sets[1].points.size(), 1267u);
  EXPECT_EQ(graph.Point(2, 1267).style, 1);
  EXPECT_EQ(graph.sets[1].legend, "Person 2");
  EXPECT_EQ(graph.bottom_title, "Time (hrs)");
  EXPECT_EQ(graph.x_axis.maximum, 10.0);  // every line read counts, kept or not

  // 8,000 lines overflow the first occupant; the second is still read.
  state.Building.Scenario.ExposureMode = "I";
  graph.bottom_title = "as before";
  Occupant(1, 8000);
  EXPECT_FALSE(PlotCumulativeExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1).size(), 1266u);
  EXPECT_EQ(Drawn(2), (Times{6}));
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text + prompt_.shown[0].title, "Too many data points. Warning");
  EXPECT_EQ(graph.title, "Cumulative Inhalation Exposure");
  EXPECT_EQ(graph.bottom_title, "as before");
}

TEST_F(PlotSeriesTest, InstantKeepsEveryFifthLineAndBreaksWhereTimeGoesBack) {
  state.ExposureCalculated = kTrue;
  auto back_at_11 = [](int k) { return k == 11 ? 2.0f : static_cast<float>(k); };
  Occupant(1, 12);
  Occupant(2, 16, ',', back_at_11);
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1), (Times{1, 6, 11}));
  EXPECT_EQ(Drawn(2), (Times{1, 6, 16}));
  EXPECT_TRUE(graph.Point(2, 3).missing);
  EXPECT_EQ(graph.Point(2, 3).x, 6.0);
  EXPECT_EQ(graph.title, "Instantaneous Exposure");

  const GraphData comma = graph;
  state.DataSeparator = '\t';
  Occupant(1, 12, '\t');
  Occupant(2, 16, '\t', back_at_11);
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(graph, comma);

  // Lines follow the 3,000th point (line 14,996).
  Occupant(1, 15000);
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1).size(), 3000u);
  EXPECT_EQ(prompt_.Count("message"), 1u);

  state.ExposureCalculated = kFalse;
  state.Building.Scenario.ExposureMode = "I";
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(graph.sets[1].points.size(), 2u);
  EXPECT_TRUE(Drawn(1).empty() && Drawn(2).empty());
  EXPECT_EQ(graph.title, " Instantaneous Exposure");
}

TEST_F(PlotSeriesTest, AFailedPlotSaysWhyRaisesTheFlagAndRestoresThePointer) {
  Rooms(2, 1);
  WriteConc(3);
  const std::string two_rooms = state.Building.ConcWorkFile;
  state.ExposureCalculated = kTrue;
  OccupantRecord& occupant = Occupant(1, 0);
  occupant.CumExposureFile = Path("missing.CMP");
  occupant.InstExposureFile = Write("A01.EMP", " 0 , .5 ,\r\n 1 , high ,\r\n");
  const struct {
    std::function<bool()> plot;
    std::string message;
  } cases[] = {
      {[&] {
         state.Building.ConcWorkFile = Path("none.TMP");
         return PlotConcentrationAllRooms(state, prompt_, graph, 0);
       },
       "Error.  Concentration not calculated.|Error."},
      {[&] {
         state.Building.ConcWorkFile = two_rooms;
         Rooms(3, 1);
         return PlotConcentrationAllPollutants(state, prompt_, graph, 1);
       },
       "Error.  The concentration file " + two_rooms +
           " cannot be read.  Line 1 of the concentration file holds 4 numbers instead of "
           "5.|Error"},
      {[&] { return PlotCumulativeExposure(state, prompt_, graph, 0); },
       "Exposure not calculated|Error"},
      {[&] { return PlotInstantExposure(state, prompt_, graph, 0); }, "Error 13|Error"},
      {[&] { return PlotInstantExposure(state, prompt_, graph, 1); }, "Error 9|Error"},
  };
  for (const auto& c : cases) {
    prompt_.shown.clear();
    EXPECT_TRUE(c.plot());
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].text + "|" + prompt_.shown[0].title, c.message);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(graph, GraphData{});
  }
}

}  // namespace
}  // namespace quarn
