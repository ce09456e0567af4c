#include "matrix/matrix.h"

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <string>

#include "matrix/UniqList.h"
#include "matrix/matrixUtil.h"
#include "matrix/sort.h"
#include "tests/TestUtil.h"

// Every declared operation must compile for the arithmetic element types.
template class matrix<short>;
template class matrix<unsigned short>;
template class matrix<long>;
template class matrix<double>;
template class matrix<long double>;

namespace {

const std::string kStars(60, '*');

// The whole framed block a container failure leaves on standard output.
std::string Frame(const std::string& message) {
  return "\n" + kStars + "\nMATRIX::ERROR:\n\n\t" + message + "\n\n" + kStars +
         "\nExiting program...\n\n";
}

// Runs fn and expects it to end the process with the given framed message.
void ExpectMatrixError(const std::function<void()>& fn, const std::string& message) {
  const orbtest::RunResult r = orbtest::RunCaptured(fn);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Frame(message));
  EXPECT_EQ(r.err, "");
}

matrix<short> Column(std::initializer_list<short> values) {
  matrix<short> m;
  m.Resize(static_cast<int>(values.size()));
  int k = 0;
  for (short x : values) m(k++) = x;
  return m;
}

std::vector<short> Values(const matrix<short>& m) {
  std::vector<short> out;
  for (int k = 0; k < m.Length(); ++k) out.push_back(m(k));
  return out;
}

// ---------------------------------------------------------------- access

TEST(MatrixAccess, RowMajorLayout) {
  matrix<int> m(3, 2);
  for (int k = 0; k < 6; ++k) m(k) = 10 * k;
  EXPECT_EQ(m(5), 50);     // last element
  EXPECT_EQ(m(2, 0), 40);  // element 4
  EXPECT_EQ(m(1, 1), 30);
  const matrix<int>& cm = m;
  EXPECT_EQ(cm(0, 1), 10);
  EXPECT_EQ(cm(3), 30);
}

TEST(MatrixAccess, WritesThroughReference) {
  matrix<long double> m(2, 2, 0.0L);
  m(1, 0) = 2.5L;
  m(3) += 1.0L;
  EXPECT_EQ(m(2), 2.5L);
  EXPECT_EQ(m(1, 1), 1.0L);
}

TEST(MatrixAccess, DefaultMatrixIsNotSet) {
  ExpectMatrixError(
      [] {
        matrix<short> m;
        m(0) = 1;
      },
      "Operator:   ()\nMatrix is not set:  [    0,    0]");
}

TEST(MatrixAccess, TwoIndexAccessOfEmptyMatrixIsNotSet) {
  ExpectMatrixError(
      [] {
        const matrix<double> m;
        (void)m(0, 0);
      },
      "Operator:   ()\nMatrix is not set:  [    0,    0]");
}

TEST(MatrixAccess, ZeroRowColumnIsNotSet) {
  ExpectMatrixError(
      [] {
        matrix<short> m;
        m.Resize(0);
        m(0) = 1;
      },
      "Operator:   ()\nMatrix is not set:  [    0,    1]");
}

TEST(MatrixAccess, FlatIndexPastEnd) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(6) = 1;
      },
      "Operator:   ()\nMatrix index not in range:     6 -> [    0,    5]");
}

TEST(MatrixAccess, FlatIndexOfFiveElementVector) {
  ExpectMatrixError(
      [] {
        const matrix<double> m(5);
        (void)m(7);
      },
      "Operator:   ()\nMatrix index not in range:     7 -> [    0,    4]");
}

TEST(MatrixAccess, NegativeFlatIndex) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(-1) = 1;
      },
      "Operator:   ()\nMatrix index not in range:    -1 -> [    0,    5]");
}

TEST(MatrixAccess, RowIndexPastEnd) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(3, 0) = 1;
      },
      "Operator:   ()\nRow index not in range:     3 -> [    0,    2]");
}

TEST(MatrixAccess, NegativeRowIndex) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(-4, 0) = 1;
      },
      "Operator:   ()\nRow index not in range:    -4 -> [    0,    2]");
}

