#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarn {

// A path as Windows writes it: a drive letter ("C:..."), a backslash, or a UNC name.
bool IsWindowsPath(std::string_view path);
// A stored path as a host path: backslashes become "/" ("sub\file.SEN" -> "sub/file.SEN").
// A drive-letter or UNC path has no meaning on this host: the result is empty, and the
// caller falls back to the setting's default. Host paths come back unchanged.
std::string HostPath(std::string_view stored);
// folder + separator + name, without doubling a separator; either part may be empty.
std::string JoinPath(std::string_view folder, std::string_view name);
// The entry of `folder` whose name equals `name` ignoring ASCII letter case (an exact
// match first); the full path, or nullopt.
std::optional<std::string> FindFileAnyCase(const std::string& folder, const std::string& name);
// Keeps only ASCII letters, digits, '-' and '_', so that a built name stays in its folder.
std::string SafeFileName(std::string_view name);

}  // namespace quarn
