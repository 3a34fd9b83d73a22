#include "model/room_dimensions.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "text/number_text.h"

namespace quarn {
namespace {

// What a cell shows after the row is completed: the written value as the grid writes it,
// or "kept".
std::string Shown(const std::optional<float>& v) {
  return v ? FormatSingle(*v) : "kept";
}

TEST(RoomDimensionsTest, EachRowIsCompletedFromWhatItGives) {
  constexpr float kBig = std::numeric_limits<float>::max();
  struct Case {
    RoomDimensions given;  // length, width, height, volume
    const char* length;
    const char* width;
    const char* height;
    const char* volume;
  };
  const Case cases[] = {
      {{0, 0, 0, 24.4f}, "3.162278", "3.162278", "2.44", "kept"},
      {{0, 0, 3, 48}, "4", "4", "3", "kept"},
      {{5, 4, 2.5f, 0}, "kept", "kept", "2.5", "50"},
      {{0, 0, 0, 0}, "0", "0", "2.44", "0"},
      {{1234.5f, 2, 1, 0}, "kept", "kept", "1", "2469"},
      {{8, 0, 0, 32}, "kept", "2", "2", "kept"},
      {{0, 4, 0, 16}, "2", "kept", "2", "kept"},
      {{5, 4, 0, 0}, "kept", "kept", "2.44", "48.8"},
      {{5, 4, 0, 40}, "kept", "kept", "2", "kept"},
      {{5, 0, 2, 40}, "kept", "4", "2", "kept"},
      {{0, 4, 2, 40}, "5", "kept", "2", "kept"},
      // Rows the rule cannot complete stay as they were: a side with nothing to divide by,
      // a typed height that would be replaced, a negative value, an overflow.
      {{5, 0, 0, 0}, "kept", "kept", "kept", "kept"},
      {{0, 3, 2, 0}, "kept", "kept", "kept", "kept"},
      {{0, 0, 3, 0}, "kept", "kept", "kept", "kept"},
      {{0, 0, 0, -10}, "kept", "kept", "kept", "kept"},
      {{kBig, kBig, 1, 0}, "kept", "kept", "kept", "kept"},
  };
  for (const Case& c : cases) {
    const RoomDimensions& g = c.given;
    SCOPED_TRACE(FormatSingle(g.length) + " " + FormatSingle(g.width) + " " +
                 FormatSingle(g.height) + " " + FormatSingle(g.volume));
    const DimensionWrites w = MissingDimensions(g);
    EXPECT_EQ(Shown(w.length), c.length);
    EXPECT_EQ(Shown(w.width), c.width);
    EXPECT_EQ(Shown(w.height), c.height);
    EXPECT_EQ(Shown(w.volume), c.volume);
  }
}

}  // namespace
}  // namespace quarn
