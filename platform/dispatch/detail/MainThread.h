#pragma once

namespace detail {

// True on the main thread: the thread that first touched the main run loop.
bool isMainThread();

}
