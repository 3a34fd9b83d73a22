#include "ui/grids/input_reports.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/pdf_pages.h"
#include "common/recording_printer.h"
#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/program_state.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"

namespace quarn {
namespace {

using testing::Line;
using Lines = std::vector<std::string>;

// "House A": Kitchen and Bedroom, neighbours of each other, and scenario "R1" of one gas.
std::unique_ptr<BuildingRecord> HouseA() {
  auto b = std::make_unique<BuildingRecord>();
  b->ID = "House A";
  b->Comments = "test";
  b->MasterFile = "house";
  b->NumRooms = 2;
  b->RoomList[1] = {"Kitchen", 0, 4, 3, 2.5, 30, 1};
  b->RoomList[2] = {"Bedroom", 0, 3, 3, 2.5, 22.5, 1};
  b->Neighbors[1][2] = b->Neighbors[2][1] = kTrue;
  ScenarioRecord& s = b->Scenario;
  s.Name = "R1";
  s.PollutantClass = "VOC";
  s.NumPollutants = 1;
  PollutantRecord& voc = s.Pollutants[0];
  voc.Name = "VOC1";
  voc.C0 = 1234.5;
  voc.MolWt = 78.11F;
  voc.Diffusivity = 0.032F;
  s.BuildingPenetration[0] = 1;
  s.FilterPenetration[0][0] = 0.3F;
  s.FilterCapacity = 100000;
  s.HVACOutdoorAirTotal = 50;
  s.HVACMakeUpTotal = 60;
  s.HVACSupply = {0, 100, 40};
  s.HVACReturn = {0, 80, 30};
  s.HVACExhaust = {0, 20, 10};
  s.HVACOutdoorAir = {0, 5, 0};
  s.HVACRoomFlows[2][1] = 7;
  s.HVACRoomFlows[1][2] = 3;
  s.ConstantHVAC = "N";
  s.HVACHistoryTime = {0, 0, 2, 0, 5};
  s.HVACHistoryFraction = {0, 1, 0.5F};
  return b;
}

// What a report printed, on a fresh 88-line page.
template <typename Print>
testing::RecordingPrinter Printed(Print print, int lines_per_page = 88) {
  testing::RecordingPrinter printer;
  printer.format = {lines_per_page, 116};
  {
    PrintCommand command(printer);
    print(command.Job());
  }
  return printer;
}

// A golden page reads best one printed line to a source line.
// clang-format off
TEST(InputReports, BuildingDataAndItsRooms) {
  auto b = HouseA();
  const auto printer = Printed([&](PrintJob& job) { PrintBuildingData(job, *b); });
  const Lines lines = printer.Lines();
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 18), (Lines{
      Line({{15, "Building information  Date 12-08-2026 Time  14:05:09"}}), "", "",
      Line({{15, "Building Name: "}, {30, "House A"}}),
      Line({{15, "Comments:"}, {30, "test"}}),
      Line({{15, "Building Volume: "}}), Line({{30, " 52.5 "}}),
      Line({{15, "Number of rooms: "}}), Line({{30, " 2 "}}),
      Line({{15, "Master file"}, {30, "house"}}),
      Line({{15, "Room Information "}}), "", "",
      Line({{10, "Data for room Number  1  Room ID Kitchen"}}),
      Line({{10, "Length 4. m Width 3. m Height 2.5 m Volume 30. m\xB3 Number of neigbors  1"}}),
      Line({{30, "List of Neighbors"}}),
      Line({{15, "Bedroom, "}}), ""}));
  ASSERT_EQ(lines.size(), 23U);
  EXPECT_EQ(lines[19],
      Line({{10, "Length 3. m Width 3. m Height 2.5 m Volume 22.5 m\xB3 Number of neigbors  1"}}));
  EXPECT_EQ(lines[21], Line({{15, "Kitchen, "}}));
  EXPECT_EQ(printer.documents, 1);

  b->RoomList[2].NumNeighbors = 0;
  EXPECT_EQ(Printed([&](PrintJob& job) { PrintRoomData(job, *b); }).Lines()[9],
            Line({{15, "No neighbors"}}));
}

