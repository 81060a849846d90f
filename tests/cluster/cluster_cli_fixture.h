// What the tests of ionvane-cli --cluster as a process share: the fake node, the process, a
// bounded wait and the home settings of every run.
#pragma once

#include "tests/cli_process.h"
#include "tests/fakenode/fake_node.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace ionvane::cluster {
namespace {

using testing::FakeNode;
using testing::FakeNodeScript;

inline bool WaitFor(const std::function<bool()> &done, int boundMs = 20'000) {
    QDeadlineTimer deadline(boundMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

const QStringList HomeSettings = {"--home", "IO90IR", "--es-layer", "110", "--masl", "150"};

using Cli = testing::CliProcess;

} // namespace
} // namespace ionvane::cluster
