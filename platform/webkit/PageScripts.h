#pragma once

#include <string>

namespace webkitengine {

// The scripts the engine adds to pages at the start of every document of the top frame.
namespace PageScripts {

// The phone's way with a finger that moves over a page: the finger is the mouse here (the page's
// handlers see a drag), and a move that the page's CSS lets pan scrolls the content under it.
std::string panning();

// window.appBridge.call(method, argument) and window.close() of a page with the script bridge:
// both ask through a prompt whose message starts with `tag`, which the engine answers itself.
std::string bridge(const std::string& tag);

// The script whose value is the page's shown text, cut to `maxCharacters`.
std::string shownText(unsigned maxCharacters);
// The body of an async function that gives the same once the page has drawn two more frames (its
// layout then painted and sent to the view).
std::string shownTextAfterFrames(unsigned maxCharacters);

}

}
