#include "model/room_dimensions.h"

#include <cmath>

namespace quarn {

namespace {

constexpr float kDefaultHeight = 2.44f;  // metres

bool Finite(const std::optional<float>& v) {
  return !v || std::isfinite(*v);
}

bool AllFinite(const DimensionWrites& w) {
  return Finite(w.length) && Finite(w.width) && Finite(w.height) && Finite(w.volume);
}

// A room whose floor is known has its height written from its volume, also where the
// height was given: the row then shows what its volume holds.
float HeightUnder(float volume, float length, float width) {
  return volume / length / width;
}

// Nothing at all: the default height, and a floor and volume of nothing. Worked out from the
// cells like any other row, so that a cell typed as -0 keeps its sign.
DimensionWrites FromNothing(const RoomDimensions& given) {
  const float volume = given.width * given.length * kDefaultHeight;
  const float side = std::sqrt(volume / kDefaultHeight);
  return {side, side, kDefaultHeight, volume};
}

// A volume alone: a square floor under the default height.
DimensionWrites FromVolume(float volume) {
  const float side = std::sqrt(volume / kDefaultHeight);
  // A volume too small for a floor in single precision keeps the default height.
  const float height = side != 0 ? HeightUnder(volume, side, side) : kDefaultHeight;
  return {side, side, height, {}};
}

// A height and a volume: a square floor under that height; a floor too small to hold in
// single precision is taken as not given, and the default height replaces the given one.
DimensionWrites FromHeight(float height, float volume) {
  const float side = std::sqrt(volume / height);
  if (side == 0) return FromVolume(volume);
  return {side, side, HeightUnder(volume, side, side), {}};
}

// A length and a volume: a square wall on that length.
DimensionWrites FromLength(float length, float volume) {
  const float width = std::sqrt(volume / length);
  return {{}, width, HeightUnder(volume, length, width), {}};
}

// A width and a volume: a square wall on that width.
DimensionWrites FromWidth(float width, float volume) {
  const float side = std::sqrt(volume / width);
  return {side, {}, side, {}};
}

// A length, a height and a volume: the width that holds the volume; one too small to hold in
// single precision is taken as not given.
DimensionWrites FromLengthAndHeight(float length, float height, float volume) {
  const float width = volume / length / height;
  if (width == 0) return FromLength(length, volume);
  return {{}, width, HeightUnder(volume, length, width), {}};
}

// A width, a height and a volume: the length that holds the volume, as above.
DimensionWrites FromWidthAndHeight(float width, float height, float volume) {
  const float length = volume / width / height;
  if (length == 0) return FromWidth(width, volume);
  return {length, {}, HeightUnder(volume, length, width), {}};
}

// A floor: its height from the volume, or the volume under the default height when none is
// given.
DimensionWrites FromFloor(const RoomDimensions& given) {
  if (given.volume != 0) return {{}, {}, HeightUnder(given.volume, given.length, given.width), {}};
  const float volume = given.width * given.length * kDefaultHeight;
  if (volume == 0) return {};
  return {{}, {}, HeightUnder(volume, given.length, given.width), volume};
}

// All three dimensions: the volume they hold. Sides so small that it comes to nothing in
// single precision are completed like a floor with the volume given.
DimensionWrites FromAllThree(const RoomDimensions& given, float product) {
  const float volume = product != 0 ? product : given.volume;
  if (volume == 0) return {};
  DimensionWrites out{{}, {}, HeightUnder(volume, given.length, given.width), {}};
  if (product != 0) out.volume = product;
  return out;
}

DimensionWrites Completed(const RoomDimensions& given, float product) {
  const bool has_length = given.length != 0;
  const bool has_width = given.width != 0;
  const bool has_height = given.height != 0;
  if (has_length && has_width) return has_height ? FromAllThree(given, product) : FromFloor(given);
  if (!has_length && !has_width && !has_height)
    return given.volume != 0 ? FromVolume(given.volume) : FromNothing(given);
  // The rest find the missing sides from the volume: without one the row is left as it was.
  const float volume = given.volume;
  if (volume == 0) return {};
  if (has_length)
    return has_height ? FromLengthAndHeight(given.length, given.height, volume)
                      : FromLength(given.length, volume);
  if (has_width)
    return has_height ? FromWidthAndHeight(given.width, given.height, volume)
                      : FromWidth(given.width, volume);
  return FromHeight(given.height, volume);
}

}  // namespace

DimensionWrites MissingDimensions(const RoomDimensions& given) {
  if (given.length < 0 || given.width < 0 || given.height < 0 || given.volume < 0) return {};
  // Dimensions that multiply to no number (one infinite or unknown, or an overflow) complete
  // nothing.
  const float product = given.width * given.length * given.height;
  if (!std::isfinite(product)) return {};
  const DimensionWrites out = Completed(given, product);
  return AllFinite(out) ? out : DimensionWrites{};
}

}  // namespace quarn
