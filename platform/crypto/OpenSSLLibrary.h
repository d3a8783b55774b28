#pragma once

// The TLS and crypto library, set up once for the whole process, without its clean-up at exit:
// threads still inside a transfer when the process ends (a player's connection, a download) would
// otherwise find its tables freed under them. The system takes the memory back.
class OpenSSLLibrary {
public:
    // Thread-safe, and done when the program loads, before anything else sets the library up;
    // the code that sets up TLS calls it too, which also links this into every program using TLS.
    static void initialize();
};