TEST(MatrixAccess, RowIsCheckedBeforeColumn) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(3, 7) = 1;
      },
      "Operator:   ()\nRow index not in range:     3 -> [    0,    2]");
}

TEST(MatrixAccess, ColumnIndexPastEnd) {
  ExpectMatrixError(
      [] {
        const matrix<int> m(3, 2);
        (void)m(0, 2);
      },
      "Operator:   ()\nColumn index not in range:     2 -> [    0,    1]");
}

TEST(MatrixAccess, NegativeColumnIndex) {
  ExpectMatrixError(
      [] {
        matrix<int> m(3, 2);
        m(2, -1) = 1;
      },
      "Operator:   ()\nColumn index not in range:    -1 -> [    0,    1]");
}

TEST(MatrixAccess, WideNumbersOverflowTheirFields) {
  ExpectMatrixError(
      [] {
        matrix<char> m(1000, 100);
        m(123456) = 1;
      },
      "Operator:   ()\nMatrix index not in range: 123456 -> [    0,99999]");
}

// ---------------------------------------------------------------- size

TEST(MatrixSize, DefaultIsEmpty) {
  matrix<long double> m;
  EXPECT_EQ(m.NRow(), 0);
  EXPECT_EQ(m.NCol(), 0);
  EXPECT_EQ(m.Length(), 0);
}

TEST(MatrixSize, ConstructorsSetDimensionsAndValues) {
  matrix<long double> a(3, 4, 1.5L);
  EXPECT_EQ(a.NRow(), 3);
  EXPECT_EQ(a.NCol(), 4);
  EXPECT_EQ(a.Length(), 12);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(a(k), 1.5L);
  matrix<double> b(4);
  EXPECT_EQ(b.NRow(), 4);
  EXPECT_EQ(b.NCol(), 1);
  matrix<double> z(0, 5);
  EXPECT_EQ(z.Length(), 0);
}

TEST(MatrixResize, SameColumnKeepsContents) {
  matrix<short> m;
  m.Resize(4);
  for (int k = 0; k < 4; ++k) m(k) = static_cast<short>(k + 1);
  m.Resize(4);
  EXPECT_EQ(Values(m), (std::vector<short>{1, 2, 3, 4}));
  m.Resize(4, 1);
  EXPECT_EQ(Values(m), (std::vector<short>{1, 2, 3, 4}));
}

TEST(MatrixResize, OtherShapeDiscardsContentsAndZeroFills) {
  matrix<long double> m(2, 2, 7.0L);
  m.Resize(4);  // same element count, other shape
  EXPECT_EQ(m.NRow(), 4);
  EXPECT_EQ(m.NCol(), 1);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m(k), 0.0L);

  matrix<unsigned short> u(2, 3);
  u = 9;
  u.Resize(3, 3);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(u(k), 0);
}

TEST(MatrixResize, TwoDimensionsKeepWhenUnchanged) {
  matrix<long double> m(2, 3, 4.0L);
  m.Resize(2, 3);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(m(k), 4.0L);
  m.Resize(3, 2);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(m(k), 0.0L);
}

TEST(MatrixResize, WithValueAlwaysSetsEveryElement) {
  matrix<double> m(2, 3, 5.0);
  m(4) = 8.0;
  m.Resize(2, 3, 0.0);  // unchanged dimensions: reset, not kept
  for (int k = 0; k < 6; ++k) EXPECT_EQ(m(k), 0.0);
  m.Resize(1, 2, -1.0);
  EXPECT_EQ(m.Length(), 2);
  EXPECT_EQ(m(0), -1.0);
  EXPECT_EQ(m(1), -1.0);
}

TEST(MatrixResize, ToZeroReleasesStorage) {
  matrix<double> m(3, 3, 1.0);
  m.Resize(0);
  EXPECT_EQ(m.NRow(), 0);
  EXPECT_EQ(m.NCol(), 1);
  EXPECT_EQ(m.Length(), 0);
}

TEST(MatrixResize, NegativeDimensionIsAnError) {
  ExpectMatrixError(
      [] {
        matrix<short> m;
        m.Resize(-3);
      },
      "Operator:   Resize\nMatrix dimension negative:  [   -3,    1]");
  ExpectMatrixError([] { matrix<double> m(2, -1, 0.0); },
                    "Operator:   Resize\nMatrix dimension negative:  [    2,   -1]");
}

