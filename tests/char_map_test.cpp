#include "morvane/char_map.hpp"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(CharMap, LaterPairsWinAndUnlistedCharactersPassThrough) {
  const std::vector<std::pair<char32_t, char32_t>> pairs{{U'S', U's'},       {U'S', U'ß'},
                                                         {U'Σ', U'σ'},       {0x10FFFF, U'x'},
                                                         {0x7FFFFFFF, U'y'}, {U'q', 0xFFFFFFFF}};
  const CharMap map(pairs);
  EXPECT_EQ(map(U'S'), U'ß');
  EXPECT_EQ(map(U'Σ'), U'σ');
  EXPECT_EQ(map(0x10FFFF), U'x');
  EXPECT_EQ(map(0x7FFFFFFF), U'y');  // beyond Unicode, still a key
  EXPECT_EQ(map.find(U'q'), char32_t{0xFFFFFFFF});
  EXPECT_EQ(map(U'T'), U'T');
  EXPECT_EQ(map.find(U'T'), std::nullopt);
  EXPECT_EQ(map.size(), 5U);
  EXPECT_EQ(map.pairs().front(), (std::pair<char32_t, char32_t>{U'S', U'ß'}));
}

TEST(CharMap, AKeyMovedBetweenStoresKeepsItsLastValue) {
  const std::vector<std::pair<char32_t, char32_t>> pairs{{U'a', 0xFFFFFFFF}, {U'a', U'b'}};
  const CharMap map(pairs);
  EXPECT_EQ(map(U'a'), U'b');
  EXPECT_EQ(map.size(), 1U);
}

TEST(CharFunction, WrapsATableACallableOrNothing) {
  EXPECT_EQ(CharFunction()(U'A'), U'A');
  const CharFunction shift([](char32_t c) { return c + 1; });
  EXPECT_EQ(shift(U'A'), U'B');
  EXPECT_EQ(shift.table(), nullptr);
  const std::vector<std::pair<char32_t, char32_t>> pairs{{U'A', U'a'}};
  const CharFunction table{CharMap(pairs)};
  EXPECT_EQ(table(U'A'), U'a');
  ASSERT_NE(table.table(), nullptr);
}

}  // namespace
}  // namespace morvane
