#pragma once
// The window icon: the program's name in blocky pixel letters on two overlapping rows, "MOR" in
// red over "VIK" in yellow, each outlined dark; 32 x 32, 16 colours, transparent background.

#include <QImage>

namespace artwork {

QImage Icon();

// The picture enlarged `factor` times, each pixel becoming a square block (no smoothing).
QImage Enlarge(const QImage& indexed, int factor);

}  // namespace artwork
