#include "app/enginesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <climits>

#include "app/enginemessages.h"
#include "app/engineprocess.h"
#include "resources/dialogtexts.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }
QString qs(const std::string& s) { return QString::fromStdString(s); }

// Many engines read this value of a string option as the empty string.
const QString EmptyString = QStringLiteral("<empty>");

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The value a control stands for, as setoption sends it; a button's is null unless marked.
QString controlValue(const UciOption& option, QWidget* control) {
    switch (option.type) {
    case UciOptionType::Spin:
        return QString::number(static_cast<QSpinBox*>(control)->value());
    case UciOptionType::Check:
        return static_cast<QCheckBox*>(control)->isChecked() ? QStringLiteral("true")
                                                             : QStringLiteral("false");
    case UciOptionType::Combo:
        return static_cast<QComboBox*>(control)->currentText();
    case UciOptionType::String:
        return static_cast<QLineEdit*>(control)->text();
    case UciOptionType::Button:
        return static_cast<QPushButton*>(control)->isChecked() ? QStringLiteral("") : QString();
    }
    return QString();
}

// Sets a control to value; a value the control cannot take leaves it as it is.
void setControlValue(const UciOption& option, QWidget* control, const QString& value) {
    switch (option.type) {
    case UciOptionType::Spin: {
        bool            ok     = false;
        const long long number = value.toLongLong(&ok);
        if (ok) static_cast<QSpinBox*>(control)->setValue(clampToInt(number));
        return;
    }
    case UciOptionType::Check:
        if (value.compare("true", Qt::CaseInsensitive) == 0)
            static_cast<QCheckBox*>(control)->setChecked(true);
        else if (value.compare("false", Qt::CaseInsensitive) == 0)
            static_cast<QCheckBox*>(control)->setChecked(false);
        return;
    case UciOptionType::Combo: {
        auto*     combo = static_cast<QComboBox*>(control);
        const int index = combo->findText(value, Qt::MatchFixedString);
        if (index >= 0) combo->setCurrentIndex(index);
        return;
    }
    case UciOptionType::String:
        static_cast<QLineEdit*>(control)->setText(value == EmptyString ? QString() : value);
        return;
    case UciOptionType::Button:
        static_cast<QPushButton*>(control)->setChecked(true);
        return;
    }
}

QWidget* makeControl(const UciOption& option, QWidget* parent) {
    switch (option.type) {
    case UciOptionType::Spin: {
        auto* spin = new QSpinBox(parent);
        spin->setRange(clampToInt(option.min.value_or(INT_MIN)),
                       clampToInt(option.max.value_or(INT_MAX)));
        return spin;
    }
    case UciOptionType::Check:
        return new QCheckBox(parent);
    case UciOptionType::Combo: {
        auto* combo = new QComboBox(parent);
        for (const std::string& var : option.vars)
            combo->addItem(qs(var));
        return combo;
    }
    case UciOptionType::String:
        return new QLineEdit(parent);
    case UciOptionType::Button: {
        // Marked, the button is sent to the engine each time it starts.
        auto* button = new QPushButton(QStringLiteral("起動時に実行する"), parent);
        button->setCheckable(true);
        button->setToolTip(QStringLiteral(
            "押した状態にすると、エンジンを起動するたびにこのボタンの操作を送ります"));
        return button;
    }
    }
    return nullptr;
}

const QString Reading = QStringLiteral("読み込み中...");

} // namespace

