#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// True when the text is an absolute URL with one of the schemes (lowercase names; the URL's own
// scheme may be in any case) and a host, as the HTTP client would parse it: no spaces or control
// characters, no relative forms.
bool isAbsoluteURL(const std::string& url, std::initializer_list<std::string_view> schemes);
