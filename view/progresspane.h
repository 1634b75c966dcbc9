// CProgressPane: the status bar's progress for long work (opening a file, searching,
// building the opening explorer): what runs, how far it is and a cancel button. It appears
// only when the work has lasted about half a second, so that short work does not flicker.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QToolButton;

class CProgressPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int ShowAfterMs = 500;

    explicit CProgressPane(QWidget* parent = nullptr);

    // Work called label starts; cancel runs when the user presses the cancel button. Work
    // begun while other work shows puts that work aside until it ends.
    void Begin(const QString& label, std::function<void()> cancel);
    // How far the shown work is, 0-100; shows the pane once the work has lasted ShowAfterMs.
    void SetPercent(int percent);
    // The shown work is over (done or cancelled): the work put aside for it shows again (as
    // far as it had come), else the pane hides.
    void End();
    bool IsRunning() const { return m_running; }

    QString      GetLabel() const;
    int          GetPercent() const;
    QToolButton* GetCancelButton() const { return m_pCancel; }

private:
    // Work put aside by newer work.
    struct Waiting {
        QString               label;
        std::function<void()> cancel;
        int                   percent;
        QElapsedTimer         clock;
    };

    QLabel*               m_pLabel;
    QProgressBar*         m_pBar;
    QToolButton*          m_pCancel;
    QElapsedTimer         m_clock;
    std::function<void()> m_cancel;
    bool                  m_running = false;
    std::vector<Waiting>  m_waiting;
};
