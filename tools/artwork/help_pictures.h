#pragma once
// The formula pictures of the help box for the covariance step and the eigenvector step:
// black typeset formulas on white, 225 x 98 pixels, reduced to 16 grey levels.

#include <QImage>

namespace artwork {

inline constexpr int kHelpWidth = 225;
inline constexpr int kHelpHeight = 98;

QImage CovariancePicture();
QImage EigenvectorPicture();

}  // namespace artwork