TEST(InputReports, PollutantsAndHVAC) {
  auto b = HouseA();
  ScenarioRecord& s = b->Scenario;
  int count = 0;
  auto print = [&](PrintJob& job) {
    count = 0;
    PrintPollutantsAndHVAC(job, *b, count, 77);
  };
  EXPECT_EQ(Printed(print).Lines(), (Lines{
      Line({{20, " Pollutant information"}}),
      Line({{8, "Name"}, {23, "MW g/mol"}, {36, "C0 mg/m\xB3"}, {48, "Diffusivity"}, {60, "Pt"}}),
      Line({{8, "VOC1"}, {23, "78.11"}, {36, "1,234.5"}, {48, ".032"}, {60, "100. %"}}),
      Line({{20, " HVAC Information "}}),
      Line({{30, "Air cleaner information "}}),
      Line({{10, "Air cleaner capacity 100,000. mg"}}),
      Line({{10, "Pollutant"}, {30, "Efficiency %"}}),
      Line({{10, "VOC1"}, {30, "70. %"}}),
      Line({{20, "Base air flows "}}),
      Line({{10, "Room # "}, {20, "Room Name"}, {35, "Supply "}, {45, "Return "}, {55, "Exhaust"}}),
      Line({{10, " 0 "}, {20, "Outdoors "}, {35, " 50 "}, {45, " 60 "}, {55, " 0 "}}),
      Line({{10, " 1 "}, {20, "Kitchen"}, {35, " 100 "}, {45, " 80 "}, {55, " 20 "}}),
      Line({{10, " 2 "}, {20, "Bedroom"}, {35, " 40 "}, {45, " 30 "}, {55, " 10 "}}), "", "",
      Line({{20, "Room-to-room HVAC Air flows "}}),
      Line({{10, "Flows for room  1  Kitchen"}}),
      Line({{10, "Room ID "}, {30, "Entering from"}, {45, "Leaving to "}}),
      Line({{10, "HVAC "}, {30, " 100 "}, {45, " 80 "}}),
      Line({{10, "Outdoors "}, {30, " 5 "}, {45, " 20 "}}),
      Line({{10, "Bedroom"}, {30, " 7 "}, {45, " 3 "}}), "",
      Line({{10, "Flows for room  2  Bedroom"}}),
      Line({{10, "Room ID "}, {30, "Entering from"}, {45, "Leaving to "}}),
      Line({{10, "HVAC "}, {30, " 40 "}, {45, " 30 "}}),
      Line({{10, "Outdoors "}, {30, " 0 "}, {45, " 10 "}}),
      Line({{10, "Kitchen"}, {30, " 3 "}, {45, " 7 "}}), "",
      Line({{20, "Changes in HVAC Flow "}}),
      Line({{10, "Time "}, {20, "Fraction of base flow "}}),
      Line({{10, " 0 "}, {20, " 1 "}}),
      Line({{10, " 2 "}, {20, " .5 "}})}));
  EXPECT_EQ(count, 32);

  s.HVACHistoryTime.fill(3);  // 50 entries, and a page break after the 77th line
  const Lines history = Printed(print).Lines();
  ASSERT_EQ(history.size(), 30U + 50U + 1U);
  EXPECT_EQ(history[78], Line({{20, "Data for scenario R1"}}));
  EXPECT_EQ(history.back(), Line({{10, " 3 "}, {20, " 0 "}}));
  s.ConstantHVAC = "Y";
  EXPECT_EQ(Printed(print).Lines().back(), Line({{10, "No changes in HVAC Flows "}}));
  s.PollutantClass = "pm2.5";
  s.Pollutants[0].Name = "2.5";
  s.Pollutants[0].Density = 1;
  s.BuildingPenetration[0] = 0.6315F;
  const Lines particles = Printed(print).Lines();
  EXPECT_EQ(Lines(particles.begin() + 1, particles.begin() + 3), (Lines{
      Line({{8, "Diameter \xB5m"}, {25, "Density g/cc"}, {40, "Pt"}}),
      Line({{8, "2.5"}, {25, "1."}, {40, "63.15 %"}})}));
}
// clang-format on

