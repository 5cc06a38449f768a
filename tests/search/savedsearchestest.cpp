// Saved searches in the user's settings: values, the index and its renumbering, names that
// would be paths, and an index damaged by hand.

#include "search/savedsearches.h"
#include "app/registry.h"
#include "support/temphome.h"

#include <gtest/gtest.h>

namespace {

class SavedSearchesTest : public ::testing::Test
{
protected:
    QString path(int i) const
    {
        return m_user.readStr("SearchSave", QString("SearchPath%1").arg(i), "(none)");
    }
    int count() const { return m_user.readInt("SearchSave", "count", -1); }

    TempHome m_home;
    Registry m_user{m_home.paths().configDir() + "/gavelin.ini"};
    SavedSearches m_saved{m_user};
};

SearchCriteria criteria(const QString& keywords)
{
    SearchCriteria c;
    c.keywords = keywords;
    return c;
}

} // namespace

TEST_F(SavedSearchesTest, RoundTripOverwriteAndDeleteWithRenumbering)
{
    SearchCriteria full = criteria("brass compass");
    full.exclude = "broken";
    full.seller = "old_sailor";
    full.rangeMin = 5;
    full.rangeMax = 80;
    full.findItems = 45;
    full.titleAndDescription = true;
    full.buyItNowOnly = true;
    full.category = "20";
    full.locationIn = "77";
    full.locationTo = "1";
    full.sort = SearchCriteria::LowestPriceFirst;
    full.wordOption = SearchCriteria::AnyWord;
    full.informAtStart = true;
    ASSERT_TRUE(m_saved.save("Compass", full));
    auto loaded = m_saved.load("compass");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::tie(loaded->keywords, loaded->exclude, loaded->seller, loaded->category,
                       loaded->locationIn, loaded->locationTo),
              std::tie(full.keywords, full.exclude, full.seller, full.category, full.locationIn,
                       full.locationTo));
    EXPECT_EQ(std::tie(loaded->rangeMin, loaded->rangeMax, loaded->findItems, loaded->sort,
                       loaded->wordOption),
              std::tie(full.rangeMin, full.rangeMax, full.findItems, full.sort, full.wordOption));
    EXPECT_TRUE(loaded->titleAndDescription && loaded->buyItNowOnly && loaded->informAtStart);
    EXPECT_FALSE(m_saved.load("Sextant"));
    EXPECT_FALSE(m_saved.save("  ", full));
    EXPECT_FALSE(SavedSearches::nameProblem("").isEmpty());

    // Another spelling of a saved name overwrites its values and adds no index entry.
    ASSERT_TRUE(m_saved.save("COMPASS", criteria("ship's compass")));
    EXPECT_EQ(m_saved.names(), QStringList{"Compass"});
    EXPECT_EQ(m_saved.load("Compass")->keywords, "ship's compass");

    ASSERT_TRUE(m_saved.save("Sextant", criteria("sextant")));
    ASSERT_TRUE(m_saved.save("Telescope", criteria("telescope")));
    ASSERT_TRUE(m_saved.remove(1));
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(path(1), "Compass");
    EXPECT_EQ(path(2), "Telescope");
    EXPECT_EQ(path(3), "(none)");
    EXPECT_TRUE(m_user.subsections("SearchSave").size() == 2);
    EXPECT_EQ(m_saved.load("Telescope")->keywords, "telescope");
    EXPECT_FALSE(m_saved.remove(2));
    EXPECT_FALSE(m_saved.remove(-1));
}

TEST_F(SavedSearchesTest, NamesThatLookLikePathsAndADamagedIndex)
{
    const QString longName(200, QChar('n'));
    const QStringList names{"AC/DC", "back\\slash", "50%", longName};
    for (const QString& name : names)
        ASSERT_TRUE(m_saved.save(name, criteria("words of " + name)));
    EXPECT_EQ(m_saved.names(), names);
    for (const QString& name : names)
        EXPECT_EQ(m_saved.load(name)->keywords, "words of " + name);
    // Each stays one subsection below the index, none nested.
    EXPECT_EQ(m_user.subsections("SearchSave").size(), names.size());
    ASSERT_TRUE(m_saved.remove(0));
    EXPECT_EQ(m_saved.load("back\\slash")->keywords, "words of back\\slash");

    // A count past the stored names, a gap, an empty and a repeated name.
    m_user.removeSection("SearchSave");
    m_user.writeInt("SearchSave", "count", 2000000000);
    m_user.writeStr("SearchSave", "SearchPath1", "Lamp");
    m_user.writeStr("SearchSave", "SearchPath2", "");
    m_user.writeStr("SearchSave", "SearchPath4", "Vase");
    m_user.writeStr("SearchSave", "SearchPath5", "LAMP");
    m_user.writeStr("SearchSave\\vase", "keywords", "vase");
    EXPECT_EQ(m_saved.names(), (QStringList{"Lamp", "Vase"}));
    // The next change writes the index back whole.
    ASSERT_TRUE(m_saved.remove(0));
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(path(1), "Vase");
    for (int i = 2; i <= 5; ++i)
        EXPECT_EQ(path(i), "(none)");
    EXPECT_EQ(m_saved.load("Vase")->keywords, "vase");
}
