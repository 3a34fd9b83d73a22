#include "ui/grids/input_reports.h"

#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "files/scenario_file.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "text/number_text.h"
#include "ui/common/print_frame.h"
#include "ui/grids/scenario_grid.h"

namespace quarn {
namespace {

// Texts are Windows-1252 bytes.
constexpr const char* kMicro = "\xB5";
constexpr const char* kCubed = "\xB3";

const RoomRecord& Room(const BuildingRecord& b, int i) {
  return b.RoomList[static_cast<size_t>(i)];
}

bool AreNeighbors(const BuildingRecord& b, int i, int j) {
  return j != i && b.Neighbors[static_cast<size_t>(i)][static_cast<size_t>(j)] != kFalse;
}

// A number as a print item shows it: a blank or "-", the number, one blank (" 2.5 ").
std::string Num(float value) {
  return FileSingle(value);
}
std::string Num(int value) {
  return FileSingle(static_cast<float>(value));
}
// A number turned into text: its sign position and the digits (" 1").
std::string Str(int value) {
  return SignSingle(static_cast<float>(value));
}

// The entries of a list in use: entry 1, and each further one up to the first after it
// whose time is 0, at most the list's last entry.
template <size_t N>
int EntriesInUse(const std::array<float, N>& times) {
  int k = 1;
  while (k + 1 < static_cast<int>(N) && times[static_cast<size_t>(k + 1)] != 0) ++k;
  return k;
}

// The lines of a section on the current page, counted as the page fills, and the page
// break when the count passes the lines per page (less a margin of the line or block).
class Section {
 public:
  Section(PrintJob& job, const BuildingRecord& building, int& line_count, int lines_per_page)
      : job_(job),
        heading_("Data for scenario " + building.Scenario.Name),
        count_(line_count),
        lines_(std::min(lines_per_page, job.LinesPerPage() - 2)) {}

  // An item at a column; past it, the item goes on a line of its own, which counts too.
  Section& Tab(int column, std::string_view item) {
    const size_t at = static_cast<size_t>(std::max(column, 1) - 1);
    if (width_ > at) {
      ++overflow_;
      width_ = 0;
    }
    width_ = std::max(width_, at) + item.size();
    job_.Tab(column, item);
    return *this;
  }
  // An item straight after the last one.
  Section& Then(std::string_view item) {
    width_ += item.size();
    job_.Item(item);
    return *this;
  }
  // Ends the line (an empty line when it holds nothing), counts it and checks the page.
  void Line(int margin = 0) {
    job_.EndLine();
    count_ += 1 + overflow_;
    overflow_ = 0;
    width_ = 0;
    if (count_ > lines_ - margin) Break();
  }
  // Counts lines the section reckons beyond those it printed.
  void Add(int lines) { count_ += lines; }
  // Starts a new page when fewer than `margin` lines are left for the block that follows.
  void Entry(int margin) {
    if (count_ > lines_ - margin) Break();
  }

 private:
  void Break() {
    PrintPageBreak(job_, heading_);
    count_ = 0;
  }

