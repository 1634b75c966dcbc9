// The new-game dialog's time control: a preset, その他 with Black set apart, and なし; game
// entry never has a clock.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/newgamedialog.h"
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
};

NORVANE_TEST(NewGameDialogTest);
#include "newgamedialog_test.moc"
