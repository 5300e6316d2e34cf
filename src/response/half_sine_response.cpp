#include <cmath>

#include "response/response.h"

namespace pexmoor {

ModeConstants modeConstants(const RunState& s, int j, double omegap)
{
    const double omegapsq = omegap * omegap;
    const double dampsq = s.damp[j] * s.damp[j];
    ModeConstants c;
    // Only the diagonal masses carry the base load: two lumped masses.
    c.famp = (s.M.v[1][1] * s.PT.v[j][1] + s.M.v[0][0] * s.PT.v[j][0]) * s.amp;
    c.decay = s.damp[j] * s.omegan[j];
    c.omegansq = s.omegan[j] * s.omegan[j];
    c.omegad = std::sqrt(1.0 - dampsq) * s.omegan[j];
    c.forcedCos = 2.0 * (c.decay * omegap);
    c.forcedSin = omegapsq - c.omegansq;
    c.forcedDen = c.forcedSin * c.forcedSin + c.forcedCos * c.forcedCos;
    c.transCos = 2.0 * (c.decay * c.omegad);
    c.transSin = omegapsq - (1.0 - 2.0 * dampsq) * c.omegansq;
    return c;
}

namespace {

struct ModeState {
    double q = 0.0;   // modal displacement
    double qd = 0.0;  // modal velocity
    double qc = 0.0;  // displacement carried out of the pulse
    double vc = 0.0;  // velocity carried out of the pulse
};

// Exact response from rest to -famp sin(omegap t): steady forced part plus
// the decaying transient that makes q and q' zero at t = 0.
void pulsePhase(const ModeConstants& c, ModeState& m, double t, double omegap, double cp, double sp)
{
    const double e = std::exp(-(t * c.decay));
    const double cd = std::cos(t * c.omegad);
    const double sd = std::sin(t * c.omegad);
    const double g = c.famp / c.forcedDen;
    const double uf = (sp * c.forcedSin + cp * c.forcedCos) * g;
    const double h = (g * e) * omegap;
    const double ut = -((sd * c.transSin + cd * c.transCos) * (h / c.omegad));
    m.q = ut + uf;
    const double vf = ((cp * c.forcedSin - sp * c.forcedCos) * g) * omegap;
    const double vt = -(ut * c.decay) - (cd * c.transSin - sd * c.transCos) * h;
    m.qd = vt + vf;
    m.qc = m.q;
    m.vc = m.qd;
}

// Free damped vibration from the state carried out of the pulse, tau from dur.
void freePhase(const ModeConstants& c, ModeState& m, double tau)
{
    const double e = std::exp(-(tau * c.decay));
    const double cd = std::cos(tau * c.omegad);
    const double sd = std::sin(tau * c.omegad);
    const double b = (m.vc + c.decay * m.qc) / c.omegad;
    m.q = (b * sd + m.qc * cd) * e;
    m.qd = ((b * cd - m.qc * sd) * c.omegad) * e - m.q * c.decay;
}

}  // namespace

void computeResponse(RunState& s)
{
    put(s.console, "\n");

    const double omegap = s.pi / s.dur;
    const ModeConstants mode[2] = {modeConstants(s, 0, omegap), modeConstants(s, 1, omegap)};
    ModeState state[2];
    Channel& displacementFile = s.outFile[kDisplacementFile];
    Channel& accelerationFile = s.outFile[kAccelerationFile];

    for (std::int32_t i = 0; i < s.nt; ++i) {
        const double t = static_cast<double>(i) * s.dt;
        const bool inPulse = t <= s.dur;
        double cp = 0.0, sp = 0.0;
        if (inPulse) {
            cp = std::cos(t * omegap);
            sp = std::sin(t * omegap);
        }
        double a[2];
        for (int j = 0; j < 2; ++j) {
            if (inPulse) {
                pulsePhase(mode[j], state[j], t, omegap, cp, sp);
            } else {
                freePhase(mode[j], state[j], t - s.dur);
            }
            // Modal acceleration: relative plus base acceleration of the mode.
            a[j] = (-(state[j].q * mode[j].omegansq) - 2.0 * (state[j].qd * mode[j].decay)) / s.gravityFactor;
        }
        const double q1 = state[0].q, q2 = state[1].q;
        writeHistoryLine(displacementFile, t, q2 * s.P.v[0][1] + q1 * s.P.v[0][0],
                         q2 * s.P.v[1][1] + q1 * s.P.v[1][0]);
        writeHistoryLine(accelerationFile, t, a[0] * s.P.v[0][0] + a[1] * s.P.v[0][1],
                         a[0] * s.P.v[1][0] + a[1] * s.P.v[1][1]);
    }
}

}  // namespace pexmoor
