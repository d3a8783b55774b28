#pragma once

// True when a value of any kind is stored under the access-token key: an empty text still counts
// as signed in, only a removed entry as signed out. Main thread.
bool isLoggedIn();
