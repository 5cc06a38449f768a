#include "engine/processrunner.h"
#include "engine/connectivityprobe.h"

#include <gtest/gtest.h>

TEST(ProcessRunner, ArgumentsAreNeverInterpretedByAShell)
{
    ProcessRunner runner;
    const IProcessRunner::Result echoed =
        runner.run("echo", {"a; touch /tmp/gavelin-never", "$HOME", "`id`"});
    EXPECT_TRUE(echoed.succeeded());
    EXPECT_EQ(echoed.output, "a; touch /tmp/gavelin-never $HOME `id`\n");

    const IProcessRunner::Result failed = runner.run("false", {});
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.errorText("false"), "false exited with code 1.");

    const IProcessRunner::Result missing = runner.run("/nonexistent/pon", {"provider"});
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.succeeded());
    EXPECT_EQ(missing.errorText("pon"), "pon could not be started.");

    ProcessRunner impatient(300);
    const IProcessRunner::Result hung = impatient.run("sleep", {"30"});
    EXPECT_FALSE(hung.succeeded());
}

TEST(ConnectivityProbe, DefaultRoutesFromTheRoutingTables)
{
    const QByteArray ipv4 =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t0010A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
        "ppp0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n";
    EXPECT_EQ(ConnectivityProbe::defaultRouteInterface(ipv4), "ppp0");
    EXPECT_EQ(ConnectivityProbe::defaultRouteInterface(ipv4.left(ipv4.indexOf("ppp0"))), "");
    // A route that is not up does not count.
    QByteArray down = ipv4;
    down.replace("ppp0\t00000000\t00000000\t0001", "ppp0\t00000000\t00000000\t0000");
    EXPECT_EQ(ConnectivityProbe::defaultRouteInterface(down), "");
    EXPECT_EQ(ConnectivityProbe::defaultRouteInterface("garbage\n\x01\x02"), "");

    const QByteArray ipv6 =
        "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
        "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200 lo\n"
        "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
        "fe800000000000000000000000000001 00000400 00000001 00000000 00000003 wlan0\n";
    EXPECT_EQ(ConnectivityProbe::defaultRouteInterface6(ipv6), "wlan0");

    // Without tables or interfaces there is no connection, and the probe says why.
    ConnectivityProbe nothing("/nonexistent/route", "/nonexistent/ipv6_route", false);
    const IConnectivityProbe::State state = nothing.query();
    EXPECT_FALSE(state.succeeded);
    EXPECT_EQ(state.flags, 0u);
    EXPECT_FALSE(state.errorText.isEmpty());
}
