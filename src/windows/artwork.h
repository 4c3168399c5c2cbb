#pragma once
// The pictures compiled into the program: the formula pictures of the help box (steps 3 and 4,
// 225 x 98 pixels each, drawn unscaled) and the window icon (32 x 32).

#include <QIcon>
#include <QPixmap>

namespace morvik {

inline constexpr char kHelpStep3Resource[] = ":/help/step3.png";
inline constexpr char kHelpStep4Resource[] = ":/help/step4.png";
inline constexpr char kWindowIconResource[] = ":/icon/morvik32.png";

// Makes the resources above loadable. The functions below call it; code that opens the paths
// itself calls it first. A static library's resources are otherwise dropped by the linker.
void RegisterArtwork();

QPixmap HelpStep3Picture();
QPixmap HelpStep4Picture();
QIcon WindowIcon();

}  // namespace morvik
