// Shared fixtures of the desktop tests: a document whose platform operations are recorded,
// a view that records the hints it hears, and the paths of the test files.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "app/norvanedoc.h"
#include "tests/passwait.h"

// A document whose platform operations are recorded: the messages it shows and the search
// criteria it is given.
class TestDoc : public CNorvaneDoc {
public:
    QStringList        messages;
    bool               answerSearch = true;
    SearchDialogValues search{};
    void               MessageBox(const QString& text) override { messages << text; }
    bool               AskSearchCriteria(SearchDialogValues& values) override {
        values = search;
        return answerSearch;
    }
};

// A view that records the hints it hears.
class HintView : public CView {
public:
    std::vector<int> hints;
    void             OnUpdate(CView*, int hint) override { hints.push_back(hint); }
    void             OnInitialUpdate() override {}
};

inline QString data(const char* name) { return QString(NORVANE_TEST_DATA "/") + name; }
