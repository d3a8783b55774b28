#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>

namespace testserver {

// Addresses of this server inside state that outlives it (an avatar, a picture of the chat room).
// They are kept as the sample data writes them, on port 0 ("https://127.0.0.1:0/uploads/..."), and
// pointed at the ports of the server that reads them back: a server started again on other ports
// still answers every address it handed out before.

// Every text of `value` that starts with this server's http or https origin, written on port 0.
void keepAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort);
// Every text of `value` that starts with an origin on port 0, pointed at these ports.
void restoreAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort);

}
