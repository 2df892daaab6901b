// Code page conversion through the C library's iconv, which knows GB18030.
#include <iconv.h>

#include <cerrno>

#include "codepage_backend.h"

namespace platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on a byte sequence it cannot convert, appends `replacement` and skips
  // one byte. An incomplete sequence at the end is dropped.
  std::string Run(std::string_view in, std::string_view replacement) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) break;  // cut off at the end
      out.append(replacement);     // EILSEQ
      ++src;
      --left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    std::size_t room = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

namespace detail {

std::string Utf8ToGb18030(std::string_view utf8) {
  return Converter("GB18030", "UTF-8").Run(utf8, "?");
}

std::string Gb18030ToUtf8(std::string_view gb18030) {
  return Converter("UTF-8", "GB18030").Run(gb18030, "\xEF\xBF\xBD");
}

}  // namespace detail
}  // namespace platform
