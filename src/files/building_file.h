#pragma once

#include <string>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// The building file (".BLD"): the building half of the model record as a plain byte stream.
// Integers are 16-bit and reals IEEE singles, both little-endian; a text is a 16-bit length
// followed by its Windows-1252 bytes. No header or version: old files must stay readable.
//
// In order: ID, Comments, NumRooms (N), MasterFile; rooms 1..N (Name, HVAC, Length, Width,
// Height, Volume, NumNeighbors); then Neighbors(i, j) for i = 1..N, j = 1..N, row by row.

inline constexpr const char* kBuildingExtension = ".BLD";

// The bytes of the building file for `building`. A text longer than a 16-bit length can
// count is cut to 32767 bytes.
std::string BuildingFileBytes(const BuildingRecord& building);

// Writes the building file. `fileName` gets ".BLD" when its file-name part has no "."; the
// caller keeps the final name (its BuildingFileName). The file is written beside the target
// and renamed over it, so no failed save destroys the previous file and no bytes of a
// longer old file remain. False, after telling the user, when it could not be written.
bool WriteBuildingFile(const BuildingRecord& building, std::string& file_name, Prompt& prompt);

// Reads the building file into the building half of `building` (the scenario and the other
// fields are not touched), with the same extension rule. A missing file, a damaged or
// truncated one and a room count above 13 are reported to the user and change nothing:
// the file is read whole into a scratch copy first. True when the building was read.
bool ReadBuildingFile(BuildingRecord& building, std::string& file_name, Prompt& prompt);

// Copies what a building file holds (ID, comments, room count, master file, rooms and
// neighbours) from one record to another, leaving the scenario and the rest alone: a
// building read into a scratch record reaches the model this way.
void CopyBuildingPart(const BuildingRecord& from, BuildingRecord& to);

}  // namespace quarn
