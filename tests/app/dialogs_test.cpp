#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include "app/association.h"
#include "app/dialogs.h"
#include "tests/app/nextmodal.h"
#include "tests/qtestmain.h"

namespace {

template <class T>
T* child(QWidget* parent, int index = 0) {
    return parent->findChildren<T*>().value(index);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void gameInformationRoundTrips() {
        CGameInfoDialog dialog;
        dialog.m_event     = QString::fromUtf8("名人戦");
        dialog.m_white     = QStringLiteral("Kasparov, Garry");
        dialog.m_result    = 3;
        dialog.m_eco       = QStringLiteral("B90");
        dialog.m_otherTags = QStringLiteral("[Annotator \"x\"]\r\n[PlyCount \"4\"]\r\n");
        onNextModal<QDialog>([](QDialog* d) {
            QCOMPARE(child<QLineEdit>(d, 0)->text(), QString::fromUtf8("名人戦"));
            QCOMPARE(child<QComboBox>(d, 0)->currentText(), QStringLiteral("1-0"));
            QCOMPARE(child<QComboBox>(d, 0)->itemText(0), QStringLiteral("*"));
            child<QLineEdit>(d, 5)->setText(QStringLiteral("Deep Blue"));
            child<QComboBox>(d, 0)->setCurrentIndex(2);
            child<QLineEdit>(d, 6)->setText(QStringLiteral("C42x"));  // 3 characters at most
            QMetaObject::invokeMethod(d, "accept");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_black, QStringLiteral("Deep Blue"));
        QCOMPARE(dialog.m_white, QStringLiteral("Kasparov, Garry"));
        QCOMPARE(dialog.m_result, 2);
        QCOMPARE(dialog.m_eco, QStringLiteral("C42"));
        QVERIFY(dialog.m_otherTags.contains(QStringLiteral("[PlyCount \"4\"]")));
    }

    void choicesDefaultAndReturn() {
        CNewGameDialog newGame;
        onNextModal<QDialog>([](QDialog* d) {
            QVERIFY(child<QRadioButton>(d, 1)->isChecked());  // "あなた vs Norvane"
            QCOMPARE(child<QRadioButton>(d, 0)->text(), QString::fromUtf8("Norvane vs あなた"));
            child<QRadioButton>(d, 2)->setChecked(true);
            QMetaObject::invokeMethod(d, "accept");
        });
        QCOMPARE(newGame.exec(), int(QDialog::Accepted));
        QCOMPARE(newGame.m_choice, 2);

        CPromotionDialog promotion;
        onNextModal<QDialog>([](QDialog* d) {
            QVERIFY(child<QRadioButton>(d, 0)->isChecked());  // QUEEN
            child<QRadioButton>(d, 1)->setChecked(true);      // ROOK
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(promotion.exec(), int(QDialog::Accepted));
        QCOMPARE(promotion.m_choice, 1);

        CPromotionDialog cancelled;
        onNextModal<QDialog>([](QDialog* d) { QMetaObject::invokeMethod(d, "reject"); });
        QCOMPARE(cancelled.exec(), int(QDialog::Rejected));
        QCOMPARE(cancelled.m_choice, 0);
    }

    void associationWritesADesktopEntry() {
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", data.path().toUtf8());
        const QString exe = QStringLiteral("/opt/my games/norvane");
        QVERIFY(registerPgnAssociation(exe));
        QFile entry(data.path() + QStringLiteral("/applications/norvane.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains(QStringLiteral("Exec=\"/opt/my games/norvane\" %f\n")));
        QVERIFY(text.contains(QStringLiteral("MimeType=application/vnd.chess-pgn;application/x-chess-pgn;\n")));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void aboutBoxRegistersAndStaysOpen() {
        int          calls = 0;
        CAboutDialog about([&] { ++calls; });
        onNextModal<QDialog>([&](QDialog* d) {
            auto buttons = d->findChildren<QPushButton*>();
            QCOMPARE(buttons.size(), 2);
            QTest::mouseClick(buttons[1], Qt::LeftButton);  // "PGNファイル関連付け"
            QVERIFY(d->isVisible());
            QTest::mouseClick(buttons[0], Qt::LeftButton);  // OK
        });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QCOMPARE(calls, 1);
    }
};

NORVANE_TEST(DialogsTest);
#include "dialogs_test.moc"
