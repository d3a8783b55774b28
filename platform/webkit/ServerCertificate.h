#pragma once

#include <functional>
#include <gio/gio.h>
#include <string>

namespace webkitengine {

// Connects to the server of an https address and takes the certificate it presents (with its
// chain), whatever is wrong with it, without sending anything; `done` gets it on the main context
// (borrowed for the call), or null when no secure connection could be made. The caller judges it.
void fetchServerCertificate(
    const std::string& url, GCancellable* cancellable, std::function<void(GTlsCertificate*)> done);

}