  PrintJob& job_;
  std::string heading_;
  int& count_;
  int lines_;
  size_t width_ = 0;
  int overflow_ = 0;
};

void HistoryHeading(Section& out) {
  out.Tab(10, "Time ").Tab(20, "Fraction of base flow ").Line();
}

void HistoryList(Section& out, const History& times, const History& values) {
  const int last = EntriesInUse(times);
  for (size_t k = 1; k <= static_cast<size_t>(last); ++k) {
    out.Tab(10, Num(times[k])).Tab(20, Num(values[k])).Line();
  }
}

// The HVAC flow history under its title, or a line that the flows are constant.
void HVACHistory(Section& out, const ScenarioRecord& s) {
  if (s.ConstantHVAC.str() != "Y") {
    out.Tab(20, "Changes in HVAC Flow ").Line();
    HistoryHeading(out);
    HistoryList(out, s.HVACHistoryTime, s.HVACHistoryFraction);
  } else {
    out.Tab(10, "No changes in HVAC Flows ").Line();
  }
}

void PollutantTable(Section& out, const ScenarioRecord& s) {
  // The class decides in capitals here, as the building window's unit commands do.
  const bool particles = scenario_io::IsParticleClass(s.PollutantClass);
  if (particles) {
    out.Tab(8, std::string("Diameter ") + kMicro + "m").Tab(25, "Density g/cc").Tab(40, "Pt");
  } else {
    out.Tab(8, "Name").Tab(23, "MW g/mol").Tab(36, std::string("C0 mg/m") + kCubed);
    out.Tab(48, "Diffusivity").Tab(60, "Pt");
  }
  out.Line();
  for (size_t p = 0; p < static_cast<size_t>(PollutantCount(s)); ++p) {
    const PollutantRecord& pol = s.Pollutants[p];
    out.Tab(8, pol.Name);
    if (particles) {
      out.Tab(25, FormatPattern(pol.Density, "##.###"));
      out.Tab(40, FormatPattern(s.BuildingPenetration[p], "##.### %"));
    } else {
      out.Tab(23, FormatPattern(pol.MolWt, "###.##"));
      out.Tab(36, FormatPattern(pol.C0, "##,####.##"));
      out.Tab(48, FormatPattern(pol.Diffusivity, "##.###"));
      out.Tab(60, FormatPattern(s.BuildingPenetration[p], "##.### %"));
    }
    out.Line();
  }
}

void AirCleaner(Section& out, const ScenarioRecord& s) {
  out.Tab(20, " HVAC Information ").Line();
  out.Tab(30, "Air cleaner information ").Line();
  out.Tab(10, "Air cleaner capacity " + FormatPattern(s.FilterCapacity, "####,##.## mg")).Line();
  out.Tab(10, "Pollutant").Tab(30, "Efficiency %").Line();
  for (size_t p = 0; p < static_cast<size_t>(PollutantCount(s)); ++p) {
    out.Tab(10, s.Pollutants[p].Name);
    out.Tab(30, FormatPattern(1.0F - s.FilterPenetration[0][p], "###.## %")).Line();
  }
}

void BaseHVACFlows(Section& out, const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  out.Tab(20, "Base air flows ").Line();
  out.Tab(10, "Room # ").Tab(20, "Room Name").Tab(35, "Supply ").Tab(45, "Return ");
  out.Tab(55, "Exhaust").Line();
  // The system's own exchange with outdoors, as the HVAC flow grid shows it.
  out.Tab(10, Num(0)).Tab(20, "Outdoors ").Tab(35, Num(s.HVACOutdoorAirTotal));
  out.Tab(45, Num(s.HVACMakeUpTotal)).Tab(55, Num(s.HVACExhaust[0])).Line();
  for (int i = 1; i <= RoomCount(b); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, Num(i)).Tab(20, Room(b, i).Name).Tab(35, Num(s.HVACSupply[r]));
    out.Tab(45, Num(s.HVACReturn[r])).Tab(55, Num(s.HVACExhaust[r])).Line();
  }
  out.Line();
  out.Line();
}

void HVACRoomToRoom(Section& out, const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  out.Tab(20, "Room-to-room HVAC Air flows ").Line();
  for (int i = 1; i <= RoomCount(b); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, "Flows for room ").Then(Str(i)).Then("  ").Then(Room(b, i).Name).Line();
    out.Tab(10, "Room ID ").Tab(30, "Entering from").Tab(45, "Leaving to ").Line();
    out.Tab(10, "HVAC ").Tab(30, Num(s.HVACSupply[r])).Tab(45, Num(s.HVACReturn[r])).Line();
    out.Tab(10, "Outdoors ").Tab(30, Num(s.HVACOutdoorAir[r]));
    out.Tab(45, Num(s.HVACExhaust[r])).Line();
    for (int j = 1; j <= RoomCount(b); ++j) {
      if (!AreNeighbors(b, i, j)) continue;
      const auto o = static_cast<size_t>(j);
      out.Tab(10, Room(b, j).Name).Tab(30, Num(s.HVACRoomFlows[o][r]));
      out.Tab(45, Num(s.HVACRoomFlows[r][o])).Line();
    }
    out.Line();
  }
}

void NaturalOutdoorHeading(Section& out) {
  out.Tab(20, "Natural Air Flows ").Line();
  out.Tab(10, "Outdoor Air flows ").Line();
  out.Tab(10, "Room #").Tab(20, "Room ID ").Tab(40, "Flow into room").Tab(60, "Flow out of room");
  out.Line();
}

const char* ModelName(int model) {
  static constexpr const char* kNames[] = {"Mass xfer", "R0k",    "Paint1",       "Paint2",
                                           "R/T",       "Shower", "Polynominial", "VBX",
                                           "Spill",     "Spill",  "Spill"};
  return model >= 0 && model < static_cast<int>(std::size(kNames)) ? kNames[model] : nullptr;
}

void SourceRoomLine(Section& out, const BuildingRecord& b, int i) {
  out.Tab(10, "Source information for room #").Then(Num(i)).Then(" ").Then(Room(b, i).Name);
  out.Line();
}

