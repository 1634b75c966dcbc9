// One QtTest program per test folder: each test class registers itself with NORVANE_TEST and
// NORVANE_TEST_MAIN runs them all under one QApplication.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

inline std::vector<std::function<QObject*()>>& testFactories() {
    static std::vector<std::function<QObject*()>> factories;
    return factories;
}

#define NORVANE_TEST(Class)                                                                  \
    [[maybe_unused]] static const bool registered##Class =                                   \
        (testFactories().push_back([] { return new Class; }), true)

#define NORVANE_TEST_MAIN(setUp)                                                             \
    int main(int argc, char** argv) {                                                        \
        QApplication app(argc, argv);                                                        \
        QStandardPaths::setTestModeEnabled(true);                                            \
        setUp();                                                                             \
        int failed = 0;                                                                      \
        /* Settings written after a class has removed its own settings folder land here, */ \
        /* not in a folder made again where the removed one was. */                          \
        QTemporaryDir settingsHome;                                                          \
        /* NORVANE_TEST_CLASSES, when set, names the classes to run (comma-separated): */   \
        /* the ThreadSanitizer build runs only those with background work. */               \
        const QStringList only =                                                             \
            qEnvironmentVariable("NORVANE_TEST_CLASSES").split(',', Qt::SkipEmptyParts);     \
        for (const auto& make : testFactories()) {                                          \
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,                \
                               settingsHome.path());                                         \
            std::unique_ptr<QObject> test(make());                                           \
            if (!only.isEmpty() && !only.contains(test->metaObject()->className())) continue; \
            failed += QTest::qExec(test.get(), argc, argv);                                  \
        }                                                                                    \
        return failed == 0 ? 0 : 1;                                                          \
    }
