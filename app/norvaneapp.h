// CNorvaneApp: the application object. It starts the program (settings, the document, the
// main window, the command line), keeps the recent-file list, and handles New, Open, the
// recent files and the about box.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTranslator>

#include <memory>

#include "app/norvanedoc.h"

class CMainFrame;

// The document as the program runs it: the search criteria come from the search dialog over
// the main window, and the messages it shows are counted.
class CDesktopDoc : public CNorvaneDoc {
    Q_OBJECT
public:
    void MessageBox(const QString& text) override;
    bool AskSearchCriteria(SearchDialogValues& values) override;

    int m_messagesShown = 0;
};

class CNorvaneApp : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxRecentFiles = 8;

    CNorvaneApp();
    ~CNorvaneApp() override;

    // Start-up: Japanese texts for Qt's own dialogs, the icon, the settings under "Norvane"
    // with the recent files, the document with a new game and the main window, shown; then
    // the command line: with one argument that file starts opening (and the game list shows
    // once it has). False when the named file could not be opened at once: the program ends;
    // when its reading fails later, startUpFailed says so. A cancelled opening keeps the new
    // game.
    // With recoveryPath the game in progress is kept there (StartRecovery), first of all.
    bool InitInstance(const QStringList& arguments, const QString& recoveryPath = {});

    // Starts opening path as the document, as Open does; when it has opened, it heads the
    // recent files. A failure the document did not explain itself is reported in a message
    // box (and the file leaves the recent files); a cancelled opening only in the status bar.
    // The document's openEnded tells the end.
    void OpenDocumentFile(const QString& path);
    void OnFileNew();
    // The game in progress is kept in the recovery file at path from now on; one left by a run
    // that did not end normally is offered first (the board view asks). True when its game
    // was restored.
    bool StartRecovery(const QString& path);
    // The open-file dialog ("開く"), then OpenDocumentFile.
    void OnFileOpen();
    // The about box with its association button.
    void OnAppAbout();

    const QStringList& RecentFiles() const { return m_recentFiles; }
    void               RemoveFromRecentFileList(const QString& path);
    void               AddToRecentFileList(const QString& path);

    CDesktopDoc* GetDocument() const { return m_pDoc.get(); }
    CMainFrame*  GetMainFrame() const { return m_pMainWnd.get(); }

    // Platform operations, replaced by tests: the open-file dialog (empty when cancelled) and
    // a message box captioned "Norvane".
    virtual QString AskOpenFileName();
    virtual void    MessageBox(const QString& text);

signals:
    // The file named on the command line did not open once its reading ended: the program is
    // to end (with status 1).
    void startUpFailed();

private:
    // The end of an open started by OpenDocumentFile.
    void OnOpenEnded(bool opened);
    // Reads and writes the recent files in the settings.
    void LoadStdProfileSettings(int count);
    void SaveRecentFiles() const;
    // Shows the recent files in their menu slots.
    void UpdateRecentFileMenu();
    void LoadTranslations();

    QTranslator                  m_translator;
    QStringList                  m_recentFiles;
    int                          m_maxRecentFiles = 0;
    std::unique_ptr<CDesktopDoc> m_pDoc;
    std::unique_ptr<CMainFrame>  m_pMainWnd; // goes before the document it shows
    // The open under way: its full path, the document's messages before it, and whether it
    // is the command line's file (and InitInstance is still running, or it failed at once).
    QString m_openingPath;
    int     m_messagesBeforeOpen = 0;
    bool    m_openingStartUpFile = false, m_initializing = false, m_startUpFailedAtOnce = false;
};
