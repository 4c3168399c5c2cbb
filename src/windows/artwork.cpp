#include "windows/artwork.h"

#include <QString>

// Q_INIT_RESOURCE names a function at global scope, so it cannot be used inside the namespace.
static void InitResources() {
    Q_INIT_RESOURCE(resources);
}

namespace morvik {

void RegisterArtwork() {
    static const bool registered = (InitResources(), true);
    (void)registered;
}

QPixmap HelpStep3Picture() {
    RegisterArtwork();
    return QPixmap(QString::fromLatin1(kHelpStep3Resource));
}

QPixmap HelpStep4Picture() {
    RegisterArtwork();
    return QPixmap(QString::fromLatin1(kHelpStep4Resource));
}

QIcon WindowIcon() {
    RegisterArtwork();
    return QIcon(QString::fromLatin1(kWindowIconResource));
}

}  // namespace morvik
