#pragma once

#include "tools/testserver/Request.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace testserver {

// The files of the data folder, served by path. The server-address file is rewritten
// once at start so that its base URLs lead back to this server.
class StaticFiles {
public:
    static constexpr const char* domainFilePath = "/domain_v2.json";

    // nullopt with a message when the server-address file exists but is not a JSON object.
    static std::optional<StaticFiles> load(const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error);

    // A reply for GET and HEAD of a file below the data folder; nullopt when there is none.
    std::optional<Reply> serve(const Request& request) const;

    const std::string& domainFile() const { return m_domainFile; }

private:
    std::filesystem::path m_root;
    std::string m_domainFile; // rewritten text; empty when the data folder has none
};

// "https://host:port/rest" -> "https://127.0.0.1:<port of the scheme>/rest"; other text unchanged.
std::string pointAtLoopback(const std::string& url, std::uint16_t httpPort, std::uint16_t httpsPort);

}
