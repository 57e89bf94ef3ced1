// Values, blocks and the allocator: what a routine relies on when it holds literals and
// heap blocks side by side.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_state.h"

namespace runtime {
namespace {

// A constant pool with a literal text and a literal byte set {1, 2, 3}, registered as the
// runtime registers the program's pool.
class StaticRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRuntimeState();
    const uint8_t byte_set[] = {1, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3};
    std::memcpy(pool_, "literal", 8);
    std::memcpy(pool_ + 8, byte_set, sizeof byte_set);
    Runtime().static_ranges.Add(pool_, pool_ + sizeof pool_);
  }
  void TearDown() override { ResetRuntimeState(); }

  char* literal_text() { return reinterpret_cast<char*>(pool_); }
  uint8_t* literal_byte_set() { return pool_ + 8; }

  uint8_t pool_[19] = {};
};

TEST_F(StaticRangeTest, FreeingALiteralOrNullLeavesTheHeapAlone) {
  FreeBlock(literal_text());
  FreeBlock(literal_byte_set());
  FreeBlock(nullptr);
  EXPECT_STREQ(literal_text(), "literal");  // and ASan saw no free of a non-heap pointer
}

TEST_F(StaticRangeTest, ResizingALiteralCopiesItAndKeepsTheLiteral) {
  auto* grown = static_cast<uint8_t*>(ReallocBlock(literal_byte_set(), 16));
  ASSERT_NE(grown, literal_byte_set());
  EXPECT_EQ(std::vector<uint8_t>(grown, grown + 11),
            std::vector<uint8_t>(literal_byte_set(), literal_byte_set() + 11));
  grown[8] = 99;
  EXPECT_EQ(literal_byte_set()[8], 1);
  FreeBlock(grown);
}

TEST_F(StaticRangeTest, ResizingCopiesNoFurtherThanTheEndOfTheRange) {
  // The byte set is the last item of the pool: only its 11 bytes may be read.
  auto* grown = static_cast<uint8_t*>(ReallocBlock(literal_byte_set(), 4096));
  EXPECT_EQ(grown[10], 3);
  FreeBlock(grown);
}

TEST_F(StaticRangeTest, TheRangeEndIsExclusive) {
  EXPECT_TRUE(Runtime().static_ranges.Contains(pool_));
  EXPECT_TRUE(Runtime().static_ranges.Contains(pool_ + sizeof pool_ - 1));
  EXPECT_FALSE(Runtime().static_ranges.Contains(pool_ + sizeof pool_));
}

TEST(Blocks, EmptyInputsGiveNull) {
  EXPECT_EQ(MakeText("abc", 0), nullptr);
  EXPECT_EQ(MakeText("abc", -5), nullptr);
  EXPECT_EQ(MakeTextZ(""), nullptr);
  EXPECT_EQ(MakeTextZ(nullptr), nullptr);
  EXPECT_EQ(MakeByteSet("abc", 0), nullptr);
}

TEST(Blocks, TextAndByteSetLayouts) {
  char* text = MakeText("abcdef", 3);
  EXPECT_EQ(std::memcmp(text, "abc\0", 4), 0);
  FreeBlock(text);

  const uint8_t bytes[] = {7, 0, 9};
  uint8_t* set = MakeByteSet(bytes, 3);
  const uint8_t expected[] = {1, 0, 0, 0, 3, 0, 0, 0, 7, 0, 9};
  EXPECT_EQ(std::memcmp(set, expected, sizeof expected), 0);
  EXPECT_EQ(ByteSetBytes(set).size(), 3u);
  FreeBlock(set);
}

TEST(Blocks, ArraysCountTheirElements) {
  const int32_t dimensions[] = {2, 3};
  void* array = MakeArray(dimensions, 4);
  EXPECT_EQ(ArrayDimensionCount(array), 2);
  EXPECT_EQ(ArrayElementCount(array), 6);
  EXPECT_EQ(ArrayBlockSize(array, 4), 12 + 24);
  FreeBlock(array);
  EXPECT_EQ(ArrayElementCount(nullptr), 0);
}

