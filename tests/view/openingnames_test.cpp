// The status line's opening under the opening-name setting, along the game and a research
// line after it.
#include <QTest>

#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

class OpeningNamesViewTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    // Kasparov - Deep Blue, game 1: 1.Nf3 d5 2.g3 (A07) Bg4 3.b3.
    void openAt(int plies) {
        QVERIFY(openFile(*f.doc, privateCopy("kasparov-deep-blue-1997.pgn")));
        for (int i = 0; i < plies; ++i) f.view->OnForward();
    }
    void setNames(const OpeningNameSettings& names) {
        f.doc->m_openingNames = names;
        f.doc->UpdateAllViews(nullptr, HintOpeningNames);
    }

private slots:
    void init() { f.make(); }
    void cleanup() { f.destroy(); }

    void researchLineKeepsTheNameOfTheGameLine() {
        openAt(4);
        QCOMPARE(f.doc->m_strMoveInfo, QString("2 . . . Bg4"));
        setNames({NamesEnglish, true});
        QCOMPARE(f.doc->m_strMoveInfo,
                 QString::fromUtf8("2 . . . Bg4  A07以降 Reti: King's Indian attack (Barcza system)"));
        f.view->OnResearch();
        QVERIFY(clickMove(f.view, "c4"));
        QVERIFY(clickMove(f.view, "e6"));
        QCOMPARE(f.doc->m_strMoveInfo,
                 QString::fromUtf8("3 . . . e6  A07以降 Reti: King's Indian attack (Barcza system)"));
        setNames({NamesJapanese, false});
        QCOMPARE(f.doc->m_strMoveInfo, QString("3 . . . e6"));
    }

    void researchLineReachesANamedPositionOfItsOwn() {
        openAt(2);
        setNames({NamesJapanese, true});
        f.view->OnResearch();
        QVERIFY(clickMove(f.view, "c4"));
        QCOMPARE(f.doc->m_strMoveInfo, QString::fromUtf8("2 . c4  A09 レティ・オープニング"));
        QVERIFY(clickMove(f.view, "dxc4"));
        QCOMPARE(f.doc->m_strMoveInfo, QString::fromUtf8("2 . . . dxc4  A09以降 レティ・オープニング"));
    }
};

NORVANE_TEST(OpeningNamesViewTest);
#include "openingnames_test.moc"
