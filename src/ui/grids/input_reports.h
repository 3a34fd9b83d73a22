#pragma once

#include "model/records.h"
#include "platform/print_job.h"

namespace quarn {

class PrinterService;

// Printouts of the model's inputs: the building with its rooms, and the scenario as a
// summary or in full, made of sections. They only read the record.
//
// A section takes the running line count of the page and the lines per page its caller
// wants, and breaks the page under the heading "Data for scenario " and the scenario's name
// when the count passes them. A page never holds more than the printer's page, whatever the
// caller asks: the heading of a break and the line that passes the count need two lines.
// Sections leave the document open; the building, room and scenario reports end it.

// The lines per page of the scenario editor's one-section printouts.
inline constexpr int kEditorLinesPerPage = 77;

void PrintBuildingData(PrintJob& job, const BuildingRecord& building);
void PrintRoomData(PrintJob& job, const BuildingRecord& building);

// The scenario's Item/Value grid under a dated title, then the sections: the summary those
// of pollutants and HVAC, natural flows, rooms, sources and sinks; the full data also the
// variable natural flow and the occupants.
void PrintScenarioSummary(PrintJob& job, const BuildingRecord& building);
void PrintScenarioData(PrintJob& job, const BuildingRecord& building);

void PrintPollutantsAndHVAC(PrintJob& job, const BuildingRecord& building, int& line_count,
                            int lines_per_page);
void PrintNaturalFlows(PrintJob& job, const BuildingRecord& building, int& line_count,
                       int lines_per_page);
void PrintVariableNaturalFlow(PrintJob& job, const BuildingRecord& building, int& line_count,
                              int lines_per_page);
void PrintRoomSummary(PrintJob& job, const BuildingRecord& building, int& line_count,
                      int lines_per_page);
void PrintSourceData(PrintJob& job, const BuildingRecord& building, int& line_count,
                     int lines_per_page);
void PrintSinkData(PrintJob& job, const BuildingRecord& building, int& line_count,
                   int lines_per_page);
void PrintOccupants(PrintJob& job, const BuildingRecord& building, int& line_count,
                    int lines_per_page);
// The history of the HVAC flows under a dated title.
void PrintHVACFlowChanges(PrintJob& job, const BuildingRecord& building, int& line_count,
                          int lines_per_page);
// The natural outdoor flows of every room, on pages as long as the printer's.
void PrintOutdoorFlows(PrintJob& job, const BuildingRecord& building);

// The input reports that the Print menus of the building window and the scenario editor
// offer. Each is one print command, so that its documents go out as one printout.
enum class InputReport {
  Building,   // the building and its rooms
  Scenario,   // the full scenario
  All,        // both, as two documents
  Summary,    // the scenario summary
  HVACFlows,  // each of these one section, as a document of its own
  NaturalFlows,
  Sources,
  Sinks,
};
void PrintInputReport(PrinterService& printer, const BuildingRecord& building, InputReport report);

}  // namespace quarn
