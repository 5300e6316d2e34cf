#pragma once

namespace pexmoor {

// Waits for one key press at the console keyboard itself, never at standard
// input, with echo and line editing off for the wait and the previous mode
// restored afterwards. Returns the key's code (0..255): 13 Enter, 27 Esc,
// 3 Ctrl+C, 224 for the cursor and editing block, 0 for function keys.
// Returns -1 at once when there is no console to read.
int waitForKey();

}  // namespace pexmoor
