#pragma once

// A connection is opened with the same request type as a web page.
#include "platform/foundation/URLRequest.h"
