#include "app/docview.h"

#include <QApplication>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

CDocument::~CDocument() {
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

void CDocument::AddView(CView* view) {
    if (view->m_pDocument == this) return;
    if (view->m_pDocument) view->m_pDocument->RemoveView(view);
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    const auto found = std::find(m_views.begin(), m_views.end(), view);
    if (found == m_views.end()) return;
    m_views.erase(found);
    view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, int hint) {
    // A view may not add or remove views while it hears a hint; a copy keeps the loop sound
    // even so.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender) view->OnUpdate(sender, hint);
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    m_bModified = false;
    return true;
}

void CDocument::OnOpenDocument(const QString& path) {
    DeleteContents();
    m_bModified = false;
    EndOpen(path, true);
}

bool CDocument::NewDocumentFile() {
    FinishPendingWork();
    if (!OnNewDocument()) return false;
    m_strPathName.clear();
    SendInitialUpdate();
    return true;
}

void CDocument::OpenDocumentFile(const QString& path) {
    FinishPendingWork();
    OnOpenDocument(path);
}

void CDocument::EndOpen(const QString& path, bool opened) {
    if (opened) {
        m_strPathName = path;
        m_bModified   = false;
        SendInitialUpdate();
        OnDocumentShown();
    }
    emit openEnded(opened);
}

void CDocument::SendInitialUpdate() {
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        view->OnInitialUpdate();
}

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

void CView::OnUpdate(CView*, int) { update(); }

void CView::OnDraw(QPainter&, const QRect&) {}

void CView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    OnDraw(painter, event->rect());
}

void CCmdUI::Enable(bool on) {
    if (m_pAction) m_pAction->setEnabled(on);
}

void CCmdUI::SetCheck(bool on) {
    if (!m_pAction) return;
    m_pAction->setCheckable(true);
    m_pAction->setChecked(on);
}

CCommandTable::CCommandTable(QObject* parent) : QObject(parent) {
    // The dispatcher exists once the application object does; the rules then follow every
    // state change before the user can see or use a command.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &CCommandTable::UpdateCommandUI);
}

QAction* CCommandTable::Add(int id, Handler handler, Rule enabled, Rule checked) {
    auto* action = new QAction(this);
    action->setData(id);
    if (checked) action->setCheckable(true);
    // A checkable action flips its own tick when triggered; the check rule decides it instead.
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    m_rows.push_back({id, action, std::move(handler), std::move(enabled), std::move(checked)});
    return action;
}

const CCommandTable::Row* CCommandTable::Find(int id) const {
    for (const Row& row : m_rows)
        if (row.id == id) return &row;
    return nullptr;
}

QAction* CCommandTable::Action(int id) const {
    const Row* row = Find(id);
    return row ? row->action : nullptr;
}

bool CCommandTable::Execute(int id) {
    const Row* row = Find(id);
    if (!row || m_held || (row->enabled && !row->enabled())) {
        UpdateCommandUI();
        return false;
    }
    // The handler may open a dialog whose event loop reaches UpdateCommandUI, which reads
    // m_rows; the row's handler is copied so that the call never depends on the vector.
    const Handler handler = row->handler;
    if (m_prelude) m_prelude();
    if (handler) handler();
    UpdateCommandUI();
    return true;
}

void CCommandTable::UpdateCommandUI() {
    for (const Row& row : m_rows) {
        CCmdUI ui(row.id, row.action);
        ui.Enable(!m_held && (!row.enabled || row.enabled()));
        if (row.checked) ui.SetCheck(row.checked());
    }
}

void CCommandTable::Hold(bool held) {
    m_held = held;
    UpdateCommandUI();
}

void CCommandTable::WatchMenu(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, &CCommandTable::UpdateCommandUI);
}

CWaitCursor::CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
CWaitCursor::~CWaitCursor() { QApplication::restoreOverrideCursor(); }
