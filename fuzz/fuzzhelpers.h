#pragma once
// What both fuzz targets share: a private folder on a memory file system
// when there is one, and a stop that libFuzzer reports as a crash.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

inline const std::string& PrivateFolder()
{
    // Never destroyed, so that the clean-up at exit can still read it.
    static const std::string& folder = *new std::string([] {
        std::string tmpl = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/remindo-fuzz-XXXXXX");
        if (!mkdtemp(tmpl.data()))
            std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(PrivateFolder(), ec);
        });
        return tmpl;
    }());
    return folder;
}

inline void WriteBytes(const std::string& path, const unsigned char* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
}

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what)
{
    if (!ok)
        Fail(what);
}

} // namespace fuzz
