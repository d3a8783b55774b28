#pragma once

#include <string>

namespace detail {

// A programming error in the use of a list (a cell of the wrong class, say): the message goes to
// the error stream and the program stops, as the phone stops it.
[[noreturn]] void listFatalError(const std::string& message);
// A recoverable misuse (a data source that gives no cell): reported once per message.
void listWarning(const std::string& message);

}
