#pragma once
// The one record of a run: every answer of the dialogue, every result of the
// modal analysis and the response, and the channels the reports go through.
#include <cmath>
#include <cstdint>

#include "run/channel.h"
#include "run/input_scanner.h"
#include "run/report.h"

namespace pexmoor {

// A 2x2 matrix of doubles, row 1 first. Entry v[i][j] is row i + 1, column
// j + 1: M.v[1][0] is m21.
struct Matrix2 {
    double v[2][2] = {{0.0, 0.0}, {0.0, 0.0}};
};

// The unit answer as typed: 1 means English units, every other value metric.
using UnitSystem = std::int32_t;
inline constexpr UnitSystem kEnglish = 1;

// Indices of the output files in outName and outFile.
inline constexpr int kResultsFile = 0;
inline constexpr int kDisplacementFile = 1;
inline constexpr int kAccelerationFile = 2;
inline constexpr int kOutputFiles = 3;

inline constexpr int kNameLength = 260;
inline constexpr int kLabelLength = 10;

struct RunState {
    // circle constants, fixed before the run starts
    double pi = std::atan2(0.0, -1.0);
    double tpi = pi + pi;

    std::int32_t ndof = 0;

    // dialogue
    UnitSystem unitSystem = 0;
    double gravityFactor = 1.0;
    char massLabel[kLabelLength] = {};
    char displacementLabel[kLabelLength] = {};
    char accelerationLabel[kLabelLength] = {};
    Matrix2 M;  // mass, lbf sec^2/in (English) or kg
    Matrix2 K;  // stiffness, lbf/in or N/m
    double damp[2] = {0.0, 0.0};
    double dur = 0.0;  // half-sine duration, sec
    double amp = 0.0;  // half-sine amplitude, in/sec^2 or m/sec^2

    // modal analysis
    double eig[2] = {0.0, 0.0};     // (rad/sec)^2
    double omegan[2] = {0.0, 0.0};  // rad/sec
    Matrix2 P;                      // column j: shape of mode j
    Matrix2 PT;                     // P transposed, kept in step with it
    double scale[2] = {0.0, 0.0};
    double part[2] = {0.0, 0.0};    // participation factors, then effective modal masses

    // time grid
    double dt = 0.0;
    std::int32_t nt = 0;

    // channels
    InputScanner input;
    Channel console;
    char outName[kOutputFiles][kNameLength] = {};
    Channel outFile[kOutputFiles];
};

// A piece of report for both channels: the console first, then the results file.
template <class... A>
void both(RunState& s, Format<argKindOf<std::decay_t<A>>()...> format, const A&... args)
{
    put(s.console, format, args...);
    put(s.outFile[kResultsFile], format, args...);
}

}  // namespace pexmoor
