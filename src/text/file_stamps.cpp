#include "text/file_stamps.h"

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace quarn {
namespace {

struct Stamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modified_s = 0;
  long modified_ns = 0;
  bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// One file has one key, however it was named (through a link, a relative name).
std::string Key(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real ? std::string(real.get()) : path;
}

struct Seen {
  std::mutex lock;
  std::map<std::string, Stamp> files;
};

Seen& TheSeen() {
  static Seen seen;
  return seen;
}

}  // namespace

void NoteFileSeen(const std::string& path, const struct stat& st) {
  const std::string key = Key(path);
  Seen& seen = TheSeen();
  const std::lock_guard<std::mutex> hold(seen.lock);
  seen.files[key] = StampOf(st);
}

bool ChangedSinceSeen(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  const std::string key = Key(path);
  Seen& seen = TheSeen();
  const std::lock_guard<std::mutex> hold(seen.lock);
  const auto found = seen.files.find(key);
  return found != seen.files.end() && !(found->second == StampOf(st));
}

}  // namespace quarn
