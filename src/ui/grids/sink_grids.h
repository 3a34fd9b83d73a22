#pragma once

#include <string>
#include <vector>

#include "model/records.h"

namespace quarn {

class FlexGrid;
class Prompt;

// Every sink slot of the scenario, (room, slot), as the room sink window keeps its copy.
using SinkTable = decltype(ScenarioRecord::Sinks);

// ---- Room sink window: the sinks of one room ----

// Headers, sink numbers and size for the room's sinks (two rows when it has none).
void SetupRoomSinkGrid(FlexGrid& grid, int room, const BuildingRecord& building);

// Shows the room's sinks for the first pollutant: name, ka, kd, initial mass, area and
// comments. For a room without sinks, `message` (the window's label) becomes "No sinks"
// and the one data row is emptied.
void FillRoomSinkGrid(FlexGrid& grid, int room, const BuildingRecord& building,
                      std::string& message);

// Copies the window's sinks of one room, slots 1 to its NumSinks at this moment, into the
// scenario: only the fields the window changed from the copy it loaded (`loaded`), so that
// what the general sink window or a sink file stored meanwhile stays; nothing for a room
// outside 1 to NumRooms. The other rooms are left alone.
void StoreSinkData(const SinkTable& sinks, const SinkTable& loaded, int room,
                   BuildingRecord& building);

// What another window stored into the room's sinks since the window loaded them, taken into
// its copy: every field the window did not change; its own edits stay.
void TakeStoredSinkData(SinkTable& sinks, SinkTable& loaded, int room,
                        const BuildingRecord& building);

// The window's copy: every sink of rooms 1 to NumRooms, slots 1 to NumSinks, whole records.
void LoadSinkData(SinkTable& sinks, const BuildingRecord& building);

// Shows the room's sinks of the window's copy for one pollutant (0-based), numbers in the
// general form, and returns how many sink rows it filled. `message` becomes the room's
// name, or "No sink" for a room without sinks, whose grid keeps the header and one empty
// row.
int FillSinkDataGrid(FlexGrid& grid, const SinkTable& sinks, int room, int pollutant,
                     const BuildingRecord& building, std::string& message);

// Reads the first `filled` sink rows (as the last fill left them) back into the room's
// slots of the copy for one pollutant; a cell without a leading number reads 0. Name, area
// and comments are one per sink, whatever the pollutant.
void ReadSinkDataGrid(const FlexGrid& grid, SinkTable& sinks, int room, int pollutant, int filled);

// ---- General sink window: every sink of every room, one pollutant at a time ----

// Where a grid row was filled from (room and slot), so that a row the user moves to
// another room takes its whole sink with it: the ka and kd of the other pollutants, its
// initial masses and its comments. room 0 marks a row that holds no stored sink.
struct SinkOrigin {
  int room = 0;
  int slot = 0;
};
// One entry per grid row; the window keeps it between a fill and the read-back.
using GeneralSinkRows = std::vector<SinkOrigin>;

void SetupGeneralSinkGrid(FlexGrid& grid);

// Sizes the grid for every sink of the building with spare rows under them and fills it
// for pollutant 0; the current cell becomes row 1, column 0.
void LoadGeneralSinkForm(FlexGrid& sink_ss, const BuildingRecord& building, GeneralSinkRows& rows);

// Fills the grid for one pollutant and empties the rows below the last sink, so that a
// sink deleted earlier does not show again.
void FillGeneralSinkGrid(int pollutant, FlexGrid& grid, const BuildingRecord& building,
                         GeneralSinkRows& rows);

// Reads the grid back for one pollutant and sets every room's sink count from the rows
// that name it. Rows without a room number are skipped. Every row is checked first: a room
// number outside 1 to NumRooms, or a third row for one room, is reported with its row and
// nothing changes (false). `rows` then describes the grid as stored.
bool ReadGeneralSinkGrid(int pollutant, FlexGrid& grid, BuildingRecord& building,
                         GeneralSinkRows& rows, Prompt& prompt);

}  // namespace quarn
