#include "shell/TFormVerify.h"

#include "base/Messages.h"
#include "shell/TValueListEditor.h"

#include <array>
#include <chrono>

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int ProgressSteps = 1000;
/// Verdicts reach the window in batches, so that a file of many lines does not flood
/// the event loop.
constexpr std::size_t BatchSize = 500;
constexpr std::chrono::milliseconds BatchInterval{100};

const QColor FindingBackground(255, 214, 214);
const QColor FindingForeground(128, 0, 0);

/// The entry of ValueListEditorTexts for each kind of finding, in the order of the kinds.
constexpr std::array<const char*, FindingKindCount> FindingTextNames = {
    "FieldCount",   "HeaderLine",   "EmptyLine",       "LineTooLong",
    "Edited",       "ImageMissing", "ImageUnreadable", "ImageChanged",
    "OtherOptions", "NotAnalysed",  "NotReproduced"};

const char* FindingTextName(TFindingKind kind)
{
    return FindingTextNames[std::size_t(kind)];
}

/// The texts of the window that are no component's caption, with their layout texts.
std::vector<std::pair<QString, QString>> LayoutTexts()
{
    std::vector<std::pair<QString, QString>> texts = {
        {"ColumnLine", "Line"},
        {"ColumnImage", "Image"},
        {"ColumnResult", "Result"},
        {"Ok", "ok"},
        {"Difference", "%s %s (now %s)"},
        {"Summary", "%s lines: %s ok, %s edited, %s image changed, %s image missing, %s other "
                    "options, %s not reproduced, %s image unreadable, %s malformed"},
        {"Running", "%s lines verified ..."},
        {"Stopped", "Stopped after %s lines."},
        {"CannotVerify", "The result file %s cannot be verified: %s"},
        {"NoResultFile", "No result file is named in the options."},
    };
    for (std::size_t kind = 0; kind < FindingTextNames.size(); ++kind)
        texts.emplace_back(FindingTextNames[kind],
                           QString::fromStdString(FindingFormat(TFindingKind(kind))));
    return texts;
}

QString Format(const QString& format, const std::vector<std::string>& arguments)
{
    return QString::fromStdString(FormatMessage(format.toStdString(), arguments));
}

} // namespace

/// The verdicts as rows: line number, image file, and "ok" or the findings.
class TVerdictTableModel final : public QAbstractTableModel {
public:
    enum TColumn { ColumnLine, ColumnImage, ColumnResult, ColumnCount };

    TVerdictTableModel(const TFormVerify& window, QObject* parent)
        : QAbstractTableModel(parent)
        , window_(window)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(verdicts_.size());
    }

    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const TLineVerdict& verdict = verdicts_[std::size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return CellText(verdict, index.column());
        case Qt::BackgroundRole:
            return verdict.Ok() ? QVariant() : QVariant(FindingBackground);
        case Qt::ForegroundRole:
            return verdict.Ok() ? QVariant() : QVariant(FindingForeground);
        case Qt::TextAlignmentRole:
            return index.column() == ColumnLine ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static constexpr std::array<const char*, ColumnCount> names = {"ColumnLine", "ColumnImage",
                                                                       "ColumnResult"};
        return section >= 0 && section < ColumnCount ? window_.Text(names[std::size_t(section)])
                                                     : QVariant();
    }

    void Append(std::vector<TLineVerdict> verdicts)
    {
        if (verdicts.empty())
            return;
        const int first = rowCount();
        beginInsertRows({}, first, first + int(verdicts.size()) - 1);
        std::move(verdicts.begin(), verdicts.end(), std::back_inserter(verdicts_));
        endInsertRows();
    }

    void Clear()
    {
        beginResetModel();
        verdicts_.clear();
        endResetModel();
    }

    /// "ok", or the findings in the language file's words.
    QString ResultText(const TLineVerdict& verdict) const
    {
        if (verdict.Ok())
            return window_.Text("Ok");
        QStringList findings;
        const std::string difference = window_.Text("Difference").toStdString();
        for (const TFinding& finding : verdict.Findings)
            findings << Format(window_.Text(FindingTextName(finding.Kind)),
                               FindingArguments(finding, difference));
        return findings.join("; ");
    }

