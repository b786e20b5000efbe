#include "ReferenceScoring.h"

#include "component/ItemDriver.h"
#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace quorin::test {
namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every subset of every test item's choices, imported and run through the component as a
// driver rescores it, scores what the standard's own rules give; the score range the driver is
// told is that of the responses a candidate can give (one up to maxChoices choices).
TEST(QtiScoring, EveryResponseScoresAsTheStandardScoresIt)
{
    int items = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORIN_QTI_ITEMS_DIR)) {
        if (entry.path().extension() != ".xml")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = fileText(entry.path());
        const qti::test::ReferenceScoring reference(text);
        qti::ImportOptions options;
        options.allowUnfixed = true;
        const auto imported = qti::importItem(text, options);
        ASSERT_TRUE(imported.definition) << imported.refusal;
        ItemDriver driver;
        ASSERT_TRUE(driver.init(itemformat::write(*imported.definition)));
        ++items;

        const auto& ids = reference.choices();
        const std::size_t n = ids.size();
        ASSERT_LE(n, 12u);
        ASSERT_EQ(imported.definition->choices.size(), n);
        const int limit = reference.maxChoices() == 0 ? static_cast<int>(n) : reference.maxChoices();
        double best = -std::numeric_limits<double>::infinity();
        double worst = std::numeric_limits<double>::infinity();
        int mismatches = 0;
        for (unsigned subset = 1; subset < (1u << n); ++subset) {
            std::vector<std::string> chosen;
            std::string response;
            for (std::size_t i = 0; i < n; ++i) {
                if (subset & (1u << i)) {
                    chosen.push_back(ids[i]);
                    response += (response.empty() ? "" : ", ") + imported.definition->choices[i].answerId;
                }
            }
            const double expected = reference.score(chosen);
            if (std::popcount(subset) <= limit) {
                best = std::max(best, expected);
                worst = std::min(worst, expected);
            }
            const auto [done, correct, incorrect, notAttempted, notScored, raw] = driver.rescore(bytes(response));
            const bool agrees = done && raw == static_cast<float>(expected) && correct == (expected > 0 ? 1 : 0)
                && incorrect == (expected > 0 ? 0 : 1) && notAttempted == 0;
            if (!agrees && ++mismatches <= 3)
                ADD_FAILURE() << response << ": " << raw << ", the standard gives " << expected;
        }
        EXPECT_EQ(mismatches, 0);
        // An empty response is one the candidate did not give.
        EXPECT_EQ(driver.rescore(bytes("<Responses/>")), (Score {true, 0, 0, 1, 1, 0}));
        std::int16_t count = 0;
        float max = 0;
        float min = 0;
        ASSERT_TRUE(driver.display().GetScoreInfo(count, max, min));
        EXPECT_EQ(max, static_cast<float>(best));
        EXPECT_EQ(min, static_cast<float>(worst));
    }
    EXPECT_GE(items, 6);
}

}  // namespace
}  // namespace quorin::test
