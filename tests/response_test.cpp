// Time grid, half-sine response and the time-history files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "modal/modal.h"
#include "response/response.h"
#include "run_harness.h"

namespace pexmoor::testing {
namespace {

// The two-mass example: unit masses, unit springs (k11 = 2, k12 = -1, k22 = 1).
RunState exampleModes()
{
    RunState s;
    s.ndof = 2;
    s.M.v[0][0] = 1.0;
    s.M.v[1][1] = 1.0;
    s.K.v[0][0] = 2.0;
    s.K.v[0][1] = s.K.v[1][0] = -1.0;
    s.K.v[1][1] = 1.0;
    computeEigenvalues(s);  // no channel is open: nothing is written
    return s;
}

TEST(TimeGrid, StepAndCountRules)
{
    const RunState modes = exampleModes();
    const double T1 = modes.tpi / modes.omegan[0];
    const double dt1 = (1.0 / (modes.omegan[1] / modes.tpi)) * 0.01;
    // The duration whose 0.02 share equals the rule-1 step exactly.
    double durEqual = dt1 / 0.02;
    while (durEqual * 0.02 < dt1) durEqual = std::nextafter(durEqual, 1e300);
    while (durEqual * 0.02 > dt1) durEqual = std::nextafter(durEqual, 0.0);
    ASSERT_EQ(durEqual * 0.02, dt1);

    struct Case {
        const char* name;
        double dur;
        double dt;
        std::int32_t nt;
    };
    const Case cases[] = {
        {"period of mode 1 longer than the pulse", 10.0, 0.038832220774509325, 2618},
        {"pulse longer than the period of mode 1", 20.0, 0.038832220774509325, 618},
        {"short pulse gets a hundred steps", 1.0, 0.01, 10166},
        {"zero duration", 0.0, 0.0, 0},
        {"negative duration", -1.0, -0.01, -10166},
        {"duration equal to the period of mode 1 keeps ten periods", T1, dt1, 2618},
        {"duration just above the period of mode 1", std::nextafter(T1, 1e300), dt1, 314},
        {"0.02 of the duration equal to the step keeps the step", durEqual, dt1, 2618},
        {"0.02 of the duration just below the step", std::nextafter(durEqual, 0.0),
         std::nextafter(durEqual, 0.0) * 0.01, 5236},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunState s = modes;
        s.dur = c.dur;
        computeTimeGrid(s);
        EXPECT_EQ(s.dt, c.dt);
        EXPECT_EQ(s.nt, c.nt);
    }
}

TEST(TimeGrid, NotANumberFrequencies)
{
    RunState s = exampleModes();
    s.dur = 1.0;
    s.omegan[1] = std::nan("");
    computeTimeGrid(s);
    EXPECT_EQ(s.dt, 0.01) << "a comparison with a not-a-number side counts as satisfied";
    s.omegan[0] = std::nan("");
    computeTimeGrid(s);
    EXPECT_EQ(s.nt, 120) << "rule 4 gives 0 and the pulse rule applies";
}

// Answers for a metric run; damping, duration and amplitude as given.
std::string metricAnswers(const char* masses, const char* stiffnesses, const char* rest)
{
    return std::string("2 ") + masses + " " + stiffnesses + " " + rest + "\n";
}

TEST(HalfSineResponse, WorkedExampleLines)
{
    auto run = runInProcess(metricAnswers("1 0 1", "2 -1 1", "0.05 0.05 1.0 1.0"));
    const std::vector<std::string> disp = splitLines(run->displacement);
    const std::vector<std::string> accel = splitLines(run->acceleration);
    ASSERT_EQ(disp.size(), 10166u);
    ASSERT_EQ(accel.size(), 10166u);
    std::size_t lineBytes = 0;
    for (const std::string& line : disp) lineBytes += line.size() + 2;
    EXPECT_EQ(run->displacement.size(), lineBytes) << "no other bytes than the lines";
    EXPECT_EQ(disp[0].substr(0, 13), " 0.00000e+000");
    EXPECT_EQ(disp.back().substr(0, 13), " 1.01650e+002");
    EXPECT_EQ(accel.back().substr(0, 13), " 1.01650e+002");

    struct Line {
        std::size_t step;
        const char* displacement;
        const char* acceleration;
    };
    const Line lines[] = {
        {1, " 1.00000e-002  \t -5.2345e-007 \t  -5.2351e-007 ", " 1.00000e-002  \t 1.4566e-005 \t  7.0244e-006 "},
        {100, " 1.00000e+000  \t -2.9119e-001 \t  -3.1328e-001 ", " 1.00000e+000  \t 3.1210e-001 \t  5.3775e-002 "},
        {101, " 1.01000e+000  \t -2.9644e-001 \t  -3.1945e-001 ", " 1.01000e+000  \t 3.1603e-001 \t  5.4791e-002 "},
        {200, " 2.00000e+000  \t -6.2393e-001 \t  -8.7532e-001 ", " 2.00000e+000  \t 3.6912e-001 \t  2.8735e-001 "},
    };
    for (const Line& l : lines) {
        SCOPED_TRACE(l.step);
        EXPECT_EQ(disp[l.step], l.displacement);
        EXPECT_EQ(accel[l.step], l.acceleration);
    }
    // Step 0: the forced part and the transient cancel up to rounding.
    for (const std::string* line : {&disp[0], &accel[0]}) {
        EXPECT_LT(std::fabs(std::strtod(line->c_str() + 16, nullptr)), 1e-15) << *line;
    }
}

TEST(HalfSineResponse, PulseEndingBetweenStepsCarriesTheLastPulseState)
{
    auto run = runInProcess(metricAnswers("1 0 1", "2 -1 1", "0.05 0.05 0.9 1.0"));
    const std::vector<std::string> disp = splitLines(run->displacement);
    const std::vector<std::string> accel = splitLines(run->acceleration);
    ASSERT_GT(disp.size(), 101u);
    // dt = 0.9 * 0.01 lies just above 0.009: step 100 is the first free step
    // and starts from the state of step 99.
    for (const auto* lines : {&disp, &accel}) {
        EXPECT_EQ((*lines)[100].substr(0, 13), " 9.00000e-001");
        EXPECT_EQ((*lines)[100].substr(13), (*lines)[99].substr(13));
        EXPECT_NE((*lines)[101].substr(13), (*lines)[100].substr(13));
    }
}

TEST(HalfSineResponse, NoStepsLeaveBothFilesEmpty)
{
    for (const char* dur : {"0", "-1", "0.0"}) {
        SCOPED_TRACE(dur);
        auto run = runInProcess(metricAnswers("1 0 1", "2 -1 1", (std::string("0.05 0.05 ") + dur + " 1").c_str()));
        EXPECT_EQ(run->displacement, "");
        EXPECT_EQ(run->acceleration, "");
        EXPECT_NE(run->console.find("kg\r\n\r\n\r\n\r\n Output Files:"), std::string::npos)
            << "the response still writes its line end";
    }
}

TEST(HalfSineResponse, DegenerateModesMakeEveryColumnNotANumber)
{
    struct Case {
        const char* name;
        std::string answers;
    };
    const Case cases[] = {
        {"critical damping in mode 1", metricAnswers("1 0 1", "2 -1 1", "1 0.05 1 1")},
        {"damping above critical in mode 2", metricAnswers("1 0 1", "2 -1 1", "0.05 1.5 1 1")},
        // omegan1 = 1 exactly and omegap = pi / pi = 1: the undamped mode resonates.
        {"undamped resonance", metricAnswers("1 0 1", "2 -1 2", "0 0 3.141592653589793 1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = runInProcess(c.answers);
        for (const std::string* file : {&run->displacement, &run->acceleration}) {
            const std::vector<std::string> lines = splitLines(*file);
            ASSERT_FALSE(lines.empty());
            for (const std::string& line : lines) {
                // a time, then two not-a-number columns
                const std::size_t first = line.find("1.#");
                ASSERT_TRUE(first == 17 || first == 18) << line;
                ASSERT_NE(line.find("1.#", first + 3), std::string::npos) << line;
            }
        }
    }
}

TEST(HalfSineResponse, RecordTooLongIsRefused)
{
    // Frequencies about 1e7 apart: ten periods of mode 1 at a hundred steps
    // per period of mode 2 is some 1e10 lines.
    auto run = runInProcess(metricAnswers("1 0 1e-12", "1001 -1000 1000", "0.05 0.05 0.1 1"));
    EXPECT_EQ(run->state->nt, 0);
    EXPECT_NE(run->console.find("kg\r\n\r\n Time history too long: no lines written. \r\n\r\n\r\n Output Files:"),
              std::string::npos)
        << run->console;
    EXPECT_EQ(run->results.find("too long"), std::string::npos);
    EXPECT_EQ(run->displacement, "");
    EXPECT_EQ(run->acceleration, "");
}

// ---------------------------------------------------------------------------
// Physics: the written histories against the equations of motion of the two
// masses, integrated here independently with classical Runge-Kutta.

struct System {
    const char* name;
    int units;  // 1 English, 2 metric
    double m11, m22, k11, k12, k22;
    double damp1, damp2, dur, amp;
};

struct History {
    std::vector<double> t, x1, x2;
};

History parseHistory(const std::string& file)
{
    History h;
    for (const std::string& line : splitLines(file)) {
        char* end = nullptr;
        h.t.push_back(std::strtod(line.c_str(), &end));
        h.x1.push_back(std::strtod(end, &end));
        h.x2.push_back(std::strtod(end, &end));
    }
    return h;
}

// Relative displacement z of both masses: M z'' + C z' + K z = -M r ab(t),
// with C built from the modes so that each mode has its damping ratio; the
// absolute acceleration of mass r is z_r'' + ab(t).
struct Reference {
    double m[2], k[2][2], c[2][2];
    double dur, amp, omegap;

    Reference(const System& sys, double massFactor, double ampFactor)
    {
        m[0] = sys.m11 / massFactor;
        m[1] = sys.m22 / massFactor;
        k[0][0] = sys.k11;
        k[0][1] = k[1][0] = sys.k12;
        k[1][1] = sys.k22;
        dur = sys.dur;
        amp = sys.amp * ampFactor;
        omegap = std::acos(-1.0) / dur;
        // Modes of M^-1/2 K M^-1/2 (symmetric 2x2), by the rotation angle.
        const double a = k[0][0] / m[0], d = k[1][1] / m[1], b = k[0][1] / std::sqrt(m[0] * m[1]);
        const double theta = 0.5 * std::atan2(2.0 * b, a - d);
        const double cs = std::cos(theta), sn = std::sin(theta);
        const double lam[2] = {a * cs * cs + 2.0 * b * sn * cs + d * sn * sn, a * sn * sn - 2.0 * b * sn * cs + d * cs * cs};
        const double vec[2][2] = {{cs, -sn}, {sn, cs}};  // columns: modes of the symmetric problem
        // Which damping ratio belongs to which mode: mode 1 is the lower one.
        const int lower = lam[0] <= lam[1] ? 0 : 1;
        const double zeta[2] = {lower == 0 ? sys.damp1 : sys.damp2, lower == 0 ? sys.damp2 : sys.damp1};
        // C = M^1/2 V diag(2 zeta omega) V^T M^1/2
        for (int i = 0; i < 2; ++i) {
            for (int j = 0; j < 2; ++j) {
                double sum = 0.0;
                for (int q = 0; q < 2; ++q) sum += vec[i][q] * 2.0 * zeta[q] * std::sqrt(lam[q]) * vec[j][q];
                c[i][j] = std::sqrt(m[i]) * sum * std::sqrt(m[j]);
            }
        }
    }

    double base(double t) const { return t <= dur ? amp * std::sin(omegap * t) : 0.0; }

    // y = (z1, z2, z1', z2'); returns y' and the relative accelerations.
    void derivative(double t, const double y[4], double dy[4]) const
    {
        dy[0] = y[2];
        dy[1] = y[3];
        for (int r = 0; r < 2; ++r) {
            const double f = -(k[r][0] * y[0] + k[r][1] * y[1]) - (c[r][0] * y[2] + c[r][1] * y[3]);
            dy[2 + r] = f / m[r] - base(t);
        }
    }

    void step(double t, double h, double y[4]) const
    {
        double k1[4], k2[4], k3[4], k4[4], w[4];
        derivative(t, y, k1);
        for (int i = 0; i < 4; ++i) w[i] = y[i] + 0.5 * h * k1[i];
        derivative(t + 0.5 * h, w, k2);
        for (int i = 0; i < 4; ++i) w[i] = y[i] + 0.5 * h * k2[i];
        derivative(t + 0.5 * h, w, k3);
        for (int i = 0; i < 4; ++i) w[i] = y[i] + h * k3[i];
        derivative(t + h, w, k4);
        for (int i = 0; i < 4; ++i) y[i] += h / 6.0 * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]);
    }
};

double peak(const std::vector<double>& v)
{
    double p = 0.0;
    for (double x : v) p = std::max(p, std::fabs(x));
    return p;
}

TEST(HalfSineResponse, HistoriesSolveTheEquationsOfMotion)
{
    const System systems[] = {
        {"metric example", 2, 1.0, 1.0, 2.0, -1.0, 1.0, 0.05, 0.05, 1.0, 1.0},
        {"metric, unequal masses and damping", 2, 2.0, 0.5, 300.0, -100.0, 100.0, 0.02, 0.1, 0.05, 9.81},
        {"metric, undamped", 2, 1.0, 3.0, 50.0, -20.0, 20.0, 0.0, 0.0, 0.2, 2.0},
        {"English", 1, 386.0, 193.0, 2000.0, -800.0, 800.0, 0.03, 0.07, 0.04, 1.0},
    };
    for (const System& sys : systems) {
        SCOPED_TRACE(sys.name);
        char answers[512];
        std::snprintf(answers, sizeof answers, "%d %.17g 0 %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g\n",
                      sys.units, sys.m11, sys.m22, sys.k11, sys.k12, sys.k22, sys.damp1, sys.damp2, sys.dur,
                      sys.amp);
        auto run = runInProcess(answers);
        const RunState& s = *run->state;
        ASSERT_EQ(s.dt, sys.dur * 0.01) << "the pulse must end on a grid point";
        ASSERT_EQ(100.0 * s.dt, sys.dur);

        const History disp = parseHistory(run->displacement);
        const History accel = parseHistory(run->acceleration);
        ASSERT_EQ(disp.t.size(), static_cast<std::size_t>(s.nt));

        const bool english = sys.units == 1;
        const Reference ref(sys, english ? 386.0 : 1.0, english ? 386.0 : 1.0);
        const double gravity = english ? 386.0 : 1.0;
        std::vector<double> z1, z2, a1, a2;
        double y[4] = {0.0, 0.0, 0.0, 0.0};
        const int substeps = 40;
        for (std::int32_t i = 0; i < s.nt; ++i) {
            const double t = i * s.dt;
            double dy[4];
            ref.derivative(t, y, dy);
            z1.push_back(y[0]);
            z2.push_back(y[1]);
            // absolute acceleration, in G for English units
            a1.push_back((dy[2] + ref.base(t)) / gravity);
            a2.push_back((dy[3] + ref.base(t)) / gravity);
            const double h = s.dt / substeps;
            for (int k = 0; k < substeps; ++k) ref.step(t + k * h, h, y);
        }
        struct Column {
            const char* name;
            const std::vector<double>& written;
            const std::vector<double>& expected;
        };
        const Column columns[] = {
            {"displacement 1", disp.x1, z1},
            {"displacement 2", disp.x2, z2},
            {"acceleration 1", accel.x1, a1},
            {"acceleration 2", accel.x2, a2},
        };
        for (const Column& c : columns) {
            const double tolerance = 0.002 * peak(c.expected);
            ASSERT_GT(peak(c.expected), 0.0);
            for (std::size_t i = 0; i < c.expected.size(); ++i) {
                ASSERT_NEAR(c.written[i], c.expected[i], tolerance) << c.name << " at step " << i;
            }
        }
    }
}

}  // namespace
}  // namespace pexmoor::testing