TEST(MatrixResize, ElementCountBeyondIndexRangeIsAnError) {
  ExpectMatrixError([] { matrix<char> m(100000, 100000); },
                    "Operator:   Resize\nMatrix too large:  [100000,100000]");
}

TEST(MatrixResize, StorageThatCannotBeHadIsAnError) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit allows";
#endif
  ExpectMatrixError(
      [] {
        const rlimit limit{1L << 30, 1L << 30};  // 1 GiB of address space
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
        matrix<long double> m(20000, 20000);  // 6.4 GB
      },
      "Operator:   Resize\nMatrix storage not available:  [20000,20000]");
}

// Counts live objects to check that class elements are constructed and
// destroyed with the storage.
struct Counted {
  static int live;
  int tag = 42;
  Counted() { ++live; }
  Counted(const Counted& o) : tag(o.tag) { ++live; }
  Counted& operator=(const Counted&) = default;
  ~Counted() { --live; }
};
int Counted::live = 0;

TEST(MatrixResize, ClassElementsAreConstructedAndDestroyed) {
  {
    matrix<Counted> m;
    m.Resize(5);
    EXPECT_EQ(Counted::live, 5);
    EXPECT_EQ(m(4).tag, 42);
    m(4).tag = 1;
    m.Resize(5);  // unchanged: nothing rebuilt
    EXPECT_EQ(m(4).tag, 1);
    m.Resize(2, 3);
    EXPECT_EQ(Counted::live, 6);
    EXPECT_EQ(m(1, 2).tag, 42);
    matrix<Counted> copy(m);
    EXPECT_EQ(Counted::live, 12);
  }
  EXPECT_EQ(Counted::live, 0);
}

// ---------------------------------------------------------------- copy

TEST(MatrixCopy, CopyHasOwnStorage) {
  matrix<short> a = Column({1, 2, 3});
  matrix<short> b(a);
  b(0) = 9;
  EXPECT_EQ(a(0), 1);
  EXPECT_EQ(b.NRow(), 3);
  EXPECT_EQ(Values(b), (std::vector<short>{9, 2, 3}));
}

TEST(MatrixCopy, AssignmentTakesDimensionsAndElements) {
  matrix<double> a(2, 3, 1.0);
  matrix<double> b(1, 1, 5.0);
  b = a;
  EXPECT_EQ(b.NRow(), 2);
  EXPECT_EQ(b.NCol(), 3);
  a(0) = 2.0;
  EXPECT_EQ(b(0), 1.0);
  matrix<double> c(2, 3, 0.0);
  c = b;  // same dimensions: copied into place
  EXPECT_TRUE(c == b);
  matrix<double> empty;
  c = empty;
  EXPECT_EQ(c.Length(), 0);
}

TEST(MatrixCopy, SelfAssignmentKeepsContents) {
  matrix<long double> a(2, 2, 3.0L);
  matrix<long double>& alias = a;
  a = alias;
  EXPECT_EQ(a.Length(), 4);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(a(k), 3.0L);
}

TEST(MatrixCopy, MoveLeavesSourceEmpty) {
  matrix<short> a = Column({4, 5});
  matrix<short> b(std::move(a));
  EXPECT_EQ(Values(b), (std::vector<short>{4, 5}));
  EXPECT_EQ(a.Length(), 0);
  matrix<short> c;
  c = std::move(b);
  EXPECT_EQ(Values(c), (std::vector<short>{4, 5}));
  EXPECT_EQ(b.NRow(), 0);
}

// ---------------------------------------------------------------- arithmetic

TEST(MatrixArithmetic, ScalarOperations) {
  matrix<long double> m(1, 3, 2.0L);
  m *= 1.5L;
  EXPECT_EQ(m(2), 3.0L);
  m -= 1.0L;
  m /= 4.0L;
  EXPECT_EQ(m(0), 0.5L);
  matrix<short> s = Column({1, -2, 100});
  s += 100;
  EXPECT_EQ(Values(s), (std::vector<short>{101, 98, 200}));
}

