#pragma once
// Modal analysis of the two-mass system: K x = lambda M x in closed form.
#include "run/run_state.h"

namespace pexmoor {

// Roots of det(K - lambda M) = 0, natural frequencies; reports eig, omegan, fn.
void computeEigenvalues(RunState& s);

// Eigenvectors, their mass normalisation P, and the checks QTMQ, PTMP, PTKP.
void computeModeShapes(RunState& s);

// Participation factors for a base motion of both masses, effective modal
// masses and their total.
void computeParticipation(RunState& s);

}  // namespace pexmoor
