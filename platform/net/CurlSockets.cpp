#include "platform/net/CurlSockets.h"

#include <sys/socket.h>

namespace {

// The flag comes with the socket: set afterwards, a helper started in between would still get it.
curl_socket_t openCloseOnExec(void*, curlsocktype, curl_sockaddr* address)
{
    int fd = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    return fd < 0 ? CURL_SOCKET_BAD : fd;
}

}

void openSocketsCloseOnExec(CURL* easy)
{
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &openCloseOnExec);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, nullptr);
}
