#include "transcript/pointer_array.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

std::vector<intptr_t> Elements(const PointerArray* array) {
  std::vector<intptr_t> out;
  for (int32_t i = 1; i <= PointerArrayCount(array); ++i) out.push_back(PointerArrayGet(array, i));
  return out;
}

class PointerArrayTest : public ::testing::Test {
 protected:
  void TearDown() override { DestroyPointerArray(array_); }
  PointerArray* array_ = CreatePointerArray(0);
};

TEST_F(PointerArrayTest, NewArrayIsEmptyWithOnePlaceAndTheFactorOf1_1) {
  EXPECT_EQ(PointerArrayCount(array_), 0);
  EXPECT_EQ(array_->capacity, 1);
  EXPECT_EQ(array_->growthFactor, 1.1f);
  intptr_t* storage = array_->data;
  EXPECT_EQ(PointerArrayInsert(array_, 7, 0, 0), 1);
  EXPECT_EQ(array_->data, storage) << "the first append fits the first place";
}

TEST(PointerArrayCreate, InitialElementsAreZero) {
  PointerArray* array = CreatePointerArray(5);
  EXPECT_EQ(Elements(array), (std::vector<intptr_t>{0, 0, 0, 0, 0}));
  EXPECT_EQ(array->capacity, 8);  // doubling from 1 with the factor 2.0 of capacity 1
  DestroyPointerArray(array);
}

TEST_F(PointerArrayTest, AppendingTo42FollowsTheGrowthSequence) {
  // Count at which the capacity changes -> the new capacity, beyond 20.
  const std::map<int, int> changes = {{21, 22}, {23, 24}, {25, 26}, {27, 28}, {29, 30},
                                      {31, 33}, {34, 36}, {37, 39}, {40, 42}};
  int expected = 1;
  for (int count = 1; count <= 42; ++count) {
    ASSERT_EQ(PointerArrayInsert(array_, count * 10, 0, 0), count);
    if (count <= 20) {
      expected = count;
    } else if (changes.count(count)) {
      expected = changes.at(count);
    }
    EXPECT_EQ(array_->capacity, expected) << "at count " << count;
  }
  for (int i = 1; i <= 42; ++i) EXPECT_EQ(PointerArrayGet(array_, i), i * 10);
}

TEST_F(PointerArrayTest, RemovingFrom40FollowsTheShrinkSequence) {
  for (int i = 1; i <= 40; ++i) PointerArrayInsert(array_, i, 0, 0);
  ASSERT_EQ(array_->capacity, 42);
  const std::map<int, int> changes = {{37, 38}, {33, 34}, {29, 30}, {26, 27}, {23, 24}, {20, 21},
                                      {18, 19}, {16, 17}, {14, 15}, {12, 13}, {10, 11}, {8, 9},
                                      {6, 7},   {4, 5},   {3, 4},   {2, 3},   {1, 2},   {0, 1}};
  int expected = 42;
  for (int count = 39; count >= 0; --count) {
    ASSERT_EQ(PointerArrayRemove(array_, PointerArrayCount(array_)), 1);
    if (changes.count(count)) expected = changes.at(count);
    EXPECT_EQ(array_->capacity, expected) << "at count " << count;
  }
  EXPECT_EQ(PointerArrayRemove(array_, 1), 0);
}

TEST_F(PointerArrayTest, ResizingInOneCallUsesTheFactorOfTheStartingCapacity) {
  EXPECT_EQ(ResizePointerArray(array_, 50, 0), 1);
  EXPECT_EQ(PointerArrayCount(array_), 50);
  EXPECT_EQ(array_->capacity, 64);
  EXPECT_EQ(ResizePointerArray(array_, 3, 0), 1);
  EXPECT_EQ(PointerArrayCount(array_), 3);
  EXPECT_EQ(array_->capacity, 4);
  EXPECT_EQ(ResizePointerArray(array_, 2, 1), 1);
  EXPECT_EQ(PointerArrayCount(array_), 5);
}

TEST_F(PointerArrayTest, ResizeKeepsElementsAndNewPlacesReadZero) {
  for (int i = 1; i <= 5; ++i) PointerArrayInsert(array_, i, 0, 0);
  // Shrinking the count without shrinking the storage, then growing again,
  // must not bring the old values back.
  ResizePointerArray(array_, 2, 0);
  ResizePointerArray(array_, 5, 0);
  EXPECT_EQ(Elements(array_), (std::vector<intptr_t>{1, 2, 0, 0, 0}));
}

TEST_F(PointerArrayTest, NegativeCountsMeanEmpty) {
  PointerArrayInsert(array_, 1, 0, 0);
  EXPECT_EQ(ResizePointerArray(array_, -5, 1), 1);
  EXPECT_EQ(PointerArrayCount(array_), 0);
  EXPECT_EQ(array_->capacity, 1);
  EXPECT_EQ(ResizePointerArray(array_, -1, 0), 1);
  EXPECT_EQ(PointerArrayCount(array_), 0);
}

