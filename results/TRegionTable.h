#pragma once

#include "results/TResult.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnolux {

/// The measurements of one region, in pixels; pixel (x, y) lies at integer
/// coordinates, y downwards.
struct TRegionMeasurement {
    double AreaPixel = 0.0; // bit-quad area
    std::int32_t Pixels = 0;
    double CentreX = 0.0;
    double CentreY = 0.0;
    // The bounding box, inclusive.
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    // 4 · √λ of the eigenvalues λ1 ≥ λ2 of the covariance of the pixel coordinates.
    double MajorAxis = 0.0;
    double MinorAxis = 0.0;
    /// Of the major axis, in degrees counter-clockwise as seen on screen, in (-90, 90];
    /// 0 when both eigenvalues are equal.
    double Orientation = 0.0;
    double HMean = 0.0; // circular mean on the 0..255 hue scale
    double SMean = 0.0;
    double VMean = 0.0;
    /// Its first pixel in region order (top of its leftmost column): where to find the
    /// region again in the selection. Not a column of the table.
    std::int32_t SeedX = 0;
    std::int32_t SeedY = 0;
};

/// The regions table of one run: one row per kept region, in the engine's region order.
struct TRegionTable {
    enum TColumn {
        ColumnPath,
        ColumnName,
        ColumnRegion,
        ColumnAreaPixel,
        ColumnArea,
        ColumnPixels,
        ColumnCentreX,
        ColumnCentreY,
        ColumnLeft,
        ColumnTop,
        ColumnRight,
        ColumnBottom,
        ColumnMajorAxis,
        ColumnMinorAxis,
        ColumnOrientation,
        ColumnHMean,
        ColumnSMean,
        ColumnVMean,
        ColumnSHAResult,
        ColumnCount
    };
    static const std::array<const char*, ColumnCount>& ColumnNames();

    std::string Path; // as in the result line
    std::string Name;
    /// Pixels per unit length (1 without units): Area is AreaPixel / Measure², the axes
    /// are divided by Measure.
    double Measure = 1.0;
    std::string ShaResult;
    std::vector<TRegionMeasurement> Regions;

    int RowCount() const { return int(Regions.size()); }
    /// The kind of a column's cells (TResultItem::KindFloat, KindText or KindInteger).
    static std::uint8_t ColumnKind(int column);
    /// The value of a number cell, as its cell holds it; 0 for a text column.
    double Number(std::size_t row, int column) const;
    /// One cell as a result item: its kind, value and value text (numbers in the result
    /// file's general format with the locale's decimal separator).
    TResultItem Cell(std::size_t row, int column) const;
    /// The cells of a row as a result table, in column order.
    TResult Row(std::size_t row) const;

    /// The column names, tab-separated, without a line end.
    static std::string HeaderLine();
    /// Every row as a tab-separated line, each ending in CR LF.
    std::string ValueLines() const;
    /// Every row as one JSON object on a line of its own (LF).
    std::string JsonLines() const;

    /// Appends every row to a file by the result file's rules (header line only when
    /// the file is new or empty, CR LF, the rows of the table whole or not at all, the
    /// same locking); with json one JSON object per row and line instead, no header.
    /// False when the file cannot be written; why then says why.
    bool AppendToFile(const std::string& fileName, bool json, std::string* why = nullptr) const;

private:
    template <typename MakeLine>
    std::string JoinedRows(MakeLine&& makeLine) const;
};

} // namespace varnolux
