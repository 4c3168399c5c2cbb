// Matrices fed straight to the eigen-analysis: the rounding-sensitive diagonals, the general
// (non-symmetric) branch and the overflow guards. The data-driven cases are in
// step_reports_test.cpp.

#include "analysis/eigen.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/numeric_error.h"

namespace morvik {
namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

struct TMatrixCase {
    const char* Name;
    TCovMatrix Matrix;
    std::vector<std::string> Lines;  // after the title and its empty line
    TPCVector PC;
    int EigenvectorsFound;
};

TEST(EigenTest, MatricesGiveTheirReportAndPrincipalComponent) {
    const TMatrixCase cases[] = {
        // D = 0 exactly; lambda = 1 + 2^-53 is stored as 1 (tie to even), so only the last
        // case, c11 - lambda = 2^-52, holds and gives x = -0 / 2^-52.
        {"DiagonalJustAboveOneFirst",
         {1 + 0x1p-52, 0, 0, 1},
         {"Eigenvalue 1 = 1.000", "Eigenvalue 2 = the same as eigenvalue 1", "",
          "Eigenvector 1 = (-0.000; 1.000)", "Eigenvector 2: the same as eigenvector 1"},
         {-0.0, 1},
         1},
        {"DiagonalJustAboveOneSecond",
         {1, 0, 0, 1 + 0x1p-52},
         {"Eigenvalue 1 = 1.000", "Eigenvalue 2 = the same as eigenvalue 1", "",
          "Eigenvector 1 = (1.000; -0.000)", "Eigenvector 2: the same as eigenvector 1"},
         {1, -0.0},
         1},
        {"NoRealEigenvalues",
         {1, 1, -1, 1},
         {"Calculation problems occured:",
          "It is not possible to calculate both of the eigenvalues and eigenvectors."},
         {0, 0},
         0},
    };
    for (const TMatrixCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TEigenAnalysis eigen = AnalyseEigenvectors(c.Matrix);
        std::vector<std::string> expected{"Eigenvectors/eigenvalues for the covariance matrix:",
                                          ""};
        expected.insert(expected.end(), c.Lines.begin(), c.Lines.end());
        EXPECT_EQ(eigen.ReportLines, expected);
        EXPECT_EQ(Bits(eigen.PCVector.x), Bits(c.PC.x));
        EXPECT_EQ(Bits(eigen.PCVector.y), Bits(c.PC.y));
        EXPECT_EQ(eigen.EigenvectorsFound, c.EigenvectorsFound);
    }
}

TEST(EigenTest, OverflowThrowsInsteadOfStoringInfinities) {
    const TCovMatrix overflowing[] = {
        {1e300, 0, 0, 0},           // D = (1E300)^2 / 4
        {1e10, 1e-300, 1e-300, 0},  // eigenvector 2: -(1E10 - 0) / 1E-300
    };
    for (const TCovMatrix& m : overflowing) {
        EXPECT_THROW(AnalyseEigenvectors(m), NumericError);
    }
}

}  // namespace
}  // namespace morvik
