#include <cmath>

#include "modal/modal.h"

namespace pexmoor {

void computeEigenvalues(RunState& s)
{
    const double m11 = s.M.v[0][0], m12 = s.M.v[0][1], m21 = s.M.v[1][0], m22 = s.M.v[1][1];
    const double k11 = s.K.v[0][0], k12 = s.K.v[0][1], k21 = s.K.v[1][0], k22 = s.K.v[1][1];

    // a2 lambda^2 + a1 lambda + a0 = det(K - lambda M)
    const double a2 = m22 * m11 - m21 * m12;
    const double a1 = (k12 * m21 - (k11 * m22 + k22 * m11)) + k21 * m12;
    const double a0 = k11 * k22 - k12 * k21;

    const double disc = a1 * a1 - (a0 * a2) * 4.0;
    const double root = std::sqrt(disc);
    const double twoA2 = a2 + a2;

    // Mode 1 takes the minus sign: the lower mode for a positive-definite M.
    s.eig[0] = (-a1 - root) / twoA2;
    s.eig[1] = (root - a1) / twoA2;
    s.omegan[0] = std::sqrt(s.eig[0]);
    s.omegan[1] = std::sqrt(s.eig[1]);

    both(s, "\n eig1 = %14.4f", s.eig[0]);
    both(s, "\n eig2 = %14.4f", s.eig[1]);
    both(s, "\n\n omegan1 = %14.4f rad/sec", s.omegan[0]);
    both(s, "\n omegan2 = %14.4f rad/sec\n", s.omegan[1]);
    both(s, "\n\n fn1 = %14.4f Hz", s.omegan[0] / s.tpi);
    both(s, "\n fn2 = %14.4f Hz\n", s.omegan[1] / s.tpi);
}

}  // namespace pexmoor
