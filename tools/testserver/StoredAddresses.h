#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

// Addresses of this server inside state that outlives it (an avatar it stored, a picture it
// answered a chat upload with, the sample data's own). They are kept as the sample data writes
// them, on port 0 ("https://127.0.0.1:0/uploads/..."), and pointed at the ports of the server that
// reads them back: a server started again on other ports still answers every address it handed out.
//
// Only a field that the file gives to such an address is ever rewritten. What a person typed (a
// message, a name, an e-mail address, a client's own image address) is kept byte for byte, even
// when it looks like an address of this server or of port 0: a client can type any text, so no
// text tells by itself whose it is. Which fields hold the server's addresses is for each file to
// say (AccountBook, ChatRoomStore.cpp).

// The address as a state file keeps it: on port 0 when `text` is an address of this server's http
// or https origin; none for any other text.
std::optional<std::string> keptAddress(
    std::string_view text, std::uint16_t httpPort, std::uint16_t httpsPort);
// A kept address pointed at these ports; a text that is not on port 0 comes back as it is.
std::string restoredAddress(std::string text, std::uint16_t httpPort, std::uint16_t httpsPort);
// Every text of `value` that starts with an origin on port 0, pointed at these ports: only for the
// sample data, every address of which is the server's own.
void restoreAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort);

}
