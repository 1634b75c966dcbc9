// The program's modal dialogs. Each exchanges its fields with public member variables: the
// caller sets them, exec() shows them in the controls, and OK writes the controls back.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "book/openings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// One choice among a column of radio buttons, numbered from 0: m_choice.
class CChoiceDialog : public QDialog {
    Q_OBJECT
public:
    int  exec() override;
    void accept() override;

    int m_choice;

protected:
    CChoiceDialog(const char* title, const char* const* labels, int count, int choice, QWidget* parent);

private:
    QButtonGroup* m_pChoices;
};

// "ゲーム開始": who plays the engine. 0 the engine has White, 1 Black (the default), 2 nobody
// (game entry).
class CNewGameDialog : public CChoiceDialog {
    Q_OBJECT
public:
    explicit CNewGameDialog(QWidget* parent = nullptr);
};

// "昇格": the promotion piece. 0 QUEEN (the default), 1 ROOK, 2 BISHOP, 3 KNIGHT.
class CPromotionDialog : public CChoiceDialog {
    Q_OBJECT
public:
    explicit CPromotionDialog(QWidget* parent = nullptr);
};

// "ゲーム情報": the tags of the current game. m_result is the list index: 0 "*", 1 "0-1",
// 2 "1/2-1/2", 3 "1-0".
class CGameInfoDialog : public QDialog {
    Q_OBJECT
public:
    // A tag field holds 255 bytes of UTF-8 (the game header's field); as many characters
    // are allowed while they fit.
    static constexpr int TagLimit = 255, TagByteLimit = 255, EcoLimit = 3, OtherTagsLimit = 2000;

    explicit CGameInfoDialog(QWidget* parent = nullptr);
    int  exec() override;
    void accept() override;

    QString m_event, m_site, m_date, m_round, m_white, m_black;
    int     m_result = 0;
    QString m_eco;
    QString m_otherTags;

private:
    QLineEdit*      m_pTags[6];
    QComboBox*      m_pResult;
    QLineEdit*      m_pEco;
    QPlainTextEdit* m_pOtherTags;
};

// "バージョン情報": the program's name and version, and the button that registers the
// program for .pgn files at once (the dialog stays open).
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(std::function<void()> associate, QWidget* parent = nullptr);
};
