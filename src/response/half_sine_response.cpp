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

void startResponse(const RunState& s, ResponseStepper& r)
{
    r.omegap = s.pi / s.dur;
    r.mode[0] = modeConstants(s, 0, r.omegap);
    r.mode[1] = modeConstants(s, 1, r.omegap);
    r.state[0] = ModeState{};
    r.state[1] = ModeState{};
}

void responseAt(const RunState& s, ResponseStepper& r, std::int32_t i, HistoryStep& out)
{
    // t from the step number, never accumulated
    const double t = static_cast<double>(i) * s.dt;
    const bool inPulse = t <= s.dur;
    double cp = 0.0, sp = 0.0;
    if (inPulse) {
        cp = std::cos(t * r.omegap);
        sp = std::sin(t * r.omegap);
    }
    double q[2], a[2];
    for (int j = 0; j < 2; ++j) {
        const ModeConstants& c = r.mode[j];
        ModeState& m = r.state[j];
        if (inPulse) {
            pulsePhase(c, m, t, r.omegap, cp, sp);
        } else {
            freePhase(c, m, t - s.dur);
        }
        q[j] = m.q;
        // Modal acceleration: relative plus base acceleration of the mode.
        a[j] = (-(m.q * c.omegansq) - 2.0 * (m.qd * c.decay)) / s.gravityFactor;
    }
    out.t = t;
    for (int row = 0; row < 2; ++row) {
        out.displacement[row] = q[1] * s.P.v[row][1] + q[0] * s.P.v[row][0];
        out.acceleration[row] = a[0] * s.P.v[row][0] + a[1] * s.P.v[row][1];
    }
}

void computeResponse(RunState& s)
{
    put(s.console, "\n");

    ResponseStepper r;
    startResponse(s, r);
    HistoryStep step;
    for (std::int32_t i = 0; i < s.nt; ++i) {
        responseAt(s, r, i, step);
        writeHistoryLine(s.outFile[kDisplacementFile], step.t, step.displacement[0], step.displacement[1]);
        writeHistoryLine(s.outFile[kAccelerationFile], step.t, step.acceleration[0], step.acceleration[1]);
    }
}

}  // namespace pexmoor