private:
    QVariant CellText(const TLineVerdict& verdict, int column) const
    {
        switch (column) {
        case ColumnLine:
            return qulonglong(verdict.Line);
        case ColumnImage:
            return QString::fromStdString(verdict.ImageFile);
        case ColumnResult:
            return ResultText(verdict);
        default:
            return {};
        }
    }

    const TFormVerify& window_;
    std::vector<TLineVerdict> verdicts_;
};

TFormVerify::TFormVerify(QWidget* parent)
    : QDialog(parent)
    , LabelResultFile(new QLabel("Result file:", this))
    , EditResultFile(new QLineEdit(this))
    , CheckBoxOptions(new QCheckBox("Compare with the options in force", this))
    , CheckBoxReanalyse(new QCheckBox("Analyse each image again", this))
    , ButtonVerify(new QPushButton("Verify", this))
    , ButtonStop(new QPushButton("Stop", this))
    , TableLines(new QTableView(this))
    , ProgressBarVerify(new QProgressBar(this))
    , LabelSummary(new QLabel(this))
    , BitBtnClose(new QPushButton("Close", this))
    , ValueListEditorTexts(new TValueListEditor(this))
    , model_(new TVerdictTableModel(*this, this))
{
    // The language file finds the components by these names.
    const std::pair<QObject*, const char*> components[] = {
        {LabelResultFile, "LabelResultFile"},
        {EditResultFile, "EditResultFile"},
        {CheckBoxOptions, "CheckBoxOptions"},
        {CheckBoxReanalyse, "CheckBoxReanalyse"},
        {ButtonVerify, "ButtonVerify"},
        {ButtonStop, "ButtonStop"},
        {TableLines, "TableLines"},
        {ProgressBarVerify, "ProgressBarVerify"},
        {LabelSummary, "LabelSummary"},
        {BitBtnClose, "BitBtnClose"},
        {ValueListEditorTexts, "ValueListEditorTexts"},
    };
    for (const auto& [component, name] : components)
        component->setObjectName(name);
    setObjectName("FormVerify");
    setWindowTitle("Verify result file");
    CheckBoxOptions->setToolTip("Check that each line was made with the options in force");
    CheckBoxReanalyse->setToolTip("Analyse the image of each line again; every item but the "
                                  "date and time must come out as saved");
    for (const auto& [name, text] : LayoutTexts())
        ValueListEditorTexts->SetValue(name, text);
    ValueListEditorTexts->hide();
    EditResultFile->setReadOnly(true);
    CheckBoxReanalyse->setEnabled(false);
    ProgressBarVerify->setRange(0, ProgressSteps);
    ProgressBarVerify->setValue(0);
    LabelSummary->setWordWrap(true);
    LabelSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    TableLines->setModel(model_);
    TableLines->verticalHeader()->hide();
    TableLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableLines->setWordWrap(false);
    QHeaderView& header = *TableLines->horizontalHeader();
    header.setSectionResizeMode(TVerdictTableModel::ColumnLine, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(TVerdictTableModel::ColumnImage, QHeaderView::Interactive);
    header.resizeSection(TVerdictTableModel::ColumnImage, 280);
    header.setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    auto* file = new QHBoxLayout;
    file->addWidget(LabelResultFile);
    file->addWidget(EditResultFile, 1);
    layout->addLayout(file);
    auto* checks = new QHBoxLayout;
    checks->addWidget(CheckBoxOptions);
    checks->addWidget(CheckBoxReanalyse);
    checks->addStretch();
    layout->addLayout(checks);
    layout->addWidget(TableLines, 1);
    layout->addWidget(ProgressBarVerify);
    layout->addWidget(LabelSummary);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonVerify);
    buttons->addWidget(ButtonStop);
    buttons->addStretch();
    buttons->addWidget(BitBtnClose);
    layout->addLayout(buttons);
    layout->addWidget(ValueListEditorTexts);
    resize(960, 520);

    connect(CheckBoxOptions, &QCheckBox::toggled, CheckBoxReanalyse, &QWidget::setEnabled);
    connect(ButtonVerify, &QPushButton::clicked, this, &TFormVerify::Start);
    connect(ButtonStop, &QPushButton::clicked, this, &TFormVerify::Stop);
    connect(BitBtnClose, &QPushButton::clicked, this, &QDialog::close);
    ShowRunning(false);
}

TFormVerify::~TFormVerify()
{
    Stop();
}

QString TFormVerify::Text(const char* name) const
{
    return ValueListEditorTexts->Value(name).value_or(name);
}

