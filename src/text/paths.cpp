#include "text/paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace quarn {
namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

bool IsWindowsPath(std::string_view path) {
  return HasDriveLetter(path) || path.find('\\') != std::string_view::npos;
}

std::string HostPath(std::string_view stored) {
  // A drive letter, a UNC share or a path from the root of the current drive names a
  // place on some Windows machine; nothing on this host corresponds to it.
  if (HasDriveLetter(stored) || (!stored.empty() && stored.front() == '\\')) return {};
  std::string path(stored);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (name.empty()) return std::string(folder);
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  std::string path(folder);
  if (path.back() != '/') path += '/';
  return path + std::string(name);
}

std::optional<std::string> FindFileAnyCase(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string exact = JoinPath(folder, name);
  if (fs::exists(exact, ec)) return exact;
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (SameIgnoringCase(entry, name)) matches.push_back(entry);
  }
  if (matches.empty()) return std::nullopt;
  // Several spellings in one folder: take the first in byte order, the same on every run.
  std::sort(matches.begin(), matches.end());
  return JoinPath(folder, matches.front());
}

std::string SafeFileName(std::string_view name) {
  std::string out;
  for (char c : name)
    if (IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_') out += c;
  return out;
}

}  // namespace quarn
