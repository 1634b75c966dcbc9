// Playing with the mouse: picking up and dropping pieces, the engine's reply, promotion, take
// back, a flipped board and the ends of a game, all driven by clicks on the squares.
#include <QRegularExpression>
#include <QTest>

#include <cstring>

#include "app/commands.h"
#include "engine/coords.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

class PlayTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    void newGame(int choice) { QVERIFY(f.newGame(choice)); }

private slots:
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() { f.destroy(); }

    void atStartTheUserHasWhiteAgainstTheEngine() {
        QCOMPARE(f.view->m_mode, ModePlaying);
        QCOMPARE(f.view->m_engineSide, int(Black));
        QCOMPARE(QString(gameHeader.event), QString("Computer game"));
        QCOMPARE(QString(gameHeader.site), QString("Norvane"));
        QCOMPARE(QString(gameHeader.black), QString("Norvane"));
        QCOMPARE(QString(gameHeader.white), QString());
        QVERIFY(QRegularExpression("^\\d{4}\\.\\d\\d\\.\\d\\d$").match(gameHeader.date).hasMatch());
        QCOMPARE(gameHeader.info & EcoMask, NoEco);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    void theUserPlaysE4AndTheEngineRepliesWithABeep() {
        clickSquare(f.view, "e2");
        QVERIFY(f.view->m_pHeld);
        QCOMPARE(f.view->m_pHeld->GetZ(), CarriedDepth);
        // The carried piece follows the mouse.
        QTest::mouseMove(f.view, QPoint(150, 150));
        QCOMPARE(QPoint(f.view->m_pHeld->GetX(), f.view->m_pHeld->GetY()),
                 QPoint(150, 150) - f.view->m_grabOffset);
        clickSquare(f.view, "e4");

        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(gamePly, 2);
        const Move          played[2] = {gameMoves[0], gameMoves[1]};
        const std::uint64_t shown     = board.hashKey;
        char                text[6];
        moveToCoords(played[0], text);
        QCOMPARE(QString(text), QString("e2e4"));
        // The reply is legal in the position after 1.e4, and the Board shows it.
        moveToCoords(played[1], text);
        setupStartPosition();
        Move e4{}, reply{};
        QVERIFY(coordsToMove("e2e4", &e4));
        makeMove(e4);
        QVERIFY2(coordsToMove(text, &reply), text);
        makeMove(reply);
        QCOMPARE(board.hashKey, shown);
        QCOMPARE(f.view->beeps, 1);
        QCOMPARE(f.view->waitCursors, 1);
        QVERIFY(f.view->messages.isEmpty());
        QCOMPARE(f.view->m_mode, ModePlaying);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QCOMPARE(QString(f.view->m_gameSan[0]), QString("e4"));
    }

    void outOfTheBookTheSearchReplies() {
        QVERIFY(clickMove(f.view, "Na3")); // no opening line starts so
        QVERIFY(!thinkFromBook);
        QCOMPARE(gamePly, 2);
        char text[6];
        moveToCoords(gameMoves[1], text);
        const std::uint64_t shown = board.hashKey;
        unmakeMove(gameMoves[1]);
        Move reply{};
        QVERIFY2(coordsToMove(text, &reply), text);
        makeMove(reply);
        QCOMPARE(board.hashKey, shown);
        QCOMPARE(f.view->beeps, 1);
        QCOMPARE(f.view->waitCursors, 1);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    // Drops that are no move leave the piece in hand; only its own square puts it back.
    void dropsThatAreNoMove_data() {
        QTest::addColumn<QString>("line"); // game entry moves before the pick-up
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QPoint>("drop"); // window point of the drop
        QTest::addColumn<bool>("inHand");
        const auto at = [](const char* name) {
            return QRect(30 + 33 * (name[0] - 'a'), 237 - 33 * (name[1] - '1'), 31, 31).center();
        };
        QTest::newRow("not a move") << ""
                                    << "e2" << at("e5") << true;
        QTest::newRow("gutter between squares") << ""
                                                << "e2" << QPoint(92, 160) << true;
        QTest::newRow("off the board") << ""
                                       << "e2" << QPoint(5, 5) << true;
        QTest::newRow("onto its own king") << ""
                                           << "d1" << at("e1") << true;
        QTest::newRow("onto the enemy king") << ""
                                             << "e2" << at("e8") << true;
        QTest::newRow("leaves the king in check") << "e4 d5 Bb5+"
                                                  << "a7" << at("a6") << true;
        QTest::newRow("pinned piece") << "e4 e5 d4 Bb4+ Nc3 Nf6"
                                      << "c3" << at("e2") << true;
        QTest::newRow("its own square") << ""
                                        << "g1" << at("g1") << false;
    }

    void dropsThatAreNoMove() {
        QFETCH(QString, line);
        QFETCH(QString, pick);
        QFETCH(QPoint, drop);
        QFETCH(bool, inHand);
        newGame(EngineNone);
        for (const std::string& san : tokens(line.toStdString()))
            QVERIFY(clickMove(f.view, san));
        const int           plies  = gamePly;
        const std::uint64_t key    = board.hashKey;
        const int           square = squareOf(pick.toLatin1().constData());
        clickSquare(f.view, square);
        const bool own = board.colourBits[board.sideToMove] & squareBit[square];
        QCOMPARE(f.view->m_pHeld != nullptr, own);
        if (!own) return; // not the side to move's piece: nothing was picked up
        QTest::mouseClick(f.view, Qt::LeftButton, {}, drop);
        QCOMPARE(f.view->m_pHeld != nullptr, inHand);
        QCOMPARE(gamePly, plies);
        QCOMPARE(board.hashKey, key);
        // The right button cancels: the piece stands on its square again.
        QTest::mouseClick(f.view, Qt::RightButton, {}, drop);
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        for (const CSprite* s : f.doc->m_sprites.Sprites())
            QCOMPARE(s->GetZ(), RestingDepth);
        QVERIFY(f.view->messages.isEmpty());
    }

    void promotionAsksForThePiece_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("piece"); // on g8 afterwards; 0: nothing played
        QTest::newRow("rook") << PromoteRook << int(Rook);
        QTest::newRow("knight") << PromoteKnight << int(Knight);
        QTest::newRow("queen") << PromoteQueen << int(Queen);
        QTest::newRow("cancel") << CancelPromotion << 0;
    }

    void promotionAsksForThePiece() {
        QFETCH(int, answer);
        QFETCH(int, piece);
        newGame(EngineNone);
        for (const std::string& san : tokens("h4 g5 hxg5 Nf6 g6 Ne4 g7 Nc3"))
            QVERIFY(clickMove(f.view, san));
        f.view->promotionAnswers = {answer};
        clickSquare(f.view, "g7");
        clickSquare(f.view, "g8");
        QCOMPARE(f.view->promotionsAsked, 1);
        QVERIFY(!f.view->m_pHeld);
        const int g8 = squareOf("g8"), g7 = squareOf("g7");
        if (piece == 0) {
            QCOMPARE(gamePly, 8);
            QVERIFY(board.pieceBits[White][Pawn] & squareBit[g7]);
        } else {
            QCOMPARE(gamePly, 9);
            QVERIFY(board.pieceBits[White][piece] & squareBit[g8]);
            QCOMPARE(QString(f.view->m_gameSan[8]), QString("g8=%1").arg("?NBRQ"[piece - 1]));
            // The sprite on g8 shows the chosen piece.
            CDIB image;
            QVERIFY(image.Load(int(f.doc->m_pieceImageIds[White * 8 + piece])));
            CSprite* sprite = f.view->m_squareSprites[g8];
            QVERIFY(sprite);
            QVERIFY(std::memcmp(sprite->GetBits(), image.GetBits(),
                                std::size_t(image.GetStride()) * image.GetHeight()) == 0);
        }
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    void takeBackRemovesBothMoves() {
        CCommandTable table;
        f.view->RegisterCommands(table);
        f.view->engineMoves = {"c5"};
        QVERIFY(clickMove(f.view, "e4"));
        QCOMPARE(gamePly, 2);
        table.UpdateCommandUI();
        QVERIFY(table.Action(CmdTakeBack)->isEnabled());
        QVERIFY(table.Execute(CmdTakeBack));
        QCOMPARE(gamePly, 0);
        QCOMPARE(board.hashKey, keyAfter(gameMoves, 0));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QVERIFY(!table.Action(CmdTakeBack)->isEnabled());
        // A new move replaces the old ones.
        f.view->engineMoves = {"e5"};
        QVERIFY(clickMove(f.view, "d4"));
        QCOMPARE(QString(f.view->m_gameSan[0]) + " " + f.view->m_gameSan[1], QString("d4 e5"));
        QCOMPARE(gameMoves[2].piece, std::int16_t(0));
    }

    void theEngineOpensWithWhiteAndTakeBackWaitsForTwoMoves() {
        CCommandTable table;
        f.view->RegisterCommands(table);
        f.view->engineMoves = {"d4"};
        newGame(White);
        QCOMPARE(f.view->m_engineSide, int(White));
        QCOMPARE(QString(gameHeader.white), QString("Norvane"));
        QCOMPARE(QString(gameHeader.black), QString());
        QCOMPARE(gamePly, 1);
        QCOMPARE(f.view->beeps, 1);
        table.UpdateCommandUI();
        QVERIFY(!table.Action(CmdTakeBack)->isEnabled());
        // The start can be looked at; the game stays as it is.
        QVERIFY(table.Action(CmdBack)->isEnabled());
        // Black's pieces are the user's now; White's do not answer the mouse.
        clickSquare(f.view, "e2");
        QVERIFY(!f.view->m_pHeld);
        f.view->engineMoves = {"c4"};
        QVERIFY(clickMove(f.view, "Nf6"));
        QCOMPARE(gamePly, 3);
        QCOMPARE(f.view->beeps, 2);
        table.UpdateCommandUI();
        QVERIFY(table.Action(CmdTakeBack)->isEnabled());
    }

    void aCancelledNewGameChangesNothing() {
        QVERIFY(clickMove(f.view, "e4"));
        const int plies       = gamePly;
        f.view->newGameChoice = -1;
        f.view->OnNewGame();
        QCOMPARE(gamePly, plies);
        QCOMPARE(f.view->m_mode, ModePlaying);
    }

    void aFlippedBoardMapsClicksToTheRightSquares() {
        f.view->OnFlip();
        newGame(EngineNone);
        QCOMPARE(f.view->m_mode, ModePlaying | ModeFlipped);
        // Flipped, e2 is the fourth square from the right on the second row from the top,
        // and e4 the fourth from the right on the fourth row.
        QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(30 + 33 * 3 + 15, 237 - 33 * 6 + 15));
        QVERIFY(f.view->m_pHeld);
        QCOMPARE(f.view->m_pickSquare, squareOf("e2"));
        QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(30 + 33 * 3 + 15, 237 - 33 * 4 + 15));
        QCOMPARE(gamePly, 1);
        QCOMPARE(QString(f.view->m_gameSan[0]), QString("e4"));
        QVERIFY(f.view->m_squareSprites[63 - squareOf("e4")]);
        QVERIFY(!f.view->m_squareSprites[63 - squareOf("e2")]);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // Black answers on the flipped board too, and the move line follows.
        QVERIFY(clickMove(f.view, "e5"));
        QVERIFY(clickMove(f.view, "Nf3"));
        QCOMPARE(f.doc->m_strMoveInfo, QString("2 . Nf3  C40 King's knight opening"));
        QVERIFY(clickMove(f.view, "Nc6"));
        QCOMPARE(f.doc->m_strMoveInfo, QString("2 . . . Nc6  C44 King's pawn game"));
        QVERIFY(clickMove(f.view, "Bc4"));
        QCOMPARE(f.doc->m_strMoveInfo.left(7), QString("3 . Bc4"));
    }

    // How a game against the engine ends: the line alternates the user's and the engine's
    // moves (the engine's are scripted; at a mate or stalemate of the engine it is asked).
    void theEndsOfAGame_data() {
        QTest::addColumn<int>("engineSide");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("result");
        QTest::newRow("the engine mates") << int(Black) << "f3 e5 g4 Qh4#"
                                          << "checkmate!" << BlackWon;
        QTest::newRow("the engine mates with White") << int(White) << "e4 f6 d4 g5 Qh5#"
                                                     << "checkmate!" << WhiteWon;
        QTest::newRow("the engine resigns when mated") << int(Black) << "e4 f6 d4 g5 Qh5#"
                                                       << "負けました" << WhiteWon;
        const char* stalemate = "e3 a5 Qh5 Ra6 Qxa5 h5 h4 Rah6 Qxc7 f6 Qxd7+ Kf7 Qxb7 Qd3 Qxb8 "
                                "Qh7 Qxc8 Kg6 Qe6";
        QTest::newRow("the user stalemates the engine")
            << int(Black) << stalemate << "stalemate!" << Drawn;
        QTest::newRow("the engine stalemates the user")
            << int(White) << stalemate << "stalemate!" << Drawn;
    }

    void theEndsOfAGame() {
        QFETCH(int, engineSide);
        QFETCH(QString, line);
        QFETCH(QString, message);
        QFETCH(int, result);
        std::deque<std::string> moves = tokens(line.toStdString());
        for (std::size_t i = 0; i < moves.size(); ++i)
            if (int(i % 2) == engineSide) f.view->engineMoves.push_back(moves[i]);
        newGame(engineSide);
        int userMoves = 0;
        for (std::size_t i = 0; i < moves.size(); ++i)
            if (int(i % 2) != engineSide) {
                QVERIFY(clickMove(f.view, moves[i]));
                ++userMoves;
            }
        QCOMPARE(f.view->messages, QStringList{message});
        QCOMPARE(gameHeader.info & ResultMask, result);
        // The move line ends with the result.
        const char* resultText = result == WhiteWon ? "  1-0" : result == BlackWon ? "  0-1" : "  1/2-1/2";
        QVERIFY2(f.doc->m_strMoveInfo.contains(resultText), qPrintable(f.doc->m_strMoveInfo));
        // The user playing Black sees Black at the bottom.
        QCOMPARE(f.view->m_mode & ~DisplayModes, ModeViewing);
        QCOMPARE(bool(f.view->m_mode & ModeFlipped), engineSide == White);
        // Every turn of the user but the last was announced.
        const int turns = engineSide == White ? userMoves + 1 : userMoves;
        QCOMPARE(f.view->beeps, turns - 1);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // The finished game is viewed: no clicks, navigation works.
        clickSquare(f.view, "a2");
        QVERIFY(!f.view->m_pHeld);
        QVERIFY(f.view->HasPreviousMove() && f.view->CanNavigate());
    }

    // Commands that move the sprites first put a carried piece back on its square.
    void aCarriedPieceGoesBackBeforeCommandsMoveSprites() {
        newGame(EngineNone);
        for (const std::string& san : tokens("e4 e5 Nf3"))
            QVERIFY(clickMove(f.view, san));
        clickSquare(f.view, "b8");
        QTest::mouseMove(f.view, QPoint(150, 150));
        f.view->OnBack();
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(gamePly, 2);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        clickSquare(f.view, "g1");
        QVERIFY(f.view->m_pHeld);
        f.view->OnFlip();
        QVERIFY(!f.view->m_pHeld);
        QTest::mouseMove(f.view, QPoint(100, 100));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        clickSquare(f.view, "d2");
        f.view->newGameChoice = EngineNone;
        f.view->OnNewGame();
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    void entryStopsAtTheInputLimit() {
        newGame(EngineNone);
        // Knights back and forth up to the limit of 510 moves.
        const char* shuffle[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};
        for (int i = 0; i < InputMoveLimit; ++i) {
            Move m{};
            QVERIFY(sanToMove(shuffle[i % 4], 2, &m));
            gameMoves[i] = m;
            makeMove(m);
        }
        gamePly = InputMoveLimit;
        f.view->RebuildSprites();
        clickSquare(f.view, "e2");
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(gamePly, InputMoveLimit);
    }
};

NORVANE_TEST(PlayTest);
#include "play_test.moc"
