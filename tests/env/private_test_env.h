#pragma once

namespace quarn::testing {

// Gives this test process folders of its own: the temporary folder, home, the runtime, cache,
// configuration and data folders all point into one new folder under the temporary folder
// the process was started with, which is removed when the process ends. So a test never
// touches the real work folder or the user's settings, and tests run side by side (ctest -j,
// two runs at once) cannot erase each other's files.
void UsePrivateTestFolders();

}  // namespace quarn::testing
