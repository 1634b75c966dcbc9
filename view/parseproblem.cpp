#include "view/parseproblem.h"

#include "engine/board.h"
#include "engine/fensetup.h"
#include "records/game.h"
#include "resources/viewtexts.h"
#include "view/pastemessages.h"
#include "view/recordtext.h"

QString parseProblemMessage(const ParseOutcome& outcome) {
    const QString number =
        QString::number(outcome.moveNumber) + QString::fromLatin1(outcome.blackMove ? "..." : ".");
    switch (outcome.problem) {
    case ParseProblem::None:
        return {};
    case ParseProblem::Grammar:
        return QString::fromUtf8(ViewText::GameBadText).arg(outcome.offset + 1);
    case ParseProblem::IllegalMove:
        return QString::fromUtf8(ViewText::GameBadMove).arg(number, recordText(outcome.move));
    case ParseProblem::TooManyMoves:
        return QString::fromUtf8(ViewText::GameTooLong).arg(number);
    case ParseProblem::BadSetUp: {
        // The FEN reader says why, tried on a copy of the Board (it is left as it was).
        char        why[128] = {};
        const Board kept     = board;
        const bool  stands   = setupBoardFromFen(gameHeader.fen, why, sizeof why);
        board                = kept;
        if (stands || !why[0]) return QString::fromUtf8(ViewText::GameBadSetUp);
        return QString::fromUtf8(ViewText::GameBadSetUpWhy).arg(fenProblemReason(why));
    }
    case ParseProblem::OtherVariant:
        return QString::fromUtf8(ViewText::GameOtherVariant);
    }
    return {};
}
