#include "view/analysispane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

#include "app/norvanedoc.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "view/norvaneview.h"

namespace {

constexpr int Margin = 4;
constexpr int Gap    = 6; // between the score and the moves

// "12.3M", "456k" or the count itself: a node count short enough for the header.
QString countText(long long count) {
    if (count >= 10'000'000) return QString::number(count / 1'000'000) + 'M';
    if (count >= 1'000'000) return QString::number(count / 1e6, 'f', 1) + 'M';
    if (count >= 10'000) return QString::number(count / 1000) + 'k';
    return QString::number(count);
}

// The moves of a line as drawn: each with its move number when it has one ("12. Nf3", "Nc6",
// or "12... Nc6" when the line begins with Black's move).
std::vector<QString> moveTexts(const SanLine& line) {
    std::vector<QString> texts;
    for (std::size_t i = 0; i < line.san.size(); ++i) {
        const std::size_t ply    = i + (line.whiteFirst ? 0 : 1);
        const int         number = line.firstMoveNumber + static_cast<int>(ply / 2);
        QString           text   = QString::fromStdString(line.san[i]);
        if (ply % 2 == 0)
            text = QString("%1. %2").arg(number).arg(text);
        else if (i == 0)
            text = QString("%1... %2").arg(number).arg(text);
        texts.push_back(text);
    }
    return texts;
}

} // namespace

AnalysisPosition ShownAnalysisPosition(const CNorvaneView& view) {
    AnalysisPosition position;
    position.fen = gameHeader.fen;
    char text[8];
    for (int i = 0; i < gamePly && i < MaxGameMoves && gameMoves[i].piece != NoPiece; ++i) {
        moveToCoords(gameMoves[i], text);
        position.moves.emplace_back(text);
    }
    if (view.m_mode & ModeResearch)
        for (int i = 0; i < view.m_researchCount && i < MaxGameMoves; ++i) {
            moveToCoords(view.m_researchMoves[i], text);
            position.moves.emplace_back(text);
        }
    return position;
}

QString AnalysisScoreText(const UciScore& score) {
    QString text;
    if (score.kind == UciScore::Mate)
        text = QString("#%1").arg(score.value);
    else if (score.value == 0)
        text = "0.00";
    else
        text = QString("%1%2.%3")
                   .arg(score.value > 0 ? '+' : '-')
                   .arg(std::abs(score.value) / 100)
                   .arg(std::abs(score.value) % 100, 2, 10, QChar('0'));
    if (score.lowerbound) text.prepend(QChar(0x2265)); // ≥
    if (score.upperbound) text.prepend(QChar(0x2264)); // ≤
    return text;
}

QString AnalysisLineText(const AnalysisLine& line) {
    return AnalysisScoreText(line.score) + ' ' + QString::fromStdString(numberedSan(line.line));
}

CAnalysisPane::CAnalysisPane(CNorvaneDoc* doc, AnalysisSession* session, QWidget* parent)
    : CView(parent), m_session(session), m_copy(new QAction(QStringLiteral("コピー(&C)"), this)) {
    setObjectName("analysisPane");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    m_copy->setStatusTip(QStringLiteral("解析の読み筋をテキストでクリップボードにコピーします"));
    connect(m_copy, &QAction::triggered, this, &CAnalysisPane::CopyLines);
    addAction(m_copy);
    connect(session, &AnalysisSession::snapshotChanged, this, &CAnalysisPane::TakeSnapshot);
    connect(session, &AnalysisSession::noticeChanged, this, &CAnalysisPane::TakeNotice);
    m_snapshot = session->snapshot();
    m_message  = session->notice();
    doc->AddView(this);
}

CNorvaneDoc* CAnalysisPane::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CAnalysisPane::OnUpdate(CView*, int) { FollowShownPosition(); }

void CAnalysisPane::FollowShownPosition() {
    if (!m_session->isRunning() || !GetDocument()) return;
    if (const CNorvaneView* view = GetDocument()->GetBoardView())
        m_session->setPosition(ShownAnalysisPosition(*view));
}

void CAnalysisPane::ShowFailure(const QString& message) {
    m_failed   = true;
    m_message  = message;
    m_snapshot = AnalysisSnapshot{};
    update();
}

void CAnalysisPane::TakeSnapshot(const AnalysisSnapshot& snapshot) {
    m_snapshot = snapshot;
    if (m_failed) {
        m_failed  = false; // the analysis runs again
        m_message = m_session->notice();
    }
    update();
}

void CAnalysisPane::TakeNotice(const QString& notice) {
    m_failed  = false;
    m_message = notice;
    update();
}

QString CAnalysisPane::LinesText() const {
    QStringList rows;
    for (const AnalysisLine& line : m_snapshot.lines)
        rows << AnalysisLineText(line);
    return rows.join('\n');
}

void CAnalysisPane::CopyLines() {
    const QString text = LinesText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text + '\n');
}

