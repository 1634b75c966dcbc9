#include "app/dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <memory>

#include "book/openings.h"
#include "resources/dialogtexts.h"

namespace {

// Keeps what the user types or pastes into edit within limit bytes of UTF-8: an edit that
// would make the text longer than that is refused whole, so no character is ever cut. A
// text set by the program may be longer; editing may then shorten it.
void limitUtf8Bytes(QLineEdit* edit, qsizetype limit) {
    auto accepted = std::make_shared<QString>(edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, limit, accepted](const QString& now) {
        const qsizetype bytes = now.toUtf8().size();
        if (edit->isModified() && bytes > limit && bytes > accepted->toUtf8().size()) {
            const int      cursor = edit->cursorPosition() - static_cast<int>(now.size() - accepted->size());
            QSignalBlocker block(edit);
            edit->setText(*accepted);
            edit->setCursorPosition(cursor);
            return;
        }
        *accepted = now;
    });
}


QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// OK (the default button) and "ｷｬﾝｾﾙ", wired to the dialog.
QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(text(DialogText::Ok), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A column of radio buttons forming one group, numbered from 0.
QButtonGroup* radioColumn(QDialog* dialog, QVBoxLayout* layout, const char* const* labels, int count) {
    auto* group = new QButtonGroup(dialog);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(text(labels[i]), dialog);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    return group;
}

void checkChoice(QButtonGroup* group, int choice) {
    if (QAbstractButton* button = group->button(choice)) button->setChecked(true);
}

}  // namespace

CChoiceDialog::CChoiceDialog(const char* title, const char* const* labels, int count, int choice,
                             QWidget* parent)
    : QDialog(parent), m_choice(choice) {
    setWindowTitle(text(title));
    auto* layout = new QVBoxLayout(this);
    m_pChoices   = radioColumn(this, layout, labels, count);
    layout->addWidget(okCancel(this));
}

int CChoiceDialog::exec() {
    checkChoice(m_pChoices, m_choice);
    return QDialog::exec();
}

void CChoiceDialog::accept() {
    m_choice = m_pChoices->checkedId();
    QDialog::accept();
}

namespace {
constexpr const char* newGameLabels[] = {DialogText::EngineWhite, DialogText::EngineBlack,
                                         DialogText::GameEntry};
}

CNewGameDialog::CNewGameDialog(QWidget* parent)
    : CChoiceDialog(DialogText::NewGameTitle, newGameLabels, 3, 1, parent) {}

CPromotionDialog::CPromotionDialog(QWidget* parent)
    : CChoiceDialog(DialogText::PromotionTitle, DialogText::PromotionPieces, 4, 0, parent) {}

CGameInfoDialog::CGameInfoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(DialogText::GameInfoTitle));
    auto*              grid     = new QGridLayout(this);
    const char* const labels[6] = {DialogText::Event,       DialogText::Site,
                                   DialogText::Date,        DialogText::Round,
                                   DialogText::WhitePlayer, DialogText::BlackPlayer};
    for (int i = 0; i < 6; ++i) {
        m_pTags[i] = new QLineEdit(this);
        m_pTags[i]->setMaxLength(TagLimit);
        limitUtf8Bytes(m_pTags[i], TagByteLimit);
        grid->addWidget(new QLabel(text(labels[i]), this), i, 0);
        grid->addWidget(m_pTags[i], i, 1);
    }
    m_pResult = new QComboBox(this);
    for (const char* item : DialogText::ResultItems) m_pResult->addItem(text(item));
    grid->addWidget(new QLabel(text(DialogText::Result), this), 6, 0);
    grid->addWidget(m_pResult, 6, 1);

    m_pEco = new QLineEdit(this);
    m_pEco->setMaxLength(EcoLimit);
    grid->addWidget(new QLabel(text(DialogText::Eco), this), 7, 0);
    grid->addWidget(m_pEco, 7, 1);

    m_pOtherTags = new QPlainTextEdit(this);
    m_pOtherTags->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The other-tags field holds at most OtherTagsLimit characters, as a line edit's limit would.
    connect(m_pOtherTags, &QPlainTextEdit::textChanged, this, [this] {
        const QString all = m_pOtherTags->toPlainText();
        if (all.size() <= OtherTagsLimit) return;
        QSignalBlocker block(m_pOtherTags);
        m_pOtherTags->setPlainText(all.left(OtherTagsLimit));
        m_pOtherTags->moveCursor(QTextCursor::End);
    });
    grid->addWidget(new QLabel(text(DialogText::OtherTags), this), 8, 0, Qt::AlignTop);
    grid->addWidget(m_pOtherTags, 8, 1);
    grid->addWidget(okCancel(this), 9, 0, 1, 2);
}

int CGameInfoDialog::exec() {
    const QString* fields[6] = {&m_event, &m_site, &m_date, &m_round, &m_white, &m_black};
    for (int i = 0; i < 6; ++i) m_pTags[i]->setText(fields[i]->left(TagLimit));
    m_pResult->setCurrentIndex(m_result >= 0 && m_result < 4 ? m_result : 0);
    m_pEco->setText(m_eco.left(EcoLimit));
    m_pOtherTags->setPlainText(m_otherTags.left(OtherTagsLimit));
    return QDialog::exec();
}

void CGameInfoDialog::accept() {
    QString* fields[6] = {&m_event, &m_site, &m_date, &m_round, &m_white, &m_black};
    for (int i = 0; i < 6; ++i) *fields[i] = m_pTags[i]->text();
    m_result    = m_pResult->currentIndex();
    m_eco       = m_pEco->text();
    m_otherTags = m_pOtherTags->toPlainText();
    QDialog::accept();
}

CAboutDialog::CAboutDialog(std::function<void()> associate, QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(DialogText::AboutTitle));
    auto* layout = new QHBoxLayout(this);
    auto* icon   = new QLabel(this);
    const QIcon appIcon = QApplication::windowIcon().isNull()
                              ? style()->standardIcon(QStyle::SP_DesktopIcon)
                              : QApplication::windowIcon();
    icon->setPixmap(appIcon.pixmap(32, 32));
    layout->addWidget(icon, 0, Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    lines->addWidget(new QLabel(text(DialogText::Version), this));
    lines->addWidget(new QLabel(text(DialogText::AboutLine), this));
    layout->addLayout(lines);

    auto*        buttons   = new QVBoxLayout;
    auto*        ok        = new QPushButton(text(DialogText::Ok), this);
    auto*        associateButton = new QPushButton(text(DialogText::Associate), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(associateButton, &QPushButton::clicked, this, [associate] {
        if (associate) associate();
    });
    buttons->addWidget(ok);
    buttons->addWidget(associateButton);
    buttons->addStretch();
    layout->addLayout(buttons);
}
