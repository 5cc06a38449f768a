#pragma once

#include "auctionhouse.h"
#include "controlapi.h"
#include "faultswitch.h"
#include "requestlog.h"
#include "siteclock.h"
#include "sitehandler.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// The practice auction site: an HTTP server on 127.0.0.1 with the site's pages, the
// control interface under /_control, the switched-on faults and the request log.
class PracticeSite
{
public:
    struct Options
    {
        int port = 0;         // 0 picks a free port
        std::string script;   // JSON script; empty for the built-in listings
        std::string language; // "en" or "de"; overrides the script's
        double offset = 0;    // site clock minus machine clock, seconds
        double speed = 1;     // simulated seconds per real second
    };

    PracticeSite();
    explicit PracticeSite(Options options);
    ~PracticeSite();

    PracticeSite(const PracticeSite&) = delete;
    PracticeSite& operator=(const PracticeSite&) = delete;

    // Loads the script and binds the port; false with error() set on failure.
    bool bind();
    // Serves until stop() or the control interface's shutdown; needs bind().
    void serve();
    // bind() and serve() on a thread of its own; returns once the site answers.
    bool start();
    void stop();

    int port() const { return m_port; }
    std::string baseUrl() const;
    const std::string& error() const { return m_error; }

    AuctionHouse& house() { return m_house; }
    SiteClock& clock() { return m_clock; }
    FaultSwitch& faults() { return m_faults; }
    RequestLog& log() { return m_log; }

private:
    void handle(const httplib::Request& request, httplib::Response& response);
    void handleSite(const httplib::Request& request, httplib::Response& response);

    Options m_options;
    SiteClock m_clock;
    AuctionHouse m_house;
    FaultSwitch m_faults;
    RequestLog m_log;
    SiteHandler m_handler;
    std::unique_ptr<ControlApi> m_control;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    std::string m_error;
};
