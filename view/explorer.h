// CExplorerView: the opening explorer (定跡ツリー) beside the board. After a file is opened it
// builds the file's opening tree in the background (m_buildTask, see docs/threads.md; the
// build reads the file on every processor), with its progress (and a cancel button) in the
// status bar; then, for the position on the board, it lists the moves played there with their
// counts and scores. Clicking a move plays it on the board; a button lists the games through
// the position.
#pragma once

#include <QString>

#include <memory>

#include "app/backgroundtask.h"
#include "app/docview.h"
#include "records/openingtree.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class CNorvaneDoc;
class CNorvaneView;
class CProgressPane;

class CExplorerView : public CView {
    Q_OBJECT
public:
    explicit CExplorerView(CNorvaneDoc* doc, QWidget* parent = nullptr);
    ~CExplorerView() override;

    CNorvaneDoc* GetDocument() const;
    // Where the build shows its progress; none: it shows only in the pane.
    void SetProgressPane(CProgressPane* pane) { m_buildTask.SetProgressPane(pane); }

    // After every New and Open: the old tree goes, a file with games has its tree built.
    void OnInitialUpdate() override;
    // Any change of the shown position: the rows are made again.
    void OnUpdate(CView* sender, int hint) override;

    // Builds the tree of the open file from the start, in the background; the build's end
    // (m_buildTask's finished) takes the tree in.
    void StartBuild();
    // Asks a running build to stop; when it has, the pane says it was cancelled.
    void CancelBuild();
    bool IsBuilding() const { return m_buildTask.IsRunning(); }
    const CBackgroundTask& BuildTask() const { return m_buildTask; }

    // Plays the move of row on the board.
    void PlayRow(int row);
    // Searches the file for the games through the board's position; the game list shows them.
    void ListGames();

    const OpeningTree& GetTree() const { return *m_tree; }
    const TreeAnswer&  GetAnswer() const { return m_answer; }
    QTreeWidget*       GetRows() const { return m_pRows; }
    QLabel*            GetSummary() const { return m_pSummary; }
    QPushButton*       GetListButton() const { return m_pListGames; }

signals:
    // The games through the position were searched: the game list should be shown.
    void gamesListed();

private:
    // The rows and the summary line for the Board's position.
    void Refresh();
    // Stops a build and waits for its worker, dropping what it built; the tree shown stays as
    // it is.
    void StopBuild();
    // The build has ended: a finished tree becomes the one shown.
    void BuildEnded(std::shared_ptr<OpeningTree> built, bool completed);

    std::shared_ptr<OpeningTree> m_tree = std::make_shared<OpeningTree>(); // the tree shown
    CBackgroundTask              m_buildTask; // builds the next tree
    TreeAnswer     m_answer;
    bool           m_cancelled = false;
    QLabel*        m_pSummary;
    QTreeWidget*   m_pRows;
    QPushButton*   m_pBuild;
    QPushButton*   m_pListGames;
};
