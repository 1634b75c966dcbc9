// The engines dialog driven headless: a scripted engine added by its program file, the form
// built from its option lines, values kept (only those that differ from the defaults) and
// shown again; an engine that fails its handshake is not added; the analysis choice is kept.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/commands.h"
#include "app/enginesdialog.h"
#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "tests/app/scriptengine.h"
#include "tests/qtestmain.h"

namespace {

constexpr int WaitMs = 20000;

// An engine that offers one option of each kind, and MultiPV, which the program sets itself.
const QByteArray FakeEngine =
    "while read line; do\n"
    "  case \"$line\" in\n"
    "    uci) echo \"id name Fake Engine 1.0\"\n"
    "         echo \"option name Hash type spin default 16 min 1 max 1024\"\n"
    "         echo \"option name Own Book type check default true\"\n"
    "         echo \"option name Style type combo default Normal var Solid var Normal var Risky\"\n"
    "         echo \"option name Book File type string default <empty>\"\n"
    "         echo \"option name Clear Hash type button\"\n"
    "         echo \"option name MultiPV type spin default 1 min 1 max 5\"\n"
    "         echo \"uciok\";;\n"
    "    isready) echo readyok;;\n"
    "    quit) exit 0;;\n"
    "  esac\n"
    "done\n";

// A dialog that answers its file dialog with a set program and records its messages.
class ScriptedEnginesDialog : public CEnginesDialog {
public:
    QString     program;
    QStringList messages;

protected:
    QString AskProgramFile() override { return program; }
    void    ShowMessage(const QString& text) override { messages << text; }
};

template <class T> T* control(const CEnginesDialog& dialog, const char* name) {
    return qobject_cast<T*>(dialog.OptionControl(QString::fromUtf8(name)));
}

QPushButton* buttonNamed(QWidget* dialog, const QString& prefix) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text().startsWith(prefix)) return button;
    return nullptr;
}

} // namespace

class EnginesDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;
    QTemporaryDir m_engines;

