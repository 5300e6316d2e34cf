#pragma once
// Run control and dialogue: the phases of the run sequence that talk to the user.
#include "run/run_state.h"

namespace pexmoor {

// Binds the console to standard output and the dialogue to standard input.
void attachStandardStreams(RunState& s);

// The run from the banner to the key prompt; the key wait is left to the caller.
// It is the analysis followed by the records.
void runSequence(RunState& s);

// Banner, files, dialogue and modal analysis, up to the time grid.
void runAnalysis(RunState& s);

// The time histories, the closing of the files, the file list and the key prompt.
void runRecords(RunState& s);

// Creates or empties the three output files and reports each on the console.
void openOutputFiles(RunState& s);

// Writes out and closes the three output files, then reports on the console
// each file whose writes or close failed.
void closeOutputFiles(RunState& s);

// The dialogue: unit system, masses, stiffnesses, damping, pulse.
void readInputs(RunState& s);

// The stored mass and stiffness matrices, on the console and in the results file.
void echoMatrices(RunState& s);

}  // namespace pexmoor