void SourceParameters(Section& out, const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  static constexpr int kParamColumns[] = {45, 55, 65, 75, 85, 95, 100};
  for (int i = 1; i <= RoomCount(b); ++i) {
    if (SourceSlotCount(s, i) == 0) continue;
    out.Entry(15);
    SourceRoomLine(out, b, i);
    out.Tab(10, "Source ID").Tab(25, "Model").Tab(35, "Size");
    for (size_t k = 0; k < std::size(kParamColumns); ++k) {
      out.Tab(kParamColumns[k], "P" + std::to_string(k + 1));
    }
    out.Line();
    for (int slot = 1; slot <= SourceSlotCount(s, i); ++slot) {
      const SourceRecord& src = s.Sources[static_cast<size_t>(i)][static_cast<size_t>(slot)];
      const char* model = ModelName(src.Model);
      out.Tab(10, src.Name).Tab(25, model != nullptr ? model : Num(src.Model));
      out.Tab(35, Num(src.Size)).Line(2);
      for (size_t p = 0; p < static_cast<size_t>(PollutantCount(s)); ++p) {
        out.Tab(10, s.Pollutants[p].Name);
        for (size_t k = 0; k < std::size(kParamColumns); ++k) {
          out.Tab(kParamColumns[k], Num(src.Params[k][p]));
        }
        out.Line(2);
      }
    }
  }
}

void SourceCycles(Section& out, const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  out.Tab(10, "On off behavior of sources by room ").Line();
  for (int i = 1; i <= RoomCount(b); ++i) {
    if (SourceSlotCount(s, i) == 0) continue;
    out.Entry(15);
    SourceRoomLine(out, b, i);
    out.Tab(10, "Source ID").Tab(25, "# Cycles");
    for (int k = 0; k < 6; ++k) out.Tab(35 + 10 * k, k % 2 == 0 ? "On" : "Off");
    out.Tab(95, "On  Off").Line();
    for (int slot = 1; slot <= SourceSlotCount(s, i); ++slot) {
      const SourceRecord& src = s.Sources[static_cast<size_t>(i)][static_cast<size_t>(slot)];
      out.Tab(10, src.Name).Tab(25, Num(src.NumCycles));
      for (size_t c = 1; c <= 4; ++c) {
        out.Tab(static_cast<int>(15 + 20 * c), Num(src.TimeOn[c]));
        out.Tab(static_cast<int>(25 + 20 * c), Num(src.TimeOff[c]));
      }
      out.Line(2);
    }
  }
}

void PrintScenarioReport(PrintJob& job, const BuildingRecord& building, bool full) {
  // The grid is filled from a copy: its fill turns a pollutant count of 0 into 1, and the
  // sections print what the grid shows.
  const auto shown = std::make_unique<BuildingRecord>(building);
  QWidget holder;  // never shown, so neither is the grid that the fill makes visible in it
  auto* grid = new FlexGrid(&holder);
  FillGeneralScenarioGrid(*grid, *shown);
  const int lines = job.LinesPerPage();
  PrintGrid(job, *grid, "Scenario data ", false);
  job.EndLine();
  // The title, the rows and the empty line are on the page already.
  int count = grid->Rows() + 2;
  PrintPollutantsAndHVAC(job, *shown, count, lines);
  PrintNaturalFlows(job, *shown, count, lines);
  if (full) PrintVariableNaturalFlow(job, *shown, count, lines);
  PrintRoomSummary(job, *shown, count, lines);
  PrintSourceData(job, *shown, count, lines);
  PrintSinkData(job, *shown, count, lines);
  if (full) PrintOccupants(job, *shown, count, lines);
  job.EndDocument();
}

}  // namespace

void PrintBuildingData(PrintJob& job, const BuildingRecord& building) {
  const DateTime now = job.Now();
  job.Tab(15, "Building information  Date " + DateText(now) + " Time  " + TimeText(now));
  job.EndLine();
  job.EndLine();
  job.EndLine();
  // The rooms' own volumes: the total that a run stores is not there before the first run.
  float volume = 0;
  for (int i = 1; i <= RoomCount(building); ++i) volume += Room(building, i).Volume;
  auto item = [&job](const char* label, const std::string& value) {
    job.Tab(15, label);
    job.Tab(30, value);
    job.EndLine();
  };
  item("Building Name: ", building.ID);
  item("Comments:", building.Comments);
  item("Building Volume: ", Num(volume));
  item("Number of rooms: ", Num(building.NumRooms));
  item("Master file", building.MasterFile);
  job.Tab(15, "Room Information ");
  job.EndLine();
  job.EndLine();
  PrintRoomData(job, building);
}

