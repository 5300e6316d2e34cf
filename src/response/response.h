#pragma once
// Response of the two masses to the half-sine base acceleration
// amp sin(pi t / dur), 0 <= t <= dur, by modal superposition in closed form.
#include "run/run_state.h"

namespace pexmoor {

// Time step and number of steps from the natural periods and the pulse.
void computeTimeGrid(RunState& s);

// Constants of one mode's oscillator
//   q'' + 2 decay q' + omegansq q = -famp sin(omegap t)   (t <= dur),
// fixed before the time loop.
struct ModeConstants {
    double famp = 0.0;       // modal force amplitude
    double decay = 0.0;      // damp omegan, 1/sec
    double omegansq = 0.0;
    double omegad = 0.0;     // damped natural frequency, rad/sec
    double forcedCos = 0.0;  // steady forced response: cosine coefficient
    double forcedSin = 0.0;  //   sine coefficient
    double forcedDen = 0.0;  //   denominator
    double transCos = 0.0;   // starting transient: cosine coefficient
    double transSin = 0.0;   //   sine coefficient
};

// Fills the constants of mode j (0 or 1) for the pulse frequency omegap.
ModeConstants modeConstants(const RunState& s, int j, double omegap);

// Every step's relative displacements and accelerations, one line each to
// the displacement and the acceleration file.
void computeResponse(RunState& s);

// One time-history line: " %12.5e  \t %10.4e \t  %10.4e \n".
void writeHistoryLine(Channel& file, double t, double mass1, double mass2);

}  // namespace pexmoor