QString CAnalysisPane::FiguresText() const {
    QStringList parts;
    if (m_snapshot.depth > 0)
        parts << (m_snapshot.seldepth > 0
                      ? QStringLiteral("深さ %1/%2").arg(m_snapshot.depth).arg(m_snapshot.seldepth)
                      : QStringLiteral("深さ %1").arg(m_snapshot.depth));
    if (m_snapshot.nodes > 0) parts << QStringLiteral("ノード %1").arg(countText(m_snapshot.nodes));
    if (m_snapshot.nps > 0) parts << QStringLiteral("%1 kN/s").arg(m_snapshot.nps / 1000);
    if (m_snapshot.hashfull >= 0)
        parts << QStringLiteral("ハッシュ %1%").arg((m_snapshot.hashfull + 5) / 10);
    return parts.join(QStringLiteral("  "));
}

QString CAnalysisPane::WdlText() const {
    if (m_snapshot.lines.empty() || !m_snapshot.lines.front().wdl) return QString();
    const UciWdl& wdl = *m_snapshot.lines.front().wdl;
    const auto percent = [](int perMille) { return QString::number((perMille + 5) / 10) + '%'; };
    return QStringLiteral("白勝 %1  引分 %2  黒勝 %3")
        .arg(percent(wdl.win), percent(wdl.draw), percent(wdl.loss));
}

int CAnalysisPane::RowHeight() const { return fontMetrics().height() + 3; }

int CAnalysisPane::LinesTop() const { return Margin + RowHeight() * (WdlText().isEmpty() ? 2 : 3) + 2; }

CAnalysisPane::RowLayout CAnalysisPane::LayOutRow(int row) const {
    RowLayout layout;
    if (row < 0 || row >= static_cast<int>(m_snapshot.lines.size())) return layout;
    const AnalysisLine& line = m_snapshot.lines[static_cast<std::size_t>(row)];
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics metrics = fontMetrics();
    const int          top     = LinesTop() + row * RowHeight();
    const int          height  = RowHeight();
    const int          scoreW  = boldMetrics.horizontalAdvance(QStringLiteral("≥+00.00"));
    layout.score     = AnalysisScoreText(line.score);
    layout.scoreRect = QRect(Margin, top, scoreW, height);
    const int right    = width() - Margin;
    const int space    = metrics.horizontalAdvance(' ');
    const int ellipsis = metrics.horizontalAdvance(QChar(0x2026));
    int       x        = Margin + scoreW + Gap;
    const std::vector<QString> texts = moveTexts(line.line);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int  w    = metrics.horizontalAdvance(texts[i]);
        const bool last = i + 1 == texts.size();
        if (x + w + (last ? 0 : space + ellipsis) > right) {
            layout.cut = true;
            break;
        }
        layout.texts.push_back(texts[i]);
        layout.rects.emplace_back(x, top, w, height);
        x += w + space;
    }
    return layout;
}

QRect CAnalysisPane::MoveRect(int row, int index) const {
    const RowLayout layout = LayOutRow(row);
    return index >= 0 && index < static_cast<int>(layout.rects.size())
               ? layout.rects[static_cast<std::size_t>(index)]
               : QRect();
}

bool CAnalysisPane::MoveAt(QPoint p, int& row, int& index) const {
    for (row = 0; row < static_cast<int>(m_snapshot.lines.size()); ++row) {
        const RowLayout layout = LayOutRow(row);
        for (index = 0; index < static_cast<int>(layout.rects.size()); ++index)
            if (layout.rects[static_cast<std::size_t>(index)].contains(p)) return true;
    }
    return false;
}

