#include "view/parseproblem.h"

#include "resources/viewtexts.h"
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
    case ParseProblem::BadSetUp:
        return QString::fromUtf8(ViewText::GameBadSetUp);
    case ParseProblem::OtherVariant:
        return QString::fromUtf8(ViewText::GameOtherVariant);
    }
    return {};
}
