// Favourite category pages: where the category number and the title come from, what adding
// refuses, and how reordering and deleting rewrite the "Favorites" section.

#include "sites/favoritecategories.h"
#include "app/stringtable.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

namespace {

using Result = FavoriteCategories::Result;

const QString kKeyword = QStringLiteral("Kategorie:");

class FavoriteCategoriesTest : public ::testing::Test
{
protected:
    FavoriteCategoriesTest()
    {
        m_sites.load(user(), m_home.app().settings().currentSite);
        const QString site = m_sites.currentSite();
        m_sites.setValue(site + "_URL_Category", "http://listings.test/category%s/index.html");
        m_sites.setValue(site + "_KeyWord_Category", kKeyword);
    }

    Registry& user() { return m_home.app().userRegistry(); }
    static QString urlOf(int number)
    {
        return QString("http://listings.test/category%1/index.html").arg(number);
    }
    // A category page whose address names the number; its title is the document's.
    FavoriteCategories::AddOutcome add(int number, const QString& title = "Page")
    {
        return m_favorites.addShownCategory(QString("http://shop.test/category%1/").arg(number),
                                            QString(), QString(), title, m_sites);
    }
    QStringList texts() const
    {
        QStringList list;
        for (const auto& entry : m_favorites.entries())
            list << entry.text;
        return list;
    }

    AppHome m_home;
    SiteSettings m_sites;
    FavoriteCategories m_favorites{m_home.app().userRegistry()};
};

} // namespace

TEST_F(FavoriteCategoriesTest, CategoryNumberFromAddressElseLastInHtml)
{
    bool fromAddress = false;
    EXPECT_EQ(FavoriteCategories::categoryNumber("http://a.test/category123/x?y=4",
                                                 "<a href=/category9>", &fromAddress),
              "123");
    EXPECT_TRUE(fromAddress);
    const QString html = "<a href=\"/category11/\">A</a> <a href=\"/category2207/x\">B</a>";
    EXPECT_EQ(FavoriteCategories::categoryNumber("http://a.test/list", html, &fromAddress), "2207");
    EXPECT_FALSE(fromAddress);
    // An address that names no number leaves the page to tell it.
    EXPECT_EQ(FavoriteCategories::categoryNumber("http://a.test/category/", html, &fromAddress),
              "2207");
    EXPECT_FALSE(fromAddress);
    // Only the last occurrence in the page counts.
    EXPECT_EQ(FavoriteCategories::categoryNumber("http://a.test/", html + " /category-x", nullptr),
              "");
    EXPECT_EQ(FavoriteCategories::categoryNumber("http://a.test/", "<p>no link</p>", nullptr), "");
}

TEST_F(FavoriteCategoriesTest, TitleFromDocumentOrKeywordLine)
{
    const QString body = "Home\r\nKategorie: \tBooks \t> \tComics\r\nKategorie: Other > Line";
    EXPECT_EQ(FavoriteCategories::keywordLineTitle(body, kKeyword), "Books...> \tComics");
    EXPECT_EQ(FavoriteCategories::keywordLineTitle("Kategorie: Books > Comics", kKeyword),
              "Books...> Comics");
    EXPECT_EQ(FavoriteCategories::keywordLineTitle("Kategorie: A > B > C", kKeyword), "A...> C");
    // A breadcrumb before the keyword does not hide the category's name.
    EXPECT_EQ(FavoriteCategories::keywordLineTitle("Start > Kategorie: Books > Comics", kKeyword),
              "Books...> Comics");
    EXPECT_EQ(FavoriteCategories::keywordLineTitle("x\r\nKategorie: Books", kKeyword), "...");
    EXPECT_EQ(FavoriteCategories::keywordLineTitle("Books > Comics", QString()), "");

    const QString page = "Kategorie: Books > Comics";
    EXPECT_EQ(FavoriteCategories::categoryTitle("http://a.test/x", true, page, "Doc", kKeyword),
              "Doc");
    EXPECT_EQ(
        FavoriteCategories::categoryTitle("http://a.test/?_sacat=5", false, page, "Doc", kKeyword),
        "Doc");
    EXPECT_EQ(FavoriteCategories::categoryTitle("http://a.test/x", false, page, "Doc", kKeyword),
              "Books...> Comics");
}

