#pragma once

#include <string>

struct stat;

namespace quarn {

// What the program last saw of each file it read or saved: which file stood at the name, its
// size and when it was last written. A save can then tell that someone else (another copy of
// the program, another program) changed the file since, and ask before replacing it.

// Notes the file at `path` as `st` describes it (from the descriptor it was read or written
// through).
void NoteFileSeen(const std::string& path, const struct stat& st);
// True when the program read or saved the file at `path` and what is there now is another
// file, or was written since. A file never seen, or gone, has not changed.
bool ChangedSinceSeen(const std::string& path);

}  // namespace quarn
