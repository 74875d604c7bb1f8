#include "imaging/PrincipalAxes.h"

#include "imaging/TQError.h"

#include <cmath>
#include <utility>

namespace varnolux {

void RaiseNRError(const std::string& message)
{
    throw TQError("Internal error NR: " + message);
}

void RaiseNRSizeError(int rows, int columns)
{
    RaiseNRError("Size " + std::to_string(rows) + " x " + std::to_string(columns) +
                 " is out of range");
}

namespace {

constexpr int MaxSweeps = 50;
// Sweeps that skip the rotation of elements below a threshold, so the largest go first.
constexpr int ThresholdSweeps = 3;
// From this sweep on an element too small to change either diagonal element is dropped.
constexpr int FirstDroppingSweep = 5;
// Largest magnitudes that need no scaling: their squares neither overflow nor underflow.
constexpr std::pair<double, double> SafeMagnitudes = {0x1p-400, 0x1p400};

/// True when adding the (scaled) off-diagonal magnitude to x does not change x.
bool IsNegligibleBeside(double magnitude, double x)
{
    return std::abs(x) + magnitude == std::abs(x);
}

double UpperTriangleSum(const NRMat<double>& a)
{
    double sum = 0.0;
    for (int p = 0; p < a.Rows(); ++p)
        for (int q = p + 1; q < a.Columns(); ++q)
            sum += std::abs(a[p][q]);
    return sum;
}

/// Applies a plane rotation with sine s and tau = s / (1 + cos) to the pair (x, y).
void Rotate(double& x, double& y, double s, double tau)
{
    const double oldX = x;
    const double oldY = y;
    x = oldX - s * (oldY + oldX * tau);
    y = oldY + s * (oldX - oldY * tau);
}

/// The work of the Jacobi method: the upper triangle of a is rotated towards zero while
/// diagonal and eigenvectors collect the rotations. The diagonal is refreshed from the
/// sweep's summed corrections at the end of every sweep, which keeps rounding from piling up.
struct TJacobiState {
    NRMat<double> a;
    NRMat<double> vectors;
    NRVec<double> diagonal;
    NRVec<double> sweepStart;
    NRVec<double> corrections;

    /// Starts from matrix multiplied by 2 to the power of -exponent.
    TJacobiState(const NRMat<double>& matrix, int exponent)
        : a(matrix)
        , vectors(a.Rows(), a.Rows())
        , diagonal(a.Rows())
        , sweepStart(a.Rows())
        , corrections(a.Rows())
    {
        if (exponent != 0)
            for (double& value : a.Elements())
                value = std::ldexp(value, -exponent);
        for (int i = 0; i < a.Rows(); ++i) {
            vectors[i][i] = 1.0;
            diagonal[i] = a[i][i];
            sweepStart[i] = a[i][i];
        }
    }

    /// One rotation that makes a[p][q] zero; magnitude is 100 · |a[p][q]|.
    void Annihilate(int p, int q, double magnitude)
    {
        const double apq = a[p][q];
        const double difference = diagonal[q] - diagonal[p];
        double t; // tangent of the rotation angle, the smaller root
        if (IsNegligibleBeside(magnitude, difference)) {
            t = apq / difference; // 1 / (2 theta), where theta squared would overflow
        } else {
            const double theta = 0.5 * difference / apq;
            t = 1.0 / (std::abs(theta) + std::sqrt(1.0 + theta * theta));
            if (theta < 0.0)
                t = -t;
        }
        const double c = 1.0 / std::sqrt(1.0 + t * t);
        const double s = t * c;
        const double tau = s / (1.0 + c);
        const double shift = t * apq;
        corrections[p] -= shift;
        corrections[q] += shift;
        diagonal[p] -= shift;
        diagonal[q] += shift;
        a[p][q] = 0.0;
        const int n = a.Rows();
        // Only the upper triangle is kept, so element (j, p) of a lower row is read as (p, j).
        for (int j = 0; j < p; ++j)
            Rotate(a[j][p], a[j][q], s, tau);
        for (int j = p + 1; j < q; ++j)
            Rotate(a[p][j], a[j][q], s, tau);
        for (int j = q + 1; j < n; ++j)
            Rotate(a[p][j], a[q][j], s, tau);
        for (int j = 0; j < n; ++j)
            Rotate(vectors[j][p], vectors[j][q], s, tau);
    }

