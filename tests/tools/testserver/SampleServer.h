#pragma once

// The local test server on loopback with the whole sample API, for the server's own tests.

#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <filesystem>
#include <memory>
#include <string>

namespace zvtest {

struct SampleServer {
    std::unique_ptr<testserver::TestServer> server;
    std::unique_ptr<testserver::ApiServer> api;
    std::string error; // why it did not start, when it did not

    static std::filesystem::path dataDir() { return sourceDir() / "tools/testserver/data"; }

    // Started over the data folder, keeping its clients' changes in `state` when one is given;
    // check `api` (set last) and `error`.
    static SampleServer start(const std::filesystem::path& data = dataDir(),
        testserver::SamplePreparation preparation = testserver::SamplePreparation::AtStart,
        std::shared_ptr<const testserver::StateFolder> state = nullptr)
    {
        SampleServer started;
        started.server = testserver::TestServer::start({ testKeysDir(), data }, &started.error);
        if (!started.server)
            return started;
        auto api = testserver::ApiServer::attach(*started.server, testKeysDir(), &started.error);
        if (api && state)
            api->setStateFolder(std::move(state));
        if (api
            && testserver::SampleApi::install(*api, data, started.server->httpPort(),
                started.server->httpsPort(), &started.error, preparation))
            started.api = std::move(api);
        return started;
    }
};

}
