#pragma once

#include <gio/gio.h>
#include <string>

namespace webkitengine {

// Whether a server's certificate (with the chain it came with) is valid for the host under one
// of the authorities of a PEM file: signed by them, in date, and naming the host. The reason
// otherwise, in words.
bool certificateIsTrusted(
    GTlsCertificate* certificate, const std::string& host, const std::string& caFile, std::string& why);

// Whether the system's store of authorities finds a server's certificate valid for the host.
bool certificateIsTrustedBySystem(GTlsCertificate* certificate, const std::string& host);

// What is wrong with a certificate, in words ("unknown authority, expired").
std::string describeCertificateFlags(GTlsCertificateFlags flags);

}
