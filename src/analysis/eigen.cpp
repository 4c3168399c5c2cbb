#include "analysis/eigen.h"

#include <cmath>
#include <optional>

#include "analysis/extended_store.h"
#include "analysis/number_format.h"

namespace morvik {

namespace {

// Scales v to unit length: the squares and their sum in extended precision, the norm stored.
TPCVector Normalised(double x, double y) {
    const long double q = static_cast<long double>(x) * x + static_cast<long double>(y) * y;
    const double norm = StoreChecked(std::sqrt(q));
    return {StoreChecked(x / static_cast<long double>(norm)),
            StoreChecked(y / static_cast<long double>(norm))};
}

// The eigenvector of eigenvalue lambda, normalised; none when every coefficient of both rows
// of (C - lambda I) v = 0 is zero. The first case whose test holds decides, so the result
// (including the sign of a zero component) depends on this order and on the negations being
// applied to the numerators.
std::optional<TPCVector> EigenvectorFor(const TCovMatrix& m, double lambda) {
    const long double l = lambda;
    const long double c11 = m.c11;
    const long double c12 = m.c12;
    const long double c21 = m.c21;
    const long double c22 = m.c22;
    if (c12 != 0) return Normalised(1, StoreChecked(-(c11 - l) / c12));
    if (c22 - l != 0) return Normalised(1, StoreChecked(-c21 / (c22 - l)));
    if (c21 != 0) return Normalised(StoreChecked(-(c22 - l) / c21), 1);
    if (c11 - l != 0) return Normalised(StoreChecked(-c12 / (c11 - l)), 1);
    return std::nullopt;
}

std::string EigenvectorLine(int n, TPCVector v) {
    return "Eigenvector " + std::to_string(n) + " = (" + Fixed3(v.x) + "; " + Fixed3(v.y) + ")";
}

const char* const kProblemsLine = "Calculation problems occured:";

}  // namespace

TEigenAnalysis AnalyseEigenvectors(const TCovMatrix& m) {
    TEigenAnalysis result;
    std::vector<std::string>& lines = result.ReportLines;
    lines = {"Eigenvectors/eigenvalues for the covariance matrix:", ""};

    const long double c11 = m.c11;
    const long double c22 = m.c22;
    const long double trace = c11 + c22;
    const double d =
        StoreChecked(trace * trace / 4 - (c11 * c22 - static_cast<long double>(m.c12) * m.c21));
    if (d > 0) {
        const long double r = std::sqrt(static_cast<long double>(d));
        const long double h = trace / 2;
        const double eigenvalue1 = StoreChecked(r + h);
        const double eigenvalue2 = StoreChecked(h - r);
        lines.push_back("Eigenvalue 1 = " + Fixed3(eigenvalue1));
        lines.push_back("Eigenvalue 2 = " + Fixed3(eigenvalue2));
        lines.push_back("");
        // With D > 0 the matrix is not a multiple of the identity, so some coefficient of
        // (C - lambda I) is non-zero and both constructions yield a vector.
        const TPCVector v1 = EigenvectorFor(m, eigenvalue1).value();
        const TPCVector v2 = EigenvectorFor(m, eigenvalue2).value();
        lines.push_back(EigenvectorLine(1, v1));
        lines.push_back(EigenvectorLine(2, v2));
        result.EigenvectorsFound = 2;
        result.PCVector = eigenvalue1 < eigenvalue2 ? v2 : v1;
    } else if (d == 0) {
        const double lambda = StoreChecked(trace / 2);
        lines.push_back("Eigenvalue 1 = " + Fixed3(lambda));
        lines.push_back("Eigenvalue 2 = the same as eigenvalue 1");
        lines.push_back("");
        if (const std::optional<TPCVector> v = EigenvectorFor(m, lambda)) {
            lines.push_back(EigenvectorLine(1, *v));
            lines.push_back("Eigenvector 2: the same as eigenvector 1");
            result.EigenvectorsFound = 1;
            result.PCVector = *v;
        } else {
            lines.push_back(kProblemsLine);
            lines.push_back("It is not possible to calculate the eigenvector.");
        }
    } else {
        lines.push_back(kProblemsLine);
        lines.push_back(
            "It is not possible to calculate both of the eigenvalues and eigenvectors.");
    }
    return result;
}

}  // namespace morvik
