#include "view/reviewpane.h"

#include <QLabel>
#include <QVBoxLayout>

#include <cstring>
#include <sstream>

#include "app/norvanedoc.h"
#include "app/reviewsession.h"
#include "records/game.h"
#include "view/evalbar.h"
#include "view/evalgraph.h"
#include "view/norvaneview.h"
#include "view/reviewmarks.h"

namespace {

int gameMoveCount() {
    int count = 0;
    while (count < MaxGameMoves && gameMoves[count].piece)
        ++count;
    return count;
}

// One side's figures as the summary line writes them.
QString figuresText(const char* side, const SideFigures& figures) {
    return QStringLiteral("%1  ?! %2  ? %3  ?? %4  平均損失 %5  正確度 %6%")
        .arg(QString::fromUtf8(side))
        .arg(figures.inaccuracies)
        .arg(figures.mistakes)
        .arg(figures.blunders)
        .arg(qRound(figures.averageCpLoss))
        .arg(figures.accuracy, 0, 'f', 1);
}

} // namespace

CReviewPane::CReviewPane(CNorvaneDoc* doc, ReviewSession* session, ReviewMarks* marks,
                         QWidget* parent)
    : CView(parent), m_pSession(session), m_pMarks(marks), m_pGraph(new EvalGraph(this)),
      m_pExplanation(new QLabel(this)), m_pSummary(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_pGraph, 1);
    for (QLabel* line : {m_pExplanation, m_pSummary}) {
        line->setTextFormat(Qt::PlainText);
        line->setWordWrap(true);
        line->setContentsMargins(2, 0, 2, 0);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        layout->addWidget(line);
    }
    m_pSummary->hide();
    connect(m_pGraph, &EvalGraph::plyClicked, this, [this](int ply) {
        if (CNorvaneView* view = GetDocument()->GetBoardView()) view->GoToPly(ply, false);
    });
    connect(session, &ReviewSession::moveJudged, this, &CReviewPane::MoveJudged);
    connect(session, &ReviewSession::reviewEnded, this,
            [this](ReviewOutcome outcome, const QString&) { ReviewEnded(outcome); });
    connect(&session->Task(), &CBackgroundTask::runningChanged, this, [this](bool running) {
        m_pGraph->SetNotice(running ? QStringLiteral("棋譜解析中…") : QString());
    });
    connect(session, &ReviewSession::cleared, this, [this] {
        m_pMarks->Clear();
        m_pSummary->hide();
        RebuildPoints();
        ShowCurrentMove();
    });
    doc->AddView(this);
    FollowGame();
}

CNorvaneDoc* CReviewPane::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CReviewPane::OnUpdate(CView*, int hint) {
    if (hint & (HintPositionChanged | HintReloadGame)) FollowGame();
}

std::string CReviewPane::CurrentGameKey() {
    std::string key;
    for (const char* tag : {gameHeader.fen, gameHeader.white, gameHeader.black, gameHeader.event,
                            gameHeader.date, gameHeader.round}) {
        key.append(tag, strnlen(tag, TagFieldSize));
        key.push_back('\n');
    }
    const int count = gameMoveCount();
    key.append(reinterpret_cast<const char*>(gameMoves),
               static_cast<std::size_t>(count) * sizeof(Move));
    return key;
}

void CReviewPane::FollowGame() {
    std::string key = CurrentGameKey();
    if (key != m_gameKey) {
        m_gameKey = std::move(key);
        // The review was of another game: it goes (its end is not told).
        m_pSession->Clear();
        m_pMarks->Clear();
        m_pSummary->hide();
        m_input = currentGameGraphInput();
        // The first move's number and mover, from the start's FEN.
        m_whiteFirst  = m_input.whiteMovesFirst;
        m_firstNumber = 1;
        std::istringstream fields(gameHeader.fen);
        std::string        field;
        for (int k = 0; k < 6 && fields >> field; ++k)
            if (k == 5) m_firstNumber = std::max(1, std::atoi(field.c_str()));
        RebuildPoints();
    }
    ShowCurrentMove();
}