bool CEnginesDialog::IsProgramOption(const std::string& name) {
    // The number of lines and pondering follow the analysis's own settings; the games are
    // standard chess.
    for (const char* own : {"MultiPV", "Ponder", "UCI_AnalyseMode", "UCI_Chess960"})
        if (name.size() == std::char_traits<char>::length(own) &&
            std::equal(name.begin(), name.end(), own, [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
    return false;
}

CEnginesDialog::CEnginesDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("エンジンの設定"));
    auto* columns = new QHBoxLayout;

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("エンジン(&E):"), this));
    m_pList = new QListWidget(this);
    static_cast<QLabel*>(left->itemAt(0)->widget())->setBuddy(m_pList);
    left->addWidget(m_pList, 1);
    auto* listButtons = new QHBoxLayout;
    m_pAdd            = new QPushButton(QStringLiteral("追加(&A)..."), this);
    m_pRemove         = new QPushButton(QStringLiteral("削除(&D)"), this);
    m_pAdd->setAutoDefault(false);
    m_pRemove->setAutoDefault(false);
    listButtons->addWidget(m_pAdd);
    listButtons->addWidget(m_pRemove);
    listButtons->addStretch();
    left->addLayout(listButtons);
    auto* choice      = new QHBoxLayout;
    auto* choiceLabel = new QLabel(QStringLiteral("解析に使うエンジン(&U):"), this);
    m_pAnalysis       = new QComboBox(this);
    choiceLabel->setBuddy(m_pAnalysis);
    choice->addWidget(choiceLabel);
    choice->addWidget(m_pAnalysis, 1);
    left->addLayout(choice);
    columns->addLayout(left, 2);

    m_pOptionsBox       = new QGroupBox(QStringLiteral("オプション"), this);
    auto* optionsLayout = new QVBoxLayout(m_pOptionsBox);
    m_pProgram          = new QLabel(m_pOptionsBox);
    m_pProgram->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pProgram->setWordWrap(true);
    optionsLayout->addWidget(m_pProgram);
    m_pNotice = new QLabel(m_pOptionsBox);
    m_pNotice->setWordWrap(true);
    m_pNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    optionsLayout->addWidget(m_pNotice);
    m_pFormArea = new QScrollArea(m_pOptionsBox);
    m_pFormArea->setWidgetResizable(true);
    m_pFormArea->setFrameShape(QFrame::NoFrame);
    optionsLayout->addWidget(m_pFormArea, 1);
    columns->addWidget(m_pOptionsBox, 3);

    auto*        buttons = new QDialogButtonBox(this);
    QPushButton* ok      = buttons->addButton(text(DialogText::Ok), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    resize(640, 420);

    for (const EngineEntry& entry : availableEngines()) {
        auto row   = std::make_unique<Row>();
        row->entry = entry;
        AddRow(std::move(row));
    }
    RefreshAnalysisChoice(analysisEngine().name);

    connect(m_pList, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    connect(m_pAdd, &QPushButton::clicked, this, &CEnginesDialog::OnAdd);
    connect(m_pRemove, &QPushButton::clicked, this, &CEnginesDialog::RemoveSelected);
    m_pList->setCurrentRow(0);
}

CEnginesDialog::~CEnginesDialog() {
    // The readers are children of the dialog: destroying them stops their engines.
    m_fields.clear();
}

void CEnginesDialog::AddRow(std::unique_ptr<Row> row) {
    m_pList->addItem(row->entry.name);
    m_rows.push_back(std::move(row));
}

CEnginesDialog::Row* CEnginesDialog::RowAt(int index) const {
    return index >= 0 && index < static_cast<int>(m_rows.size()) ? m_rows[index].get() : nullptr;
}

QList<EngineEntry> CEnginesDialog::Engines() const {
    QList<EngineEntry> engines;
    for (const auto& row : m_rows)
        engines.append(row->entry);
    return engines;
}

int  CEnginesDialog::SelectedRow() const { return m_pList->currentRow(); }
void CEnginesDialog::SelectRow(int row) { m_pList->setCurrentRow(row); }

QString CEnginesDialog::AnalysisEngineName() const { return m_pAnalysis->currentText(); }

bool CEnginesDialog::IsReadingOptions() const {
    const Row* row = RowAt(SelectedRow());
    return IsAdding() || (row && row->state == Row::Reading);
}

QWidget* CEnginesDialog::OptionControl(const QString& name) const {
    for (const Field& field : m_fields)
        if (qs(field.option.name) == name) return field.control;
    return nullptr;
}

QString CEnginesDialog::OptionsNotice() const {
    return m_pNotice->isHidden() ? QString() : m_pNotice->text();
}

void CEnginesDialog::UpdateButtons() {
    const Row* row = RowAt(SelectedRow());
    m_pRemove->setEnabled(row && row->entry.kind == EngineEntry::User);
    m_pAdd->setEnabled(!IsAdding());
}

void CEnginesDialog::RefreshAnalysisChoice(const QString& keep) {
    m_pAnalysis->clear();
    for (const auto& row : m_rows)
        m_pAnalysis->addItem(row->entry.name);
    int index = m_pAnalysis->findText(keep, Qt::MatchExactly);
    if (index < 0) {
        // The chosen engine was removed: the engine that would analyse without a choice.
        for (std::size_t i = 0; i < m_rows.size() && index < 0; ++i)
            if (m_rows[i]->entry.kind == EngineEntry::Stockfish) index = static_cast<int>(i);
    }
    m_pAnalysis->setCurrentIndex(std::max(index, 0));
}

void CEnginesDialog::ShowSelected() {
    CollectForm();
    UpdateButtons();
    Row* row = RowAt(SelectedRow());
    if (!row) {
        m_pOptionsBox->setTitle(QStringLiteral("オプション"));
        m_pProgram->clear();
        ShowNotice(QString());
        return;
    }
    m_pOptionsBox->setTitle(QStringLiteral("%1のオプション").arg(row->entry.name));
    m_pProgram->setText(QStringLiteral("プログラム: %1").arg(row->entry.program));
    switch (row->state) {
    case Row::NotRead:
        StartReading(row);
        ShowNotice(Reading);
        break;
    case Row::Reading:
        ShowNotice(Reading);
        break;
    case Row::Failed:
        ShowNotice(row->error);
        break;
    case Row::Read:
        BuildForm(*row);
        break;
    }
    if (row->state != Row::Reading) emit optionsShown();
}

void CEnginesDialog::StartReading(Row* row) {
    row->state   = Row::Reading;
    auto* engine = new EngineProcess(this);
    row->reader  = engine;
    connect(engine, &EngineProcess::handshaken, this, [this, row, engine] {
        row->state   = Row::Read;
        row->options = engine->client().options();
        engine->shutdown();
        engine->deleteLater();
        if (RowAt(SelectedRow()) == row) ShowSelected();
    });
    connect(engine, &EngineProcess::sessionFailed, this, [this, row, engine] {
        row->state = Row::Failed;
        row->error = engineErrorText(row->entry.name, engine->error());
        engine->deleteLater();
        if (RowAt(SelectedRow()) == row) ShowSelected();
    });
    engine->start(row->entry.program, row->entry.arguments);
}

void CEnginesDialog::ShowNotice(const QString& notice) {
    m_fields.clear();
    m_formRow = nullptr;
    delete m_pFormArea->takeWidget();
    m_pNotice->setText(notice);
    m_pNotice->setHidden(notice.isEmpty());
    m_pFormArea->hide();
}

void CEnginesDialog::BuildForm(Row& row) {
    m_fields.clear();
    delete m_pFormArea->takeWidget();
    auto* form   = new QWidget;
    auto* layout = new QFormLayout(form);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const UciOption& option : row.options) {
        if (IsProgramOption(option.name)) continue;
        Field field;
        field.option  = option;
        field.control = makeControl(option, form);
        if (!field.control) continue;
        if (option.defaultValue) setControlValue(option, field.control, qs(*option.defaultValue));
        field.defaultValue = controlValue(option, field.control);
        for (const auto& [name, value] : row.entry.options)
            if (name == qs(option.name)) setControlValue(option, field.control, value);
        if (option.defaultValue && option.type != UciOptionType::Button)
            field.control->setToolTip(QStringLiteral("既定値: %1").arg(qs(*option.defaultValue)));
        layout->addRow(qs(option.name), field.control);
        m_fields.push_back(field);
    }
    if (m_fields.empty())
        layout->addRow(
            new QLabel(QStringLiteral("このエンジンには設定できるオプションがありません。"), form));
    m_pFormArea->setWidget(form);
    m_pFormArea->show();
    m_pNotice->hide();
    m_pNotice->clear();
    m_formRow = &row;
}

