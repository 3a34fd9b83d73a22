#pragma once

#include <optional>
#include <string>
#include <string_view>

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
// of the settings. Every copy the user runs may be given the same temporary folder, so each
// copy works in a folder of its own inside it (copy-XXXXXX), held by a lock while the copy
// runs: the default folder and a folder the user chose alike. The shared default of earlier
// versions ("DudeDirav" in the system's temporary folder) means the private one. A folder the
// user chose is refused when other users may write in it and it is not sticky. nullopt with
// the reason in *reason when the folder cannot be made or is refused. A process forked from
// this one is another copy, with folders of its own.
std::optional<std::string> WorkFolderOf(const std::string& temp_folder, std::string* reason);

// Erases what the exit question's Yes erases in the default folder: the work files of this
// copy and of copies no longer running. A running copy's files stay.
void EraseIdleWorkFiles();
// Erases the folders of this copy wherever they are (default or chosen), with the work files
// in them, and lets them go: what the exit question's Yes erases in a folder the user chose,
// where the folders of other copies are left to them.
void EraseOwnWorkFolders();

// "Error.  The work file /x/RunSEN.TMP could not be written: No space left on device."
std::string WorkFileFailure(const std::string& path, const std::string& reason);

// For tests: called at the moments when another program may act in between: a work file
// just made, before anything is written into it (where another account could put a link at
// its name), and this copy's folder just made, before it is locked (where another copy's exit
// could erase it). Null for none.
enum class WorkFolderMoment { WorkFileMade, CopyFolderMade };
using WorkFolderHook = void (*)(WorkFolderMoment moment, const std::string& path);
void SetWorkFolderHook(WorkFolderHook hook);
// For tests where no full disk can be had: every later write into a work file fails with the
// system error `error` (ENOSPC), as the system would report it; 0 for none.
void SetWorkFileWriteFault(int error);

// A work file open for writing. It is made anew at its name, never through a symbolic link
// left there (the link is removed, not the file it names), and written only through the
// descriptor it was made with: what is put at its name afterwards is never written into.
class WorkFileOutput {
 public:
  WorkFileOutput() = default;
  ~WorkFileOutput();
  WorkFileOutput(WorkFileOutput&& other) noexcept;
  WorkFileOutput& operator=(WorkFileOutput&& other) noexcept;
  WorkFileOutput(const WorkFileOutput&) = delete;
  WorkFileOutput& operator=(const WorkFileOutput&) = delete;

  // Makes the file empty, for this user alone. Something at the name that is not a regular
  // file of this user's with no other name is refused. False with the reason in *reason
  // ("Is a directory", "it belongs to another user").
  bool Create(const std::string& path, std::string* reason);
  bool IsOpen() const { return fd_ >= 0; }
  // Writes all the bytes; false with the system's reason.
  bool Write(std::string_view bytes, std::string* reason);
  // Closes the file; false with the reason when the system reports a failed write.
  bool Close(std::string* reason);

 private:
  int fd_ = -1;
};

// Makes the work file and writes the bytes into it; false with the reason.
bool WriteWorkFile(const std::string& path, std::string_view bytes, std::string* reason);

}  // namespace quarn
