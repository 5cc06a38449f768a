#include "sitefixture.h"

void SiteFixture::SetUp()
{
    site = std::make_unique<PracticeSite>();
    ASSERT_TRUE(site->start()) << site->error();
    client = std::make_unique<httplib::Client>("127.0.0.1", site->port());
    client->set_read_timeout(10, 0);
}

void SiteFixture::TearDown()
{
    client.reset();
    site.reset();
}

namespace {

void keepCookie(const httplib::Result& r, std::string& cookie)
{
    if (r && r->has_header("Set-Cookie")) {
        const std::string value = r->get_header_value("Set-Cookie");
        cookie = value.substr(0, value.find(';'));
    }
}

} // namespace

httplib::Result SiteFixture::get(const std::string& target)
{
    httplib::Headers headers;
    if (!cookie.empty())
        headers.emplace("Cookie", cookie);
    httplib::Result r = client->Get(target.c_str(), headers);
    keepCookie(r, cookie);
    return r;
}

httplib::Result SiteFixture::post(const std::string& path, const httplib::Params& fields)
{
    httplib::Headers headers;
    if (!cookie.empty())
        headers.emplace("Cookie", cookie);
    httplib::Result r = client->Post(path.c_str(), headers, fields);
    keepCookie(r, cookie);
    return r;
}

httplib::Result SiteFixture::submit(const PageReader::Form& form, const httplib::Params& changes)
{
    httplib::Params fields(form.fields.begin(), form.fields.end());
    for (const auto& change : changes) {
        fields.erase(change.first);
        fields.insert(change);
    }
    return post(form.action, fields);
}

PageReader SiteFixture::page(const httplib::Result& result)
{
    EXPECT_TRUE(result) << "no answer";
    if (!result)
        return PageReader("");
    EXPECT_EQ(result->status, 200);
    return PageReader(result->body);
}

Json SiteFixture::control(const std::string& method, const std::string& path,
                          const std::string& body, int* status)
{
    const std::string target = "/_control" + path;
    httplib::Result r = method == "GET"      ? client->Get(target.c_str())
                        : method == "DELETE" ? client->Delete(target.c_str())
                        : method == "PATCH"
                            ? client->Patch(target.c_str(), body, "application/json")
                            : client->Post(target.c_str(), body, "application/json");
    if (!r)
        return Json();
    if (status)
        *status = r->status;
    return Json::parse(r->body);
}

std::string SiteFixture::itemUrl(const std::string& item)
{
    return "/ws/eBayISAPI.dll?ViewItem&item=" + item;
}

httplib::Result SiteFixture::bid(const std::string& item, const std::string& maxbid)
{
    const PageReader itemPage = page(get(itemUrl(item)));
    const PageReader::Form* form = itemPage.formWithCommand("MakeBid");
    EXPECT_NE(form, nullptr) << "no bid form on " << item;
    if (!form)
        return httplib::Result(nullptr, httplib::Error::Unknown);
    return submit(*form, {{"maxbid", maxbid}});
}

httplib::Result SiteFixture::signIn(const PageReader& signInPage, const std::string& user,
                                    const std::string& password)
{
    const PageReader::Form* form = signInPage.formWithCommand("SignInWelcome");
    EXPECT_NE(form, nullptr) << "no sign-in form";
    if (!form)
        return httplib::Result(nullptr, httplib::Error::Unknown);
    return submit(*form, {{"userid", user}, {"pass", password}});
}
