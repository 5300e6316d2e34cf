#include <cstring>

#include "run/run.h"

namespace pexmoor {

void readInputs(RunState& s)
{
    put(s.console, "\n Select units \n");
    put(s.console, "\n 1=English  2=metric \n");
    readInteger(s.input, s.unitSystem);

    if (s.unitSystem == kEnglish) {
        s.gravityFactor = 386.0;
        std::strcpy(s.massLabel, "(lbm)");
        std::strcpy(s.displacementLabel, "(in)");
        std::strcpy(s.accelerationLabel, "(G)");
    } else {
        s.gravityFactor = 1.0;
        std::strcpy(s.massLabel, "(kg)");
        std::strcpy(s.displacementLabel, "(m)");
        std::strcpy(s.accelerationLabel, "(m/sec^2)");
    }

    put(s.console, "\n Assume symmetric mass and stiffness matrices. ");
    put(s.console, "\n\n Enter m11 %s\n", s.massLabel);
    readDouble(s.input, s.M.v[0][0]);
    put(s.console, "\n\n Enter m12 %s\n", s.massLabel);
    readDouble(s.input, s.M.v[0][1]);
    put(s.console, "\n\n Enter m22 %s\n", s.massLabel);
    readDouble(s.input, s.M.v[1][1]);
    s.M.v[1][0] = s.M.v[0][1];

    // English masses are typed in lbm and kept in lbf sec^2/in.
    if (s.unitSystem == kEnglish) {
        s.M.v[0][0] /= s.gravityFactor;
        s.M.v[0][1] /= s.gravityFactor;
        s.M.v[1][0] /= s.gravityFactor;
        s.M.v[1][1] /= s.gravityFactor;
    }

    put(s.console, "\n\n Enter k11 \n");
    readDouble(s.input, s.K.v[0][0]);
    put(s.console, "\n\n Enter k12 \n");
    readDouble(s.input, s.K.v[0][1]);
    put(s.console, "\n\n Enter k22 \n");
    readDouble(s.input, s.K.v[1][1]);
    s.K.v[1][0] = s.K.v[0][1];

    for (std::int32_t mode = 1; mode <= 2; ++mode) {
        put(s.console, "\n\n Enter modal damping ratio %ld \n", mode);
        readDouble(s.input, s.damp[mode - 1]);
    }
    put(s.console, "\n");

    put(s.console, "\n\n Enter the half-sine duration (sec) \n");
    readDouble(s.input, s.dur);
    put(s.console, "\n\n Enter the half-sine amplitude %s \n", s.accelerationLabel);
    readDouble(s.input, s.amp);
    // English amplitude is typed in G and kept in in/sec^2.
    s.amp *= s.gravityFactor;
}

namespace {
void echoMatrix(RunState& s, const Matrix2& A)
{
    for (std::int32_t i = 0; i < s.ndof; ++i) {
        for (std::int32_t j = 0; j < s.ndof; ++j) both(s, "%12.4lf  ", A.v[i][j]);
        both(s, "\n");
    }
}
}  // namespace

void echoMatrices(RunState& s)
{
    both(s, "\n\n Mass matrix \n");
    echoMatrix(s, s.M);
    both(s, "\n\n Stiffness matrix \n");
    echoMatrix(s, s.K);
}

}  // namespace pexmoor
