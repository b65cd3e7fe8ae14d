#pragma once

#include "collector/drive_collector.h"

#include <functional>
#include <string>

// Whether tolvenar-self-test.timer is enabled: systemctl's link to it in
// timers.target.wants under /etc or /run, folders only root writes, so that
// no user can make the readers believe in a schedule.
bool SelfTestTimerEnabled();

// The test a drive is due for on a local date: "long" on one day of the
// month (1 to 28), else "short" on one day of the week, else none (empty).
// Both days come from a hash of the serial number, so that the drives of a
// machine spread their tests over the days instead of all testing at once.
// weekday: 0 Sunday to 6 Saturday; dayOfMonth: 1 to 31.
std::string ScheduledSelfTest(const std::string& serial, int weekday, int dayOfMonth);

// How long a run follows the tests it started, at most: longer than any
// extended test of today's drives takes.
constexpr int kMaxFollowHours = 24;

// quelmaro --scheduled-self-tests, as root (tolvenar-self-test.service):
// scans, reads each drive without waking it (-n standby), starts the test
// each one is due for today, skipping drives that cannot take it or already
// test; then, every minute while any of them tests, runs collect (one whole,
// bounded collection, which writes the reports) until none tests or
// kMaxFollowHours have passed. Exit status: 0 every due test started, 1 some
// could not be started, 2 not root, no smartctl or the scan failed.
int RunScheduledSelfTests(const std::function<CollectionResult()>& collect);

// quelmaro --follow-self-tests, as root (tolvenar-self-test-follow.service,
// which a started self-test command starts): collects at once, then every
// minute while any drive tests, until none does or kMaxFollowHours have
// passed, so that a test started by hand is followed as the scheduled ones
// are. Exit status: that of the first collection; 2 when not root.
int FollowRunningSelfTests(const std::function<CollectionResult()>& collect);