void TFormVerify::Verify(const std::string& resultFile, const TOptions& options,
                         const std::string& optionsName)
{
    if (running_)
        return;
    resultFile_ = resultFile;
    options_ = options;
    optionsName_ = optionsName;
    EditResultFile->setText(QString::fromStdString(resultFile));
    Start();
}

void TFormVerify::Stop()
{
    if (stop_)
        *stop_ = true;
}

void TFormVerify::closeEvent(QCloseEvent* event)
{
    Stop();
    QDialog::closeEvent(event);
}

void TFormVerify::ShowRunning(bool running)
{
    running_ = running;
    ButtonVerify->setEnabled(!running);
    ButtonStop->setEnabled(running);
    CheckBoxOptions->setEnabled(!running);
    CheckBoxReanalyse->setEnabled(!running && CheckBoxOptions->isChecked());
}

void TFormVerify::Start()
{
    if (running_)
        return;
    model_->Clear();
    ProgressBarVerify->setValue(0);
    if (resultFile_.empty()) {
        LabelSummary->setText(Text("NoResultFile"));
        return;
    }
    TVerifySettings settings;
    if (CheckBoxOptions->isChecked()) {
        TAnalysisSettings applied;
        ApplyOptions(applied, options_);
        settings.Options = std::move(applied);
        settings.OptionsName = optionsName_;
        settings.Reanalyse = CheckBoxReanalyse->isChecked();
    }
    settings.Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    stop_ = std::make_shared<std::atomic<bool>>(false);
    LabelSummary->setText(Format(Text("Running"), {"0"}));
    ShowRunning(true);

    worker_ =
        std::jthread([this, file = resultFile_, settings = std::move(settings), stop = stop_] {
            TVerifySummary summary;
            std::string error;
            const auto post = [this](std::vector<TLineVerdict> verdicts, double progress) {
                QMetaObject::invokeMethod(
                    this,
                    [this, verdicts = std::move(verdicts), progress]() mutable {
                        AddVerdicts(std::move(verdicts), progress);
                    },
                    Qt::QueuedConnection);
            };
            try {
                TResultVerifier verifier(file, settings);
                std::vector<TLineVerdict> batch;
                auto posted = std::chrono::steady_clock::now();
                summary = verifier.Run(
                    [&](const TLineVerdict& verdict, double progress) {
                        batch.push_back(verdict);
                        const auto now = std::chrono::steady_clock::now();
                        if (batch.size() >= BatchSize || now - posted >= BatchInterval) {
                            post(std::exchange(batch, {}), progress);
                            posted = now;
                        }
                    },
                    stop.get());
                post(std::move(batch), *stop ? -1.0 : 1.0);
            } catch (const TResultFileError& failure) {
                error = failure.what();
            } catch (const std::bad_alloc&) {
                error = "not enough memory";
            } catch (const std::exception& failure) {
                error = failure.what();
            }
            QMetaObject::invokeMethod(
                this, [this, summary, error] { Finish(summary, error); }, Qt::QueuedConnection);
        });
}

void TFormVerify::AddVerdicts(std::vector<TLineVerdict> verdicts, double progress)
{
    model_->Append(std::move(verdicts));
    if (progress >= 0)
        ProgressBarVerify->setValue(int(progress * ProgressSteps));
    LabelSummary->setText(Format(Text("Running"), {std::to_string(model_->rowCount())}));
}

QString TFormVerify::SummaryText(const TVerifySummary& summary) const
{
    std::vector<std::string> counts = {std::to_string(summary.Lines), std::to_string(summary.Ok)};
    for (const std::size_t count : summary.Categories)
        counts.push_back(std::to_string(count));
    return Format(Text("Summary"), counts);
}

void TFormVerify::Finish(const TVerifySummary& summary, const std::string& error)
{
    if (!error.empty()) {
        LabelSummary->setText(Format(Text("CannotVerify"), {resultFile_, error}));
    } else if (*stop_) {
        LabelSummary->setText(Format(Text("Stopped"), {std::to_string(summary.Lines)}) + " " +
                              SummaryText(summary));
    } else {
        ProgressBarVerify->setValue(ProgressSteps);
        LabelSummary->setText(SummaryText(summary));
    }
    ShowRunning(false);
    Q_EMIT VerificationFinished();
}

} // namespace varnolux
