#include "store/codec.h"

#include <cerrno>
#include <iconv.h>

namespace remindo {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; answers the number of input bytes it could
    // not take at the point where it stopped (0 when all was taken).
    size_t Convert(std::string_view& in, std::string& out)
    {
        char buf[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            size_t srcLeft = in.size();
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, size_t(dst - buf));
            in.remove_prefix(in.size() - srcLeft);
            if (r == size_t(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return in.size();
            }
        }
        return 0;
    }

private:
    iconv_t cd_;
};

// Length and code point of the UTF-8 sequence at the start of `s`; an
// invalid sequence counts as one byte of U+FFFD.
size_t DecodeOne(std::string_view s, char32_t& cp)
{
    const auto b = static_cast<unsigned char>(s[0]);
    size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || len > s.size()) {
        cp = 0xFFFD;
        return 1;
    }
    cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t i = 1; i < len; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) {
            cp = 0xFFFD;
            return 1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    return len;
}

} // namespace

std::string Utf8FromCp1250(std::string_view cp1250)
{
    Iconv cv("UTF-8", "WINDOWS-1250");
    std::string out;
    if (!cv.valid()) {
        out.assign(cp1250);
        return out;
    }
    std::string_view in = cp1250;
    while (cv.Convert(in, out) > 0) {
        out.append("\xEF\xBF\xBD"); // an undefined byte
        in.remove_prefix(1);
    }
    return out;
}

Cp1250Result Cp1250FromUtf8(std::string_view utf8)
{
    Cp1250Result res;
    Iconv cv("WINDOWS-1250", "UTF-8");
    std::string_view in = utf8;
    if (!cv.valid()) {
        res.text.assign(utf8);
        return res;
    }
    while (cv.Convert(in, res.text) > 0) {
        char32_t cp;
        in.remove_prefix(DecodeOne(in, cp));
        res.rejected.push_back(cp);
        res.text.push_back('?');
    }
    return res;
}

std::string Cp(std::string_view utf8) { return Cp1250FromUtf8(utf8).text; }

} // namespace remindo
