// The desktop program: one window with the board, opening the PGN file named on the command
// line.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "app/commands.h"
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

    CCommandTable commands;
    doc.AddCommands(commands);
    view->AddCommands(commands);
    struct Item {
        int         id;
        const char* text;
    };
    const auto addMenu = [&](const char* title, std::initializer_list<Item> items) {
        QMenu* menu = frame.menuBar()->addMenu(QString::fromUtf8(title));
        commands.WatchMenu(menu);
        for (const Item& item : items) {
            QAction* action = commands.Action(item.id);
            action->setText(QString::fromUtf8(item.text));
            menu->addAction(action);
        }
    };
    addMenu("編集(&E)", {{CmdSearch, "検索(&F)..."}, {CmdReload, "再読み込み(&R)"}});
    addMenu(
        "表示(&V)",
        {{CmdCoordinates, "座標(&C)"}, {CmdFlip, "座反転(&F)"}, {CmdFileInfo, "ファイル情報(&I)"}});

    const QStringList args = QApplication::arguments();
    if (args.size() > 1 ? !doc.OpenDocumentFile(args[1]) : !doc.NewDocumentFile()) return 1;
    frame.resize(318, 400);
    frame.show();
    return QApplication::exec();
}
