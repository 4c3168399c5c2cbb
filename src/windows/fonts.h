#pragma once
// The fonts of the windows. The layout was designed for a small bitmap UI face at 11 pixels and a
// heavy display face at 16 pixels; these pick the closest installed families, by pixel size so
// the layout does not drift with the screen's dpi setting.

#include <QFont>

namespace morvik {

// Regular text of every control: a crisp sans-serif at 11 pixels.
QFont UiFont();

// UiFont in bold, for captions that stand out (titles of the About window, the step name).
QFont UiBoldFont();

// The heavy sans-serif at 16 pixels of the step indicator.
QFont HeadingFont();

}  // namespace morvik
