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
    // the command line: with one argument that file is opened (and the game list shown).
    // False when the named file could not be opened: the program ends. A cancelled opening
    // keeps the new game.
    bool InitInstance(const QStringList& arguments);

    // Opens path as the document, as Open does; on success it heads the recent files. A
    // failure the document did not explain itself is reported in a message box; a cancelled
    // opening only in the status bar.
    bool OpenDocumentFile(const QString& path);
    void OnFileNew();
    // The open-file dialog ("開く"), then OpenDocumentFile.
    void OnFileOpen();
    // The about box with its association button.
    void OnAppAbout();

    const QStringList& RecentFiles() const { return m_recentFiles; }
    void               AddToRecentFileList(const QString& path);

    CDesktopDoc* GetDocument() const { return m_pDoc.get(); }
    CMainFrame*  GetMainFrame() const { return m_pMainWnd.get(); }

    // Platform operations, replaced by tests: the open-file dialog (empty when cancelled) and
    // a message box captioned "Norvane".
    virtual QString AskOpenFileName();
    virtual void    MessageBox(const QString& text);

private:
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
};
