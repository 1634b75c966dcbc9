// The desktop program: the board, the game list and the menus in one window; opens the PGN
// file named on the command line.
#include <QApplication>

#include "app/norvaneapp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CNorvaneApp  norvane;
    if (!norvane.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
