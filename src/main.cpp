// Program start: the application, the main window, then the hidden About window, and the
// message loop. No command-line arguments are read.
#include <QApplication>

#include "windows/form1.h"
#include "windows/form2.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvik"));
    TForm1 form1;
    TForm2 form2(&form1);
    form1.SetAboutWindow(&form2);
    form1.show();
    return QApplication::exec();
}
