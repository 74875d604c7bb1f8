#include "imaging/PrincipalAxes.h"

#include "imaging/TQError.h"

#include <cmath>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <ostream>
#include <random>
#include <vector>

namespace varnolux {
namespace {

using testing::StrEq;
using testing::ThrowsMessage;
using TRows = std::vector<std::vector<double>>;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double Root2 = std::numbers::sqrt2;

NRMat<double> MatrixOf(const TRows& rows)
{
    NRMat<double> matrix(int(rows.size()), rows.empty() ? 0 : int(rows.front().size()));
    for (int r = 0; r < matrix.Rows(); ++r)
        for (int c = 0; c < matrix.Columns(); ++c)
            matrix[r][c] = rows[std::size_t(r)][std::size_t(c)];
    return matrix;
}

std::vector<double> ColumnOf(const NRMat<double>& matrix, int column)
{
    std::vector<double> values;
    for (int r = 0; r < matrix.Rows(); ++r)
        values.push_back(matrix[r][column]);
    return values;
}

std::vector<double> Unit(std::vector<double> vector)
{
    double squares = 0.0;
    for (const double v : vector)
        squares += v * v;
    for (double& v : vector)
        v /= std::sqrt(squares);
    return vector;
}

struct TAxesCase {
    const char* Name;
    TRows Matrix;
    std::vector<double> Eigenvalues;
    TRows Eigenvectors; // one per eigenvalue, each up to its sign
    friend void PrintTo(const TAxesCase& test, std::ostream* out) { *out << test.Name; }
};

const TAxesCase AxesCases[] = {
    {"Empty", {}, {}, {}},
    {"Single", {{-4}}, {-4}, {{1}}},
    {"Diagonal", {{1, 0, 0}, {0, 3, 0}, {0, 0, 2}}, {3, 2, 1}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}},
    {"Zero", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {"EqualEigenvaluesKeepTheirOrder", {{5, 0}, {0, 5}}, {5, 5}, {{1, 0}, {0, 1}}},
    {"Pair", {{2, 1}, {1, 2}}, {3, 1}, {Unit({1, 1}), Unit({1, -1})}},
    {"NegativePair", {{-2, 1}, {1, -2}}, {-1, -3}, {Unit({1, 1}), Unit({1, -1})}},
    {"LowerTriangleIsNotRead", {{2, 1}, {7, 2}}, {3, 1}, {Unit({1, 1}), Unit({1, -1})}},
    {"Tridiagonal",
     {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}},
     {2 + Root2, 2, 2 - Root2},
     {Unit({1, -Root2, 1}), Unit({1, 0, -1}), Unit({1, Root2, 1})}},
    // Covariances of pixel coordinates: a horizontal bar of three and a diagonal one.
    {"HorizontalBar", {{2.0 / 3, 0}, {0, 0}}, {2.0 / 3, 0}, {{1, 0}, {0, 1}}},
    {"DiagonalBar",
     {{2.0 / 3, 2.0 / 3}, {2.0 / 3, 2.0 / 3}},
     {4.0 / 3, 0},
     {Unit({1, 1}), Unit({1, -1})}},
    // Eigenvector (b, lambda - a) of [[a, b], [b, c]].
    {"NearTheLargestDouble",
     {{1e308, 1e308}, {1e308, -1e308}},
     {Root2 * 1e308, -Root2 * 1e308},
     {Unit({1, Root2 - 1}), Unit({1, -Root2 - 1})}},
    {"Subnormal",
     {{2e-310, 1e-310}, {1e-310, 2e-310}},
     {3e-310, 1e-310},
     {Unit({1, 1}), Unit({1, -1})}},
};

class PrincipalAxesCase : public testing::TestWithParam<TAxesCase> {};

TEST_P(PrincipalAxesCase, EigenvaluesDecreaseWithTheirUnitEigenvectors)
{
    const TAxesCase& test = GetParam();
    NRVec<double> eigenvalues(7, -1.0);
    const NRMat<double> vectors = PrincipalAxes(MatrixOf(test.Matrix), eigenvalues, true);

    const int n = int(test.Eigenvalues.size());
    ASSERT_EQ(eigenvalues.Length(), n);
    ASSERT_EQ(vectors.Rows(), n);
    ASSERT_EQ(vectors.Columns(), n);
    double scale = 0.0;
    for (const double value : test.Eigenvalues)
        scale = std::max(scale, std::abs(value));
    for (int k = 0; k < n; ++k) {
        EXPECT_NEAR(eigenvalues[k], test.Eigenvalues[std::size_t(k)], 1e-12 * scale) << k;
        const std::vector<double> expected = test.Eigenvectors[std::size_t(k)];
        const std::vector<double> actual = ColumnOf(vectors, k);
        double dot = 0.0;
        for (int r = 0; r < n; ++r)
            dot += actual[std::size_t(r)] * expected[std::size_t(r)];
        const double sign = dot < 0.0 ? -1.0 : 1.0;
        for (int r = 0; r < n; ++r)
            EXPECT_NEAR(sign * actual[std::size_t(r)], expected[std::size_t(r)], 1e-12)
                << "vector " << k << " row " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(Matrices, PrincipalAxesCase, testing::ValuesIn(AxesCases),
                         [](const auto& info) { return std::string(info.param.Name); });

/// A random symmetric n × n matrix with entries in [-scale, scale].
NRMat<double> RandomSymmetric(int n, double scale, std::mt19937& random)
{
    std::uniform_real_distribution<double> entry(-scale, scale);
    NRMat<double> matrix(n, n);
    for (int r = 0; r < n; ++r)
        for (int c = r; c < n; ++c)
            matrix[r][c] = matrix[c][r] = entry(random);
    return matrix;
}

// Checked by the definition: A v = lambda v, V orthonormal, the trace kept, order decreasing;
// sizes beyond 4 × 4 keep their elements on the heap.
TEST(PrincipalAxes, DiagonalisesRandomSymmetricMatrices)
{
    std::mt19937 random(2024);
    for (const int n : {2, 3, 4, 5, 8, 13})
        for (const double scale : {1.0, 1e6, 1e-6})
            for (const bool normalise : {false, true}) {
                SCOPED_TRACE(testing::Message() << n << " x " << n << ", scale " << scale
                                                << (normalise ? ", normalised" : ""));
                const NRMat<double> a = RandomSymmetric(n, scale, random);
                NRVec<double> d;
                const NRMat<double> v = PrincipalAxes(a, d, normalise);
                const double tolerance = 1e-13 * n * scale;
                double trace = 0.0;
                double sum = 0.0;
                for (int k = 0; k < n; ++k) {
                    trace += a[k][k];
                    sum += d[k];
                    if (k > 0) {
                        EXPECT_GE(d[k - 1], d[k]);
                    }
                    for (int r = 0; r < n; ++r) {
                        double av = 0.0;
                        for (int c = 0; c < n; ++c)
                            av += a[r][c] * v[c][k];
                        EXPECT_NEAR(av, d[k] * v[r][k], tolerance) << "vector " << k;
                    }
                    for (int other = 0; other < n; ++other) {
                        double dot = 0.0;
                        for (int r = 0; r < n; ++r)
                            dot += v[r][k] * v[r][other];
                        EXPECT_NEAR(dot, k == other ? 1.0 : 0.0, 1e-14 * n);
                    }
                }
                EXPECT_NEAR(sum, trace, tolerance);
            }
}

struct TErrorCase {
    const char* Name;
    std::function<void()> Call;
    const char* Message;
    friend void PrintTo(const TErrorCase& test, std::ostream* out) { *out << test.Name; }
};

void AxesOf(const TRows& rows)
{
    NRVec<double> d;
    PrincipalAxes(MatrixOf(rows), d, true);
}

constexpr const char* NotFinite =
    "Internal error NR: Matrix for routine jacobi has an entry that is not a finite number";

const TErrorCase ErrorCases[] = {
    {"NaNOnTheDiagonal",
     [] {
         AxesOf({{NaN, 0}, {0, 1}});
     },
     NotFinite},
    {"NaNAboveTheDiagonal",
     [] {
         AxesOf({{1, NaN}, {NaN, 1}});
     },
     NotFinite},
    {"NaNInTheLowerTriangle",
     [] {
         AxesOf({{1, 0}, {NaN, 1}});
     },
     NotFinite},
    {"Infinity",
     [] {
         AxesOf({{1, 0, 0}, {0, -Infinity, 0}, {0, 0, 1}});
     },
     NotFinite},
    {"NotSquare",
     [] {
         AxesOf({{1, 2, 3}, {2, 1, 0}});
     },
     "Internal error NR: Matrix for routine jacobi is not square: 2 x 3"},
    {"EigenvalueOverflow",
     [] {
         AxesOf({{1.7e308, 1.7e308}, {1.7e308, 1.7e308}});
     },
     "Internal error NR: Eigenvalue overflow in routine jacobi"},
    {"SizeBeyond32Bits", [] { NRMat<double>(65536, 65536); },
     "Internal error NR: Size 65536 x 65536 is out of range"},
    {"SizeJustBeyond32Bits", [] { NRMat<double>(46341, 46341); },
     "Internal error NR: Size 46341 x 46341 is out of range"},
    {"NegativeRows", [] { NRMat<double>(-1, 2); },
     "Internal error NR: Size -1 x 2 is out of range"},
    {"NegativeColumns", [] { NRMat<double>(2, -3); },
     "Internal error NR: Size 2 x -3 is out of range"},
    {"NegativeLength", [] { NRVec<double>(-1); }, "Internal error NR: Size 1 x -1 is out of range"},
};

class PrincipalAxesError : public testing::TestWithParam<TErrorCase> {};

TEST_P(PrincipalAxesError, RaisesTheInternalError)
{
    EXPECT_THAT(GetParam().Call, ThrowsMessage<TQError>(StrEq(GetParam().Message)));
}

INSTANTIATE_TEST_SUITE_P(Inputs, PrincipalAxesError, testing::ValuesIn(ErrorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NRMat, StoresRowAfterRow)
{
    NRMat<double> matrix(2, 3, 0.5);
    EXPECT_EQ(matrix.Elements().size(), 6u);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(matrix[r][c], 0.5);
            matrix[r][c] = 10 * r + c;
        }
    EXPECT_EQ(std::vector<double>(matrix.Elements().begin(), matrix.Elements().end()),
              (std::vector<double>{0, 1, 2, 10, 11, 12}));
    // A count of zero elements fits, however long the other side.
    const NRMat<double> empty(0, std::numeric_limits<int>::max());
    EXPECT_TRUE(empty.Elements().empty());
}

// Small blocks live inside the object and large ones on the heap: a copy or a move must not
// share either with its source, and a resize may cross between them.
TEST(NRMat, CopiesAndMovesOwnTheirElements)
{
    for (const int n : {2, 5}) {
        SCOPED_TRACE(n);
        NRMat<double> original(n, n, 1.0);
        NRMat<double> copy = original;
        original[n - 1][n - 1] = 2.0;
        EXPECT_EQ(copy[n - 1][n - 1], 1.0);

        NRMat<double> moved = std::move(original);
        EXPECT_EQ(moved[n - 1][n - 1], 2.0);
        copy = moved;
        moved[0][0] = 3.0;
        EXPECT_EQ(copy[0][0], 1.0);
        EXPECT_EQ(copy[n - 1][n - 1], 2.0);

        copy.Assign(7 - n, 7 - n, 4.0);
        EXPECT_EQ(copy.Rows(), 7 - n);
        EXPECT_EQ(copy.Elements().size(), std::size_t((7 - n) * (7 - n)));
        for (const double value : copy.Elements())
            EXPECT_EQ(value, 4.0);
    }
}

} // namespace
} // namespace varnolux
