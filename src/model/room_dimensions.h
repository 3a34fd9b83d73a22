#pragma once

#include <optional>

namespace quarn {

// One room row of the room window as numbers: metres and cubic metres.
struct RoomDimensions {
  float length = 0;
  float width = 0;
  float height = 0;
  float volume = 0;
};

// What completing a row writes: for each cell the value to write, or nothing to leave the
// cell as it is.
struct DimensionWrites {
  std::optional<float> length;
  std::optional<float> width;
  std::optional<float> height;
  std::optional<float> volume;
};

// The missing dimensions of one room from those given, in single precision: the volume
// from a complete room, a square floor under the default height of 2.44 m from a volume
// alone, a square floor under a given height, the missing side of a floor, and then the
// height of every room whose floor is known from its volume.
//
// A row that cannot be completed is left as it was: one with a negative value, one whose
// volume is still 0 once a default height could be given while it has some dimension (the
// rule would divide by that zero or replace a typed height), and one whose values overflow.
// A row with nothing in it gets the default height and zeros.
DimensionWrites MissingDimensions(const RoomDimensions& given);

}  // namespace quarn
