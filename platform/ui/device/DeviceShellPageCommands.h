#pragma once

#include <memory>
#include <optional>
#include <string>

class WKWebView;

// The device shell's commands for what pages and pickers do on their side:
//   js-call <method> [argument]   the shown bridge web view's page calls a bridge method
//   js-close                      its page asks to close its window
//   pick-photo <file name>        the shown image picker picks a file of the photo library
// Nothing when the command is none of these; else the line's result (an error text or success).
std::optional<std::optional<std::string>> runPageCommand(const std::string& command, const std::string& rest);

// The front-most shown web view (a page, the captcha, the in-app browser), if any.
std::shared_ptr<WKWebView> frontWebPage();
