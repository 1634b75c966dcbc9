// The desktop program: one window with the board, opening the PGN file named on the command
// line.
#include <QApplication>
#include <QMainWindow>

#include "app/norvanedoc.h"
#include "view/norvaneview.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Norvane");
    QApplication::setApplicationName("Norvane");

    CNorvaneDoc doc;
    QMainWindow frame;
    frame.setWindowTitle("Norvane");
    auto* view = new CNorvaneView(&doc);
    frame.setCentralWidget(view);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 ? !doc.OpenDocumentFile(args[1]) : !doc.NewDocumentFile()) return 1;
    frame.resize(318, 400);
    frame.show();
    return QApplication::exec();
}
