#pragma once

#include "results/TRegionTable.h"

#include <memory>
#include <string>

#include <QWidget>

class QSortFilterProxyModel;
class QTableView;

namespace varnolux {

class TImageWidget;
class TQROIL;
class TRegionTableModel;
class TValueListEditor;

/// The page of the kept regions of the last analysis: one sortable row per region
/// with its area, position, axes, orientation and mean colour. Choosing a row outlines
/// that region in the analysed picture. Its column captions come from the language
/// file (entries of ValueListEditorRegionTexts).
class TRegionsPage : public QWidget {
    Q_OBJECT

public:
    TRegionsPage(TImageWidget& analysedImage, QWidget* parent = nullptr);
    ~TRegionsPage() override;

    /// Shows the regions of a finished analysis. selection is the selection they were
    /// measured in, for the outlines.
    void ShowRegions(TRegionTable table, std::shared_ptr<const TQROIL> selection);
    /// Shows no regions and no outline.
    void Clear();

    const TRegionTable& Regions() const;
    /// Outlines a region (0 for region 1) in the analysed picture; -1 for none.
    void OutlineRegion(int region);
    /// The region outlined, -1 for none.
    int OutlinedRegion() const { return outlined_; }

    /// The text of an entry of ValueListEditorRegionTexts.
    QString Text(const QString& name) const;

private:
    QTableView* TableViewRegions;
    /// The column captions (hidden).
    TValueListEditor* ValueListEditorRegionTexts;

    void SelectionChanged();

    TImageWidget& analysedImage_;
    std::shared_ptr<const TQROIL> selection_;
    TRegionTableModel* model_;
    QSortFilterProxyModel* sortedModel_;
    int outlined_ = -1;
};

} // namespace varnolux
