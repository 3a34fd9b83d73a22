#pragma once

#include <string>

namespace quarn {

// The system clipboard as Windows-1252 text, the encoding of the grids.
std::string ClipboardText();
void SetClipboardText(const std::string& text);
void ClearClipboard();

}  // namespace quarn
