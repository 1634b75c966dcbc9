// CGameView: the game list, the right pane of the main window. One row per game of the open
// file that passes the current search, in file order until a header click sorts it. Choosing
// a row (Enter or a double click) loads that game onto the board; the context menu shows the
// game's own text or copies it to the clipboard.
#pragma once

#include <QString>

#include <string>

#include "app/docview.h"
#include "app/norvanedoc.h"
#include "records/gameindex.h"
#include "view/gamelistcolumns.h"

class QMenu;
class CGameListModel;
class CListViewEx;
class CPlayerRecordWindow;

// Hint the list sends when the user chose a game: the board takes the game afresh
// (HintReloadGame) and the position changed.
inline constexpr int HintGameChosen = 5;

// At most this many bytes of a game's text are shown in the message box (the copy takes all).
inline constexpr int GameTextShowLimit = 1279;

// The first bytes of text, at most limit, decoded for display: never ends in half a character
// of the text's encoding (UTF-8, Shift_JIS or Latin-1, as recordText tells it).
QString recordTextPrefix(const std::string& text, std::size_t limit);

class CGameView : public CView {
    Q_OBJECT
public:
    // The list, its six columns and the context menu; joins doc as one of its views.
    explicit CGameView(CNorvaneDoc* doc, QWidget* parent = nullptr);

    CNorvaneDoc* GetDocument() const;

    // After every New and Open: the rows are made afresh.
    void OnInitialUpdate() override;
    // HintRebuildList: the rows are made afresh, the first selected. Other hints are ignored.
    void OnUpdate(CView* sender, int hint) override;

    // Loads the game of row (Enter: the selected row, double click: the row under the mouse)
    // and tells the board (once the re-index a file changed on disk needs has ended). Nothing
    // while a replay runs or the engine thinks, or without such a row; the board keeps its
    // game when the user cancelled that re-index.
    void LoadRow(int row);
    // The game of the selected row, or null.
    const GameEntry* SelectedEntry() const;

    // Show as text (32788): the first 1279 bytes of the selected game's text in a message box.
    void OnShowGameText();
    // Copy text (32825): the whole of the selected game's text to the clipboard, with the
    // file's own line ends. Nothing when no bytes could be read.
    void OnCopyGameText();
    // Adds the two context-menu commands to the frame's command table; the context menu shows
    // their actions.
    void AddCommands(CCommandTable& table);

    CListViewEx*    GetList() const { return m_pList; }
    CGameListModel* GetModel() const { return m_pModel; }

    // The column menu (the header's context menu, and 表示's 列の選択): a check per column
    // kind, the tag columns shown, その他のタグ... and 既定の列に戻す. Made afresh each time.
    QMenu* MakeColumnMenu(QWidget* parent);
    // Shows the column menu at a point of the screen.
    void ShowColumnMenu(const QPoint& globalPos);
    // Shows column kind (added at the right end) or hides it; the last column stays.
    void ToggleColumn(const ListColumn& column);
    // The six columns at their widths, in their order.
    void RestoreDefaultColumns();
    // The columns as shown (in their screen order) with their widths; the settings keep it.
    ColumnLayout CurrentLayout() const;
    // Shows layout's columns in its order at its widths.
    void ApplyLayout(const ColumnLayout& layout);

    // 選手情報: the record window (made on first use, one for the list) showing the player of
    // name id, or the player whose name holds text (a message when none does).
    void ShowPlayerRecord(std::uint32_t name);
    void ShowPlayerRecordOf(const QString& text);
    CPlayerRecordWindow* GetPlayerRecord() const { return m_pPlayerRecord; }

    // Asks for the name of a tag to show as a column; empty when cancelled. Replaced by tests.
    virtual QString AskTagName();

    // A message box captioned "Norvane" over the list; replaced by tests.
    virtual void MessageBox(const QString& text);

protected:
    // Enter and Return in the list load the selected game.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Hands use the selected game's raw bytes from the file (at once, or after the re-index
    // a file changed on disk needs); empty when there is no selection or nothing could be read.
    void WithSelectedGameText(CNorvaneDoc::TextReader use);
    void        ShowContextMenu(const QPoint& pos);
    // The columns changed: the settings keep them.
    void ColumnsChanged();

    CListViewEx*    m_pList;
    CGameListModel* m_pModel;
    QMenu*          m_pContextMenu = nullptr; // menu 164, made when the commands are added
    bool            m_arranging    = false;   // ApplyLayout moves sections: nothing to keep yet
    QList<QAction*> m_playerActions;          // the context menu's 選手情報 items of the row
    CPlayerRecordWindow* m_pPlayerRecord = nullptr;
};