TEST(OwnedBlocks, LendNeverNullAndFreeOnce) {
  Text empty;
  EXPECT_STREQ(empty.Arg().AsPointer<char>(), "");
  Text owned("第一章");
  Text moved = std::move(owned);
  EXPECT_TRUE(owned.IsEmpty());
  EXPECT_EQ(moved.View(), "第一章");
  char* released = moved.Release();
  EXPECT_TRUE(moved.IsEmpty());
  FreeBlock(released);
}

TEST(CellToInt32, ConvertsEveryNumericType) {
  EXPECT_EQ(CellToInt32(ArgCell::Byte(200)), 200);
  EXPECT_EQ(CellToInt32(ArgCell::Short(-2)), -2);
  EXPECT_EQ(CellToInt32(ArgCell::Int(-7)), -7);
  EXPECT_EQ(CellToInt32(ArgCell::Long((int64_t{1} << 32) + 5)), 5);
  EXPECT_EQ(CellToInt32(ArgCell::Double(2.9)), 2);
  EXPECT_EQ(CellToInt32(ArgCell::Double(-2.9)), -2);
  EXPECT_EQ(CellToInt32(ArgCell::Float(7.99f)), 7);
  EXPECT_EQ(CellToInt32(ArgCell::Double(1e20)), INT32_MIN);
}

TEST(CellToCondition, EvaluatesSubStatementsOnDemand) {
  int evaluations = 0;
  SubStatement statement{[](const void* frame) {
                           ++*static_cast<int*>(const_cast<void*>(frame));
                           return ArgCell::Logical(true);
                         },
                         &evaluations};
  const ArgCell cell = ArgCell::Statement(&statement);
  EXPECT_EQ(evaluations, 0);
  EXPECT_TRUE(CellToCondition(cell));
  EXPECT_TRUE(CellToCondition(cell));
  EXPECT_EQ(evaluations, 2);
  EXPECT_FALSE(CellToCondition(ArgCell::Logical(false)));
  EXPECT_TRUE(CellToCondition(ArgCell::From(kLogical, int32_t{-3})));
}

TEST(CopyCellValue, NormalisesAsAssignmentDoes) {
  EXPECT_EQ(CopyCellValue(ArgCell::From(kLogical, int32_t{42})).low, 1u);
  EXPECT_EQ(CopyCellValue(ArgCell::DateTime(3e6)).As<double>(), kMaxDateTime);
  EXPECT_EQ(CopyCellValue(ArgCell::DateTime(-7e5)).As<double>(), kMinDateTime);
  const char source[] = "abcdef";
  const ArgCell copy = CopyCellValue(ArgCell::Text(source), 4);
  EXPECT_NE(copy.AsPointer<char>(), source);
  EXPECT_STREQ(copy.AsPointer<char>(), "abcd");
  FreeBlock(copy.AsPointer<void>());
}

TEST(CellBytes, GivesWhatIsWrittenToAFile) {
  const ArgCell number = ArgCell::Int(0x01020304);
  EXPECT_EQ(CellBytes(number).size(), 4u);
  EXPECT_EQ(CellBytes(number)[0], 0x04);
  EXPECT_EQ(CellBytes(ArgCell::Double(1.0)).size(), 8u);
  EXPECT_EQ(CellBytes(ArgCell::Text("ab")).size(), 3u);  // with its NUL
  EXPECT_TRUE(CellBytes(ArgCell::Text(nullptr)).empty());
  ByteSet set(std::vector<uint8_t>{5, 6});
  EXPECT_EQ(CellBytes(set.Arg()).size(), 2u);
  EXPECT_TRUE(CellBytes(ArgCell::From(0x00010005u, int32_t{1})).empty());
}

}  // namespace
}  // namespace runtime
