#include "model/room_dimensions.h"

#include <cmath>

namespace quarn {

namespace {

constexpr float kDefaultHeight = 2.44f;  // metres

bool Finite(const std::optional<float>& v) {
  return !v || std::isfinite(*v);
}

}  // namespace

DimensionWrites MissingDimensions(const RoomDimensions& given) {
  if (given.length < 0 || given.width < 0 || given.height < 0 || given.volume < 0) return {};
  float a = given.length;
  float b = given.width;
  float h = given.height;
  DimensionWrites out;
  float v = b * a * h;
  if (v != 0) {
    out.volume = v;
  } else {
    v = given.volume;
  }
  if (v == 0 && h == 0) {
    h = kDefaultHeight;
    out.height = h;
    v = b * a * h;
    out.volume = v;
  }
  const bool has_dimension = given.length != 0 || given.width != 0 || given.height != 0;
  if (v == 0 && has_dimension) return {};

  if (h != 0) {
    if (a == 0 && b == 0) {
      b = std::sqrt(v / h);
      a = b;
      out.length = a;
      out.width = b;
    } else if (b == 0) {
      b = v / a / h;
      out.width = b;
    } else if (a == 0) {
      a = v / b / h;
      out.length = a;
    }
  }
  if (b == 0) {
    if (a == 0) {
      h = kDefaultHeight;
      b = std::sqrt(v / kDefaultHeight);
      a = b;
      out.length = a;
      out.width = b;
      out.height = h;
    } else {
      b = std::sqrt(v / a);
      h = b;
      out.width = b;
      out.height = h;
    }
  }
  if (a == 0) {
    if (b != 0) {
      h = std::sqrt(v / b);
      a = h;
      out.length = a;
      out.height = h;
    }
  } else {
    h = v / a / b;
    out.height = h;
  }
  if (!Finite(out.length) || !Finite(out.width) || !Finite(out.height) || !Finite(out.volume)) {
    return {};
  }
  return out;
}

}  // namespace quarn
