#pragma once

#include <string>
#include <string_view>

namespace quarn {

// Creates the folder named by `drive` followed directly by `folder` (the temporary folder of
// a run), for the user alone. Any failure, an existing folder among them, is ignored: the run
// finds out when it writes its work file.
void MakeFolder(std::string_view drive, std::string_view folder);

// True when `folder` names a folder that can be entered. The current folder is not touched.
bool FolderExists(std::string_view folder);

// `path` with `extension` (".BLD", ".SEN") appended when the file-name part, after the last
// "/" or "\", holds no "."; a point in a folder name does not count.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

}  // namespace quarn