void CEnginesDialog::CollectForm() {
    if (!m_formRow) return;
    QList<QPair<QString, QString>> kept;
    for (const Field& field : m_fields) {
        QString value = controlValue(field.option, field.control);
        if (field.option.type == UciOptionType::Button) {
            if (!value.isNull()) kept.append({qs(field.option.name), QString()});
            continue;
        }
        if (value == field.defaultValue) continue;
        if (field.option.type == UciOptionType::String && value.isEmpty()) value = EmptyString;
        kept.append({qs(field.option.name), value});
    }
    // Values of options the engine left out of the form are kept as they were.
    for (const auto& [name, value] : m_formRow->entry.options)
        if (IsProgramOption(name.toStdString())) kept.append({name, value});
    m_formRow->entry.options = kept;
}

QString CEnginesDialog::AskProgramFile() {
    return QFileDialog::getOpenFileName(this, QStringLiteral("エンジンのプログラムを選ぶ"));
}

void CEnginesDialog::ShowMessage(const QString& message) {
    QMessageBox::warning(this, QStringLiteral("Norvane"), message);
}

void CEnginesDialog::OnAdd() {
    const QString program = AskProgramFile();
    if (!program.isEmpty()) AddEngine(program);
}

void CEnginesDialog::AddEngine(const QString& program) {
    if (IsAdding()) return;
    const QString path = QFileInfo(program).absoluteFilePath();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i]->entry.program == path && m_rows[i]->entry.arguments.isEmpty()) {
            ShowMessage(QStringLiteral("このプログラムは「%1」としてすでに登録されています。")
                            .arg(m_rows[i]->entry.name));
            SelectRow(static_cast<int>(i));
            emit addFinished(false);
            return;
        }
    auto* engine = new EngineProcess(this);
    m_adder      = engine;
    UpdateButtons();
    connect(engine, &EngineProcess::handshaken, this,
            [this, engine, path] { AddChecked(engine, path); });
    connect(engine, &EngineProcess::sessionFailed, this, [this, engine, path] {
        const QString message = engineErrorText(QFileInfo(path).fileName(), engine->error()) +
                                QStringLiteral("\nエンジンは追加されませんでした。");
        engine->deleteLater();
        m_adder = nullptr;
        UpdateButtons();
        // Told once the engine's own handling is over, not in the middle of it.
        QMetaObject::invokeMethod(
            this,
            [this, message] {
                ShowMessage(message);
                emit addFinished(false);
            },
            Qt::QueuedConnection);
    });
    engine->start(path, {});
}

