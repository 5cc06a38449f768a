#include "web/htmldocument.h"
#include "web/documentaccess.h"
#include "web/htmlform.h"

#include <gtest/gtest.h>

namespace {

const QUrl kPage("http://auction.test/ws/eBayISAPI.dll?ViewItem&item=123");

// An item page's forms as the sites write them: a form opened between table tags, a
// search form, and the bid form with its hidden command field.
const char* kItemPage = R"(<html><head><title> Item  123 </title></head><body>
<form name="Search" method="get" action="/search/search.dll?old=1">
  <input name="query" value="lamp"><input type="submit" name="go" value="Find">
</form>
<table><form name="SignIn" method="post" action="https://signin.auction.test/aw-cgi/eBayISAPI.dll">
  <tr><td><input type="hidden" name="MfcISAPICommand" value="SignInWelcome"></td></tr>
  <tr><td><input name="userid"></td><td><input type="password" name="pass"></td></tr>
</form></table>
<form name="bidform" method="POST" action="eBayISAPI.dll">
  <input type="hidden" name="MfcISAPICommand" value="MakeBid">
  <input type="hidden" name="item" value="123">
  <input type="text" name="maxbid">
  <input type="text" name="maxbid" value="second">
  <textarea name="note">first
line</textarea>
  <input type="checkbox" name="watch" checked><input type="checkbox" name="mail" value="yes">
  <input type="radio" name="ship" value="a"><input type="radio" name="ship" value="b" checked>
  <input type="text" name="off" value="x" disabled>
  <select name="info"><option value="0">Choose<option value="1">Typo<option value="2">Changed</select>
  <input type="submit" name="confirm" value="Place bid">
</form>
<form><input name="MfcISAPICommand" value="makebid"></form>
</body></html>)";

} // namespace

TEST(HtmlDocumentForms, FoundByNameIgnoringCase)
{
    HtmlDocument document(kItemPage, kPage);
    HtmlForm form;
    ASSERT_TRUE(FindFormByName(&document, "BIDFORM", &form));
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(form.name(), "bidform");
    // No match still succeeds, without a form; a form without a name never matches.
    EXPECT_TRUE(FindFormByName(&document, "nothing", &form));
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(FindFormByName(&document, "", &form));
    EXPECT_TRUE(form.isNull());
    EXPECT_FALSE(FindFormByName(nullptr, "bidform", &form));
}

TEST(HtmlDocumentForms, FoundByCommandValue)
{
    HtmlDocument document(kItemPage, kPage);
    const HtmlForm bid = FindFormByInputValue(&document, "MfcISAPICommand", "MAKEBID");
    EXPECT_EQ(bid.name(), "bidform"); // the first of the two that match
    // Fields the parser placed outside a form opened in a table still belong to it.
    const HtmlForm signIn = FindFormByInputValue(&document, "MfcISAPICommand", "SignInWelcome");
    ASSERT_FALSE(signIn.isNull());
    EXPECT_EQ(signIn.name(), "SignIn");
    EXPECT_FALSE(FindInputByName(signIn, "userid").isNull());
    EXPECT_FALSE(FindInputByName(signIn, "pass").isNull());
    EXPECT_TRUE(FindFormByInputValue(&document, "MfcISAPICommand", "RetractBid").isNull());
    EXPECT_TRUE(FindFormByInputValue(&document, "", "MakeBid").isNull());

    // The current value counts, not the one in the markup.
    ASSERT_TRUE(SetInputValue(bid, "MfcISAPICommand", "Changed"));
    EXPECT_EQ(FindFormByInputValue(&document, "MfcISAPICommand", "makebid").element(),
              document.forms().last().element());
    EXPECT_EQ(FindFormByInputValue(&document, "MfcISAPICommand", "changed"), bid);
}

TEST(HtmlDocumentForms, FieldsAreSetByName)
{
    HtmlDocument document(kItemPage, kPage);
    HtmlForm form;
    FindFormByName(&document, "bidform", &form);
    EXPECT_EQ(FindInputByName(form, "maxbid").value(), ""); // the first of that name
    EXPECT_TRUE(SetInputValue(form, "maxbid", "12,50"));
    EXPECT_EQ(FindInputByName(form, "maxbid").value(), "12,50");
    EXPECT_FALSE(SetInputValue(form, "quant", "2"));
    EXPECT_FALSE(SetInputValue(form, "note", "x")); // a text area is not an INPUT
    EXPECT_TRUE(SetTextAreaValue(form, "note", "new text"));
    EXPECT_FALSE(SetTextAreaValue(form, "maxbid", "x"));
    EXPECT_TRUE(form.selectOption("info", "1"));
    EXPECT_FALSE(form.selectOption("info", "9"));
    EXPECT_EQ(form.findSelect("info").value(), "1");
    EXPECT_EQ(form.findSelect("info").options().size(), 3);
}

