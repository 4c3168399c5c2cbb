// Steps 2 to 4 from data sets to the full report texts and the chosen principal component.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/eigen.h"
#include "analysis/mean_covariance.h"
#include "analysis/vectors.h"

namespace morvik {
namespace {

struct TStepCase {
    const char* Name;
    std::vector<TVector> Data;
    std::string MeanX, MeanY;
    std::vector<std::string> VectorLines;
    std::string CovRow1, CovRow2;
    std::vector<std::string> EigenLines;  // after the title and its empty line
    TPCVector PC;
    int EigenvectorsFound;
};

const std::string kCantEigenvector[] = {"Calculation problems occured:",
                                        "It is not possible to calculate the eigenvector."};

const TStepCase kStepCases[] = {
    {"ThreeVectors",
     {{1, 2}, {3, 4}, {5, 0}},
     "3.000",
     "2.000",
     {"-2.000; 0.000", "0.000; 2.000", "2.000; -2.000"},
     "2.667    -1.333",
     "-1.333    2.667",
     {"Eigenvalue 1 = 4.000", "Eigenvalue 2 = 1.333", "", "Eigenvector 1 = (0.707; -0.707)",
      "Eigenvector 2 = (0.707; 0.707)"},
     {0x1.6a09e667f3bccp-1, -0x1.6a09e667f3bcep-1},
     2},
    {"PopulationDivisor",
     {{0, 0}, {2, 2}},
     "1.000",
     "1.000",
     {"-1.000; -1.000", "1.000; 1.000"},
     "1.000    1.000",
     "1.000    1.000",
     {"Eigenvalue 1 = 2.000", "Eigenvalue 2 = 0.000", "", "Eigenvector 1 = (0.707; 0.707)",
      "Eigenvector 2 = (0.707; -0.707)"},
     {0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bccp-1},
     2},
    {"SingleVector",
     {{2.5, 1.5}},
     "2.500",
     "1.500",
     {"0.000; 0.000"},
     "0.000    0.000",
     "0.000    0.000",
     {"Eigenvalue 1 = 0.000", "Eigenvalue 2 = the same as eigenvalue 1", "", kCantEigenvector[0],
      kCantEigenvector[1]},
     {0, 0},
     0},
    {"MeanOnATie",
     {{0, 0}, {0.125, 0}},
     "0.063",
     "0.000",
     {"-0.063; 0.000", "0.063; 0.000"},
     "0.004    0.000",
     "0.000    0.000",
     {"Eigenvalue 1 = 0.004", "Eigenvalue 2 = 0.000", "", "Eigenvector 1 = (1.000; 0.000)",
      "Eigenvector 2 = (-0.000; 1.000)"},
     {1, 0},
     2},
    {"NegativeMeanRoundingToZero",
     {{0, 0}, {-0.0008, 0}},
     "-0.000",
     "0.000",
     {"0.000; 0.000", "-0.000; 0.000"},
     "0.000    0.000",
     "0.000    0.000",
     {"Eigenvalue 1 = 0.000", "Eigenvalue 2 = -0.000", "", "Eigenvector 1 = (1.000; 0.000)",
      "Eigenvector 2 = (1.000; -0.000)"},
     {1, 0},
     2},
    {"IsotropicCross",
     {{1, 0}, {-1, 0}, {0, 1}, {0, -1}},
     "0.000",
     "0.000",
     {"1.000; 0.000", "-1.000; 0.000", "0.000; 1.000", "0.000; -1.000"},
     "0.500    0.000",
     "0.000    0.500",
     {"Eigenvalue 1 = 0.500", "Eigenvalue 2 = the same as eigenvalue 1", "", kCantEigenvector[0],
      kCantEigenvector[1]},
     {0, 0},
     0},
    {"OnTheXAxis",
     {{1, 0}, {2, 0}, {3, 0}},
     "2.000",
     "0.000",
     {"-1.000; 0.000", "0.000; 0.000", "1.000; 0.000"},
     "0.667    0.000",
     "0.000    0.000",
     {"Eigenvalue 1 = 0.667", "Eigenvalue 2 = -0.000", "", "Eigenvector 1 = (1.000; 0.000)",
      "Eigenvector 2 = (1.000; -0.000)"},
     {1, 0},
     2},
    {"OnTheYAxis",
     {{0, 1}, {0, 2}, {0, 3}},
     "0.000",
     "2.000",
     {"0.000; -1.000", "0.000; 0.000", "0.000; 1.000"},
     "0.000    0.000",
     "0.000    0.667",
     {"Eigenvalue 1 = 0.667", "Eigenvalue 2 = -0.000", "", "Eigenvector 1 = (0.000; 1.000)",
      "Eigenvector 2 = (1.000; -0.000)"},
     {0, 1},
     2},
};

TVectors MakeVectors(const std::vector<TVector>& data) {
    TVectors vectors;
    for (const TVector& v : data) EXPECT_TRUE(vectors.TryAppend(v));
    return vectors;
}

std::vector<std::string> Concat(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(StepReportsTest, DataSetsGiveTheReportsOfStepsTwoToFour) {
    for (const TStepCase& c : kStepCases) {
        SCOPED_TRACE(c.Name);
        const auto count = static_cast<std::uint32_t>(c.Data.size());
        const TVectors vectors = MakeVectors(c.Data);
        TVectors zeroMean;
        ASSERT_TRUE(zeroMean.TryAllocate(count));

        const TDimensionMeans means = SubtractMeans(vectors, count, zeroMean);
        EXPECT_EQ(SubtractMeanReport(means, zeroMean, count),
                  Concat({"Dimension mean:", "X dimension: " + c.MeanX, "Y dimension: " + c.MeanY,
                          "", "Data set with zero mean:", "(shown first 100 points)", ""},
                         c.VectorLines));

        const TCovMatrix m = ComputeCovarianceMatrix(zeroMean, count);
        EXPECT_EQ(CovarianceReport(m),
                  (std::vector<std::string>{"Covariance matrix:", "", c.CovRow1, c.CovRow2}));

        const TEigenAnalysis eigen = AnalyseEigenvectors(m);
        EXPECT_EQ(
            eigen.ReportLines,
            Concat({"Eigenvectors/eigenvalues for the covariance matrix:", ""}, c.EigenLines));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(eigen.PCVector.x),
                  std::bit_cast<std::uint64_t>(c.PC.x));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(eigen.PCVector.y),
                  std::bit_cast<std::uint64_t>(c.PC.y));
        EXPECT_EQ(eigen.EigenvectorsFound, c.EigenvectorsFound);
        EXPECT_EQ(eigen.Succeeded(), c.EigenvectorsFound > 0);
    }
}

TEST(StepReportsTest, ListsOnlyTheFirstHundredZeroMeanVectors) {
    std::vector<TVector> data;
    for (int i = 0; i < 150; ++i) data.push_back({static_cast<double>(i), 0});
    const TVectors vectors = MakeVectors(data);
    TVectors zeroMean;
    ASSERT_TRUE(zeroMean.TryAllocate(150));

    const TDimensionMeans means = SubtractMeans(vectors, 150, zeroMean);
    const std::vector<std::string> report = SubtractMeanReport(means, zeroMean, 150);

    ASSERT_EQ(report.size(), 7u + 100u);
    EXPECT_EQ(report[1], "X dimension: 74.500");
    EXPECT_EQ(report[7], "-74.500; 0.000");
    EXPECT_EQ(report.back(), "24.500; 0.000");  // vector 99
    EXPECT_EQ(zeroMean[149].X, 74.5);           // every vector is computed, not only the listed
}

}  // namespace
}  // namespace morvik
