#pragma once

// True when the notice count stored by the notices page ("new_notice" in the standard defaults)
// differs from the server configuration's `new_notice`. A missing side counts as a value of its
// own: both missing is no news, one missing is news (even against an empty text). Main thread.
bool hasNewNotice();
