#include "component/ItemDriver.h"
#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin::test {
namespace {

std::string testItem(const std::string& name)
{
    return velm::host::readFileText(std::filesystem::path(QUORIN_QTI_ITEMS_DIR) / name);
}

// A test item imported and run through the component as a driver rescores it.
struct ImportedItem {
    explicit ImportedItem(const std::string& name)
    {
        const auto imported = qti::importItem(testItem(name), {.allowUnfixed = true});
        EXPECT_TRUE(imported.definition) << imported.refusal;
        if (imported.definition)
            loaded = driver.init(itemformat::write(*imported.definition));
    }
    ItemDriver driver;
    bool loaded = false;
};

// Worked out by hand from each item's mapping, bounds and rules; the choices are named by
// position (A is the first), as the import names them.
TEST(QtiScoring, AResponseScoresAsTheItemsOwnRulesScoreIt)
{
    // item, response, raw score
    const std::tuple<const char*, const char*, float> cases[] = {
        {"v21-cc2-map-twelve.xml", "A, B, C, D, F, G", 5},  // six primes, capped at the upper bound
        {"v21-cc2-map-twelve.xml", "A, E", -1},  // no lower bound
        {"v21-cc2-map-twelve.xml", "A, B, I", 0.5},
        {"v21-cc2-map-twelve.xml", "H", 0},  // unmapped, no default
        {"v21-match-single.xml", "B", 1},
        {"v21-match-single.xml", "A", 0},
        {"v22-images-fixed.xml", "B", 1},
        {"v22-map-multiple.xml", "B, D, E", 2},  // 2.5 capped
        {"v22-map-multiple.xml", "A, C", 0},  // -1 raised to the lower bound
        {"v22-map-multiple.xml", "A, B", 0.75},  // the default value for A
        {"v30-match-multiple.xml", "A, C", 1},
        {"v30-match-multiple.xml", "A, C, E", 0},
        {"v30-custom-chain.xml", "A, B, D", 4},  // exactly the correct response
        {"v30-custom-chain.xml", "A, B, C, D", 1.5},  // contains it, no Ceres, then Jupiter costs half
        {"v30-custom-chain.xml", "A, B, D, F", 2},  // Ceres: the mapping
        {"v30-custom-chain.xml", "A, C", -0.5},
        {"v30-custom-chain.xml", "C, E, F", -2.5},  // the lower bound, then the penalty
    };
    for (const auto& [name, response, raw] : cases) {
        ImportedItem item(name);
        const bool positive = raw > 0;
        EXPECT_EQ(item.loaded ? item.driver.rescore(bytes(response)) : Score{},
                  (Score{true, positive ? 1 : 0, positive ? 0 : 1, 0, 0, raw}))
            << name << " " << response;
    }
}

// The range the driver is told is that of the responses a candidate can give (up to maxChoices),
// and an empty response is one the candidate did not give.
TEST(QtiScoring, TheScoreRangeIsThatOfTheResponsesACandidateCanGive)
{
    const std::tuple<const char*, float, float> cases[] = {
        {"v21-cc2-map-twelve.xml", 5, -3.5}, {"v21-match-single.xml", 1, 0},   {"v22-images-fixed.xml", 1, 0},
        {"v22-map-multiple.xml", 2, 0},      {"v30-match-multiple.xml", 1, 0}, {"v30-custom-chain.xml", 4, -2.5},
    };
    for (const auto& [name, max, min] : cases) {
        SCOPED_TRACE(name);
        ImportedItem item(name);
        ASSERT_TRUE(item.loaded);
        std::int16_t count = 0;
        float told[2] = {};
        ASSERT_TRUE(item.driver.display().GetScoreInfo(count, told[0], told[1]));
        EXPECT_EQ(told[0], max);
        EXPECT_EQ(told[1], min);
        EXPECT_EQ(item.driver.rescore(bytes("<Responses/>")), (Score{true, 0, 0, 1, 1, 0}));
    }
}

}  // namespace
}  // namespace quorin::test
