#pragma once

#include <functional>
#include <string>

// The batch download that the tour starts for a title of the server, the way the title page's
// episode sheet starts one until that page is in: the title's episodes of its first source with
// episodes are each resolved (unless ready to play), written as a download record ("waiting")
// and handed to the media cache as an export, whose status then keeps the record's state. `done`
// gets the number of records written once every episode was handed over or failed to resolve;
// -1 when the title could not be read. Main thread only.
void startTitleDownloads(const std::string& vod_id, std::function<void(int written)> done = {});
