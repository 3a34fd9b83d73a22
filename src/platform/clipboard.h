#pragma once

#include <string>

namespace quarn {

// The system clipboard as Windows-1252 text, the encoding of the grids.
std::string ClipboardText();
void SetClipboardText(const std::string& text);
void ClearClipboard();

// The line end of the host's text, which spreadsheets pasting from the clipboard split rows at.
#ifdef _WIN32
inline constexpr const char* kHostLineEnd = "\r\n";
#else
inline constexpr const char* kHostLineEnd = "\n";
#endif

}  // namespace quarn