void PrintRoomData(PrintJob& job, const BuildingRecord& building) {
  job.EndLine();
  const char* length = "#,###.##### m";
  for (int i = 1; i <= RoomCount(building); ++i) {
    const RoomRecord& r = Room(building, i);
    job.Tab(10, "Data for room Number " + Str(i) + "  Room ID " + r.Name);
    job.EndLine();
    job.Tab(10, "Length " + FormatPattern(r.Length, length) + " Width " +
                    FormatPattern(r.Width, length) + " Height " + FormatPattern(r.Height, length) +
                    " Volume " + FormatPattern(r.Volume, std::string("#,####.#### m") + kCubed) +
                    " Number of neigbors " + Str(r.NumNeighbors));
    job.EndLine();
    job.Tab(30, "List of Neighbors");
    job.EndLine();
    std::string list;
    for (int j = 1; j <= RoomCount(building); ++j) {
      if (AreNeighbors(building, i, j)) list += Room(building, j).Name + ", ";
    }
    job.Tab(15, r.NumNeighbors != 0 ? list : "No neighbors");
    job.EndLine();
    job.EndLine();
  }
  job.EndDocument();
}

void PrintScenarioSummary(PrintJob& job, const BuildingRecord& building) {
  PrintScenarioReport(job, building, false);
}

void PrintScenarioData(PrintJob& job, const BuildingRecord& building) {
  PrintScenarioReport(job, building, true);
}

void PrintPollutantsAndHVAC(PrintJob& job, const BuildingRecord& building, int& line_count,
                            int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Tab(20, " Pollutant information").Line();
  PollutantTable(out, s);
  AirCleaner(out, s);
  BaseHVACFlows(out, building);
  HVACRoomToRoom(out, building);
  HVACHistory(out, s);
}

void PrintNaturalFlows(PrintJob& job, const BuildingRecord& building, int& line_count,
                       int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Entry(10);
  NaturalOutdoorHeading(out);
  for (int i = 1; i <= RoomCount(building); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, Num(i)).Tab(20, Room(building, i).Name).Tab(40, Num(s.NaturalFromOutdoors[r]));
    out.Tab(60, Num(s.NaturalToOutdoors[r])).Line();
  }
  out.Tab(20, "Room-to-room natural flows").Line();
  for (int i = 1; i <= RoomCount(building); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, "Flows for room ").Then(Str(i)).Then("  ").Then(Room(building, i).Name).Line();
    out.Tab(10, "Room #").Tab(20, "Room ID").Tab(40, "Entering from").Tab(60, "Leaving to");
    out.Line();
    out.Tab(20, "Outdoors").Tab(40, Num(s.NaturalFromOutdoors[r]));
    out.Tab(60, Num(s.NaturalToOutdoors[r])).Line();
    for (int j = 1; j <= RoomCount(building); ++j) {
      if (j == i) continue;
      const auto o = static_cast<size_t>(j);
      out.Tab(10, Num(j)).Tab(20, Room(building, j).Name).Tab(40, Num(s.NaturalRoomFlows[o][r]));
      out.Tab(60, Num(s.NaturalRoomFlows[r][o])).Line();
    }
  }
}

void PrintVariableNaturalFlow(PrintJob& job, const BuildingRecord& building, int& line_count,
                              int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Entry(15);
  out.Tab(20, "Variable natural flow data").Line();
  out.Tab(10, "Time ").Tab(20, "Air exchange rate").Line();
  HistoryList(out, s.VentTime, s.VentRate);
}

void PrintRoomSummary(PrintJob& job, const BuildingRecord& building, int& line_count,
                      int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Entry(15);
  out.Tab(20, "Room information").Line();
  out.Tab(10, "Room #").Tab(20, "Room ID").Tab(40, "# Sources").Tab(50, "# sinks");
  out.Tab(60, "AC effic").Tab(70, "AC Flow rate").Line();
  out.Add(1);  // the title and the heading reckon three lines
  for (int i = 1; i <= RoomCount(building); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, Num(i)).Tab(20, Room(building, i).Name).Tab(40, Num(s.NumSources[r]));
    out.Tab(50, Num(s.NumSinks[r])).Tab(60, Num(s.AirCleanerEff[r]));
    out.Tab(70, Num(s.AirCleanerFlow[r])).Line(5);
  }
}

void PrintSourceData(PrintJob& job, const BuildingRecord& building, int& line_count,
                     int lines_per_page) {
  Section out(job, building, line_count, lines_per_page);
  out.Entry(25);
  out.Tab(20, "Source information ").Line();
  SourceParameters(out, building);
  SourceCycles(out, building);
}