TEST(InputReports, SectionsBreakThePageUnderTheScenarioHeading) {
  auto b = HouseA();
  const std::string heading = Line({{20, "Data for scenario R1"}});
  int count = 70;  // of 77: fewer than the section's 10 lines left
  const auto printer = Printed([&](PrintJob& job) {
    for (int i = 0; i < count; ++i) job.EndLine();
    PrintNaturalFlows(job, *b, count, 77);
  });
  ASSERT_EQ(printer.pages.size(), 2U);
  EXPECT_EQ(Lines(printer.pages[1].lines.begin(), printer.pages[1].lines.begin() + 2),
            (Lines{heading, Line({{20, "Natural Air Flows "}})}));
  EXPECT_EQ(count, static_cast<int>(printer.pages[1].lines.size()) - 1);

  b->NumRooms = 13;  // 212 lines; the caller's 77 would overflow a 60-line page
  count = 0;
  const auto short_pages =
      Printed([&](PrintJob& job) { PrintNaturalFlows(job, *b, count, 77); }, 60).pages;
  ASSERT_EQ(short_pages.size(), 4U);
  EXPECT_EQ(short_pages[0].lines.size(), 59U);
  for (size_t p = 1; p < 4; ++p) {
    EXPECT_EQ(short_pages[p].lines[0], heading);
    EXPECT_EQ(short_pages[p].lines.size(), p < 3 ? 60U : 36U);  // 59 + 59 + 59 + 35 lines
  }
}

TEST(InputReports, AFullScenarioOverflowsNoA4Page) {
  testing::ScriptedFileDialog dialogs;
  testing::ScriptedPrompt prompt;
  testing::RecordingPrinter printer;
  printer.format = QtPrinterService(dialogs, prompt, false).TextFormat();
  auto b = HouseA();
  ScenarioRecord& s = b->Scenario;
  b->NumRooms = 13;
  s.NumPollutants = 8;
  s.NumOccupants = 3;
  s.VentTime.fill(1);
  s.HVACHistoryTime.fill(1);
  for (size_t i = 1; i <= 13; ++i) {
    b->RoomList[i].Name = "Room " + std::to_string(i);
    b->Neighbors[i].fill(kTrue);
    s.NumSources[i] = 3;
    s.NumSinks[i] = 2;
    for (SourceRecord& src : s.Sources[i]) {
      src.Model = 6;  // its name runs past the Size column, as 12.25 runs past P7's
      for (auto& row : src.Params) row.fill(12.25F);
    }
  }
  for (OccupantRecord& o : s.Occupants) o.TimeEnter.fill(1);
  PrintInputReport(printer, *b, InputReport::Scenario);
  ASSERT_GT(printer.pages.size(), 15U);
  for (size_t p = 1; p < printer.pages.size(); ++p) {
    EXPECT_EQ(printer.pages[p].lines[0], Line({{20, "Data for scenario R1"}})) << "page " << p;
  }
  EXPECT_EQ(printer.documents, 1);
}

TEST(InputReports, SinksSourcesAndOccupants) {
  auto b = HouseA();
  ScenarioRecord& s = b->Scenario;
  s.NumSinks[2] = 1;
  SinkRecord& sink = s.Sinks[2][1];
  sink.Name = "Carpet";
  sink.Area = 12;
  sink.ka[0] = 0.5F;
  sink.kd[0] = 0.1F;
  int count = 0;
  EXPECT_EQ(Printed([&](PrintJob& job) { PrintSinkData(job, *b, count, 77); }).Lines(),
            (Lines{Line({{30, "Sink information for R1"}}),
                   Line({{10, "Room #"}, {20, "Sink name"}, {40, "ka"}, {50, "kd"}, {60, "Size"}}),
                   Line({{10, " 2 "}, {20, "Carpet"}, {40, ".5 m/h"}, {50, ".1"}, {60, " 12 "}})}));

  s.NumSources[1] = 1;
  SourceRecord& src = s.Sources[1][1];
  src.Name = "Spill A";
  src.Size = 2;
  src.Params[0][0] = 1.5F;
  src.Params[6][0] = 7;
  src.NumCycles = 1;
  src.TimeOff[1] = 24;
  const std::string room = Line({{10, "Source information for room # 1  Kitchen"}});
  // clang-format off
  const Lines sources = {
      Line({{20, "Source information "}}), room,
      Line({{10, "Source ID"}, {25, "Model"}, {35, "Size"}, {45, "P1"}, {55, "P2"}, {65, "P3"},
            {75, "P4"}, {85, "P5"}, {95, "P6"}, {100, "P7"}}),
      Line({{10, "Spill A"}, {25, "Spill"}, {35, " 2 "}}),
      Line({{10, "VOC1"}, {45, " 1.5 "}, {55, " 0 "}, {65, " 0 "}, {75, " 0 "}, {85, " 0 "},
            {95, " 0 "}, {100, " 7 "}}),
      Line({{10, "On off behavior of sources by room "}}), room,
      Line({{10, "Source ID"}, {25, "# Cycles"}, {35, "On"}, {45, "Off"}, {55, "On"},
            {65, "Off"}, {75, "On"}, {85, "Off"}, {95, "On  Off"}}),
      Line({{10, "Spill A"}, {25, " 1 "}, {35, " 0 "}, {45, " 24 "}, {55, " 0 "}, {65, " 0 "},
            {75, " 0 "}, {85, " 0 "}, {95, " 0 "}, {105, " 0 "}})};
  // clang-format on
  for (int16_t model : {8, 9, 10}) {
    src.Model = model;
    count = 0;
    EXPECT_EQ(Printed([&](PrintJob& job) { PrintSourceData(job, *b, count, 77); }).Lines(), sources)
        << "model " << model;
  }

  s.NumOccupants = 1;
  OccupantRecord& o = s.Occupants[1];
  o.Name = "Ann";
  o.Lifetime = 70;
  o.BreathingRate = 0.83F;
  o.TimeEnter = {0, 0, 8, 0, 9};  // entry 3 ends the list
  o.TimeLeave = {0, 8, 24};
  o.LocationRoom = {0, 1, 0};
  o.Location[1] = "Kitchen";
  o.Location[2] = "Outdoors";
  count = 0;
  // clang-format off
  EXPECT_EQ(Printed([&](PrintJob& job) { PrintOccupants(job, *b, count, 77); }).Lines(), (Lines{
      Line({{30, "Activity pattern information "}}),
      Line({{20, "Number of occupants =  1 "}}),
      Line({{20, "Information of occupant #  1    Ann"}}),
      Line({{10, "Life time  70 "}, {35, "Breathing rate .83 "}}),
      Line({{10, "Time enter "}}),
      Line({{20, "Time leave"}, {35, "Room #"}, {45, "Room name"}}),
      Line({{10, " 0 "}, {20, " 8 "}, {35, " 1 "}, {45, "Kitchen"}}),
      Line({{10, " 8 "}, {20, " 24 "}, {35, " 0 "}, {45, "Outdoors"}})}));
  // clang-format on
  EXPECT_EQ(count, 8);
}