QString CReviewPane::MoveName(int ply) const {
    const CNorvaneView* view    = GetDocument() ? GetDocument()->GetBoardView() : nullptr;
    const int           shifted = ply + (m_whiteFirst ? 0 : 1);
    const int           number  = m_firstNumber + shifted / 2;
    const bool          white   = shifted % 2 == 0;
    const QString       san     = view && ply >= 0 && ply < MaxGameMoves
                                      ? QString::fromLatin1(view->m_gameSan[ply])
                                      : QString();
    return QStringLiteral("%1%2 %3").arg(number).arg(white ? "." : "...").arg(san);
}

void CReviewPane::RebuildPoints() {
    std::vector<GraphPoint> points = graphPoints(m_input);
    for (const std::optional<ReviewedMove>& move : m_pSession->Moves())
        if (move) applyReviewedMove(points, *move);
    QStringList names;
    for (std::size_t k = 0; k < points.size(); ++k)
        names.append(MoveName(static_cast<int>(k)));
    m_pGraph->SetPoints(std::move(points), names);
}

void CReviewPane::ShowCurrentMove() {
    m_pGraph->SetCurrentPly(gamePly);
    const int ply = gamePly - 1;
    QString   text;
    if (ply >= 0 && static_cast<std::size_t>(ply) < m_pGraph->Points().size()) {
        const GraphPoint& point = m_pGraph->Points()[static_cast<std::size_t>(ply)];
        text                    = MoveName(ply) + QString::fromLatin1(markText(point.mark));
        if (point.whiteEval)
            text += QStringLiteral("  評価 %1").arg(shortScoreText(*point.whiteEval));
        const auto& moves = m_pSession->Moves();
        if (static_cast<std::size_t>(ply) < moves.size() && moves[static_cast<std::size_t>(ply)] &&
            !moves[static_cast<std::size_t>(ply)]->explanation.empty())
            text += QStringLiteral("  ") +
                    QString::fromStdString(moves[static_cast<std::size_t>(ply)]->explanation);
    }
    if (m_pExplanation->text() != text) m_pExplanation->setText(text);
}

void CReviewPane::MoveJudged(int ply) {
    const auto& moves = m_pSession->Moves();
    if (ply < 0 || static_cast<std::size_t>(ply) >= moves.size() ||
        !moves[static_cast<std::size_t>(ply)])
        return;
    const ReviewedMove& move = *moves[static_cast<std::size_t>(ply)];
    m_pMarks->Set(ply, move.judgement.mark);
    std::vector<GraphPoint> points = m_pGraph->Points();
    applyReviewedMove(points, move);
    QStringList names;
    for (std::size_t k = 0; k < points.size(); ++k)
        names.append(MoveName(static_cast<int>(k)));
    m_pGraph->SetPoints(std::move(points), names);
    m_pSummary->setText(
        QStringLiteral("解析中… %1 / %2 手").arg(m_pSession->JudgedCount()).arg(moves.size()));
    m_pSummary->show();
    if (ply == gamePly - 1) ShowCurrentMove();
}

void CReviewPane::ReviewEnded(ReviewOutcome outcome) {
    if (outcome == ReviewOutcome::Failed && m_pSession->JudgedCount() == 0) {
        m_pSummary->hide();
        return;
    }
    QString text = figuresText("白", m_pSession->Figures(true)) + QStringLiteral("\n") +
                   figuresText("黒", m_pSession->Figures(false));
    if (outcome != ReviewOutcome::Done)
        text += QStringLiteral("\n（%1 / %2 手まで）")
                    .arg(m_pSession->JudgedCount())
                    .arg(m_pSession->Moves().size());
    m_pSummary->setText(text);
    m_pSummary->show();
}
