#pragma once
// Step 4: closed-form eigen-analysis of the 2x2 covariance matrix and the choice of the
// principal component.

#include <string>
#include <vector>

#include "analysis/mean_covariance.h"

namespace morvik {

struct TPCVector {
    double x = 0;
    double y = 0;
};

struct TEigenAnalysis {
    std::vector<std::string> ReportLines;  // the whole step 4 report
    TPCVector PCVector;                    // (0, 0) when no eigenvector was found
    int EigenvectorsFound = 0;             // 0, 1 or 2
    bool Succeeded() const { return EigenvectorsFound > 0; }
};

// Throws NumericError when D or an eigenvalue (or a quotient) overflows.
TEigenAnalysis AnalyseEigenvectors(const TCovMatrix& m);

}  // namespace morvik
