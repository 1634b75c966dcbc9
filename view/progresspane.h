// CProgressPane: the status bar's progress for long work (opening a file, searching,
// building the opening explorer): what runs, how far it is and a cancel button. It appears
// only when the work has lasted about half a second, so that short work does not flicker.
// Several pieces of work may run at once, each known by its owner: the newest shows, and the
// others wait under it, keeping their own progress.
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

    // owner's work called label starts and shows; cancel runs when the user presses the
    // cancel button while it shows (the work's line is taken off the pane first).
    void Begin(const void* owner, const QString& label, std::function<void()> cancel);
    // How far owner's work is, 0-100; the pane shows once the shown work has lasted
    // ShowAfterMs.
    void SetPercent(const void* owner, int percent);
    // owner's work is over (done or cancelled): its line goes; the work under it shows again
    // (as far as it had come), else the pane hides. Nothing when owner has no work here.
    void End(const void* owner);
    bool IsRunning() const { return !m_work.empty(); }

    QString      GetLabel() const;
    int          GetPercent() const;
    QToolButton* GetCancelButton() const { return m_pCancel; }

private:
    struct Work {
        const void*           owner;
        QString               label;
        std::function<void()> cancel;
        int                   percent;
        QElapsedTimer         clock;
    };
    // Shows the newest work, or hides the pane without any.
    void ShowTop();

    QLabel*           m_pLabel;
    QProgressBar*     m_pBar;
    QToolButton*      m_pCancel;
    std::vector<Work> m_work; // oldest first; the last one shows
};