void CEnginesDialog::AddChecked(EngineProcess* engine, const QString& program) {
    QString name = qs(engine->client().engineName()).trimmed();
    if (name.isEmpty()) name = QFileInfo(program).fileName();
    auto row           = std::make_unique<Row>();
    row->entry.name    = uniqueEngineName(name, Engines());
    row->entry.program = program;
    row->entry.kind    = EngineEntry::User;
    row->state         = Row::Read;
    row->options       = engine->client().options();
    engine->shutdown();
    engine->deleteLater();
    m_adder              = nullptr;
    const QString chosen = AnalysisEngineName();
    AddRow(std::move(row));
    RefreshAnalysisChoice(chosen);
    SelectRow(static_cast<int>(m_rows.size()) - 1);
    UpdateButtons();
    emit addFinished(true);
}

void CEnginesDialog::RemoveSelected() {
    const int index = SelectedRow();
    Row*      row   = RowAt(index);
    if (!row || row->entry.kind != EngineEntry::User) return;
    if (m_formRow == row) {
        m_fields.clear();
        m_formRow = nullptr;
    }
    if (row->reader) {
        row->reader->disconnect(this);
        row->reader->deleteLater();
    }
    const QString        chosen  = AnalysisEngineName();
    std::unique_ptr<Row> removed = std::move(m_rows[index]);
    m_rows.erase(m_rows.begin() + index);
    {
        const QSignalBlocker block(m_pList);
        delete m_pList->takeItem(index);
    }
    RefreshAnalysisChoice(chosen);
    m_pList->setCurrentRow(std::min(index, static_cast<int>(m_rows.size()) - 1));
    ShowSelected();
}

void CEnginesDialog::accept() {
    CollectForm();
    storeEngines(Engines());
    storeAnalysisEngineName(AnalysisEngineName());
    QDialog::accept();
}

bool runEnginesDialog(QWidget* parent) {
    CEnginesDialog dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}
