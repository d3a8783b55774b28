#pragma once

#include "platform/net/HTTPClient.h"

#include <memory>
#include <string>
#include <string_view>

// Encrypted name resolution for the whole process, and a probe that tells which kind was used.
//
// The resolver is the information key DoHResolverURL: when it is a usable https URL, every later
// transfer of the HTTP client resolves host names through it (DNS over HTTPS); empty leaves the
// system's resolver. The probe is one HTTPS request to the information key ProbeHost ("host" or
// "host:port", port 443 by default). Its states go to the log ("setup", "Preparing", "ready",
// "waiting or failed"); once ready, and only when a host name had to be resolved (not an address
// literal), the notification "changelabel" carries the verdict text: "Used encrypted DNS!" with
// the resolver in force, "Used unencrypted DNS!" without. Main thread.
class appLink : public std::enable_shared_from_this<appLink> {
public:
    static constexpr std::string_view changeLabelNotification = "changelabel";
    static constexpr std::string_view encryptedVerdict = "Used encrypted DNS!";
    static constexpr std::string_view unencryptedVerdict = "Used unencrypted DNS!";

    static std::shared_ptr<appLink> create(HTTPClient& client = HTTPClient::shared());

    // Applies the resolver, then starts the probe. The probe's reply keeps this object alive
    // until it has reported; nothing else needs to.
    void allLinkInAppDoH();

    // An https URL with a host, the only kind the resolver setting takes.
    static bool isUsableResolverURL(std::string_view url);
    // True for an IPv4 or IPv6 address literal (with or without port and brackets).
    static bool isAddressLiteral(std::string_view hostAndPort);

private:
    explicit appLink(HTTPClient& client)
        : m_client(client)
    { }

    void startProbe();
    void probeFinished(const HTTPResponse& response);
    void reportResolutions();

    HTTPClient& m_client;
    bool m_encryptedDNS = false;
    std::string m_probeHost;
};
