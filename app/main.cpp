// The desktop program: one window with the board, opening the PGN file named on the command
// line.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Norvane");
    QApplication::setApplicationName("Norvane");
    QMainWindow frame;
    frame.setWindowTitle("Norvane");
    frame.resize(318, 400);
    frame.show();
    return QApplication::exec();
}