private slots:
    void init() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings().clear();
    }

    void anAddedEnginesOptionsAreShownKeptAndShownAgain() {
        const QString program = writeScript(m_engines, "fake", FakeEngine);
        {
            ScriptedEnginesDialog dialog;
            QSignalSpy            added(&dialog, &CEnginesDialog::addFinished);
            dialog.program = program;
            QTest::mouseClick(buttonNamed(&dialog, "追加"), Qt::LeftButton);
            QVERIFY(added.count() == 1 || added.wait(WaitMs));
            QCOMPARE(added.front().front().toBool(), true);
            QCOMPARE(dialog.Engines().back().name, QString("Fake Engine 1.0"));
            QCOMPARE(dialog.Engines().back().program, program);
            QCOMPARE(dialog.SelectedRow(), dialog.Engines().size() - 1);

            // The form, with the engine's defaults.
            auto* hash = control<QSpinBox>(dialog, "Hash");
            QVERIFY(hash);
            QCOMPARE(hash->minimum(), 1);
            QCOMPARE(hash->maximum(), 1024);
            QCOMPARE(hash->value(), 16);
            QVERIFY(control<QCheckBox>(dialog, "Own Book")->isChecked());
            auto* style = control<QComboBox>(dialog, "Style");
            QCOMPARE(style->count(), 3);
            QCOMPARE(style->currentText(), QString("Normal"));
            QCOMPARE(control<QLineEdit>(dialog, "Book File")->text(), QString());
            auto* clear = control<QPushButton>(dialog, "Clear Hash");
            QVERIFY(clear && clear->isCheckable() && !clear->isChecked());
            QVERIFY(!dialog.OptionControl("MultiPV"));
            QVERIFY(buttonNamed(&dialog, "削除")->isEnabled());

            hash->setValue(256);
            style->setCurrentIndex(2);
            control<QLineEdit>(dialog, "Book File")->setText("/books/本.bin");
            clear->setChecked(true);
            // Values read from the form survive another engine being selected meanwhile.
            dialog.SelectRow(0);
            QVERIFY(!buttonNamed(&dialog, "削除")->isEnabled());
            dialog.SelectRow(dialog.Engines().size() - 1);
            QCOMPARE(control<QSpinBox>(dialog, "Hash")->value(), 256);
            dialog.accept();
        }
        const EngineEntry kept = userEngines().value(0);
        QCOMPARE(kept.name, QString("Fake Engine 1.0"));
        const QList<QPair<QString, QString>> expected{{"Hash", "256"},
                                                      {"Style", "Risky"},
                                                      {"Book File", "/books/本.bin"},
                                                      {"Clear Hash", QString()}};
        QCOMPARE(kept.options, expected);

        // Shown again from the settings, after the engine has been run for its options.
        ScriptedEnginesDialog dialog;
        QSignalSpy            shown(&dialog, &CEnginesDialog::optionsShown);
        const int             row = dialog.Engines().size() - 1;
        QCOMPARE(dialog.Engines().at(row).options, expected);
        dialog.SelectRow(row);
        QVERIFY(dialog.IsReadingOptions());
        QCOMPARE(dialog.OptionsNotice(), QString("読み込み中..."));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsReadingOptions(), WaitMs);
        QCOMPARE(control<QSpinBox>(dialog, "Hash")->value(), 256);
        QCOMPARE(control<QComboBox>(dialog, "Style")->currentText(), QString("Risky"));
        QVERIFY(control<QCheckBox>(dialog, "Own Book")->isChecked());
        QVERIFY(control<QPushButton>(dialog, "Clear Hash")->isChecked());
        // Back to the defaults: nothing is kept.
        control<QSpinBox>(dialog, "Hash")->setValue(16);
        control<QComboBox>(dialog, "Style")->setCurrentIndex(1);
        control<QLineEdit>(dialog, "Book File")->clear();
        control<QPushButton>(dialog, "Clear Hash")->setChecked(false);
        dialog.accept();
        QCOMPARE(userEngines().value(0).options, (QList<QPair<QString, QString>>{}));
    }

    void anEngineThatFailsItsHandshakeIsNotAdded_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("exits") << QByteArray("exit 3\n");
        QTest::newRow("garbage") << QByteArray(
            "read line; printf '\\001\\002\\377\\n'; exec sleep 600\n");
    }
    void anEngineThatFailsItsHandshakeIsNotAdded() {
        QFETCH(QByteArray, script);
        ScriptedEnginesDialog dialog;
        QSignalSpy            added(&dialog, &CEnginesDialog::addFinished);
        const int             before = dialog.Engines().size();
        dialog.AddEngine(writeScript(m_engines, "broken", script));
        QVERIFY(added.count() == 1 || added.wait(WaitMs));
        QCOMPARE(added.front().front().toBool(), false);
        QCOMPARE(dialog.Engines().size(), before);
        QCOMPARE(dialog.messages.size(), 1);
        QVERIFY(dialog.messages.front().contains("「broken」"));
        dialog.accept();
        QVERIFY(userEngines().isEmpty());
    }

    void theAnalysisChoiceIsKeptAndFollowsARemovedEngine() {
        EngineEntry mine;
        mine.name    = "Mine";
        mine.program = writeScript(m_engines, "mine", FakeEngine);
        storeEngines({mine});
        {
            ScriptedEnginesDialog dialog;
            auto*                 choice = dialog.findChild<QComboBox*>();
            choice->setCurrentText("Mine");
            dialog.accept();
        }
        QCOMPARE(storedAnalysisEngineName(), QString("Mine"));
        QCOMPARE(analysisEngine().program, mine.program);
        {
            ScriptedEnginesDialog dialog;
            QCOMPARE(dialog.AnalysisEngineName(), QString("Mine"));
            dialog.SelectRow(dialog.Engines().size() - 1);
            dialog.RemoveSelected();
            QCOMPARE(dialog.AnalysisEngineName(), installedStockfishOrBuiltIn());
            dialog.SelectRow(0);
            dialog.RemoveSelected(); // the built-in engine stays
            QCOMPARE(dialog.Engines().front().kind, EngineEntry::BuiltIn);
            dialog.accept();
        }
        QVERIFY(userEngines().isEmpty());
        QCOMPARE(storedAnalysisEngineName(), installedStockfishOrBuiltIn());
    }

    void theGameMenuOpensTheDialog() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        bool opened = false;
        // The dialog's exec blocks: it is answered from the event loop once it is up.
        auto* timer = new QTimer(&app);
        connect(timer, &QTimer::timeout, [&opened, timer] {
            if (auto* dialog = qobject_cast<CEnginesDialog*>(QApplication::activeModalWidget())) {
                timer->stop();
                opened = true;
                dialog->reject();
            }
        });
        timer->start(10);
        QTimer::singleShot(WaitMs, timer, [timer] { timer->stop(); });
        QVERIFY(app.GetMainFrame()->Commands().Execute(CmdEngines));
        QVERIFY(opened);
        QVERIFY(storedAnalysisEngineName().isEmpty()); // cancelled: nothing kept
    }

private:
    static QString installedStockfishOrBuiltIn() {
        return installedStockfish().program.isEmpty() ? builtInEngine().name : QString("Stockfish");
    }
};

NORVANE_TEST(EnginesDialogTest);
#include "enginesdialog_test.moc"
