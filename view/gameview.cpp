#include "view/gameview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
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
#include "view/playerrecordview.h"
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

CGameView::CGameView(CNorvaneDoc* doc, QWidget* parent)
    : CView(parent), m_pList(new CListViewEx(this)), m_pModel(new CGameListModel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);
    const ColumnLayout first = defaultColumnLayout();
    m_pList->SetModel(m_pModel, first.widths.data(), static_cast<int>(first.widths.size()));
    ApplyLayout(loadColumnLayout());
    connect(m_pList, &CListViewEx::columnsArranged, this, &CGameView::ColumnsChanged);
    QHeaderView* header = m_pList->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& pos) { ShowColumnMenu(header->mapToGlobal(pos)); });
    m_pList->installEventFilter(this);
    connect(m_pList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { LoadRow(index.row()); });
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pList, &QWidget::customContextMenuRequested, this, &CGameView::ShowContextMenu);
    connect(doc, &CNorvaneDoc::playerRecordAsked, this, &CGameView::ShowPlayerRecordOf);
    doc->AddView(this);
}

CNorvaneDoc* CGameView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CGameView::OnInitialUpdate() {
    // Another file: the record window's player belonged to the last one.
    if (m_pPlayerRecord) {
        m_pPlayerRecord->deleteLater();
        m_pPlayerRecord = nullptr;
    }
    OnUpdate(nullptr, HintRebuildList);
}

void CGameView::OnUpdate(CView*, int hint) {
    CNorvaneDoc* doc = GetDocument();
    if (doc && (hint & HintOpeningNames)) m_pModel->SetOpeningNames(doc->m_openingNames);
    if (!(hint & HintRebuildList)) return;
    CWaitCursor  wait;
    if (doc) {
        m_pModel->SetOpeningNames(doc->m_openingNames);
        m_pModel->SetFile(QFile::encodeName(doc->GetPathName()), doc->m_fileInfo.fileSize,
                          doc->m_games.size());
    }
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
    table.Add(CmdChooseColumns, [this] {
        const QHeaderView* header = m_pList->horizontalHeader();
        ShowColumnMenu(header->mapToGlobal(QPoint(0, header->height())));
    });
    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(show);
    m_pContextMenu->addAction(copy);
    table.WatchMenu(m_pContextMenu);
}

void CGameView::ShowContextMenu(const QPoint& pos) {
    const QModelIndex index = m_pList->indexAt(pos);
    if (!m_pContextMenu || !index.isValid()) return;
    // 選手情報 of the row's players, the one under the mouse first.
    for (QAction* action : m_playerActions) {
        m_pContextMenu->removeAction(action);
        action->deleteLater();
    }
    m_playerActions.clear();
    const GameEntry* entry = m_pModel->EntryAt(index.row());
    const CNorvaneDoc* doc = GetDocument();
    if (entry && doc) {
        const ListColumnKind kind  = m_pModel->Columns()[static_cast<std::size_t>(index.column())].kind;
        std::uint32_t        first = entry->white, second = entry->black;
        if (kind == BlackColumn || kind == BlackEloColumn) std::swap(first, second);
        QAction* separator = m_pContextMenu->addSeparator();
        m_playerActions << separator;
        for (std::uint32_t id : {first, second}) {
            if (id == 0) continue;
            const std::string_view name = doc->m_names.name(id);
            QAction* action = m_pContextMenu->addAction(
                QString::fromUtf8("選手情報: %1").arg(recordText(name.data(), static_cast<qsizetype>(name.size()))));
            connect(action, &QAction::triggered, this, [this, id] { ShowPlayerRecord(id); });
            m_playerActions << action;
        }
    }
    m_pContextMenu->exec(m_pList->viewport()->mapToGlobal(pos));
}

