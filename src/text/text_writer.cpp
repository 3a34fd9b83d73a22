#include "text/text_writer.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace quarn {

void LineWriter::Put(std::string_view text) {
  bytes_.append(text);
}

void LineWriter::PutZoned(std::string_view text) {
  Put(text);
  const std::size_t column = Column();
  const std::size_t next_zone = (column / kZoneWidth + 1) * kZoneWidth;
  bytes_.append(next_zone - column, ' ');
}

void LineWriter::NewLine() {
  bytes_ += "\r\n";
  line_start_ = bytes_.size();
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  namespace fs = std::filesystem;
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  // The new file goes into the target's own folder, so that the rename stays on one file
  // system and replaces the old file in one step.
  const std::string temp = path + ".new~";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create " + temp);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temp, ignored);
      return fail("cannot write " + temp);
    }
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return fail("cannot replace " + path + ": " + ec.message());
  }
  return true;
}

}  // namespace quarn
