#pragma once

#include "tools/testserver/ApiServer.h"

#include <memory>
#include <string>

namespace zvtest {

// Holds the replies of one API path until the test opens the gate, so that a reply comes after
// whatever the test does first, however fast or slow the machine is: the path's handler (the one
// installed when the gate is made) answers a call only once the gate is open. The call waits on
// the server's one thread, so while a call is held nothing else of the server answers: open the
// gate before waiting for any other reply. A gate left shut opens by itself after 10 s of real
// time (the test then fails on what did not come instead of hanging), and when it goes, which
// also puts the path's handler back.
class ReplyGate {
public:
    ReplyGate(testserver::ApiServer& api, std::string path);
    ~ReplyGate();
    ReplyGate(const ReplyGate&) = delete;
    ReplyGate& operator=(const ReplyGate&) = delete;

    // Whether a call of the path has come to the gate (any thread).
    bool reached() const;
    void open();

private:
    struct State;

    testserver::ApiServer& m_api;
    std::string m_path;
    testserver::ApiHandler m_handler;
    std::shared_ptr<State> m_state;
};

}
