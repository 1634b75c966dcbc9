#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QTest>

#include <vector>

#include "records/gamefilter.h"
#include "tests/qtestmain.h"
#include "view/gamelistmodel.h"
#include "view/listviewex.h"
#include "view/recordtext.h"

namespace {

GameEntry entry(PlayerNames& names, const char* white, const char* black, int result, int moves,
                int year, int eco, bool matched = true) {
    GameEntry e{};
    e.white = names.intern(white);
    e.black = names.intern(black);
    e.info  = static_cast<std::uint16_t>(eco | result | (matched ? Matched : 0));
    e.moves = static_cast<std::uint16_t>(moves);
    e.year  = static_cast<std::int16_t>(year);
    return e;
}

QStringList column(const CGameListModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) texts << model.index(row, column).data().toString();
    return texts;
}

}  // namespace

class GameListTest : public QObject {
    Q_OBJECT
private slots:
    void rowsAreTheMatchedEntriesInFileOrder() {
        PlayerNames                  names;
        const std::vector<GameEntry> games = {
            entry(names, "Tal", "Botvinnik", WhiteWon, 41, 1960, 100),
            entry(names, "hidden", "game", Drawn, 10, 1999, 0, false),
            entry(names, "Carlsen", "anand", Drawn, 30, 2014, NoEco),
            entry(names, "Fischer", "Spassky", BlackWon, 62, 1972, 499),
        };
        CGameListModel           model;
        QAbstractItemModelTester tester(&model);
        model.Rebuild(&games, &names);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("fm"));
        QCOMPARE(column(model, 0), (QStringList{"Tal", "Carlsen", "Fischer"}));
        QCOMPARE(column(model, 2), (QStringList{"1-0", "1/2-1/2", "0-1"}));
        QCOMPARE(column(model, 5), (QStringList{"B00", "", "E99"}));
        QCOMPARE(model.EntryAt(1), &games[2]);
        QCOMPARE(model.EntryAt(3), nullptr);
    }

    void sortsAscendingStablyAndSelectionFollows() {
        PlayerNames                  names;
        const std::vector<GameEntry> games = {
            entry(names, "b", "x", Drawn, 30, 2001, 5),
            entry(names, "A", "y", WhiteWon, 12, 1990, NoEco),
            entry(names, "c", "z", 0, 30, 2001, 2),
            entry(names, "a", "w", BlackWon, 7, 1985, 300),
        };
        CGameListModel model;
        model.Rebuild(&games, &names);
        CListViewEx view;
        const int   widths[ColumnCount] = {80, 80, 60, 30, 40, 40};
        view.resize(200, 100); // narrower than the columns: they keep their widths
        view.SetModel(&model, widths, ColumnCount);
        QCOMPARE(view.columnWidth(2), 60);
        view.selectRow(2);  // "c"

        model.sort(ColumnWhite);
        QCOMPARE(column(model, 0), (QStringList{"A", "a", "b", "c"}));  // case folded, stable
        QCOMPARE(view.selectionModel()->selectedRows().value(0).row(), 3);
        model.sort(ColumnWhite, Qt::DescendingOrder);  // equal keys keep their order
        QCOMPARE(column(model, 0), (QStringList{"c", "b", "A", "a"}));
        model.sort(ColumnWhite);
        model.sort(ColumnResult);
        QCOMPARE(column(model, 2), (QStringList{"*", "1-0", "0-1", "1/2-1/2"}));
        model.sort(ColumnMoves);
        QCOMPARE(column(model, 3), (QStringList{"7", "12", "30", "30"}));
        QCOMPARE(column(model, 0).mid(2), (QStringList{"c", "b"}));  // equal keys keep the last order
        model.sort(ColumnYear);
        QCOMPARE(column(model, 4), (QStringList{"1985", "1990", "2001", "2001"}));
        model.sort(ColumnEco);
        QCOMPARE(column(model, 5), (QStringList{"A02", "A05", "D00", ""}));
        QCOMPARE(view.selectionModel()->selectedRows().value(0).data().toString(), QStringLiteral("c"));
    }

    // Chosen columns show the index's other fields; ratings and dates sort as numbers with
    // the unknown ones last in both directions, partial dates by their known parts.
    void chosenColumnsSortRatingsAndDatesAsNumbers() {
        PlayerNames names;
        const auto  rated = [&names](const char* white, int elo, int year, int month, int day,
                                    const char* event) {
            GameEntry e = entry(names, white, "x", Drawn, 20, year, 100);
            e.whiteElo  = static_cast<std::uint16_t>(elo);
            e.month     = static_cast<std::uint8_t>(month);
            e.day       = static_cast<std::uint8_t>(day);
            e.event     = names.intern(event);
            return e;
        };
        std::vector<GameEntry> games = {
            rated("a", 2700, 2012, 3, 0, "Wijk"),  rated("b", 0, 2012, 1, 14, "london"),
            rated("c", 950, 0, 0, 0, "Casual"),    rated("d", 2835, 2012, 3, 1, "London"),
            rated("e", 0, 2011, 10, 8, ""),
        };
        for (std::uint32_t i = 0; i < games.size(); ++i) games[i].number = i;
        CGameListModel           model;
        QAbstractItemModelTester tester(&model);
        model.SetColumns({{NumberColumn, {}}, {WhiteEloColumn, {}}, {DateColumn, {}}, {EventColumn, {}}});
        model.Rebuild(&games, &names);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("白レート"));
        QCOMPARE(column(model, 0), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(column(model, 2).value(0), QStringLiteral("2012.03.??"));
        QCOMPARE(model.index(3, 3).data(Qt::ToolTipRole).toString(), QStringLiteral("London"));

        struct Case {
            int           column;
            Qt::SortOrder order;
            QStringList   numbers; // the rows' game numbers after the sort
        };
        const Case cases[] = {
            {1, Qt::AscendingOrder, {"3", "1", "4", "2", "5"}},  // 950 < 2700 < 2835, unknown last
            {1, Qt::DescendingOrder, {"4", "1", "3", "2", "5"}}, // unknown last, in their order
            {2, Qt::AscendingOrder, {"5", "2", "1", "4", "3"}},  // 2012.03.?? before 2012.03.01
            {2, Qt::DescendingOrder, {"4", "1", "2", "5", "3"}}, // no date last
            {3, Qt::AscendingOrder, {"5", "3", "2", "4", "1"}},  // case folded, stable
            {0, Qt::DescendingOrder, {"5", "4", "3", "2", "1"}},
        };
        for (const Case& c : cases) {
            model.sort(0); // file order first: the cases' equal keys keep it
            model.sort(c.column, c.order);
            QCOMPARE(column(model, 0), c.numbers);
        }
    }

    void recordTextDecodesEachEncoding() {
        QCOMPARE(recordText("Kasparov"), QStringLiteral("Kasparov"));
        QCOMPARE(recordText("\xE7\xBE\xBD\xE7\x94\x9F"), QString::fromUtf8("羽生"));  // UTF-8
        QCOMPARE(recordText("\x89\x48\x90\xB6"), QString::fromUtf8("羽生"));          // Shift_JIS
        QCOMPARE(recordText("Bj\xF8rn"), QString::fromUtf8("Bjørn"));                 // Latin-1
        QCOMPARE(recordText("M\xFCller"), QString::fromUtf8("Müller"));
        QCOMPARE(recordText("R\xE9ti"), QString::fromUtf8("Réti"));
        QCOMPARE(recordText("\x83\x4E\x83\x89\x83\x80\x83\x6A"), QString::fromUtf8("クラムニ"));
        QCOMPARE(recordText("\xC3"), QString::fromUtf8("Ã"));  // a cut UTF-8 sequence is Latin-1
    }
};

NORVANE_TEST(GameListTest);
#include "gamelist_test.moc"
