#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "scriptengine/JsRuntime.h"
#include "scripts/ScriptHost.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/Exchange.h"

namespace zarivok::testing {

using Gw = ChatGateway;

// A bot with alice listed and the scripts written by each test in its profile's scripts folder,
// against the tests' own gateway.
class ScriptsFixture : public ::testing::Test {
  protected:
    ScriptsFixture() {
        harness.WriteFile("Users.txt", "alice\r\n");
        harness.WriteConfig(gateway.Port());
        QDir(harness.Folder()).mkdir(QStringLiteral("scripts"));
        Scripts().SetRuntimeFactory(&MakeJsRuntime);
    }

    ScriptHost& Scripts() { return harness.bot().Scripts(); }

    void WriteScript(const QString& name, const QByteArray& source) {
        harness.WriteFile(QStringLiteral("scripts/") + name, source);
    }

    bool PaneShows(const QString& text, int timeoutMs = 5000) {
        return Gw::WaitUntil([&] { return harness.pane.Text().contains(text); }, timeoutMs);
    }

    QByteArray Exchange(const QByteArrayList& lines) { return testing::Exchange(gateway, lines); }

    // Copies one of examples/scripts into the scripts folder.
    void CopyExample(const QString& name) {
        QFile example(QStringLiteral(ZARIVOK_EXAMPLES_DIR "/") + name);
        ASSERT_TRUE(example.open(QIODevice::ReadOnly));
        WriteScript(name, example.readAll());
    }

    Gw gateway;
    BotHarness harness;
};

}  // namespace zarivok::testing