TEST_F(PointerArrayTest, ACountBeyondTheLimitFailsAndChangesNothing) {
  PointerArrayInsert(array_, 9, 0, 0);
  EXPECT_EQ(ResizePointerArray(array_, kPointerArrayMaxCount + 1, 0), 0);
  EXPECT_EQ(ResizePointerArray(array_, INT32_MAX, 1), 0);
  EXPECT_EQ(Elements(array_), (std::vector<intptr_t>{9}));
}

struct InsertCase {
  const char* what;
  int32_t position;
  int32_t positional;
  int32_t result;
  std::vector<intptr_t> after;
};

class PointerArrayInsertTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(PointerArrayInsertTest, InsertsAtItsPosition) {
  const InsertCase& c = GetParam();
  PointerArray* array = CreatePointerArray(0);
  for (intptr_t v : {1, 2, 3}) PointerArrayInsert(array, v, 0, 0);
  EXPECT_EQ(PointerArrayInsert(array, 99, c.position, c.positional), c.result);
  EXPECT_EQ(Elements(array), c.after);
  DestroyPointerArray(array);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PointerArrayInsertTest,
    ::testing::Values(InsertCase{"first", 1, 1, 1, {99, 1, 2, 3}},
                      InsertCase{"middle", 2, 1, 2, {1, 99, 2, 3}},
                      InsertCase{"last", 3, 1, 3, {1, 2, 99, 3}},
                      InsertCase{"countPlusOneAppends", 4, 1, 4, {1, 2, 3, 99}},
                      InsertCase{"beyondFails", 5, 1, 0, {1, 2, 3}},
                      InsertCase{"farBeyondFails", 1000, 1, 0, {1, 2, 3}},
                      InsertCase{"zeroAppends", 0, 1, 4, {1, 2, 3, 99}},
                      InsertCase{"negativeAppends", -3, 1, 4, {1, 2, 3, 99}},
                      InsertCase{"notPositionalAppends", 1, 0, 4, {1, 2, 3, 99}},
                      InsertCase{"notPositionalIgnoresBeyond", 9, 0, 4, {1, 2, 3, 99}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PointerArrayTest, RemoveShiftsTheTailDown) {
  for (intptr_t v : {1, 2, 3, 4}) PointerArrayInsert(array_, v, 0, 0);
  EXPECT_EQ(PointerArrayRemove(array_, 2), 1);
  EXPECT_EQ(Elements(array_), (std::vector<intptr_t>{1, 3, 4}));
  EXPECT_EQ(PointerArrayRemove(array_, 3), 1);
  EXPECT_EQ(PointerArrayRemove(array_, 1), 1);
  EXPECT_EQ(Elements(array_), (std::vector<intptr_t>{3}));
}

TEST_F(PointerArrayTest, PositionsOutsideTheListGiveZero) {
  for (intptr_t v : {5, 6}) PointerArrayInsert(array_, v, 0, 0);
  for (int32_t position : {0, -1, 3, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(PointerArrayGet(array_, position), 0) << position;
    EXPECT_EQ(PointerArrayRemove(array_, position), 0) << position;
    EXPECT_EQ(IsValidPointerArray(array_, position, 1), 0) << position;
  }
  EXPECT_EQ(IsValidPointerArray(array_, 0, 0), 1);
  EXPECT_EQ(IsValidPointerArray(array_, 2, 1), 1);
  EXPECT_EQ(Elements(array_), (std::vector<intptr_t>{5, 6}));
}

TEST(PointerArrayHandles, NullDestroyedAndForeignHandlesAreRefused) {
  PointerArray* destroyed = CreatePointerArray(3);
  ASSERT_EQ(DestroyPointerArray(destroyed), 1);
  // A block that looks like a header but was never made by CreatePointerArray.
  PointerArray foreign{};
  foreign.count = 1;
  foreign.capacity = 1;
  intptr_t place = 42;
  foreign.data = &place;
  for (PointerArray* handle : {static_cast<PointerArray*>(nullptr), destroyed, &foreign}) {
    EXPECT_EQ(IsValidPointerArray(handle, 0, 0), 0);
    EXPECT_EQ(PointerArrayCount(handle), 0);
    EXPECT_EQ(PointerArrayGet(handle, 1), 0);
    EXPECT_EQ(PointerArrayInsert(handle, 1, 0, 0), 0);
    EXPECT_EQ(PointerArrayRemove(handle, 1), 0);
    EXPECT_EQ(ResizePointerArray(handle, 10, 0), 0);
    EXPECT_EQ(DestroyPointerArray(handle), 0);
  }
  EXPECT_EQ(foreign.count, 1);
  EXPECT_EQ(place, 42);
}

}  // namespace