TEST(InputReports, TheFlowWindowsSections) {
  auto b = HouseA();
  b->Scenario.NaturalFromOutdoors[1] = 1234.5678F;
  b->Scenario.NaturalToOutdoors[1] = 0.125F;
  const Lines outdoor = Printed([&](PrintJob& job) { PrintOutdoorFlows(job, *b); }).Lines();
  ASSERT_EQ(outdoor.size(), 5U);
  EXPECT_EQ(outdoor[3], Line({{10, " 1 "}, {20, "Kitchen"}, {40, "1,234.568"}, {60, ".13"}}));
  int count = 0;
  const Lines changes =
      Printed([&](PrintJob& job) { PrintHVACFlowChanges(job, *b, count, 77); }).Lines();
  EXPECT_EQ(changes, (Lines{Line({{10, "Data for scenario R1 Date 12-08-2026  Time 14:05:09"}}),
                            Line({{20, "Changes in HVAC Flow "}}),
                            Line({{10, "Time "}, {20, "Fraction of base flow "}}),
                            Line({{10, " 0 "}, {20, " 1 "}}), Line({{10, " 2 "}, {20, " .5 "}})}));
}

TEST(InputReports, SampleScenarioHasAsManyPdfPagesAsRecordedOnes) {
  const std::string samples = std::string(QUARN_SOURCE_DIR) + "/samples/";
  ProgramState state;
  testing::ScriptedPrompt prompt;
  std::string building = samples + "house.BLD";
  ASSERT_TRUE(ReadBuildingFile(state.Building, building, prompt));
  ASSERT_EQ(
      CommitScenarioRead(NewReadScenario(state.Building, samples + "Scenario/house.SEN", prompt),
                         state.Building),
      ScenarioReadResult::Read);
  QTemporaryDir dir;
  testing::ScriptedFileDialog dialogs;
  const std::string file = FromQt(dir.filePath("house.pdf"));
  dialogs.answers = {file};
  QtPrinterService pdf(dialogs, prompt, false);
  PrintInputReport(pdf, state.Building, InputReport::Scenario);
  testing::RecordingPrinter recorded;
  recorded.format = pdf.TextFormat();
  PrintInputReport(recorded, state.Building, InputReport::Scenario);
  EXPECT_GT(recorded.pages.size(), 1U);
  EXPECT_EQ(testing::PdfPages(file).size(), recorded.pages.size());
}

}  // namespace
}  // namespace quarn
