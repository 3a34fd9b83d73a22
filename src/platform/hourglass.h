#pragma once

namespace quarn {

// The hourglass pointer for the life of a long operation, back to the previous pointer
// however the operation ends.
class Hourglass {
 public:
  Hourglass();
  ~Hourglass();
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;
};

}  // namespace quarn
