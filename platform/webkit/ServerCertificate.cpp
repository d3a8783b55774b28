#include "platform/webkit/ServerCertificate.h"

#include <memory>

namespace webkitengine {

namespace {

// How long the server may take to connect and present its certificate (the view's own time-out
// ends the load meanwhile).
constexpr guint connectTimeoutSeconds = 30;
constexpr guint16 httpsPort = 443;

struct Fetch {
    std::function<void(GTlsCertificate*)> done;
};

gboolean acceptAnyCertificate(GTlsConnection*, GTlsCertificate*, GTlsCertificateFlags, gpointer)
{
    // Judged by the caller; nothing is sent over this connection.
    return TRUE;
}

void connectionEvent(
    GSocketClient*, GSocketClientEvent event, GSocketConnectable*, GIOStream* connection, gpointer fetch)
{
    if (event == G_SOCKET_CLIENT_TLS_HANDSHAKING)
        g_signal_connect(connection, "accept-certificate", G_CALLBACK(acceptAnyCertificate), fetch);
}

void connected(GObject* source, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
    g_signal_handlers_disconnect_by_data(source, fetch.get());
    GSocketConnection* connection
        = g_socket_client_connect_to_host_finish(G_SOCKET_CLIENT(source), result, nullptr);
    GTlsCertificate* certificate = nullptr;
    if (connection && G_IS_TCP_WRAPPER_CONNECTION(connection)) {
        GIOStream* secure = g_tcp_wrapper_connection_get_base_io_stream(G_TCP_WRAPPER_CONNECTION(connection));
        if (G_IS_TLS_CONNECTION(secure)) {
            g_signal_handlers_disconnect_by_data(secure, fetch.get());
            certificate = g_tls_connection_get_peer_certificate(G_TLS_CONNECTION(secure));
        }
    }
    fetch->done(certificate);
    if (connection)
        g_object_unref(connection);
}

}

void fetchServerCertificate(
    const std::string& url, GCancellable* cancellable, std::function<void(GTlsCertificate*)> done)
{
    GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri || !g_uri_get_host(uri)) {
        if (uri)
            g_uri_unref(uri);
        done(nullptr);
        return;
    }
    std::string host = g_uri_get_host(uri);
    gint port = g_uri_get_port(uri);
    g_uri_unref(uri);
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_tls(client, TRUE);
    g_socket_client_set_timeout(client, connectTimeoutSeconds);
    auto* fetch = std::make_unique<Fetch>(Fetch { std::move(done) }).release();
    g_signal_connect(client, "event", G_CALLBACK(connectionEvent), fetch);
    g_socket_client_connect_to_host_async(client, host.c_str(),
        port > 0 ? static_cast<guint16>(port) : httpsPort, cancellable, connected, fetch);
    // The connection attempt holds the client until it ends.
    g_object_unref(client);
}

}
