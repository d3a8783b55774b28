#pragma once

#include "tools/testserver/ApiCrypto.h"
#include "tools/testserver/Request.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace testserver {

// What opening the envelope of one API call found.
struct OpenedEnvelope {
    int refusal = 0; // the ApiServer code of a refused envelope, 0 when it is good
    std::optional<nlohmann::json> parameters; // the decrypted pack, when it opened to an object
    std::string fieldsWhere; // "query", "body" or "" when the method carries none
};

// Checks the envelope of a call: `pack` and `signature` and nothing else, in the query for GET and
// in an URL-encoded form body for POST; the signature over the pack; the pack decrypted with the
// key to a JSON object whose `timestamp` text lies within `window` of the server's clock.
OpenedEnvelope openEnvelope(
    const Request& request, const apicrypto::PrivateKey& key, std::chrono::seconds window);

}
