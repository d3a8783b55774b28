#include "app/Extensions/appLink.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <arpa/inet.h>

namespace {

// "host:port", "[v6]:port", "v6" or "host" to its host part.
std::string hostPart(std::string_view hostAndPort)
{
    if (hostAndPort.starts_with('[')) {
        size_t close = hostAndPort.find(']');
        return std::string(hostAndPort.substr(1, close == std::string_view::npos ? close : close - 1));
    }
    size_t colon = hostAndPort.find(':');
    // More than one colon: a bare IPv6 address without port.
    if (colon != std::string_view::npos && hostAndPort.find(':', colon + 1) == std::string_view::npos)
        return std::string(hostAndPort.substr(0, colon));
    return std::string(hostAndPort);
}

}

std::shared_ptr<appLink> appLink::create(HTTPClient& client)
{
    return std::shared_ptr<appLink>(new appLink(client));
}

bool appLink::isUsableResolverURL(std::string_view url)
{
    constexpr std::string_view scheme = "https://";
    if (!url.starts_with(scheme))
        return false;
    std::string_view rest = url.substr(scheme.size());
    return !rest.empty() && rest.front() != '/' && rest.front() != ':';
}

bool appLink::isAddressLiteral(std::string_view hostAndPort)
{
    std::string host = hostPart(hostAndPort);
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

void appLink::allLinkInAppDoH()
{
    std::string resolver = Bundle::main().infoString(InfoKey::DoHResolverURL).value_or("");
    if (isUsableResolverURL(resolver)) {
        // Process-wide and never undone: every later transfer of the client resolves through it.
        m_client.setDoHURL(resolver);
        m_encryptedDNS = true;
    } else if (!resolver.empty()) {
        Log::write("DoH resolver URL is not usable: " + resolver);
    }
    startProbe();
}

void appLink::startProbe()
{
    m_probeHost = Bundle::main().infoString(InfoKey::ProbeHost).value_or("");
    Log::write("setup");

    HTTPRequest request;
    request.method = HTTPMethod::HEAD;
    request.url = "https://" + m_probeHost + "/";
    Log::write("Preparing");
    m_client.send(std::move(request),
        [self = shared_from_this()](HTTPResponse response) { self->probeFinished(response); });
}

void appLink::probeFinished(const HTTPResponse& response)
{
    // A reply head means the TLS connection was set up: the probe is ready.
    if (!response.statusCode) {
        Log::write("waiting or failed");
        return;
    }
    Log::write("ready");
    reportResolutions();
}

void appLink::reportResolutions()
{
    // An address literal needs no name resolution, so there is nothing to report.
    if (isAddressLiteral(m_probeHost))
        return;
    std::string_view verdict = m_encryptedDNS ? encryptedVerdict : unencryptedVerdict;
    Log::write(verdict);
    NotificationCenter::defaultCenter().post(std::string(changeLabelNotification), std::string(verdict));
}
