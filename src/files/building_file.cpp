#include "files/building_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "files/folders.h"
#include "files/item_file.h"
#include "model/records.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {

namespace {

constexpr std::size_t kMaxTextLength = 32767;  // what a 16-bit signed length can count

void PutInteger(std::string& out, int16_t value) {
  const auto bits = static_cast<uint16_t>(value);
  out += static_cast<char>(bits & 0xFF);
  out += static_cast<char>(bits >> 8);
}

void PutSingle(std::string& out, float value) {
  const auto bits = std::bit_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

void PutText(std::string& out, std::string_view text) {
  text = text.substr(0, kMaxTextLength);
  PutInteger(out, static_cast<int16_t>(text.size()));
  out.append(text);
}

// Reads the fields of the layout in order; any read past the end or a negative text
// length marks the whole file as damaged.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<int16_t> Integer() {
    if (bytes_.size() - pos_ < 2) return std::nullopt;
    const auto lo = static_cast<uint8_t>(bytes_[pos_]);
    const auto hi = static_cast<uint8_t>(bytes_[pos_ + 1]);
    pos_ += 2;
    return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
  }

  std::optional<float> Single() {
    if (bytes_.size() - pos_ < 4) return std::nullopt;
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= uint32_t{static_cast<uint8_t>(bytes_[pos_ + k])} << (8 * k);
    pos_ += 4;
    return std::bit_cast<float>(bits);
  }

  std::size_t Left() const { return bytes_.size() - pos_; }

  std::optional<std::string> Text() {
    const auto length = Integer();
    if (!length || *length < 0) return std::nullopt;
    const auto n = static_cast<std::size_t>(*length);
    if (bytes_.size() - pos_ < n) return std::nullopt;
    std::string text(bytes_.substr(pos_, n));
    pos_ += n;
    return text;
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// The part of BuildingRecord that the file holds, under the record's field names, which
// AssignBuildingPart relies on.
// NOLINTBEGIN(readability-identifier-naming)
struct BuildingPart {
  std::string ID;
  std::string Comments;
  int16_t NumRooms = 0;
  std::string MasterFile;
  PerRoom<RoomRecord> RoomList{};
  std::array<std::array<int16_t, kRoomSlots>, kRoomSlots> Neighbors{};
};
// NOLINTEND(readability-identifier-naming)

// The fields a building file holds, from a parsed part (moved) or another building (copied).
template <typename Part>
void AssignBuildingPart(Part&& from, BuildingRecord& to) {
  to.ID = std::forward<Part>(from).ID;
  to.Comments = std::forward<Part>(from).Comments;
  to.NumRooms = from.NumRooms;
  to.MasterFile = std::forward<Part>(from).MasterFile;
  to.RoomList = std::forward<Part>(from).RoomList;
  to.Neighbors = from.Neighbors;
}

bool ParseRoom(ByteReader& in, RoomRecord& room) {
  auto name = in.Text();
  auto hvac = in.Integer();
  auto length = in.Single();
  auto width = in.Single();
  auto height = in.Single();
  auto volume = in.Single();
  auto neighbours = in.Integer();
  if (!name || !hvac || !length || !width || !height || !volume || !neighbours) return false;
  // A size no room can have (NaN, infinite, negative) would run as a room of no volume or
  // poison every concentration: the file is damaged.
  for (float size : {*length, *width, *height, *volume})
    if (!std::isfinite(size) || size < 0) return false;
  room.Name = std::move(*name);
  room.HVAC = *hvac;
  room.Length = *length;
  room.Width = *width;
  room.Height = *height;
  room.Volume = *volume;
  room.NumNeighbors = *neighbours;
  return true;
}

// What reading a building file found.
enum class BuildingParse { Damaged, Whole, BytesAfter };

// Fills `part` (which starts as a copy of the model) from the file. Damaged when the file is
// short or its room count does not fit the tables; bytes after the building are told apart,
// since older versions saved over a longer file without cutting its end off.
BuildingParse ParseBuilding(std::string_view bytes, BuildingPart& part, std::size_t& after) {
  ByteReader in(bytes);
  auto id = in.Text();
  auto comments = in.Text();
  auto rooms = in.Integer();
  auto master = in.Text();
  if (!id || !comments || !rooms || !master) return BuildingParse::Damaged;
  // Every building has a room; this program never writes fewer.
  if (*rooms < 1 || *rooms > kMaxRooms) return BuildingParse::Damaged;
  part.ID = std::move(*id);
  part.Comments = std::move(*comments);
  part.NumRooms = *rooms;
  part.MasterFile = std::move(*master);
  const int n = part.NumRooms;
  for (int i = 1; i <= n; ++i) {
    if (!ParseRoom(in, part.RoomList[i])) return BuildingParse::Damaged;
  }
  for (int i = 1; i <= n; ++i) {
    std::array<int16_t, kRoomSlots> row{};
    for (int j = 1; j <= n; ++j) {
      auto value = in.Integer();
      if (!value) return BuildingParse::Damaged;
      row[j] = *value;
    }
    // A room stored without neighbours gets an empty row, whatever values the file holds.
    const bool has_neighbours = part.RoomList[i].NumNeighbors != 0;
    for (int j = has_neighbours ? 1 : 0; j <= n; ++j) {
      part.Neighbors[i][j] = has_neighbours ? row[j] : int16_t{0};
    }
  }
  // The neighbour table ends the building: what follows is either an older file's end left
  // behind or no building at all, which only the user can tell.
  after = in.Left();
  return after == 0 ? BuildingParse::Whole : BuildingParse::BytesAfter;
}

}  // namespace

std::string BuildingFileBytes(const BuildingRecord& building) {
  std::string out;
  PutText(out, building.ID);
  PutText(out, building.Comments);
  // The tables hold rooms 1..13; a count outside them is never written, so the file always
  // reads back.
  const int n = RoomBound(building.NumRooms);
  PutInteger(out, static_cast<int16_t>(n));
  PutText(out, building.MasterFile);
  for (int i = 1; i <= n; ++i) {
    const RoomRecord& room = building.RoomList[i];
    PutText(out, room.Name);
    PutInteger(out, room.HVAC);
    PutSingle(out, room.Length);
    PutSingle(out, room.Width);
    PutSingle(out, room.Height);
    PutSingle(out, room.Volume);
    PutInteger(out, room.NumNeighbors);
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) PutInteger(out, building.Neighbors[i][j]);
  }
  return out;
}