TEST_F(FavoriteCategoriesTest, AddingWritesOrTellsWhyNot)
{
    // The number from the page's HTML: the title from the keyword line.
    auto outcome = m_favorites.addShownCategory(
        "http://shop.test/list?page=2", "<a href=\"/category11/\"> <a href=\"/category77\">",
        "Kategorie: Books > Comics", "Doc", m_sites);
    EXPECT_EQ(outcome.result, Result::Added);
    EXPECT_EQ(outcome.message(), StringTable::text(281));
    EXPECT_EQ(user().readInt("Favorites", "count", 0), 1);
    EXPECT_EQ(user().readStr("Favorites\\0", "text"), "Books...> Comics");
    EXPECT_EQ(user().readStr("Favorites\\0", "url"), urlOf(77));

    // The same address in other letter case is the same favourite.
    m_favorites.save(0, "Books", urlOf(77).toUpper());
    outcome = add(77);
    EXPECT_EQ(outcome.result, Result::Duplicate);
    EXPECT_EQ(outcome.message(), StringTable::text(280));
    EXPECT_EQ(outcome.icon(), IMainWindow::Icon::Warning);

    EXPECT_EQ(m_favorites.addShownCategory("http://shop.test/", "<p>", "", "Doc", m_sites).result,
              Result::NoCategory);
    outcome = m_favorites.addShownCategory("http://shop.test/", "/category5", "no keyword", "Doc",
                                           m_sites);
    EXPECT_EQ(outcome.result, Result::NoTitle);
    EXPECT_TRUE(outcome.message().isEmpty());
    EXPECT_EQ(m_favorites.count(), 1);
}

TEST_F(FavoriteCategoriesTest, FullListRefusesNewButReportsDuplicatesFirst)
{
    for (int i = 1; i <= FavoriteCategories::kMaxCount; ++i)
        ASSERT_EQ(add(i).result, Result::Added);
    EXPECT_EQ(add(7).result, Result::Duplicate);
    const auto outcome = add(21);
    EXPECT_EQ(outcome.result, Result::Full);
    EXPECT_EQ(outcome.message(), StringTable::text(420));
    EXPECT_EQ(m_favorites.count(), 20);
    EXPECT_FALSE(user().contains("Favorites\\20", "url"));

    // A hand-edited count is kept within the list's bounds, and said so once.
    user().writeInt("Favorites", "count", 25);
    FavoriteCategories reread(user());
    EXPECT_EQ(reread.entries().size(), 20);
    EXPECT_EQ(reread.count(), 20);
    EXPECT_EQ(m_home.logText().count("Favorites: the stored count 25"), 1);
}

TEST_F(FavoriteCategoriesTest, ReorderAndDelete)
{
    add(1, "A");
    add(2, "B");
    add(3, "C");
    user().writeStr("Favorites\\0", "id", "first");
    user().removeValue("Favorites\\1", "text");

    EXPECT_FALSE(m_favorites.moveUp(0));
    EXPECT_FALSE(m_favorites.moveDown(2));
    EXPECT_EQ(texts(), QStringList({"A", "Unknown", "C"}));

    EXPECT_TRUE(m_favorites.moveDown(0));
    EXPECT_EQ(texts(), QStringList({"Unknown", "A", "C"}));
    EXPECT_EQ(m_favorites.entry(1).id, "first");
    EXPECT_EQ(m_favorites.entry(1).url, urlOf(1));
    EXPECT_FALSE(user().contains("Favorites\\0", "id"));
    EXPECT_TRUE(m_favorites.moveUp(2));
    EXPECT_EQ(texts(), QStringList({"Unknown", "C", "A"}));

    // The middle one: the last moves down over it, whole.
    EXPECT_TRUE(m_favorites.remove(1));
    EXPECT_EQ(texts(), QStringList({"Unknown", "A"}));
    EXPECT_EQ(m_favorites.entry(1).id, "first");
    EXPECT_EQ(user().subsections("Favorites").size(), 2);
    EXPECT_FALSE(m_favorites.remove(2));

    EXPECT_TRUE(m_favorites.remove(1));
    EXPECT_TRUE(m_favorites.remove(0));
    EXPECT_EQ(user().readInt("Favorites", "count", -1), 0);
    EXPECT_TRUE(m_favorites.entries().isEmpty());
    EXPECT_TRUE(user().subsections("Favorites").isEmpty());
}
