// Generates the committed artwork: the two help pictures and the window icon (32 px for the
// window, larger copies for the desktop's icon theme).
//
//   morvik-artwork <resources dir> <packaging icons dir>

#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include "help_pictures.h"
#include "pixel_icon.h"
#include "png4.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: morvik-artwork <resources dir> <packaging icons dir>\n";
        return 2;
    }
    const QString resources = QString::fromLocal8Bit(argv[1]);
    const QString icons = QString::fromLocal8Bit(argv[2]);

    bool ok = artwork::WritePng4(artwork::CovariancePicture(), resources + "/help/step3.png");
    ok = artwork::WritePng4(artwork::EigenvectorPicture(), resources + "/help/step4.png") && ok;
    const QImage icon = artwork::Icon();
    ok = artwork::WritePng4(icon, resources + "/icon/morvik32.png") && ok;
    for (int size : {64, 128, 256}) {
        const QImage large = artwork::Enlarge(icon, size / 32);
        ok =
            artwork::WritePng4(large, QStringLiteral("%1/morvik%2.png").arg(icons).arg(size)) && ok;
    }
    if (!ok) err << "morvik-artwork: a picture could not be written\n";
    return ok ? 0 : 1;
}
