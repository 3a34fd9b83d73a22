#include "files/folders.h"

#include <filesystem>
#include <system_error>

#include "text/paths.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quarn {

namespace fs = std::filesystem;

// A stored folder may be a Windows path; a drive-letter path names nothing on this host, and
// HostPath gives an empty text for it.
void MakeFolder(std::string_view drive, std::string_view folder) {
  std::string joined(drive);
  joined += folder;
  const std::string path = HostPath(joined);
  if (path.empty()) return;
#if defined(__unix__) || defined(__APPLE__)
  // The work files of a run are the user's alone: the folder is made private from the start.
  mkdir(path.c_str(), 0700);
#else
  std::error_code ignored;
  fs::create_directory(path, ignored);
#endif
}

bool FolderExists(std::string_view folder) {
  const std::string path = HostPath(folder);
  if (path.empty()) return false;
  std::error_code ec;
  if (!fs::is_directory(path, ec) || ec) return false;
#if defined(__unix__) || defined(__APPLE__)
  // Changing into a folder needs the search permission, not just its existence.
  return access(path.c_str(), X_OK) == 0;
#else
  return true;
#endif
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::string result(path);
  if (name.find('.') == std::string_view::npos) result += extension;
  return result;
}

}  // namespace quarn
