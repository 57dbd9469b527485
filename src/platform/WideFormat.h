#pragma once
// The one wide formatter of the project. Format strings keep the Microsoft meaning
// that the console's texts are written in: in a wide format "%s" and "%c" take wide
// text, "%hs"/"%S"/"%hc" narrow text, "%ls"/"%ws" wide text, "%I64d" a 64-bit integer.
// Each argument's type is checked against its conversion; a mismatch, a missing
// argument or "%n" is reported (DebugReport) and formats as nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace qv {

class FormatArg {
 public:
  enum Kind { kNone, kInt, kUInt, kFloat, kWide, kNarrow, kPointer };

  FormatArg() : kind_(kNone) {}
  template <typename T, typename std::enable_if<std::is_integral<T>::value || std::is_enum<T>::value,
                                                int>::type = 0>
  FormatArg(T v) {  // NOLINT(runtime/explicit)
    using U = typename std::conditional<std::is_enum<T>::value, int, T>::type;
    if (std::is_signed<U>::value) {
      kind_ = kInt;
      i_ = static_cast<int64_t>(static_cast<U>(v));
    } else {
      kind_ = kUInt;
      i_ = static_cast<int64_t>(static_cast<uint64_t>(static_cast<U>(v)));
    }
  }
  FormatArg(double v) : kind_(kFloat), d_(v) {}  // NOLINT
  FormatArg(float v) : kind_(kFloat), d_(v) {}   // NOLINT
  FormatArg(const wchar_t* s) : kind_(kWide), w_(s) {}  // NOLINT
  FormatArg(const std::wstring& s) : kind_(kWide), w_(s.c_str()) {}  // NOLINT
  FormatArg(const char* s) : kind_(kNarrow), n_(s) {}  // NOLINT
  FormatArg(const std::string& s) : kind_(kNarrow), n_(s.c_str()) {}  // NOLINT
  FormatArg(const void* p) : kind_(kPointer), p_(p) {}  // NOLINT
  FormatArg(std::nullptr_t) : kind_(kPointer), p_(nullptr) {}  // NOLINT

  Kind kind() const { return kind_; }
  int64_t integer() const { return i_; }
  double real() const { return d_; }
  const wchar_t* wide() const { return w_; }
  const char* narrow() const { return n_; }
  const void* pointer() const {
    return kind_ == kWide ? static_cast<const void*>(w_)
                          : kind_ == kNarrow ? static_cast<const void*>(n_) : p_;
  }

 private:
  Kind kind_;
  union {
    int64_t i_;
    double d_;
    const wchar_t* w_;
    const char* n_;
    const void* p_;
  };
};

std::wstring FormatWArgs(const wchar_t* format, const FormatArg* args, size_t count);

template <typename... Args>
std::wstring FormatW(const wchar_t* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg()};
  return FormatWArgs(format, list, sizeof...(Args));
}

}  // namespace qv
