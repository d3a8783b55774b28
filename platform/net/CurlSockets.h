#pragma once

#include <curl/curl.h>

// Makes the transfer open its connections close-on-exec, which curl's own sockets are not. A
// program may start helper processes at any time (the web engine does), and they inherit every
// descriptor without the flag: a helper holding a copy keeps the connection open after the
// transfer closed it, and the server never hears that it ended. To be set again after
// curl_easy_reset().
void openSocketsCloseOnExec(CURL* easy);
