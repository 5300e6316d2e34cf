#include <cmath>

#include "modal/modal.h"

namespace pexmoor {

namespace {

void transpose(const Matrix2& A, Matrix2& At)
{
    At.v[0][0] = A.v[0][0];
    At.v[0][1] = A.v[1][0];
    At.v[1][0] = A.v[0][1];
    At.v[1][1] = A.v[1][1];
}

// X = A B, row by row, each entry accumulated from zero over k ascending.
void multiply(std::int32_t ndof, const Matrix2& A, const Matrix2& B, Matrix2& X)
{
    for (std::int32_t i = 0; i < ndof; ++i) {
        for (std::int32_t j = 0; j < ndof; ++j) {
            for (std::int32_t k = 0; k < ndof; ++k) X.v[i][j] = X.v[i][j] + A.v[i][k] * B.v[k][j];
        }
    }
}

// check = PT (A P), both products started from cleared matrices.
void checkProduct(const RunState& s, const Matrix2& A, Matrix2& scratch, Matrix2& check)
{
    scratch = Matrix2{};
    check = Matrix2{};
    multiply(s.ndof, A, s.P, scratch);
    multiply(s.ndof, s.PT, scratch, check);
}

void reportShapes(RunState& s, const Matrix2& X)
{
    for (std::int32_t i = 0; i < s.ndof; ++i) {
        for (std::int32_t j = 0; j < s.ndof; ++j) both(s, "%12.4f   ", X.v[i][j]);
        both(s, "\n");
    }
}

void reportCheck(RunState& s, const Matrix2& X)
{
    Channel& results = s.outFile[kResultsFile];
    for (std::int32_t i = 0; i < s.ndof; ++i) {
        for (std::int32_t j = 0; j < s.ndof; ++j) put(results, "%12.4f  ", X.v[i][j]);
        put(results, "\n");
    }
}

}  // namespace

void computeModeShapes(RunState& s)
{
    Channel& results = s.outFile[kResultsFile];
    Matrix2 scratch;
    Matrix2 check;

    // First row of (K - eig M) x = 0 with the second component fixed at 1.
    for (int j = 0; j < 2; ++j) {
        const double quotient =
            (s.K.v[0][1] - s.eig[j] * s.M.v[0][1]) / (s.K.v[0][0] - s.eig[j] * s.M.v[0][0]);
        s.P.v[0][j] = -quotient;
        s.P.v[1][j] = 1.0;
    }
    both(s, "\n\n Eigenvectors (column format)\n\n      1             2  \n\n");
    reportShapes(s, s.P);
    transpose(s.P, s.PT);

    checkProduct(s, s.M, scratch, check);
    put(results, "\n\n Let Q = eigenvector matrix. \n");
    put(results, "\n\n QTMQ \n");
    reportCheck(s, check);

    // Mass normalisation: each mode scaled to a unit modal mass.
    s.scale[0] = 1.0 / std::sqrt(check.v[0][0]);
    s.scale[1] = 1.0 / std::sqrt(check.v[1][1]);
    put(results, "\n\n scale1 = %12.4f ", s.scale[0]);
    put(results, "\n scale2 = %12.4f \n", s.scale[1]);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) s.P.v[i][j] = s.scale[j] * s.P.v[i][j];
    }
    transpose(s.P, s.PT);
    both(s, "\n\n Normalized Eigenvectors (column format)\n\n      1             2  \n\n");
    reportShapes(s, s.P);

    checkProduct(s, s.M, scratch, check);
    put(results, "\n Let P = normalized eigenvector matrix. \n");
    put(results, "\n\n Verify PTMP \n");
    reportCheck(s, check);

    checkProduct(s, s.K, scratch, check);
    put(results, "\n\n Verify PTKP \n");
    reportCheck(s, check);
}

}  // namespace pexmoor
