#include "view/progresspane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "resources/studytexts.h"

CProgressPane::CProgressPane(QWidget* parent)
    : QWidget(parent), m_pLabel(new QLabel(this)), m_pBar(new QProgressBar(this)),
      m_pCancel(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_pBar->setRange(0, 100);
    m_pBar->setFixedWidth(100);
    m_pBar->setTextVisible(true);
    m_pCancel->setText(QString::fromUtf8(StudyText::ProgressCancel));
    layout->addWidget(m_pLabel);
    layout->addWidget(m_pBar);
    layout->addWidget(m_pCancel);
    connect(m_pCancel, &QToolButton::clicked, this, [this] {
        // The handler may begin other work; it is taken first so that End cannot drop it.
        const std::function<void()> cancel = std::move(m_cancel);
        End();
        if (cancel) cancel();
    });
    hide();
}

void CProgressPane::Begin(const QString& label, std::function<void()> cancel) {
    if (m_running) m_waiting.push_back({m_pLabel->text(), std::move(m_cancel), m_pBar->value(), m_clock});
    m_pLabel->setText(label);
    m_pBar->setValue(0);
    m_cancel  = std::move(cancel);
    m_running = true;
    m_clock.start();
}

void CProgressPane::SetPercent(int percent) {
    if (!m_running) return;
    m_pBar->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    if (isHidden() && m_clock.elapsed() >= ShowAfterMs) show();
}

void CProgressPane::End() {
    m_cancel = {};
    if (m_waiting.empty()) {
        m_running = false;
        hide();
        return;
    }
    Waiting waiting = std::move(m_waiting.back());
    m_waiting.pop_back();
    m_pLabel->setText(waiting.label);
    m_cancel = std::move(waiting.cancel);
    m_clock  = waiting.clock;
    SetPercent(waiting.percent);
}

QString CProgressPane::GetLabel() const { return m_pLabel->text(); }

int CProgressPane::GetPercent() const { return m_pBar->value(); }