void CAnalysisPane::OnDraw(QPainter& painter, const QRect&) {
    const QPalette& colours = palette();
    const int       height  = RowHeight();
    const int       right   = width() - Margin;
    const QFontMetrics metrics = fontMetrics();
    QFont bold = font();
    bold.setBold(true);
    const auto header = [&](int row, const QString& text, const QFont& font, QPalette::ColorRole role) {
        painter.setFont(font);
        painter.setPen(colours.color(role));
        const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, right - Margin);
        painter.drawText(QRect(Margin, Margin + row * height, right - Margin, height),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
    };
    header(0, QStringLiteral("解析: %1").arg(m_snapshot.engineName.isEmpty() ? m_session->engineName()
                                                                          : m_snapshot.engineName),
           bold, QPalette::Text);
    header(1, FiguresText(), font(), QPalette::PlaceholderText);
    if (const QString wdl = WdlText(); !wdl.isEmpty()) header(2, wdl, font(), QPalette::Text);
    const int top = LinesTop();
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(Margin, top - 2, right, top - 2);

    if (!m_message.isEmpty() || m_snapshot.lines.empty()) {
        QString text = m_message;
        if (text.isEmpty())
            text = m_session->isRunning() ? QStringLiteral("解析しています…")
                                          : QStringLiteral("解析は止まっています。");
        painter.setFont(font());
        painter.setPen(colours.color(m_failed ? QPalette::BrightText : QPalette::Text));
        if (m_failed) painter.setPen(QColor(0xB0, 0x20, 0x20));
        painter.drawText(QRect(Margin, top + 2, right - Margin, this->height() - top - 2),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        return;
    }
    for (int row = 0; row < static_cast<int>(m_snapshot.lines.size()); ++row) {
        const RowLayout layout = LayOutRow(row);
        painter.setFont(bold);
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(layout.scoreRect, Qt::AlignRight | Qt::AlignVCenter, layout.score);
        painter.setFont(font());
        for (std::size_t i = 0; i < layout.texts.size(); ++i)
            painter.drawText(layout.rects[i], Qt::AlignLeft | Qt::AlignVCenter, layout.texts[i]);
        if (layout.cut) {
            const int x = layout.rects.empty() ? layout.scoreRect.right() + Gap
                                               : layout.rects.back().right() + metrics.horizontalAdvance(' ');
            painter.drawText(QRect(x, layout.scoreRect.top(), right - x + Margin, height),
                             Qt::AlignLeft | Qt::AlignVCenter, QString(QChar(0x2026)));
        }
    }
}

void CAnalysisPane::PlayLine(int row, int index) {
    if (row < 0 || row >= static_cast<int>(m_snapshot.lines.size()) || index < 0) return;
    CNorvaneView* view = GetDocument() ? GetDocument()->GetBoardView() : nullptr;
    // The line belongs to the position the session analyses; the board must still show it.
    if (!view || !m_session->isRunning() || ShownAnalysisPosition(*view) != m_session->position())
        return;
    const std::vector<std::string>& coords = m_snapshot.lines[static_cast<std::size_t>(row)].line.coords;
    const std::size_t               count  = std::min(coords.size(), static_cast<std::size_t>(index) + 1);
    std::vector<Move> moves;
    const Board       saved = board;
    for (std::size_t i = 0; i < count; ++i) {
        Move move{};
        if (!coordsToMove(coords[i].c_str(), &move)) break;
        moves.push_back(move);
        makeMove(move);
    }
    board = saved;
    view->PlayResearchLine(moves);
}

void CAnalysisPane::mousePressEvent(QMouseEvent* event) {
    int row = 0, index = 0;
    if (event->button() != Qt::LeftButton || !MoveAt(event->position().toPoint(), row, index)) {
        CView::mousePressEvent(event);
        return;
    }
    // The board moves once the click is over: moving it makes the pane's rows again.
    QMetaObject::invokeMethod(this, [this, row, index] { PlayLine(row, index); },
                              Qt::QueuedConnection);
}

void CAnalysisPane::mouseMoveEvent(QMouseEvent* event) {
    int row = 0, index = 0;
    setCursor(MoveAt(event->position().toPoint(), row, index) ? Qt::PointingHandCursor
                                                              : Qt::ArrowCursor);
    CView::mouseMoveEvent(event);
}

void CAnalysisPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    m_copy->setEnabled(!m_snapshot.lines.empty());
    menu.addAction(m_copy);
    menu.exec(event->globalPos());
    m_copy->setEnabled(true);
}

QSize CAnalysisPane::sizeHint() const {
    // The header and as many rows as lines are asked for.
    return {300, Margin * 2 + RowHeight() * (3 + m_session->lineCount()) + 4};
}

QSize CAnalysisPane::minimumSizeHint() const { return {80, Margin * 2 + RowHeight() * 4}; }
