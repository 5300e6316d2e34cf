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

// One mode's motion at the current step and the state carried out of the pulse.
struct ModeState {
    double q = 0.0;   // modal displacement
    double qd = 0.0;  // modal velocity
    double qc = 0.0;  // displacement carried out of the pulse
    double vc = 0.0;  // velocity carried out of the pulse
};

// What one time step writes: the time, and per mass the displacement
// relative to the base and the acceleration.
struct HistoryStep {
    double t = 0.0;
    double displacement[2] = {0.0, 0.0};
    double acceleration[2] = {0.0, 0.0};
};

// The response of both modes, advanced one time step at a time.
struct ResponseStepper {
    double omegap = 0.0;  // circular frequency of the half-sine, rad/sec
    ModeConstants mode[2];
    ModeState state[2];
};

// omegap and the constants of both modes; both modes at rest.
void startResponse(const RunState& s, ResponseStepper& r);

// Step i (t = i dt); steps must come in ascending order.
void responseAt(const RunState& s, ResponseStepper& r, std::int32_t i, HistoryStep& out);

// Every step's relative displacements and accelerations, one line each to
// the displacement and the acceleration file.
void computeResponse(RunState& s);

// One time-history line: " %12.5e  \t %10.4e \t  %10.4e \n".
void writeHistoryLine(Channel& file, double t, double mass1, double mass2);

}  // namespace pexmoor