void PrintSinkData(PrintJob& job, const BuildingRecord& building, int& line_count,
                   int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Entry(15);
  out.Tab(30, "Sink information for ").Then(s.Name).Line();
  out.Tab(10, "Room #").Tab(20, "Sink name").Tab(40, "ka").Tab(50, "kd").Tab(60, "Size").Line();
  for (int i = 1; i <= RoomCount(building); ++i) {
    for (int slot = 1; slot <= SinkSlotCount(s, i); ++slot) {
      const SinkRecord& sink = s.Sinks[static_cast<size_t>(i)][static_cast<size_t>(slot)];
      for (size_t p = 0; p < static_cast<size_t>(PollutantCount(s)); ++p) {
        out.Tab(10, Num(i)).Tab(20, sink.Name).Tab(40, FormatPattern(sink.ka[p], "##.### m/h"));
        out.Tab(50, FormatPattern(sink.kd[p], "##.###")).Tab(60, Num(sink.Area)).Line(5);
      }
    }
  }
}

void PrintOccupants(PrintJob& job, const BuildingRecord& building, int& line_count,
                    int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  out.Entry(15);
  out.Tab(30, "Activity pattern information ").Line();
  out.Tab(20, "Number of occupants = ").Then(Num(s.NumOccupants)).Line();
  const int occupants = OccupantCount(s);
  for (int k = 1; k <= occupants; ++k) {
    const OccupantRecord& o = s.Occupants[static_cast<size_t>(k)];
    out.Tab(20, "Information of occupant # ").Then(Num(k)).Then("   ").Then(o.Name).Line();
    out.Entry(15);
    out.Tab(10, "Life time ").Then(Num(o.Lifetime)).Tab(35, "Breathing rate");
    out.Then(Num(o.BreathingRate)).Line();
    // "Time enter " reaches column 20, so "Time leave" starts the heading's second line.
    out.Tab(10, "Time enter ").Tab(20, "Time leave").Tab(35, "Room #").Tab(45, "Room name");
    out.Line();
    const int last = EntriesInUse(o.TimeEnter);
    for (size_t e = 1; e <= static_cast<size_t>(last); ++e) {
      out.Tab(10, Num(o.TimeEnter[e])).Tab(20, Num(o.TimeLeave[e]));
      out.Tab(35, Num(o.LocationRoom[e])).Tab(45, o.Location[e]).Line();
    }
  }
}

void PrintHVACFlowChanges(PrintJob& job, const BuildingRecord& building, int& line_count,
                          int lines_per_page) {
  const ScenarioRecord& s = building.Scenario;
  Section out(job, building, line_count, lines_per_page);
  const DateTime now = job.Now();
  out.Tab(10, "Data for scenario " + s.Name).Then(" Date ").Then(DateText(now));
  out.Then("  Time ").Then(TimeText(now)).Line();
  HVACHistory(out, s);
}

void PrintOutdoorFlows(PrintJob& job, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  int count = 0;
  Section out(job, building, count, job.LinesPerPage());
  out.Entry(10);
  NaturalOutdoorHeading(out);
  for (int i = 1; i <= RoomCount(building); ++i) {
    const auto r = static_cast<size_t>(i);
    out.Tab(10, Num(i)).Tab(20, Room(building, i).Name);
    out.Tab(40, FormatPattern(s.NaturalFromOutdoors[r], "#,###.###"));
    out.Tab(60, FormatPattern(s.NaturalToOutdoors[r], "#,###.##")).Line();
  }
}

void PrintInputReport(PrinterService& printer, const BuildingRecord& building, InputReport report) {
  PrintCommand command(printer);
  PrintJob& job = command.Job();
  int count = 0;
  switch (report) {
    case InputReport::Building:
      PrintBuildingData(job, building);
      break;
    case InputReport::Scenario:
      PrintScenarioData(job, building);
      break;
    case InputReport::All:
      PrintBuildingData(job, building);
      PrintScenarioData(job, building);
      break;
    case InputReport::Summary:
      PrintScenarioSummary(job, building);
      break;
    case InputReport::HVACFlows:
      PrintPollutantsAndHVAC(job, building, count, kEditorLinesPerPage);
      break;
    case InputReport::NaturalFlows:
      PrintNaturalFlows(job, building, count, kEditorLinesPerPage);
      break;
    case InputReport::Sources:
      PrintSourceData(job, building, count, kEditorLinesPerPage);
      break;
    case InputReport::Sinks:
      PrintSinkData(job, building, count, kEditorLinesPerPage);
      break;
  }
  job.EndDocument();
}

}  // namespace quarn
