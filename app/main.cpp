// The desktop program: the board, the game list and the menus in one window; opens the PGN
// file named on the command line.
#include <QApplication>

#include "app/norvaneapp.h"
#include "app/recoveryfile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CNorvaneApp  norvane;
    // A command-line file that fails once read ends the program as one that fails at once.
    QObject::connect(&norvane, &CNorvaneApp::startUpFailed, [] { QCoreApplication::exit(1); });
    if (!norvane.InitInstance(QApplication::arguments(), recoveryFilePath())) return 1;
    return QApplication::exec();
}
