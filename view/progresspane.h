// CProgressPane: the status bar's progress for long work (opening a file, searching,
// building the opening explorer): what runs, how far it is and a cancel button. It appears
// only when the work has lasted about half a second, so that short work does not flicker.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QToolButton;

class CProgressPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int ShowAfterMs = 500;

    explicit CProgressPane(QWidget* parent = nullptr);

    // Work called label starts; cancel runs when the user presses the cancel button. Work
    // begun while other work shows replaces it.
    void Begin(const QString& label, std::function<void()> cancel);
    // How far the work is, 0-100; shows the pane once the work has lasted ShowAfterMs.
    void SetPercent(int percent);
    // The work is over (done or cancelled): the pane hides.
    void End();
    bool IsRunning() const { return m_running; }

    QToolButton* GetCancelButton() const { return m_pCancel; }

private:
    QLabel*               m_pLabel;
    QProgressBar*         m_pBar;
    QToolButton*          m_pCancel;
    QElapsedTimer         m_clock;
    std::function<void()> m_cancel;
    bool                  m_running = false;
};
