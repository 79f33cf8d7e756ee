// Running a program to its end, and loopback ports for programs that listen.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

namespace support {

struct Outcome {
    int status = -1;  // exit status, 128 + signal, or -1 when it could not start
    std::string out, err;
};

struct RunOptions {
    std::filesystem::path folder;          // working folder; empty: this one
    std::vector<std::string> environment;  // NAME=value added to this environment
    bool errorsIntoOutput = false;         // standard error into `out`
    bool errorsOnTerminal = false;         // standard error on a pseudo-terminal (POSIX)
};

// arguments[0] is the program's path.
Outcome run(const std::vector<std::string>& arguments, const RunOptions& options = {});

sockaddr_in loopback(int port);
// A loopback port nothing listened on a moment ago.
int freePort();
// count consecutive loopback ports nothing listens on right now.
int freePortRange(int count);

}  // namespace support
