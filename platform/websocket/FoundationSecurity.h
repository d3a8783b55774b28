#pragma once

#include <string>

// How a secure WebSocket checks the server's certificate. The chain is always verified, and the
// host name (or IP address) always checked, against the trusted certificate authorities: the
// file given here, else the information key TrustedCAFile of the main bundle, else the system's
// store.
//
// `allowSelfSigned` only says that the server's authority may be one of our own making (the
// local test server's CA named in the configuration): it never turns verification off.
class FoundationSecurity {
public:
    explicit FoundationSecurity(bool allowSelfSigned = false)
        : m_allowSelfSigned(allowSelfSigned)
    { }

    bool allowSelfSigned() const { return m_allowSelfSigned; }

    // Path of a PEM file of trusted authorities; empty goes back to the configured one.
    void setTrustedCAFile(std::string path) { m_trustedCAFile = std::move(path); }
    // The file to verify against; empty means the system's store.
    std::string trustedCAFile() const;

private:
    bool m_allowSelfSigned;
    std::string m_trustedCAFile;
};
