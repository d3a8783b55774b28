#include "platform/net/HTTPRequest.h"

std::string_view methodName(HTTPMethod method)
{
    switch (method) {
    case HTTPMethod::GET:
        return "GET";
    case HTTPMethod::HEAD:
        return "HEAD";
    case HTTPMethod::POST:
        return "POST";
    case HTTPMethod::DELETE:
        return "DELETE";
    }
    return "GET";
}
