// Runs a test's hand on a modal dialog: the dialog's exec blocks the test, so the hand is
// scheduled before it opens.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

// Runs f on the next modal widget of type T once it is up (gives up after about 5 s).
template <class T, class F>
void onNextModal(F f) {
    auto* timer = new QTimer(qApp);
    auto  tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, f] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            f(w);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
