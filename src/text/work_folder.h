#pragma once

#include <optional>
#include <string>

namespace quarn {

// The program's default temporary folder: "DudeDirav" in a folder of the user's own (the
// runtime folder, else the cache folder), never a folder shared with other users.
std::string DefaultTempFolder();

// Creates `folder` (and its parents) when missing, with only its owner allowed in; a folder of
// this user's that others may enter is closed to them. A symbolic link, something that is not
// a folder, or a folder of another user is refused: false with the reason, naming the folder,
// in *reason: "/x/DudeDirav belongs to another user".
bool MakePrivateFolder(const std::string& folder, std::string* reason);

// The message for a work folder refused with `reason`:
// "Error.  The work folder cannot be used: /x/DudeDirav belongs to another user."
std::string WorkFolderRefusal(const std::string& reason);

// The folder this copy of the program writes its work files into, given the temporary folder
// of the settings. The default folder is shared by every copy the user runs, so each copy
// works in a folder of its own inside it, held by a lock while the copy runs. The shared
// default of earlier versions ("DudeDirav" in the system's temporary folder) means the
// private one. A folder the user chose is used as it is. nullopt with the reason in *reason when
// the folder cannot be made or is refused.
std::optional<std::string> WorkFolderOf(const std::string& temp_folder, std::string* reason);

// Erases what the exit question's Yes erases in the default folder: the work files of this
// copy and of copies no longer running. A running copy's files stay.
void EraseIdleWorkFiles();

// Makes an empty regular file at `path` for a work file to be written into, without following
// a symbolic link someone left at that name (the link is removed, not the file it names).
// False with the system's reason in *reason.
bool CreateWorkFile(const std::string& path, std::string* reason);

}  // namespace quarn
