#pragma once

namespace quarn {

// Gives the shared openers the windows of every folder (tools, reference databases, the
// emission-factor fit), so that windows open windows of other folders without including
// them. Called once at start, before any window opens; calling it again changes nothing.
void InstallWindowOpeners();

}  // namespace quarn
