// Eigenvalues, mode shapes and participation: degenerate systems and the
// properties every well-posed system must have.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "modal/modal.h"
#include "run_harness.h"

namespace pexmoor::testing {
namespace {

// The console from the eigenvalues to the total modal mass.
std::string modalReport(const std::string& console)
{
    std::size_t from = console.find("\r\n eig1 =");
    std::size_t to = console.find(" kg\r\n", from);
    return console.substr(from, to + 5 - from);
}

std::string eigenLines(const char* eig1, const char* eig2, const char* omegan1, const char* omegan2, const char* fn1,
                       const char* fn2)
{
    return std::string("\r\n eig1 = ") + eig1 + "\r\n eig2 = " + eig2 + "\r\n\r\n omegan1 = " + omegan1 +
           " rad/sec\r\n omegan2 = " + omegan2 + " rad/sec\r\n\r\n\r\n fn1 = " + fn1 + " Hz\r\n fn2 = " + fn2 +
           " Hz\r\n";
}

std::string shapes(const char* title, const char* row1, const char* row2)
{
    return std::string("\r\n\r\n ") + title + " (column format)\r\n\r\n      1             2  \r\n\r\n" + row1 +
           "\r\n" + row2 + "\r\n";
}

std::string participation(const char* f1, const char* f2, const char* e1, const char* e2, const char* total)
{
    return std::string("\r\n\r\n Particpation Factors \r\n\r\n") + f1 + "   \r\n" + f2 + "   \r\n\r\n" +
           "\r\n\r\n Effective Modal Mass \r\n\r\n" + e1 + "   \r\n" + e2 + "   \r\n\r\n" +
           "\r\n\r\n Total Modal Mass = " + total + " kg\r\n";
}

TEST(ModalAnalysis, DegenerateSystemsFlowOnAsNotANumber)
{
    struct Case {
        const char* name;
        const char* system;  // m11 m12 m22 k11 k12 k22
        std::string report;
    };
    const Case cases[] = {
        // Mode 2's eigenvalue equals k11/m11: its first component is 0/0.
        {"uncoupled", "1 0 1 4 0 1",
         eigenLines("        1.0000", "        4.0000", "        1.0000", "        2.0000", "        0.1592",
                    "        0.3183") +
             shapes("Eigenvectors", "      0.0000         1.#QNB   ", "      1.0000         1.0000   ") +
             shapes("Normalized Eigenvectors", "      0.0000         1.#QNB   ", "      1.0000         1.#QNB   ") +
             participation("      1.0000", "      1.#QNB", "      1.0000", "      1.#QNB", "      1.#QNB")},
        {"double root", "1 0 1 2 0 2",
         eigenLines("        2.0000", "        2.0000", "        1.4142", "        1.4142", "        0.2251",
                    "        0.2251") +
             shapes("Eigenvectors", "      1.#QNB         1.#QNB   ", "      1.0000         1.0000   ") +
             shapes("Normalized Eigenvectors", "      1.#QNB         1.#QNB   ", "      1.#QNB         1.#QNB   ") +
             participation("      1.#QNB", "      1.#QNB", "      1.#QNB", "      1.#QNB", "      1.#QNB")},
        // a2 = 0: eig1 = 0/0 is the indefinite, eig2 = 2/0 infinite.
        {"singular mass matrix", "1 0 0 2 -1 1",
         eigenLines("       -1.#IND", "        1.#INF", "       -1.#IND", "        1.#INF", "       -1.#IND",
                    "        1.#INF") +
             shapes("Eigenvectors", "      1.#QNB         1.#QNB   ", "      1.0000         1.0000   ") +
             shapes("Normalized Eigenvectors", "      1.#QNB         1.#QNB   ", "      1.#QNB         1.#QNB   ") +
             participation("      1.#QNB", "      1.#QNB", "      1.#QNB", "      1.#QNB", "      1.#QNB")},
        // a2 < 0: eig1 is the larger root and the negative eig2 has no frequency.
        {"negative mass determinant", "1 2 1 2 -1 1",
         eigenLines("        0.1350", "       -2.4684", "        0.3675", "       -1.#IND", "        0.0585",
                    "       -1.#IND") +
             shapes("Eigenvectors", "      0.6810        -0.8810   ", "      1.0000         1.0000   ") +
             shapes("Normalized Eigenvectors", "      0.3328        -1.#IND   ", "      0.4887        -1.#IND   ") +
             participation("      2.4643", "     -1.#IND", "      6.0729", "     -1.#IND", "     -1.#IND")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = runInProcess(std::string("2 ") + c.system + " 0.05 0.05 1 1\n");
        EXPECT_EQ(modalReport(run->console), c.report);
    }
}

TEST(ModalAnalysis, UncoupledChecksShowTheFiniteModeOnly)
{
    auto run = runInProcess("2 1 0 1 4 0 1 0.05 0.05 1 1\n");
    const std::string check = "      1.0000        1.#QNB  \r\n      1.#QNB        1.#QNB  \r\n";
    EXPECT_NE(run->results.find("\r\n\r\n QTMQ \r\n" + check), std::string::npos) << run->results;
    EXPECT_NE(run->results.find("\r\n\r\n scale1 =       1.0000 \r\n scale2 =       1.#QNB \r\n"), std::string::npos);
    EXPECT_NE(run->results.find("\r\n\r\n Verify PTMP \r\n" + check), std::string::npos);
    EXPECT_NE(run->results.find("\r\n\r\n Verify PTKP \r\n" + check), std::string::npos);
    // Mode 1's first component is -(0/3), a negative zero, written without sign.
    EXPECT_TRUE(std::signbit(run->state->P.v[0][0]));
}

TEST(ModalAnalysis, ChecksGoToTheResultsFileOnly)
{
    auto run = runInProcess("2 1 0 1 2 -1 1 0.05 0.05 1 1\n");
    for (const char* text : {"Let Q", "QTMQ", "scale1", "scale2", "Let P", "Verify PTMP", "Verify PTKP"}) {
        EXPECT_EQ(run->console.find(text), std::string::npos) << text;
        EXPECT_NE(run->results.find(text), std::string::npos) << text;
    }
    int blocks = 0;
    for (std::size_t at = 0; (at = run->console.find("Eigenvectors (column format)", at)) != std::string::npos; ++at) {
        ++blocks;
    }
    EXPECT_EQ(blocks, 2) << "the console shows exactly the two eigenvector blocks";
}

// Random positive-definite mass and stiffness matrices: P diagonalises them
// to the identity and to the eigenvalues, and the effective modal masses add
// up to the sum of the mass matrix.
TEST(ModalAnalysis, MassNormalisedModesOfRandomSystems)
{
    std::mt19937_64 rng(20261211);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 2000; ++trial) {
        RunState s;
        s.ndof = 2;
        const double scaleM = std::pow(10.0, 6.0 * unit(rng) - 3.0);
        const double scaleK = std::pow(10.0, 8.0 * unit(rng) - 2.0);
        const double m11 = (0.1 + unit(rng)) * scaleM, m22 = (0.1 + unit(rng)) * scaleM;
        const double m12 = (2.0 * unit(rng) - 1.0) * 0.9 * std::sqrt(m11 * m22);
        const double k11 = (0.1 + unit(rng)) * scaleK, k22 = (0.1 + unit(rng)) * scaleK;
        const double k12 = (2.0 * unit(rng) - 1.0) * 0.9 * std::sqrt(k11 * k22);
        s.M.v[0][0] = m11;
        s.M.v[0][1] = s.M.v[1][0] = m12;
        s.M.v[1][1] = m22;
        s.K.v[0][0] = k11;
        s.K.v[0][1] = s.K.v[1][0] = k12;
        s.K.v[1][1] = k22;
        computeEigenvalues(s);
        computeModeShapes(s);
        computeParticipation(s);

        SCOPED_TRACE(::testing::Message() << "trial " << trial << ": M " << m11 << " " << m12 << " " << m22 << ", K "
                                        << k11 << " " << k12 << " " << k22);
        ASSERT_LE(s.eig[0], s.eig[1]) << "mode 1 is the lower mode";
        double ptmp[2][2], ptkp[2][2];
        for (int i = 0; i < 2; ++i) {
            for (int j = 0; j < 2; ++j) {
                ptmp[i][j] = ptkp[i][j] = 0.0;
                for (int a = 0; a < 2; ++a) {
                    for (int b = 0; b < 2; ++b) {
                        ptmp[i][j] += s.P.v[a][i] * s.M.v[a][b] * s.P.v[b][j];
                        ptkp[i][j] += s.P.v[a][i] * s.K.v[a][b] * s.P.v[b][j];
                    }
                }
            }
        }
        // Closed-form roots lose digits when the modes are close; 1e-6 still
        // tells a wrong formula from rounding.
        const double tol = 1e-6;
        EXPECT_NEAR(ptmp[0][0], 1.0, tol);
        EXPECT_NEAR(ptmp[1][1], 1.0, tol);
        EXPECT_NEAR(ptmp[0][1], 0.0, tol);
        EXPECT_NEAR(ptkp[0][0], s.eig[0], tol * s.eig[1]);
        EXPECT_NEAR(ptkp[1][1], s.eig[1], tol * s.eig[1]);
        EXPECT_NEAR(ptkp[0][1], 0.0, tol * s.eig[1]);
        EXPECT_NEAR(s.part[0] + s.part[1], m11 + m12 + m12 + m22, tol * (m11 + m22));
        EXPECT_GT(s.P.v[1][0], 0.0) << "mass 2 moves in the positive direction";
        EXPECT_GT(s.P.v[1][1], 0.0);
    }
}

}  // namespace
}  // namespace pexmoor::testing