bool WriteBuildingFile(const BuildingRecord& building, std::string& file_name, Prompt& prompt) {
  file_name = WithDefaultExtension(file_name, kBuildingExtension);
  // The reader takes no building without a room, so none is written.
  if (!item_file::MayReplace(file_name, prompt)) return false;
  std::string reason = "the building has no rooms";
  if (building.NumRooms >= 1 && WriteFileAtomic(file_name, BuildingFileBytes(building), &reason))
    return true;
  prompt.Message("Error.  " + file_name + " could not be saved: " + reason, "ERROR",
                 MessageIcon::Critical);
  return false;
}

bool ReadBuildingFile(BuildingRecord& building, std::string& file_name, Prompt& prompt) {
  file_name = WithDefaultExtension(file_name, kBuildingExtension);
  const std::optional<std::string> bytes = item_file::LoadOrSayMissing(file_name, prompt);
  if (!bytes) return false;
  BuildingPart part{building.ID,         building.Comments, building.NumRooms,
                    building.MasterFile, building.RoomList, building.Neighbors};
  std::size_t after = 0;
  const BuildingParse parse = ParseBuilding(*bytes, part, after);
  if (parse == BuildingParse::Damaged) {
    prompt.Message("Error.  " + file_name + " is not a building file or is damaged.", "ERROR",
                   MessageIcon::Critical);
    return false;
  }
  if (parse == BuildingParse::BytesAfter &&
      prompt.AskYesNoDefault(file_name + " holds " + std::to_string(after) +
                                 " bytes after the building.  They may be left from an older "
                                 "building saved under this name, or the file may not be a "
                                 "building file.  Open the building anyway?",
                             "Warning", MessageIcon::Exclamation, Answer::No) != Answer::Yes) {
    return false;
  }
  AssignBuildingPart(std::move(part), building);
  return true;
}

void CopyBuildingPart(const BuildingRecord& from, BuildingRecord& to) {
  AssignBuildingPart(from, to);
}

}  // namespace quarn
