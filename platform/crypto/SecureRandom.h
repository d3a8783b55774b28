#pragma once

// The cryptographic random source lives with the foundation types (it needs no OpenSSL);
// crypto code includes it from here. SecureRandom::bytes(count) and
// SecureRandom::uniform(upperBound), uniform in [0, upperBound) without modulo bias.
#include "platform/foundation/SecureRandom.h"
