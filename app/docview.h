// The document/view layer the program stands on: a document with its views and the update
// broadcast, views that draw and react to hints, and commands as QActions keyed by their
// numeric identifiers, whose enable and check rules run when the program is idle.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QPainter;
class CView;

// The document: one open file (or none) and the views that show it. It never owns its views.
class CDocument : public QObject {
    Q_OBJECT
public:
    CDocument() = default;
    ~CDocument() override;

    void                       AddView(CView* view);
    void                       RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }

    // Calls OnUpdate (sender, hint) of every view except sender (null reaches all).
    void UpdateAllViews(CView* sender, int hint);

    // New: DeleteContents, no path, not modified. Returns false to refuse.
    virtual bool OnNewDocument();
    // Open, the document's own step: it opens path, then calls EndOpen (at once, or later
    // when it reads the file in the background). The base drops the contents and ends at once,
    // opened.
    virtual void OnOpenDocument(const QString& path);
    // Drops everything the document holds.
    virtual void DeleteContents() {}
    // Called first by NewDocumentFile and OpenDocumentFile, before anything changes: work
    // that uses what the document holds ends here.
    virtual void FinishPendingWork() {}
    // Called last by OpenDocumentFile, once every view shows the opened file.
    virtual void OnDocumentShown() {}

    const QString& GetPathName() const { return m_strPathName; }
    void           SetPathName(const QString& path) { m_strPathName = path; }
    bool           IsModified() const { return m_bModified; }
    void           SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    // The whole New sequence: the document's own step, the path name, then every view's
    // OnInitialUpdate. False (and no initial update) when the document's step failed.
    bool NewDocumentFile();
    // The Open sequence: the document's own step (OnOpenDocument) starts it; when that ends
    // (EndOpen), the path name, every view's OnInitialUpdate and OnDocumentShown follow, and
    // openEnded tells how it went (no initial update when it failed).
    void OpenDocumentFile(const QString& path);

signals:
    // An Open has ended: opened, or not (the document as it was before).
    void openEnded(bool opened);

protected:
    // Ends the open OnOpenDocument started.
    void EndOpen(const QString& path, bool opened);

private:
    void SendInitialUpdate();

    std::vector<CView*> m_views;
    QString             m_strPathName;
    bool                m_bModified = false;
};

// A view of the document: a widget that draws through OnDraw and hears of changes through
// OnUpdate. Adding it to a document (CDocument::AddView) sets GetDocument.
class CView : public QWidget {
    Q_OBJECT
public:
    explicit CView(QWidget* parent = nullptr) : QWidget(parent) {}
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // After every New and Open; the base lets OnUpdate redraw.
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
    // A change broadcast by the document or another view; the base repaints.
    virtual void OnUpdate(CView* sender, int hint);
    // Draws the part of the view within clip.
    virtual void OnDraw(QPainter& painter, const QRect& clip);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

// What an enable or check rule acts on: one command's action, or a status pane's text.
class CCmdUI {
public:
    CCmdUI(int id, QAction* action) : m_nID(id), m_pAction(action) {}
    void Enable(bool on = true);
    void SetCheck(bool on = true);

    const int m_nID;

private:
    QAction* m_pAction;
};

// The commands: one row per identifier with its handler, enable rule and check rule. The
// frame puts the actions into menus and toolbars; the table keeps their state current.
class CCommandTable : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using Rule    = std::function<bool()>;

    // The rules run at idle time (whenever the event loop is about to wait) and after every
    // command; UpdateCommandUI runs them at once.
    explicit CCommandTable(QObject* parent = nullptr);

    // Adds command id: an action that runs handler when triggered. No enable rule means always
    // enabled; a check rule makes the action checkable and ticked while the rule holds.
    QAction* Add(int id, Handler handler, Rule enabled = {}, Rule checked = {});
    QAction* Action(int id) const;

    // Runs command id as a menu choice would, after its enable rule; false when the command is
    // unknown or disabled.
    bool Execute(int id);

    // Runs every rule onto its action.
    void UpdateCommandUI();
    // While held every command is grayed and Execute refuses it, whatever its rule says: the
    // window is waiting for work that must not be disturbed.
    void Hold(bool held);
    bool IsHeld() const { return m_held; }
    // Runs prelude before the handler of every command that runs.
    void SetPrelude(Handler prelude) { m_prelude = std::move(prelude); }
    // Runs the rules whenever menu is about to open.
    void WatchMenu(QMenu* menu);

private:
    struct Row {
        int      id;
        QAction* action;
        Handler  handler;
        Rule     enabled;
        Rule     checked;
    };
    const Row* Find(int id) const;

    std::vector<Row> m_rows;
    Handler          m_prelude;
    bool             m_held = false;
};

// The wait cursor for the life of a scope.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&)            = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
