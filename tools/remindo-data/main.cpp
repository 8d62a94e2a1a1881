#include "cli.h"
#include "moduleservices.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    // Qt comes in with the module, and only for the commands that need it.
    remindo::cli::ModuleServices module;
    remindo::cli::IcsModule ics;
    remindo::cli::NetModule net;
    int status = remindo::cli::Run(
        args, out, err, [&](std::string& why) { return module.Get(why); },
        [&](std::string& why) { return ics.Get(why); }, [&](std::string& why) { return net.Get(why); },
        &std::cin);
    errno = 0;
    const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0;
    if (!written) {
        // Output that did not arrive is a failure like any other: one line, status 1.
        const int e = errno;
        err = std::string("remindo-data: standard output: ") + (e ? std::strerror(e) : "write error") + "\n";
        status = 1;
    }
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
