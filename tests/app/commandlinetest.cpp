#include "app/commandline.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, WordsAreFoundAnywhere)
{
    EXPECT_TRUE(CommandLine::parse({"/minimize"}).minimize);
    EXPECT_TRUE(CommandLine::parse({"--minimize"}).minimize);
    EXPECT_TRUE(CommandLine::parse({"x", "please-exit-now"}).exit);
    EXPECT_FALSE(CommandLine::parse({}).exit);
    EXPECT_FALSE(CommandLine::parse({"run"}).minimize);
}

TEST(CommandLineTest, ItemAddressIsNotSearchedForWords)
{
    const CommandLine line =
        CommandLine::parse({"--add", "http://127.0.0.1:8080/exit-minimize?ViewItem&item=12"});
    EXPECT_EQ(line.addUrl, "http://127.0.0.1:8080/exit-minimize?ViewItem&item=12");
    EXPECT_FALSE(line.exit);
    EXPECT_FALSE(line.minimize);
    EXPECT_EQ(CommandLine::parse({"gavelin:http://h/item=5"}).addUrl, "http://h/item=5");
    EXPECT_EQ(CommandLine::parse({"--add=http://h/i"}).addUrl, "http://h/i");
    // The bookmarklet's form, also as the .desktop handler passes it behind --add.
    const QString encoded = "gavelin:http%3A%2F%2Fh%2Fws%2FeBayISAPI.dll%3FViewItem%26item%3D5";
    EXPECT_EQ(CommandLine::parse({encoded}).addUrl, "http://h/ws/eBayISAPI.dll?ViewItem&item=5");
    EXPECT_EQ(CommandLine::parse({"--add", encoded}).addUrl,
              "http://h/ws/eBayISAPI.dll?ViewItem&item=5");
}

} // namespace
