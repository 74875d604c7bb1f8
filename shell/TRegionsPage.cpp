#include "shell/TRegionsPage.h"

#include "analysis/AnalysisSteps.h"
#include "imaging/TQROIL.h"
#include "shell/TImageWidget.h"
#include "shell/TValueListEditor.h"

#include <array>

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnolux {

namespace {

/// The table's columns the page shows: Path, Name and SHAResult are the same in every
/// row and stand in the result line.
constexpr int FirstShownColumn = TRegionTable::ColumnRegion;
constexpr int ShownColumnCount = TRegionTable::ColumnVMean - FirstShownColumn + 1;

/// The captions of the shown columns, by entry name, with their layout texts.
constexpr std::array<std::pair<const char*, const char*>, ShownColumnCount> ColumnCaptions = {{
    {"Region", "Region"},
    {"AreaPixel", "Area [pixels]"},
    {"Area", "Area"},
    {"Pixels", "Pixels"},
    {"CentreX", "Centre x"},
    {"CentreY", "Centre y"},
    {"Left", "Left"},
    {"Top", "Top"},
    {"Right", "Right"},
    {"Bottom", "Bottom"},
    {"MajorAxis", "Major axis"},
    {"MinorAxis", "Minor axis"},
    {"Orientation", "Orientation [°]"},
    {"HMean", "Mean hue"},
    {"SMean", "Mean saturation"},
    {"VMean", "Mean brightness"},
}};

/// The sort key of a cell: its number, not its text.
constexpr int SortRole = Qt::UserRole;

} // namespace

/// The rows of a regions table, the numbers as the result file writes them.
class TRegionTableModel final : public QAbstractTableModel {
public:
    TRegionTableModel(const TRegionsPage& page, QObject* parent)
        : QAbstractTableModel(parent)
        , page_(page)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : table_.RowCount();
    }

    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ShownColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const auto row = std::size_t(index.row());
        const int column = index.column() + FirstShownColumn;
        switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_.Cell(row, column).ValueText);
        case SortRole:
            return table_.Number(row, column);
        case Qt::TextAlignmentRole:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= ShownColumnCount)
            return {};
        return page_.Text(ColumnCaptions[std::size_t(section)].first);
    }

    void SetTable(TRegionTable table)
    {
        beginResetModel();
        table_ = std::move(table);
        endResetModel();
    }

    const TRegionTable& Table() const { return table_; }

    /// Captions changed (a language file was applied).
    void CaptionsChanged() { Q_EMIT headerDataChanged(Qt::Horizontal, 0, ShownColumnCount - 1); }

private:
    const TRegionsPage& page_;
    TRegionTable table_;
};

TRegionsPage::TRegionsPage(TImageWidget& analysedImage, QWidget* parent)
    : QWidget(parent)
    , TableViewRegions(new QTableView(this))
    , ValueListEditorRegionTexts(new TValueListEditor(this))
    , analysedImage_(analysedImage)
    , model_(new TRegionTableModel(*this, this))
    , sortedModel_(new QSortFilterProxyModel(this))
{
    setObjectName("TabSheetRegions");
    TableViewRegions->setObjectName("TableViewRegions");
    ValueListEditorRegionTexts->setObjectName("ValueListEditorRegionTexts");
    ValueListEditorRegionTexts->hide();
    for (const auto& [name, caption] : ColumnCaptions)
        ValueListEditorRegionTexts->SetValue(name, caption);
    connect(ValueListEditorRegionTexts, &QTableWidget::itemChanged, model_,
            [this] { model_->CaptionsChanged(); });

    sortedModel_->setSourceModel(model_);
    sortedModel_->setSortRole(SortRole);
    TableViewRegions->setModel(sortedModel_);
    TableViewRegions->setSortingEnabled(true);
    TableViewRegions->sortByColumn(0, Qt::AscendingOrder);
    TableViewRegions->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableViewRegions->setSelectionMode(QAbstractItemView::SingleSelection);
    TableViewRegions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableViewRegions->setWordWrap(false);
    TableViewRegions->verticalHeader()->hide();
    // Millions of rows of a noisy selection stay quick with rows of one height.
    TableViewRegions->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TableViewRegions->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    TableViewRegions->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(TableViewRegions->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TRegionsPage::SelectionChanged);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TableViewRegions);
}

TRegionsPage::~TRegionsPage() = default;

QString TRegionsPage::Text(const QString& name) const
{
    return ValueListEditorRegionTexts->Value(name).value_or(name);
}

const TRegionTable& TRegionsPage::Regions() const
{
    return model_->Table();
}

void TRegionsPage::ShowRegions(TRegionTable table, std::shared_ptr<const TQROIL> selection)
{
    OutlineRegion(-1);
    selection_ = std::move(selection);
    model_->SetTable(std::move(table));
    // Measured on the first rows only: quick for any number of rows.
    TableViewRegions->resizeColumnsToContents();
}

void TRegionsPage::Clear()
{
    ShowRegions({}, nullptr);
}

void TRegionsPage::OutlineRegion(int region)
{
    const TRegionTable& table = model_->Table();
    outlined_ = region >= 0 && region < table.RowCount() && selection_ ? region : -1;
    QPainterPath path;
    if (outlined_ >= 0)
        for (const TPixelEdge& edge :
             RegionOutline(*selection_, table.Regions[std::size_t(outlined_)])) {
            path.moveTo(edge.X1, edge.Y1);
            path.lineTo(edge.X2, edge.Y2);
        }
    analysedImage_.SetOverlay(path, selection_ ? QSize(selection_->Width(), selection_->Height())
                                               : QSize());
}

void TRegionsPage::SelectionChanged()
{
    const QModelIndexList rows = TableViewRegions->selectionModel()->selectedRows();
    const QModelIndex chosen =
        rows.isEmpty() ? QModelIndex() : sortedModel_->mapToSource(rows.front());
    OutlineRegion(chosen.isValid() ? chosen.row() : -1);
}

} // namespace varnolux