TEST(MatrixArithmetic, ElementwiseSumAndDifference) {
  matrix<long double> a(2, 2, 1.0L);
  matrix<long double> b(2, 2, 0.0L);
  for (int k = 0; k < 4; ++k) b(k) = k;
  a += b;
  EXPECT_EQ(a(1, 1), 4.0L);
  a -= b;
  EXPECT_EQ(a(1, 1), 1.0L);
}

TEST(MatrixArithmetic, SumWithOtherDimensionsIsAnError) {
  ExpectMatrixError(
      [] {
        matrix<long double> a(2, 1, 0.0L);
        matrix<long double> b(3, 1, 0.0L);
        a += b;
      },
      "Operator:   +=\nMatrix dims do not agree:   [    2,    1] -> [    3,    1]");
}

TEST(MatrixArithmetic, ProductAndIdentity) {
  matrix<double> a(2, 3);
  for (int k = 0; k < 6; ++k) a(k) = k + 1;  // [1 2 3; 4 5 6]
  matrix<double> id;
  id.I(3);
  matrix<double> p(a);
  p *= id;
  EXPECT_TRUE(p == a);
  matrix<double> b(3, 1, 1.0);
  p *= b;  // row sums
  EXPECT_EQ(p.NRow(), 2);
  EXPECT_EQ(p.NCol(), 1);
  EXPECT_EQ(p(0), 6.0);
  EXPECT_EQ(p(1), 15.0);
  EXPECT_TRUE(p != a);
}

TEST(MatrixArithmetic, AssignScalarFillsAllElements) {
  matrix<long> m(2, 2);
  m = 7L;
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m(k), 7L);
}

// ---------------------------------------------------------------- sort, UniqList

TEST(MatrixUtil, SwapExchanges) {
  short a = 1, b = -2;
  SWAP(a, b);
  EXPECT_EQ(a, -2);
  EXPECT_EQ(b, 1);
}

TEST(MatrixSort, AscendingWithDuplicatesAndNegatives) {
  const matrix<short> v = Column({2, -1, 2, 0});
  const matrix<short> s = sort(v);
  EXPECT_EQ(Values(s), (std::vector<short>{-1, 0, 2, 2}));
  EXPECT_EQ(Values(v), (std::vector<short>{2, -1, 2, 0}));  // input untouched
}

TEST(MatrixSort, DescendingSetting) {
  sortns::sort = 1;
  const matrix<short> s = sort(Column({3, 101, -5, 3, 7}));
  sortns::sort = 0;
  EXPECT_EQ(Values(s), (std::vector<short>{101, 7, 3, 3, -5}));
}

TEST(MatrixSort, OrdersOnlyTheFirstNRowElements) {
  matrix<short> m;
  m.Resize(2, 2);
  for (int k = 0; k < 4; ++k) m(k) = static_cast<short>(4 - k);
  EXPECT_EQ(Values(sort(m)), (std::vector<short>{3, 4, 2, 1}));
}

TEST(MatrixSort, EmptyAndSingle) {
  EXPECT_EQ(sort(matrix<short>()).Length(), 0);
  EXPECT_EQ(Values(sort(Column({-7}))), (std::vector<short>{-7}));
}

TEST(MatrixUniqList, DistinctValuesAscending) {
  const matrix<short> u = UniqList(Column({5, 3, 5, 101, 3}));
  EXPECT_EQ(u.NRow(), 3);
  EXPECT_EQ(u.NCol(), 1);
  EXPECT_EQ(Values(u), (std::vector<short>{3, 5, 101}));
}

TEST(MatrixUniqList, SingleAndAllEqual) {
  EXPECT_EQ(Values(UniqList(Column({117}))), (std::vector<short>{117}));
  EXPECT_EQ(Values(UniqList(Column({-2, -2, -2}))), (std::vector<short>{-2}));
}

TEST(MatrixUniqList, EmptyColumnEndsRun) {
  ExpectMatrixError([] { UniqList(matrix<short>()); },
                    "Operator:   ()\nMatrix is not set:  [    0,    0]");
}

}  // namespace
