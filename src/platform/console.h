#pragma once

namespace pexmoor {

// Readies the standard streams for the run: output bytes go out unchanged
// (no line-end translation), and a reader that leaves a pipe early does not
// end the program before its files are written.
void prepareStandardStreams();

// True when standard output is a terminal or console window.
bool standardOutputIsTerminal();

}  // namespace pexmoor
