// The 表示 menu's opening-name setting: the status line, the search dialog's ECO list and the
// settings store follow it; the default shows what the program always showed.
#include <QAction>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "app/searchdialog.h"
#include "tests/passwait.h"
#include "tests/qtestmain.h"

namespace {

class QuietApp : public CNorvaneApp {
public:
    void MessageBox(const QString&) override {}
};

bool isChecked(CNorvaneApp& app, int id) {
    app.GetMainFrame()->Commands().UpdateCommandUI();
    return app.GetMainFrame()->Commands().Action(id)->isChecked();
}

} // namespace

class OpeningNameSettingTest : public QObject {
    Q_OBJECT
    // Settings of this process only: test programs of other builds may run at the same time.
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { QSettings("Norvane", "Norvane").clear(); }

    // Kasparov - Deep Blue, game 1: 1.Nf3 d5 2.g3 (A07) Bg4, which the table does not name.
    void statusLineFollowsTheSettingAtOnceAndTheSettingIsRemembered() {
        QuietApp app;
        QVERIFY(app.InitInstance({"norvane", NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn"}));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        CCommandTable& commands = app.GetMainFrame()->Commands();
        const QString& line     = app.GetDocument()->m_strMoveInfo;
        QVERIFY(isChecked(app, CmdNamesEnglish));
        QVERIFY(!isChecked(app, CmdNamesJapanese));
        QVERIFY(!isChecked(app, CmdKeepLastOpening));

        for (int i = 0; i < 3; ++i) QVERIFY(commands.Execute(CmdForward));
        QCOMPARE(line, QString("2 . g3  A07 Reti: King's Indian attack (Barcza system)"));
        QVERIFY(commands.Execute(CmdNamesJapanese));
        QCOMPARE(line, QString::fromUtf8("2 . g3  A07 レティ：キングズ・インディアン・アタック（バルツァ・システム）"));
        QVERIFY(isChecked(app, CmdNamesJapanese) && !isChecked(app, CmdNamesEnglish));
        QVERIFY(commands.Execute(CmdForward));
        QCOMPARE(line, QString("2 . . . Bg4"));
        QVERIFY(commands.Execute(CmdKeepLastOpening));
        QCOMPARE(line, QString::fromUtf8("2 . . . Bg4  A07以降 レティ：キングズ・インディアン・アタック（バルツァ・システム）"));
        QVERIFY(isChecked(app, CmdKeepLastOpening));

        QVERIFY(commands.Execute(CmdNamesEnglish));

        QuietApp again;
        QVERIFY(again.InitInstance({"norvane"}));
        QCOMPARE(again.GetDocument()->m_openingNames.language, NamesEnglish);
        QCOMPARE(QSettings().value("OpeningNames/Language").toString(), QString("en"));
        QVERIFY(again.GetDocument()->m_openingNames.keepLastNamed);
        QVERIFY(isChecked(again, CmdKeepLastOpening));
    }

    void searchDialogListsTheNamesOfTheSetting() {
        CSearchDialog english, japanese(nullptr, {NamesJapanese});
        const auto ecoList = [](CSearchDialog& dialog) {
            for (QComboBox* box : dialog.findChildren<QComboBox*>())
                if (box->count() == OpeningCount + 1) return box;
            return static_cast<QComboBox*>(nullptr);
        };
        QVERIFY(ecoList(english) && ecoList(japanese));
        QCOMPARE(ecoList(english)->itemText(1), QString("A00 Polish (Sokolsky) opening"));
        QCOMPARE(ecoList(japanese)->itemText(1),
                 QString::fromUtf8("A00 ポーリッシュ・オープニング（ソコルスキー）"));
        QCOMPARE(ecoList(japanese)->itemText(OpeningCount),
                 QString::fromUtf8("E99 キングズ・インディアン：オーソドックス、アロニン・タイマノフ、メイン・ライン"));
    }
};

NORVANE_TEST(OpeningNameSettingTest);
#include "openingnamesetting_test.moc"
