#include "view/gameview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/norvanedoc.h"
#include "view/norvaneview.h"
#include "records/gamefilter.h"
#include "records/pgnread.h"
#include "view/gamelistmodel.h"
#include "view/listviewex.h"
#include "view/recordtext.h"

QString recordTextPrefix(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return recordText(text.data(), static_cast<qsizetype>(text.size()));
    // The encoding is the whole text's; a cut inside a character (at most four bytes of
    // UTF-8, two of Shift_JIS) moves back to that character's start.
    const QString whole = recordText(text.data(), static_cast<qsizetype>(text.size()));
    for (std::size_t back = 0; back < 4 && back < limit; ++back) {
        const QString prefix = recordText(text.data(), static_cast<qsizetype>(limit - back));
        if (whole.startsWith(prefix)) return prefix;
    }
    return recordText(text.data(), static_cast<qsizetype>(limit));
}

namespace {

// The columns' first widths in pixels, by column (records/gamefilter.h numbers them).
constexpr int gameColumnWidths[ColumnCount] = {80, 80, 60, 30, 40, 40};

} // namespace

CGameView::CGameView(CNorvaneDoc* doc, QWidget* parent)
    : CView(parent), m_pList(new CListViewEx(this)), m_pModel(new CGameListModel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);
    m_pList->SetModel(m_pModel, gameColumnWidths, ColumnCount);
    m_pList->installEventFilter(this);
    connect(m_pList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { LoadRow(index.row()); });
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pList, &QWidget::customContextMenuRequested, this, &CGameView::ShowContextMenu);
    doc->AddView(this);
}

CNorvaneDoc* CGameView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CGameView::OnInitialUpdate() { OnUpdate(nullptr, HintRebuildList); }

void CGameView::OnUpdate(CView*, int hint) {
    if (!(hint & HintRebuildList)) return;
    CNorvaneDoc* doc = GetDocument();
    CWaitCursor  wait;
    m_pModel->Rebuild(doc ? &doc->m_games : nullptr, doc ? &doc->m_names : nullptr);
    if (m_pModel->rowCount() > 0) {
        // The game on the board keeps its row, when the list still holds it.
        const int row = doc ? m_pModel->RowOf(doc->m_loadedGame) : -1;
        m_pList->setCurrentIndex(m_pModel->index(row < 0 ? 0 : row, 0));
        m_pList->scrollTo(m_pList->currentIndex(), QAbstractItemView::PositionAtCenter);
        m_pList->setFocus();
    }
}

void CGameView::LoadRow(int row) {
    CNorvaneDoc*     doc   = GetDocument();
    const GameEntry* entry = m_pModel->EntryAt(row);
    if (!doc || !entry || doc->IsBoardBusy()) return;
    // A modified game on the board is saved or let go first.
    if (CNorvaneView* boardView = doc->GetBoardView(); boardView && !boardView->ConfirmDiscardGame())
        return;
    doc->LoadGame(entry, [this](bool) {
        // A cancelled re-index of a file changed on disk keeps the game on the board.
        if (GetDocument()->WasCancelled()) return;
        GetDocument()->UpdateAllViews(this, HintGameChosen);
    });
}

const GameEntry* CGameView::SelectedEntry() const {
    const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : m_pModel->EntryAt(rows.front().row());
}

void CGameView::WithSelectedGameText(CNorvaneDoc::TextReader use) {
    CNorvaneDoc*     doc   = GetDocument();
    const GameEntry* entry = SelectedEntry();
    if (doc && entry)
        doc->ReadGameText(entry, std::move(use));
    else
        use(false, {});
}

void CGameView::OnShowGameText() {
    if (!SelectedEntry()) return;
    WithSelectedGameText([this](bool, const std::string& text) {
        if (GetDocument()->WasCancelled()) return;
        MessageBox(recordTextPrefix(text, GameTextShowLimit));
    });
}

void CGameView::OnCopyGameText() {
    WithSelectedGameText([](bool, const std::string& text) {
        if (text.empty()) return;
        QApplication::clipboard()->setText(recordText(text.data(), static_cast<qsizetype>(text.size())));
    });
}

void CGameView::AddCommands(CCommandTable& table) {
    const auto selected = [this] { return SelectedEntry() != nullptr; };
    QAction*   show     = table.Add(
        CmdShowGameText, [this] { OnShowGameText(); }, selected);
    QAction* copy = table.Add(
        CmdCopyGameText, [this] { OnCopyGameText(); }, selected);
    show->setText(QString::fromUtf8("テキストで表示"));
    copy->setText(QString::fromUtf8("テキストのコピー"));
    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(show);
    m_pContextMenu->addAction(copy);
    table.WatchMenu(m_pContextMenu);
}

void CGameView::ShowContextMenu(const QPoint& pos) {
    if (!m_pContextMenu || !m_pList->indexAt(pos).isValid()) return;
    m_pContextMenu->exec(m_pList->viewport()->mapToGlobal(pos));
}

void CGameView::MessageBox(const QString& text) { QMessageBox::information(this, "Norvane", text); }

bool CGameView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
            if (!rows.isEmpty()) LoadRow(rows.front().row());
            return true;
        }
    }
    return CView::eventFilter(watched, event);
}
