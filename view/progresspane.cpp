#include "view/progresspane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>

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
        if (m_work.empty()) return;
        // The handler may begin other work; it is taken first so that End cannot drop it.
        const std::function<void()> cancel = std::move(m_work.back().cancel);
        End(m_work.back().owner);
        if (cancel) cancel();
    });
    hide();
}

void CProgressPane::Begin(const void* owner, const QString& label, std::function<void()> cancel) {
    End(owner);
    Work work{owner, label, std::move(cancel), 0, {}};
    work.clock.start();
    m_work.push_back(std::move(work));
    ShowTop();
}

void CProgressPane::SetPercent(const void* owner, int percent) {
    for (Work& work : m_work)
        if (work.owner == owner) work.percent = std::clamp(percent, 0, 100);
    if (!m_work.empty() && m_work.back().owner == owner) ShowTop();
}

void CProgressPane::End(const void* owner) {
    const auto found = std::find_if(m_work.begin(), m_work.end(),
                                    [owner](const Work& work) { return work.owner == owner; });
    if (found == m_work.end()) return;
    const bool shown = found + 1 == m_work.end();
    m_work.erase(found);
    if (shown) ShowTop();
}

void CProgressPane::ShowTop() {
    if (m_work.empty()) {
        hide();
        return;
    }
    const Work& top = m_work.back();
    m_pLabel->setText(top.label);
    m_pBar->setValue(top.percent);
    if (isHidden() && top.clock.elapsed() >= ShowAfterMs) show();
}

QString CProgressPane::GetLabel() const { return m_work.empty() ? QString() : m_pLabel->text(); }

int CProgressPane::GetPercent() const { return m_pBar->value(); }
