#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace varnolux {

/// Raises a failure of a numerical routine as a TQError "Internal error NR: " + message.
[[noreturn]] void RaiseNRError(const std::string& message);

/// Raises the internal error for a block of rows × columns elements.
[[noreturn]] void RaiseNRSizeError(int rows, int columns);

/// The element count of a rows × columns block; raises the internal error when a size is
/// negative or the count does not fit in 32 bits.
inline std::size_t NRBlockSize(int rows, int columns)
{
    const std::int64_t count = std::int64_t(rows) * std::int64_t(columns);
    if (rows < 0 || columns < 0 || count > std::numeric_limits<std::int32_t>::max())
        RaiseNRSizeError(rows, columns);
    return std::size_t(count);
}

namespace detail {

/// A block of elements held inside the object up to a 4 × 4 matrix and on the heap beyond,
/// so that the small matrices of per-region statistics cost no allocation. Only the used
/// elements are ever written, read or copied.
template <typename T>
class TSmallBlock {
public:
    static constexpr std::size_t InlineCapacity = 16;

    TSmallBlock() = default;
    TSmallBlock(const TSmallBlock& other) { CopyFrom(other); }
    TSmallBlock(TSmallBlock&& other) noexcept { MoveFrom(std::move(other)); }
    TSmallBlock& operator=(const TSmallBlock& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }
    TSmallBlock& operator=(TSmallBlock&& other) noexcept
    {
        if (this != &other)
            MoveFrom(std::move(other));
        return *this;
    }
    ~TSmallBlock() = default;

    void Assign(std::size_t size, const T& value)
    {
        Resize(size);
        std::ranges::fill(Elements(), value);
    }

    std::span<T> Elements() { return {IsInline() ? inline_.data() : heap_.data(), size_}; }
    std::span<const T> Elements() const
    {
        return {IsInline() ? inline_.data() : heap_.data(), size_};
    }

private:
    bool IsInline() const { return size_ <= InlineCapacity; }

    /// Makes room for size elements of undefined value.
    void Resize(std::size_t size)
    {
        size_ = size;
        if (IsInline())
            FreeHeap();
        else
            heap_.resize(size);
    }

    void CopyFrom(const TSmallBlock& other)
    {
        Resize(other.size_);
        std::ranges::copy(other.Elements(), Elements().begin());
    }

    void MoveFrom(TSmallBlock&& other)
    {
        if (other.IsInline()) {
            CopyFrom(other);
        } else {
            size_ = other.size_;
            heap_ = std::move(other.heap_);
        }
        other.size_ = 0;
        other.FreeHeap();
    }

    void FreeHeap()
    {
        if (heap_.capacity() != 0)
            std::vector<T>().swap(heap_);
    }

    std::size_t size_ = 0;
    // Left uninitialised: filling it on every construction would cost more than a 2 × 2
    // diagonalisation.
    std::array<T, InlineCapacity> inline_;
    std::vector<T> heap_;
};

} // namespace detail

/// A vector of Length() elements, v[i] for i in 0 .. Length() - 1.
template <typename T>
class NRVec {
public:
    NRVec() = default;
    explicit NRVec(int length, const T& value = T()) { Assign(length, value); }

    /// Resizes to length elements, all equal to value.
    void Assign(int length, const T& value = T())
    {
        block_.Assign(NRBlockSize(1, length), value);
        length_ = length;
    }

    int Length() const { return length_; }
    T& operator[](int i) { return block_.Elements()[std::size_t(i)]; }
    const T& operator[](int i) const { return block_.Elements()[std::size_t(i)]; }
    std::span<T> Elements() { return block_.Elements(); }
    std::span<const T> Elements() const { return block_.Elements(); }

private:
    int length_ = 0;
    detail::TSmallBlock<T> block_;
};

/// A dense matrix of Rows() × Columns() elements stored row after row: m[r][c] is row r,
/// column c.
template <typename T>
class NRMat {
public:
    NRMat() = default;
    NRMat(int rows, int columns, const T& value = T()) { Assign(rows, columns, value); }

    /// Resizes to rows × columns elements, all equal to value.
    void Assign(int rows, int columns, const T& value = T())
    {
        block_.Assign(NRBlockSize(rows, columns), value);
        rows_ = rows;
        columns_ = columns;
    }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    std::span<T> operator[](int row) { return Elements().subspan(Offset(row), Width()); }
    std::span<const T> operator[](int row) const
    {
        return Elements().subspan(Offset(row), Width());
    }
    std::span<T> Elements() { return block_.Elements(); }
    std::span<const T> Elements() const { return block_.Elements(); }

private:
    std::size_t Width() const { return std::size_t(columns_); }
    std::size_t Offset(int row) const { return std::size_t(row) * Width(); }

    int rows_ = 0;
    int columns_ = 0;
    detail::TSmallBlock<T> block_;
};

/// The principal axes of the symmetric matrix a, of which only the diagonal and the upper
/// triangle are read: the columns of the result are its eigenvectors in the order of
/// decreasing eigenvalue, and eigenvalues receives the eigenvalues in that order. With
/// normalise each column is scaled to unit length (a column of length 0 stays).
/// Raises "Internal error NR: …" when a is not square, has an entry that is not a finite
/// number, or its eigenvalues overflow, and when 50 Jacobi sweeps do not diagonalise it.
NRMat<double> PrincipalAxes(const NRMat<double>& a, NRVec<double>& eigenvalues, bool normalise);

} // namespace varnolux