    void Sweep(int sweep, double threshold)
    {
        const int n = a.Rows();
        for (int p = 0; p < n - 1; ++p)
            for (int q = p + 1; q < n; ++q) {
                const double magnitude = 100.0 * std::abs(a[p][q]);
                if (sweep >= FirstDroppingSweep && IsNegligibleBeside(magnitude, diagonal[p]) &&
                    IsNegligibleBeside(magnitude, diagonal[q]))
                    a[p][q] = 0.0;
                else if (std::abs(a[p][q]) > threshold)
                    Annihilate(p, q, magnitude);
            }
        for (int i = 0; i < n; ++i) {
            sweepStart[i] += corrections[i];
            diagonal[i] = sweepStart[i];
            corrections[i] = 0.0;
        }
    }

    /// Cyclic sweeps until every element of the upper triangle is exactly zero.
    void Diagonalise()
    {
        const int n = a.Rows();
        for (int sweep = 1; sweep <= MaxSweeps; ++sweep) {
            const double sum = UpperTriangleSum(a);
            if (sum == 0.0)
                return;
            Sweep(sweep, sweep <= ThresholdSweeps ? 0.2 * sum / (n * n) : 0.0);
        }
        RaiseNRError("Too many iterations in routine jacobi");
    }
};

/// Selection sort into decreasing order that carries the eigenvector columns along; equal
/// eigenvalues keep their order.
void SortDecreasing(NRVec<double>& values, NRMat<double>& vectors)
{
    const int n = values.Length();
    for (int i = 0; i < n - 1; ++i) {
        int largest = i;
        for (int j = i + 1; j < n; ++j)
            if (values[j] > values[largest])
                largest = j;
        if (largest == i)
            continue;
        std::swap(values[i], values[largest]);
        for (int row = 0; row < n; ++row)
            std::swap(vectors[row][i], vectors[row][largest]);
    }
}

void NormaliseColumns(NRMat<double>& vectors)
{
    for (int column = 0; column < vectors.Columns(); ++column) {
        double squares = 0.0;
        for (int row = 0; row < vectors.Rows(); ++row)
            squares += vectors[row][column] * vectors[row][column];
        if (squares == 0.0)
            continue;
        const double length = std::sqrt(squares);
        for (int row = 0; row < vectors.Rows(); ++row)
            vectors[row][column] /= length;
    }
}

/// The binary exponent that brings the largest magnitude of a into [0.5, 1) when it lies
/// far from 1, else 0; raises the internal error for an entry that is not a finite number.
int ScaleExponent(const NRMat<double>& a)
{
    double largest = 0.0;
    for (const double value : a.Elements()) {
        if (!std::isfinite(value))
            RaiseNRError("Matrix for routine jacobi has an entry that is not a finite number");
        largest = std::max(largest, std::abs(value));
    }
    if (largest == 0.0 || (largest > SafeMagnitudes.first && largest < SafeMagnitudes.second))
        return 0;
    int exponent = 0;
    std::frexp(largest, &exponent);
    return exponent;
}

} // namespace

NRMat<double> PrincipalAxes(const NRMat<double>& a, NRVec<double>& eigenvalues, bool normalise)
{
    if (a.Rows() != a.Columns())
        RaiseNRError("Matrix for routine jacobi is not square: " + std::to_string(a.Rows()) +
                     " x " + std::to_string(a.Columns()));
    // Scaling by a power of two changes no digit of the result, yet keeps the sums and
    // squares of entries near the largest double from overflowing.
    const int exponent = ScaleExponent(a);
    TJacobiState state(a, exponent);
    state.Diagonalise();
    SortDecreasing(state.diagonal, state.vectors);
    if (exponent != 0)
        for (double& value : state.diagonal.Elements()) {
            value = std::ldexp(value, exponent);
            if (!std::isfinite(value))
                RaiseNRError("Eigenvalue overflow in routine jacobi");
        }
    if (normalise)
        NormaliseColumns(state.vectors);
    eigenvalues = std::move(state.diagonal);
    return std::move(state.vectors);
}

} // namespace varnolux
