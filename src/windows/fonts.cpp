#include "windows/fonts.h"

#include <QStringList>

namespace morvik {
namespace {

// Liberation Sans is metric-compatible with Arial and hinted well at small sizes; the others
// are fallbacks for systems without it.
const QStringList kSansFamilies = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                   QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};

QFont SansFont(int pixel_size, QFont::Weight weight) {
    QFont font;
    font.setFamilies(kSansFamilies);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixel_size);
    font.setWeight(weight);
    font.setStyle(QFont::StyleNormal);
    return font;
}

}  // namespace

QFont UiFont() {
    return SansFont(11, QFont::Normal);
}

QFont UiBoldFont() {
    return SansFont(11, QFont::Bold);
}

QFont HeadingFont() {
    // Families with a real Black face get it; Liberation Sans falls back to its Bold.
    QFont font = SansFont(16, QFont::Black);
    font.setFamilies(QStringList{QStringLiteral("Arial Black")} + kSansFamilies);
    return font;
}

}  // namespace morvik
