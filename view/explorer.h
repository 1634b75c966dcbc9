// CExplorerView: the opening explorer (定跡ツリー) beside the board. After a file is opened it
// builds the file's opening tree on a worker thread (which reads the file on every
// processor), with its progress (and a cancel button) in the status bar; then, for the position on the
// board, it lists the moves played there with their counts and scores. Clicking a move plays
// it on the board; a button lists the games through the position.
#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <thread>

#include "app/docview.h"
#include "records/openingtree.h"

class QLabel;
class QPushButton;
class QTimer;
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
    void SetProgressPane(CProgressPane* pane) { m_pProgress = pane; }

    // After every New and Open: the old tree goes, a file with games has its tree built.
    void OnInitialUpdate() override;
    // Any change of the shown position: the rows are made again.
    void OnUpdate(CView* sender, int hint) override;

    // Builds the tree of the open file from the start, on a worker thread.
    void StartBuild();
    // Stops a running build; the pane says it was cancelled.
    void CancelBuild();
    // The timer's look at the build: its progress, or the finished tree taken in.
    void BuildStep();
    bool IsBuilding() const { return m_worker.joinable(); }
    // How much of the file the build has read, in percent.
    int BuildPercent() const;

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
    // Stops a build and waits for its worker; the tree shown stays as it is.
    void StopBuild();

    std::unique_ptr<OpeningTree> m_tree = std::make_unique<OpeningTree>(); // the tree shown
    // The build in progress: the tree its worker fills, how far it read, whether it is done.
    std::unique_ptr<OpeningTree> m_building;
    std::thread                  m_worker;
    PassControl                  m_control;
    std::atomic<bool>            m_built{false};
    std::int64_t                 m_buildSize = 0;
    TreeAnswer     m_answer;
    bool           m_cancelled = false;
    QLabel*        m_pSummary;
    QTreeWidget*   m_pRows;
    QPushButton*   m_pBuild;
    QPushButton*   m_pListGames;
    QTimer*        m_pTimer;
    CProgressPane* m_pProgress = nullptr;
};
