// The new-game dialog's time control: a preset, その他 with Black set apart, and なし; game
// entry never has a clock. Its opponent: a UCI engine offers the strength it has once asked.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/newgamedialog.h"
#include "resources/gametexts.h"
#include "tests/app/scriptengine.h"
#include "tests/qtestmain.h"

namespace {

// Runs f on the dialog once its exec is up, then accepts it.
void acceptAfter(std::function<void(QDialog*)> f) {
    QTimer::singleShot(0, [f] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        f(d);
        QMetaObject::invokeMethod(d, "accept");
    });
}

template <class T>
T* nth(QWidget* parent, int n) {
    return parent->findChildren<T*>().at(n);
}

} // namespace

class NewGameDialogTest : public QObject {
    Q_OBJECT
private slots:
    void presetsCustomAndNone() {
        CGameStartDialog dialog;
        acceptAfter([](QDialog* d) {
            QCOMPARE(nth<QComboBox>(d, 0)->currentIndex(), 0);  // なし by default
            nth<QComboBox>(d, 0)->setCurrentIndex(2);           // 10分 + 5秒
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_choice, 1);
        QCOMPARE(dialog.m_timeControl.side[White], TimeControl::even(10, 5).side[White]);
        QVERIFY(dialog.m_timeControl.isEven());

        // Opened again it shows the control it gave; その他 with Black's own.
        acceptAfter([](QDialog* d) {
            QCOMPARE(nth<QComboBox>(d, 0)->currentIndex(), 2);
            nth<QComboBox>(d, 0)->setCurrentIndex(5);  // その他
            nth<QSpinBox>(d, 0)->setValue(3);          // White 3 minutes
            nth<QSpinBox>(d, 1)->setValue(2);          // + 2 seconds
            nth<QCheckBox>(d, 0)->setChecked(true);
            nth<QSpinBox>(d, 2)->setValue(1);          // Black 1 minute
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_timeControl.side[White].baseMs, 180000);
        QCOMPARE(dialog.m_timeControl.side[White].incrementMs, 2000);
        QCOMPARE(dialog.m_timeControl.side[Black].baseMs, 60000);
        QCOMPARE(dialog.m_timeControl.side[Black].incrementMs, 2000);

        // Game entry: no clock whatever the list says.
        acceptAfter([](QDialog* d) { nth<QRadioButton>(d, 2)->setChecked(true); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_choice, 2);
        QVERIFY(!dialog.m_timeControl.isSet());
    }

    // An engine with a rating offers "強さを制限" over its own range; one with nothing plays at
    // full strength; the built-in engine is listed once, first. The choice survives the
    // settings.
    void theOpponentAndItsStrength() {
        QTemporaryDir folder;
        const QByteArray handshake = "while read line; do case $line in uci) %1 echo uciok;; "
                                     "quit) exit 0;; esac; done\n";
        EngineEntry rated, plain;
        rated.name    = "Rated";
        rated.program = writeScript(folder, "rated", QString::fromLatin1(handshake).arg(
            "echo 'option name UCI_LimitStrength type check default false'; "
            "echo 'option name UCI_Elo type spin default 1400 min 1320 max 3190';").toLatin1());
        plain.name    = "Plain";
        plain.program = writeScript(folder, "plain", QString::fromLatin1(handshake).arg("").toLatin1());
        storeEngines({rated, plain});

        CGameStartDialog dialog;
        acceptAfter([](QDialog* d) {
            auto* opponent = d->findChild<QComboBox*>("opponent");
            QCOMPARE(opponent->currentIndex(), 0);
            QCOMPARE(opponent->itemText(0), QString::fromUtf8(GameText::BuiltInOpponent));
            QVERIFY(opponent->findText(builtInEngine().name) < 0);
            opponent->setCurrentIndex(opponent->findText("Rated"));
            auto* limit = d->findChild<QCheckBox*>("limitStrength");
            auto* level = d->findChild<QSpinBox*>("strengthLevel");
            QTRY_VERIFY_WITH_TIMEOUT(limit->isEnabled(), 20000);
            QCOMPARE(level->minimum(), 1320);
            QCOMPARE(level->maximum(), 3190);
            QCOMPARE(level->value(), 1400);
            limit->setChecked(true);
            level->setValue(1500);
            QCOMPARE(nth<QRadioButton>(d, 1)->text(), QString("あなた vs Rated"));
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_opponent.engine, QString("Rated"));
        QCOMPARE(dialog.m_opponent.strength, OpponentChoice::Elo);
        QCOMPARE(dialog.m_opponent.elo, 1500);
        QCOMPARE(opponentPlayerName(dialog.m_opponent), QString("Rated (Elo 1500)"));

        // Opened again it shows the choice; the engine without options is full strength.
        acceptAfter([](QDialog* d) {
            auto* opponent = d->findChild<QComboBox*>("opponent");
            QCOMPARE(opponent->currentText(), QString("Rated"));
            QVERIFY(d->findChild<QCheckBox*>("limitStrength")->isChecked());
            QCOMPARE(d->findChild<QSpinBox*>("strengthLevel")->value(), 1500);
            opponent->setCurrentIndex(opponent->findText("Plain"));
            auto* note = d->findChild<QLabel*>("strengthNote");
            QTRY_COMPARE_WITH_TIMEOUT(note->text(), QString::fromUtf8(GameText::FullStrengthOnly), 20000);
            QVERIFY(!d->findChild<QCheckBox*>("limitStrength")->isEnabled());
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_opponent.engine, QString("Plain"));
        QCOMPARE(dialog.m_opponent.strength, OpponentChoice::Full);
        QCOMPARE(opponentPlayerName(dialog.m_opponent), QString("Plain"));

        const OpponentChoice skilled{"Other", OpponentChoice::Skill, 1500, 5};
        storeOpponent(skilled);
        QCOMPARE(storedOpponent(), skilled);
        QCOMPARE(opponentPlayerName(skilled), QString("Other (Skill Level 5)"));
        storeOpponent({});
        storeEngines({});
    }

    // The setoption pairs for each strength, held in the engine's ranges, names as it wrote them.
    void strengthOptionsFollowTheOffer_data() {
        QTest::addColumn<int>("strength");
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("elo") << int(OpponentChoice::Elo) << 1500
                             << QStringList{"uci_limitstrength", "true", "UCI_Elo", "1500"};
        QTest::newRow("elo below the range") << int(OpponentChoice::Elo) << 100
                                             << QStringList{"uci_limitstrength", "true", "UCI_Elo", "1320"};
        QTest::newRow("skill above the range") << int(OpponentChoice::Skill) << 40
                                               << QStringList{"Skill Level", "20"};
        QTest::newRow("full") << int(OpponentChoice::Full) << 0
                              << QStringList{"uci_limitstrength", "false"};
    }
    void strengthOptionsFollowTheOffer() {
        QFETCH(int, strength);
        QFETCH(int, value);
        QFETCH(QStringList, expected);
        std::vector<UciOption> options(3);
        options[0].name = "uci_limitstrength";
        options[0].type = UciOptionType::Check;
        options[1].name = "UCI_Elo";
        options[1].type = UciOptionType::Spin;
        options[1].min  = 1320;
        options[1].max  = 3190;
        options[2].name = "Skill Level";
        options[2].type = UciOptionType::Spin;
        options[2].min  = 0;
        options[2].max  = 20;
        OpponentChoice choice{"E", OpponentChoice::Strength(strength), value, value};
        QStringList    sent;
        for (const auto& [name, setting] : strengthOptions(choice, options)) sent << name << setting;
        QCOMPARE(sent, expected);
    }
};

NORVANE_TEST(NewGameDialogTest);
#include "newgamedialog_test.moc"
