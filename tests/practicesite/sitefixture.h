#pragma once

#include "json.h"
#include "pagereader.h"
#include "practicesite.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>

// A practice site on an ephemeral port for one test, and a client that keeps the session
// cookie like a browser and submits forms as found on the pages.
class SiteFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    httplib::Result get(const std::string& target);
    httplib::Result post(const std::string& path, const httplib::Params& fields);
    // Submits a form with its fields, some of them changed.
    httplib::Result submit(const PageReader::Form& form, const httplib::Params& changes = {});
    PageReader page(const httplib::Result& result);
    // Control interface call; the answer's JSON (null on a transport error).
    Json control(const std::string& method, const std::string& path, const std::string& body = {},
                 int* status = nullptr);
    static std::string itemUrl(const std::string& item);
    // Fills maxbid on the item page's bid form and submits it.
    httplib::Result bid(const std::string& item, const std::string& maxbid);
    // Submits the sign-in form of `signInPage` with these credentials.
    httplib::Result signIn(const PageReader& signInPage, const std::string& user,
                           const std::string& password);

    std::unique_ptr<PracticeSite> site;
    std::unique_ptr<httplib::Client> client;
    std::string cookie;
};