namespace {

void raiseWindow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void CGameView::ShowPlayerRecord(std::uint32_t name) {
    if (!m_pPlayerRecord) m_pPlayerRecord = new CPlayerRecordWindow(GetDocument(), window());
    m_pPlayerRecord->ShowPlayer(name);
    raiseWindow(m_pPlayerRecord);
}

void CGameView::ShowPlayerRecordOf(const QString& text) {
    if (!m_pPlayerRecord) m_pPlayerRecord = new CPlayerRecordWindow(GetDocument(), window());
    if (!m_pPlayerRecord->ShowPlayerText(text)) {
        MessageBox(QString::fromUtf8("「%1」を名前に含む選手はいません").arg(text));
        return;
    }
    raiseWindow(m_pPlayerRecord);
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

QMenu* CGameView::MakeColumnMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (int kind = 0; kind < TagColumn; ++kind) {
        const ListColumn column{static_cast<ListColumnKind>(kind), {}};
        QAction*         action = menu->addAction(columnMenuLabel(column.kind));
        action->setCheckable(true);
        action->setChecked(m_pModel->ColumnOf(column) >= 0);
        connect(action, &QAction::triggered, this, [this, column] { ToggleColumn(column); });
    }
    for (const ListColumn& column : m_pModel->Columns()) {
        if (column.kind != TagColumn) continue;
        QAction* action = menu->addAction(column.tag);
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::triggered, this, [this, column] { ToggleColumn(column); });
    }
    menu->addSeparator();
    connect(menu->addAction(QString::fromUtf8("その他のタグ(&O)...")), &QAction::triggered, this, [this] {
        const QString tag = AskTagName().trimmed();
        if (tag.isEmpty()) return;
        if (!validTagName(tag)) {
            MessageBox(QString::fromUtf8("タグ名には英数字と _ だけが使えます: %1").arg(tag));
            return;
        }
        ToggleColumn({TagColumn, tag});
    });
    connect(menu->addAction(QString::fromUtf8("既定の列に戻す(&D)")), &QAction::triggered, this,
            [this] { RestoreDefaultColumns(); });
    return menu;
}

void CGameView::ShowColumnMenu(const QPoint& globalPos) {
    QMenu* menu = MakeColumnMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

QString CGameView::AskTagName() {
    return QInputDialog::getText(this, QString::fromUtf8("その他のタグ"),
                                 QString::fromUtf8("列に表示するタグの名前:"));
}

void CGameView::ToggleColumn(const ListColumn& column) {
    const int shown = m_pModel->ColumnOf(column);
    if (shown >= 0 && m_pModel->columnCount() == 1) return; // the list keeps one column
    std::vector<int> widths = m_pList->ColumnWidths();
    widths.resize(static_cast<std::size_t>(m_pModel->columnCount()), 60);
    if (shown >= 0) {
        m_pModel->RemoveColumn(shown);
        widths.erase(widths.begin() + shown);
    } else {
        m_pModel->AddColumn(column);
        widths.push_back(columnFirstWidth(column));
    }
    m_pList->ForgetSort();
    m_pList->SetColumnWidths(widths);
    ColumnsChanged();
}

void CGameView::RestoreDefaultColumns() {
    ApplyLayout(defaultColumnLayout());
    ColumnsChanged();
}

ColumnLayout CGameView::CurrentLayout() const {
    ColumnLayout                   layout;
    const QHeaderView*             header  = m_pList->horizontalHeader();
    const std::vector<ListColumn>& columns = m_pModel->Columns();
    const std::vector<int>&        widths  = m_pList->ColumnWidths();
    for (int visual = 0; visual < header->count(); ++visual) {
        const auto column = static_cast<std::size_t>(header->logicalIndex(visual));
        if (column >= columns.size()) continue;
        layout.columns.push_back(columns[column]);
        layout.widths.push_back(column < widths.size() ? widths[column] : columnFirstWidth(columns[column]));
    }
    return layout;
}

void CGameView::ApplyLayout(const ColumnLayout& layout) {
    m_arranging = true;
    m_pModel->SetColumns(layout.columns);
    QHeaderView* header = m_pList->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        if (header->visualIndex(column) != column) header->moveSection(header->visualIndex(column), column);
    m_pList->ForgetSort();
    m_pList->SetColumnWidths(layout.widths);
    m_arranging = false;
}

void CGameView::ColumnsChanged() {
    if (!m_arranging) saveColumnLayout(CurrentLayout());
}
