// "エンジンの設定": the engines the program can run (the built-in one, Stockfish when it is
// installed, and the user's), adding an engine by its program file and removing the user's,
// the engine that analyses, and a form of the selected engine's options. The form is built from
// the engine's own option lines, read by running the engine through its handshake; it shows
// the engine's defaults and the values kept. OK keeps the engines, the values that differ from
// the engines' defaults and the choice in the settings.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

#include "app/enginelist.h"
#include "uci/ucimessages.h"

class EngineProcess;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

class CEnginesDialog : public QDialog {
    Q_OBJECT
public:
    // Options the program sets itself for analysis: they are left out of the form.
    static bool IsProgramOption(const std::string& name);

    // Lists the engines as availableEngines() gives them, the analysis engine chosen.
    explicit CEnginesDialog(QWidget* parent = nullptr);
    // Engines still running to answer their options are stopped.
    ~CEnginesDialog() override;

    // Keeps everything in the settings and closes.
    void accept() override;

    // The engines as they stand in the dialog, in the list's order.
    QList<EngineEntry> Engines() const;
    // The list's selected row (-1 for none); selecting shows that engine's options.
    int  SelectedRow() const;
    void SelectRow(int row);
    // The engine chosen to analyse.
    QString AnalysisEngineName() const;
    // Starts checking program as a new engine: added when it completes its handshake (named
    // by its id name), else the failure is shown and nothing is added.
    void AddEngine(const QString& program);
    // Removes the selected engine when it is one of the user's.
    void RemoveSelected();
    // True while the selected engine runs to answer its options, or an engine being added runs.
    bool IsReadingOptions() const;
    bool IsAdding() const { return !m_adder.isNull(); }
    // The control of the selected engine's option name, once the form is shown; else null.
    QWidget* OptionControl(const QString& name) const;
    // What the options' place says instead of a form: 読み込み中..., an engine's failure.
    QString OptionsNotice() const;

signals:
    // The selected engine's form, or its notice, has been shown.
    void optionsShown();
    // An engine has been added, or could not be.
    void addFinished(bool added);

protected:
    // The file dialog for an engine's program; empty when cancelled.
    virtual QString AskProgramFile();
    // A message box captioned "Norvane".
    virtual void ShowMessage(const QString& text);

private:
    struct Row {
        enum State { NotRead, Reading, Read, Failed };
        EngineEntry             entry;
        State                   state = NotRead;
        std::vector<UciOption>  options; // the engine's own, once read
        QString                 error;
        QPointer<EngineProcess> reader;
    };
    // One control of the form with the option it sets.
    struct Field {
        UciOption option;
        QWidget*  control = nullptr;
        QString   defaultValue; // the control's value at the engine's default
    };

    void AddRow(std::unique_ptr<Row> row);
    void ShowSelected();
    void StartReading(Row* row);
    void BuildForm(Row& row);
    void ShowNotice(const QString& text);
    // The current form's values into its row's kept options.
    void CollectForm();
    void RefreshAnalysisChoice(const QString& keep);
    void UpdateButtons();
    Row* RowAt(int index) const;
    void OnAdd();
    void AddChecked(EngineProcess* process, const QString& program);

    std::vector<std::unique_ptr<Row>> m_rows;
    std::vector<Field>                m_fields;
    Row*                              m_formRow = nullptr; // whose values the form holds
    QPointer<EngineProcess>           m_adder;

    QListWidget* m_pList;
    QPushButton* m_pAdd;
    QPushButton* m_pRemove;
    QComboBox*   m_pAnalysis;
    QGroupBox*   m_pOptionsBox;
    QLabel*      m_pProgram;
    QLabel*      m_pNotice;
    QScrollArea* m_pFormArea;
};

// Runs the engines dialog over parent; the settings are changed only when it is accepted, and
// then it answers true.
bool runEnginesDialog(QWidget* parent);
