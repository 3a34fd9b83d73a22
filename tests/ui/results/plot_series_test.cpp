// The plot series on work files written here: every record drawn from time 0, thinning that
// keeps every extreme, floor, titles, and every way a plot refuses.

#include <QGuiApplication>
#include <cmath>
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
  // Record k (from 1) is at time k * step; its value for room r and pollutant p is conc(k, r, p).
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
      AppendWorkRecord(text, static_cast<float>(k * step), values, ',');
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

  // The drawn values of set `set`.
  Times Values(int set) const {
    Times values;
    for (const GraphPoint& p : graph.sets.at(static_cast<size_t>(set - 1)).points) {
      if (!p.missing) values.push_back(p.y);
    }
    return values;
  }

  double step = 1;
  ProgramState state;
  GraphData graph;
};

TEST_F(PlotSeriesTest, ShortRunsDrawEveryRecordFromTimeZeroUpToAPeakAtTheEnd) {
  Rooms(2, 2);
  state.Building.Scenario.InitialConc[1][0] = 7.0f;
  WriteConc(10);  // every value grows to its peak at the last record
  EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1), (Times{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(Values(1).front(), 7.0);  // the room's initial concentration
  EXPECT_EQ(Values(2).back(), 210.0);
  EXPECT_FALSE(PlotConcentrationAllPollutants(state, prompt_, graph, 2));
  EXPECT_EQ(Drawn(2).size(), 11u);
  EXPECT_EQ(Values(2).back(), 220.0);

  WriteConc(1);
  EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1), (Times{0, 1}));
  EXPECT_EQ(Values(2), (Times{0.001f, 201}));
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PlotSeriesTest, AYearRunReachesItsEndAndEveryDailyPeakKeepsItsHeight) {
  // Every quarter hour for a year; each day peaks at 0.397 at 14 h.
  step = 0.25;
  auto daily = [](double t) {
    const double hour = std::fmod(t, 24.0);
    return static_cast<float>(std::max(0.05, 0.397 - 0.05 * std::abs(hour - 14)));
  };
  WriteConc(35040, [&](int k, int, int) { return daily(k * 0.25); });
  EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
  const Times x = Drawn(1), y = Values(1);
  EXPECT_LT(x.size(), 4100u);
  EXPECT_EQ(x.front(), 0);
  EXPECT_EQ(x.back(), 8760);
  std::vector<double> peaks(365, 0);
  for (size_t i = 0; i < x.size(); ++i) {
    const auto day = std::min<size_t>(static_cast<size_t>(x[i] / 24), 364);
    peaks[day] = std::max(peaks[day], y[i]);
  }
  for (size_t day = 0; day < 365; ++day) ASSERT_EQ(peaks[day], 0.397f) << day;

  // Instantaneous exposure of the same year.
  state.ExposureCalculated = true;
  Occupant(1, 35041, ',', [](int k) { return static_cast<float>((k - 1) * 0.25); });
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1).back(), 8760);
  EXPECT_EQ(Values(1).back(), 350410.0);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PlotSeriesTest, ValuesAtOrBelowTheFloorAreDrawnOnItAndTheFloorStaysRaised) {
  const std::vector<float> values{0.0f, 0.0005f, 0.002f, 5.0f};
  WriteConc(4, [&](int k, int, int) { return values[static_cast<size_t>(k - 1)]; });
  EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 0));
  EXPECT_EQ(state.ConcentrationFloor, 0.001f);
  const double floor = 0.001f;
  EXPECT_EQ(Values(1), (Times{floor, floor, floor, 0.002f, 5.0}));
}

TEST_F(PlotSeriesTest, LegendsAndTitlesFollowTheSetsAndTheUnits) {
  Rooms(3, 2);
  state.Building.Scenario.Pollutants[1].Name = "VOC1";
  WriteConc(3);
  state.Building.RoomList[3].Name = "Kitchen";
  const char* const titles[][2] = {{"milligrams", "Concentration (mg/m\xB3)"},
                                   {"micrograms", "Concentration (\xB5g/m\xB3)"},
                                   {"number", "Concentration (#/cc)"},
                                   {"ppm", "Concentration (ppm)"}};
  for (const auto& [units, left_title] : titles) {
    state.Building.Scenario.ConcUnits = units;
    graph = GraphData{};
    graph.left_title = "as before";
    graph.x_axis.ticks = 4;
    EXPECT_FALSE(PlotConcentrationAllRooms(state, prompt_, graph, 1));
    EXPECT_EQ(graph.left_title, left_title);
    EXPECT_EQ(graph.bottom_title + "|" + graph.title, "Time (hrs)|Concentration vs time");
    EXPECT_EQ(graph.sets.at(1).legend + "|" + graph.sets.at(2).legend, "Room 2|Kitchen");
    for (const GraphAxis& axis : {graph.x_axis, graph.y_axis}) {
      EXPECT_TRUE(axis.automatic && axis.ticks == 10) << units;
    }
  }
  EXPECT_FALSE(PlotConcentrationAllPollutants(state, prompt_, graph, 3));
  EXPECT_EQ(graph.sets.at(1).legend, "Pollutant VOC1");
}

TEST_F(PlotSeriesTest, ExposurePlotsDrawEveryLineWithUnitsAndBreakWhereTimeGoesBack) {
  state.Building.Scenario.ConcUnits = "ppm";
  Occupant(1, 10);
  Occupant(2, 24);
  EXPECT_FALSE(PlotCumulativeExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(1).size(), 10u);
  EXPECT_EQ(Drawn(2).back(), 24.0);
  EXPECT_EQ(graph.Point(2, 1).style, 1);
  EXPECT_EQ(graph.sets[1].legend, "Person 2");
  EXPECT_EQ(graph.left_title + "|" + graph.bottom_title,
            "Cumulative exposure (ppm\xB7h)|Time (hrs)");

  state.ExposureCalculated = true;
  state.Building.Scenario.ExposureMode = "I";
  Occupant(2, 16, ',', [](int k) { return k == 11 ? 2.0f : static_cast<float>(k); });
  EXPECT_FALSE(PlotInstantExposure(state, prompt_, graph, 0));
  EXPECT_EQ(Drawn(2), (Times{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 2, 12, 13, 14, 15, 16}));
  EXPECT_TRUE(graph.Point(2, 11).missing);
  EXPECT_EQ(graph.Point(2, 11).x, 10.0);
  // Inhaled ppm has no mass without a molecular weight: it is breathed volume times ppm.
  EXPECT_EQ(graph.left_title, "Instantaneous exposure (ppm\xB7m\xB3/h)");
  EXPECT_EQ(graph.title, " Instantaneous Exposure");
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PlotSeriesTest, AFailedPlotSaysWhyRaisesTheFlagAndRestoresThePointer) {
  Rooms(2, 1);
  WriteConc(3);
  const std::string two_rooms = state.Building.ConcWorkFile;
  state.ExposureCalculated = true;
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
      {[&] {
         state.ExposureCalculated = false;
         return PlotInstantExposure(state, prompt_, graph, 0);
       },
       "Exposure not calculated|Error"},
      {[&] {
         occupant.CumExposureFile = Write("empty.CMP", "");
         return PlotCumulativeExposure(state, prompt_, graph, 0);
       },
       "Error.  No occupant's exposure file holds a point to plot.|Error"},
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
