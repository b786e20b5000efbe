#include "support/clsRandomizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace quorin {
namespace {

std::vector<std::int16_t> deal(clsRandomizer& randomizer, int count)
{
    std::vector<std::int16_t> numbers;
    for (int i = 0; i < count; ++i)
        numbers.push_back(randomizer.GetNext());
    return numbers;
}

bool isPermutationOfOneTo(std::vector<std::int16_t> numbers, int n)
{
    std::vector<std::int16_t> expected(static_cast<std::size_t>(n));
    std::iota(expected.begin(), expected.end(), std::int16_t{1});
    std::sort(numbers.begin(), numbers.end());
    return numbers == expected;
}

TEST(Randomizer, AFullDealIsAPermutationOfOneToNThenZero)
{
    for (const std::int16_t n : {1, 2, 4, 7, 100, 1000, 32766, 32767}) {
        SCOPED_TRACE(n);
        clsRandomizer randomizer;
        randomizer.setDomainCount(n);
        EXPECT_EQ(randomizer.DomainCount(), n);
        EXPECT_TRUE(isPermutationOfOneTo(deal(randomizer, n), n));
        EXPECT_EQ(randomizer.GetNext(), 0);
        EXPECT_EQ(randomizer.GetNext(), 0);
    }
}

TEST(Randomizer, AnEmptyDomainDealsNothing)
{
    clsRandomizer unset;
    EXPECT_EQ(unset.GetNext(), 0);
    for (const std::int16_t n : {0, -1, -32768}) {
        SCOPED_TRACE(n);
        clsRandomizer randomizer;
        randomizer.setDomainCount(n);
        EXPECT_EQ(randomizer.GetNext(), 0);
        EXPECT_EQ(randomizer.GetNext(), 0);
    }
}

TEST(Randomizer, SettingTheDomainAgainStartsAFreshDeal)
{
    clsRandomizer randomizer;
    randomizer.setDomainCount(5);
    deal(randomizer, 3);
    randomizer.setDomainCount(5);
    EXPECT_TRUE(isPermutationOfOneTo(deal(randomizer, 5), 5));
    EXPECT_EQ(randomizer.GetNext(), 0);

    randomizer.setDomainCount(3);
    EXPECT_TRUE(isPermutationOfOneTo(deal(randomizer, 3), 3));
    EXPECT_EQ(randomizer.GetNext(), 0);
}

TEST(Randomizer, EveryNumberComesFirstAboutEquallyOften)
{
    std::array<int, 5> firsts{};
    for (int i = 0; i < 4000; ++i) {
        clsRandomizer randomizer;
        randomizer.setDomainCount(4);
        ++firsts.at(static_cast<std::size_t>(randomizer.GetNext()));
    }
    // 1000 expected for each of 1 to 4, with a standard deviation of about 27.
    EXPECT_EQ(firsts[0], 0);
    for (std::size_t n = 1; n <= 4; ++n)
        EXPECT_NEAR(firsts[n], 1000, 150) << n;
}

}  // namespace
}  // namespace quorin
