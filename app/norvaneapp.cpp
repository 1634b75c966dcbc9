#include "app/norvaneapp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>
#include <utility>

#include "app/association.h"
#include "app/commands.h"
#include "app/dialogs.h"
#include "app/mainframe.h"
#include "app/openingnamesetting.h"
#include "app/searchdialog.h"
#include "view/norvaneview.h"

namespace {

const char* const RecentFilesKey = "RecentFiles";

QWidget* mainWindowOf(const CNorvaneDoc& doc) {
    CNorvaneView* view = doc.GetBoardView();
    return view ? view->window() : nullptr;
}

} // namespace

void CDesktopDoc::MessageBox(const QString& text) {
    ++m_messagesShown;
    CNorvaneDoc::MessageBox(text);
}

bool CDesktopDoc::AskSearchCriteria(SearchDialogValues& values) {
    CSearchDialog dialog(mainWindowOf(*this), m_openingNames);
    dialog.m_values = values;
    if (dialog.exec() != QDialog::Accepted) return false;
    values = dialog.m_values;
    return true;
}

CNorvaneApp::CNorvaneApp() = default;
CNorvaneApp::~CNorvaneApp() { m_pMainWnd.reset(); }

void CNorvaneApp::LoadTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (m_translator.load("qtbase_ja", folder))
        QCoreApplication::installTranslator(&m_translator);
    else
        std::fprintf(stderr, "norvane: qtbase_ja.qm not found in %s; Qt's own buttons stay in English\n",
                     QFile::encodeName(folder).constData());
}

bool CNorvaneApp::InitInstance(const QStringList& arguments, const QString& recoveryPath) {
    LoadTranslations();
    QApplication::setWindowIcon(QIcon(":/images/norvane.png"));
    QCoreApplication::setOrganizationName("Norvane");
    QCoreApplication::setApplicationName("Norvane");
    LoadStdProfileSettings(MaxRecentFiles);

    m_pDoc                 = std::make_unique<CDesktopDoc>();
    m_pDoc->m_openingNames = LoadOpeningNameSettings();
    m_pMainWnd             = std::make_unique<CMainFrame>(m_pDoc.get());
    CCommandTable& commands = m_pMainWnd->Commands();
    AddOpeningNameCommands(commands, m_pDoc.get());
    const auto     notReplaying = [this] {
        const CNorvaneView* view = m_pDoc->GetBoardView();
        return !(view && view->IsReplaying());
    };
    commands.Add(CmdFileNew, [this] { OnFileNew(); });
    commands.Add(CmdFileOpen, [this] { OnFileOpen(); }, notReplaying);
    for (int i = 0; i < MaxRecentFiles; ++i)
        commands.Add(
            CmdRecentFile + i,
            [this, i] {
                // A file that no longer opens leaves the list (OnOpenEnded); one whose
                // opening was cancelled stays.
                if (i < m_recentFiles.size()) OpenDocumentFile(m_recentFiles[i]);
            },
            [this, i, notReplaying] { return i < m_recentFiles.size() && notReplaying(); });
    commands.Add(CmdAppAbout, [this] { OnAppAbout(); });
    m_pMainWnd->LoadFrame();
    UpdateRecentFileMenu();
    connect(m_pMainWnd.get(), &CMainFrame::openFileRequested, this,
            [this, notReplaying](const QString& path) {
                // Like Open, which a running replay or pass disables.
                if (notReplaying() && !m_pDoc->IsPassRunning()) OpenDocumentFile(path);
            });

    // The window is up, with a new game, while the command line's file opens: a large file
    // shows its progress and can be cancelled (the new game then stays).
    if (!m_pDoc->NewDocumentFile()) return false;
    connect(m_pDoc.get(), &CNorvaneDoc::showGameList, m_pMainWnd.get(), &CMainFrame::ShowGameList);
    connect(m_pDoc.get(), &CDocument::openEnded, this, &CNorvaneApp::OnOpenEnded);
    m_pMainWnd->show();
    // A game kept from a run that did not end normally is offered before any file opens.
    if (!recoveryPath.isEmpty()) StartRecovery(recoveryPath);
    if (arguments.size() > 1) {
        m_initializing       = true;
        m_openingStartUpFile = true;
        OpenDocumentFile(arguments[1]);
        m_initializing = false;
        if (m_startUpFailedAtOnce) return false;
    }
    commands.UpdateCommandUI();
    return true;
}