TEST(HtmlDocumentForms, PostSubmission)
{
    HtmlDocument document(kItemPage, kPage);
    const HtmlForm form = FindFormByInputValue(&document, "MfcISAPICommand", "MakeBid");
    SetInputValue(form, "maxbid", "12.50 & more");
    FormSubmission sent = form.submission();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.url, QUrl("http://auction.test/ws/eBayISAPI.dll"));
    EXPECT_EQ(sent.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(sent.body, "MfcISAPICommand=MakeBid&item=123&maxbid=12.50+%26+more&maxbid=second&"
                         "note=first%0D%0Aline&watch=on&ship=b&info=0");
    // The button pressed is sent; a button not pressed never is.
    sent = form.submission(form.elements().last());
    EXPECT_TRUE(sent.body.endsWith("&info=0&confirm=Place+bid"));
}

TEST(HtmlDocumentForms, GetSubmissionReplacesTheQuery)
{
    HtmlDocument document(kItemPage, kPage);
    HtmlForm search;
    FindFormByName(&document, "search", &search);
    SetInputValue(search, "query", QString::fromUtf8("lampe grün"));
    const FormSubmission sent = search.submission();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.url.toEncoded(), "http://auction.test/search/search.dll?query=lampe+gr%C3%BCn");
    EXPECT_TRUE(sent.body.isEmpty());

    // Forms of a Windows-1252 page send Windows-1252; no action means the page itself.
    auto latin = HtmlDocument::fromBytes("<form><input name=q value='5 \x80'></form>",
                                         "text/html; charset=windows-1252",
                                         QUrl("http://a.test/p?x=1#frag"));
    EXPECT_EQ(latin->forms().first().submission().url.toEncoded(), "http://a.test/p?q=5+%80");
    HtmlDocument based("<base href='http://other.test/dir/'><form action='go' method=post></form>",
                       QUrl("http://a.test/p"));
    EXPECT_EQ(based.forms().first().submission().url, QUrl("http://other.test/dir/go"));
}

TEST(HtmlDocumentQueries, LinksTitleClassesAndTables)
{
    HtmlDocument document(
        "<title> Item \n 123 </title><a href='/aw-cgi/x?continue=1'>Click <b>here</b> to "
        "continue</a><a name=anchor>no link</a><map><area href='area.html'></map>"
        "<table class='ebItemlist  single' id=results><tbody>"
        "<tr><td class=ebcTtl>Lamp</td><td class='ebcPr x'>$5</td></tr>"
        "<tr><td class=ebcTtl>Chair</td><td><table><tr><td>inner</td></tr></table></td></tr>"
        "</tbody></table>",
        kPage);
    EXPECT_EQ(document.title(), "Item 123");
    const QList<HtmlElement> links = document.links();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].innerText(), "Click here to continue");
    EXPECT_EQ(links[0].url("href"), QUrl("http://auction.test/aw-cgi/x?continue=1"));
    EXPECT_EQ(links[1].url("href"), QUrl("http://auction.test/ws/area.html"));

    const QList<HtmlElement> lists = document.elementsByClassName("single ebItemlist");
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists[0], document.elementById("results"));
    EXPECT_TRUE(document.elementsByClassName("ebItemlist double").isEmpty());
    EXPECT_EQ(document.elementsByClassName("ebcPr").size(), 1);
    const QList<HtmlElement> rows = lists[0].rows();
    ASSERT_EQ(rows.size(), 2); // the nested table's row is not one of them
    EXPECT_EQ(rows[1].cells().size(), 2);
    EXPECT_EQ(rows[1].cells()[0].text(), "Chair");
    EXPECT_EQ(document.elementsByTagName("TD").size(), 5);
    EXPECT_EQ(HtmlDocument("<x-widget>w</x-widget>").elementsByTagName("x-widget").size(), 1);
}