void CNorvaneApp::OpenDocumentFile(const QString& name) {
    // The file's first game replaces the one on the board: a modified one is saved or let go
    // first.
    if (CNorvaneView* view = m_pDoc->GetBoardView(); view && !view->ConfirmDiscardGame()) return;
    // The document's path (the status bar's path pane) is always the full one.
    m_openingPath        = QFileInfo(name).absoluteFilePath();
    m_messagesBeforeOpen = m_pDoc->m_messagesShown;
    m_pDoc->OpenDocumentFile(m_openingPath);
}

void CNorvaneApp::OnOpenEnded(bool opened) {
    // Only the opens started here are the application's to follow up.
    if (m_openingPath.isEmpty()) return;
    const QString path      = std::exchange(m_openingPath, {});
    const bool    startUp   = std::exchange(m_openingStartUpFile, false);
    if (opened) {
        AddToRecentFileList(path);
        return;
    }
    if (m_pDoc->WasCancelled()) return; // told in the status bar
    // The document explains only a file that breaks the grammar.
    if (m_pDoc->m_messagesShown == m_messagesBeforeOpen)
        MessageBox(QString::fromUtf8("ファイルを開けません。\n%1").arg(QDir::toNativeSeparators(path)));
    RemoveFromRecentFileList(path);
    if (!startUp) return;
    if (m_initializing)
        m_startUpFailedAtOnce = true;
    else
        emit startUpFailed();
}

void CNorvaneApp::RemoveFromRecentFileList(const QString& path) {
    if (m_recentFiles.removeAll(path) == 0) return;
    SaveRecentFiles();
    UpdateRecentFileMenu();
}

bool CNorvaneApp::StartRecovery(const QString& path) {
    CNorvaneView* view = m_pDoc->GetBoardView();
    if (!view) return false;
    view->SetRecoveryPath(path);
    return view->OfferRecovery();
}

void CNorvaneApp::OnFileNew() {
    if (CNorvaneView* view = m_pDoc->GetBoardView(); view && !view->ConfirmDiscardGame()) return;
    m_pDoc->NewDocumentFile();
}

void CNorvaneApp::OnFileOpen() {
    const QString path = AskOpenFileName();
    if (!path.isEmpty()) OpenDocumentFile(path);
}

QString CNorvaneApp::AskOpenFileName() {
    return QFileDialog::getOpenFileName(m_pMainWnd.get(), QString::fromUtf8("開く"), QString(),
                                        QString::fromUtf8("PGN files (*.pgn);;すべてのﾌｧｲﾙ (*.*)"));
}

void CNorvaneApp::MessageBox(const QString& text) {
    QMessageBox::warning(m_pMainWnd.get(), "Norvane", text);
}

void CNorvaneApp::OnAppAbout() {
    CAboutDialog about([] { registerPgnAssociation(QCoreApplication::applicationFilePath()); },
                       m_pMainWnd.get());
    about.exec();
}

void CNorvaneApp::LoadStdProfileSettings(int count) {
    m_maxRecentFiles = count;
    QSettings settings;
    m_recentFiles = settings.value(RecentFilesKey).toStringList().mid(0, count);
}

void CNorvaneApp::SaveRecentFiles() const {
    QSettings settings;
    settings.setValue(RecentFilesKey, m_recentFiles);
}

void CNorvaneApp::AddToRecentFileList(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(full);
    m_recentFiles.prepend(full);
    while (m_recentFiles.size() > m_maxRecentFiles)
        m_recentFiles.removeLast();
    SaveRecentFiles();
    UpdateRecentFileMenu();
}

void CNorvaneApp::UpdateRecentFileMenu() {
    if (!m_pMainWnd) return;
    for (int i = 0; i < MaxRecentFiles; ++i) {
        QAction* action = m_pMainWnd->Commands().Action(CmdRecentFile + i);
        if (!action) continue;
        if (i < m_recentFiles.size()) {
            QString name = QDir::toNativeSeparators(m_recentFiles[i]);
            action->setText(QString("&%1 %2").arg(i + 1).arg(name.replace('&', "&&")));
            action->setVisible(true);
        } else {
            // The first slot stands for the empty list, grayed.
            action->setText(QString::fromUtf8("最新のﾌｧｲﾙ"));
            action->setVisible(i == 0);
        }
    }
}
