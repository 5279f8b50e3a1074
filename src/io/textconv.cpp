#include "io/textconv.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

// ---- Numbers as text ----

namespace {

// %g with precision 6 for the values it writes without an exponent and with at most nine
// decimals (1e-4 <= |value| < 999999.5): the files hold millions of them, and this is several
// times faster than the general conversion. Writes at most 17 bytes at p and returns their
// end; nullptr for every other value.
// A float times 10^k (k <= 9) is exact in a double (24 + 21 bits), so rounding that product
// to an integer of six digits, halves to even, is the rounding %g makes of the exact value.
char* WriteRealFixed(char* p, float value) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  const double a = std::fabs(static_cast<double>(value));
  if (!(a >= 1e-4 && a < 999999.5)) return nullptr;  // NaN too
  // k: the decimals that leave six significant digits, 10^(5-k) <= a < 10^(6-k). With
  // 2^e <= a < 2^(e+1), the decimal exponent is floor(e log10 2) or one more (1233/4096 is
  // log10 2 closely enough for these exponents).
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int e = static_cast<int>((bits >> 23) & 0xFF) - 127;  // a normal float here
  int k = 5 - ((e * 1233) >> 12);
  if (k > 9) k = 9;
  if (k < 0) return nullptr;
  double scaled = a * kPow10[k];
  if (scaled >= 1000000.0) {
    if (--k < 0) return nullptr;
    scaled = a * kPow10[k];
  }
  if (scaled < 100000.0) return nullptr;
  auto digits = static_cast<std::uint32_t>(scaled);
  const double rest = scaled - static_cast<double>(digits);
  if (rest > 0.5 || (rest == 0.5 && (digits & 1u) != 0)) ++digits;
  if (digits == 1000000) {  // rounded up to the next power of ten: one decimal fewer
    if (k == 0) return nullptr;
    digits = 100000;
    --k;
  }
  char six[6];
  for (int i = 5; i >= 0; --i) {
    six[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  // value = six * 10^-k: integer digits, then the decimals without trailing zeros.
  if (std::signbit(value)) *p++ = '-';
  int used = 0;  // digits of six written
  if (k <= 5) {
    for (; used < 6 - k; ++used) *p++ = six[used];
  } else {
    *p++ = '0';
  }
  int last = 6;
  while (last > used && six[last - 1] == '0') --last;
  if (last > used) {
    *p++ = '.';
    for (int z = 6; z < k; ++z) *p++ = '0';
    for (; used < last; ++used) *p++ = six[used];
  }
  return p;
}

}  // namespace

char* WriteReal(char* p, float value) {
  if (char* end = WriteRealFixed(p, value)) return end;
  // to_chars with a precision is printf's %g in the C locale, whatever setlocale said.
  return std::to_chars(p, p + kMaxRealChars, static_cast<double>(value), std::chars_format::general, 6).ptr;
}

void AppendReal(std::string& out, float value) {
  char buf[kMaxRealChars];
  out.append(buf, WriteReal(buf, value));
}

std::string FormatReal(float value) {
  std::string s;
  AppendReal(s, value);
  return s;
}

void AppendInt(std::string& out, long long value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

namespace {

// The exact decimal digits of |value| (a float is exact as a double) and the exponent of the
// first digit: |value| = 0.d1d2d3... x 10^(exponent+1). digits has no leading zero.
struct ExactDecimal {
  std::string digits;
  int exponent = 0;
};

ExactDecimal ExactDigits(float value) {
  // A float has at most 112 significant decimal digits; 150 keeps every one of them.
  char buf[256];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(value)),
                           std::chars_format::scientific, 150);
  std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  ExactDecimal d;
  auto e = s.find('e');
  for (char c : s.substr(0, e))
    if (c != '.') d.digits.push_back(c);
  std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), d.exponent);
  return d;
}

// Rounds the digit string to n digits, halves away from zero; a carry out of the first digit
// raises the exponent.
void RoundDigits(ExactDecimal& d, std::size_t n) {
  if (d.digits.size() <= n) return;
  bool up = d.digits[n] >= '5';
  d.digits.resize(n);
  if (!up) return;
  std::size_t i = n;
  while (i > 0) {
    --i;
    if (d.digits[i] == '9') {
      d.digits[i] = '0';
    } else {
      ++d.digits[i];
      return;
    }
  }
  d.digits.insert(d.digits.begin(), '1');
  d.digits.pop_back();
  ++d.exponent;
}

}  // namespace

namespace {

// The window's layout of significant digits d (no trailing zeros) times 10^exponent: plain
// decimals, or the exponent form below 0.00001 and from 15 integer digits on.
std::string LayOutDecimal(bool negative, const ExactDecimal& d) {
  std::string out = negative ? "-" : "";
  const int e = d.exponent;
  const std::string& g = d.digits;
  if (e >= 15 || e < -5) {
    out += g[0];
    if (g.size() > 1) {
      out += '.';
      out.append(g, 1);
    }
    out += 'E';
    if (e < 0) out += '-';
    out += std::to_string(e < 0 ? -e : e);
  } else if (e >= 0) {
    const auto intDigits = static_cast<std::size_t>(e) + 1;
    if (g.size() <= intDigits) {
      out += g;
      out.append(intDigits - g.size(), '0');
    } else {
      out.append(g, 0, intDigits);
      out += '.';
      out.append(g, intDigits);
    }
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-e - 1), '0');
    out += g;
  }
  return out;
}

}  // namespace

std::string FormatFloat15(float value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0.0f) return "0";
  ExactDecimal d = ExactDigits(value);
  RoundDigits(d, 15);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return LayOutDecimal(value < 0, d);
}

std::string FormatFloatShortest(float value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0.0f) return "0";
  // The shortest scientific text that reads back to this float: "1.1746e+02".
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  if (ec != std::errc()) return FormatFloat15(value);
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t e = text.find('e');
  ExactDecimal d;
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  const std::string_view exponent = text.substr(e + 1);
  const bool negativeExponent = exponent.front() == '-';
  std::from_chars(exponent.data() + 1, exponent.data() + exponent.size(), d.exponent);
  if (negativeExponent) d.exponent = -d.exponent;
  return LayOutDecimal(value < 0, d);
}

std::string FormatTenths(float value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  // Exact fixed-point digits: at most 149 decimals for a float.
  char buf[256];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(value)),
                           std::chars_format::fixed, 160);
  std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  auto dot = s.find('.');
  std::string intPart(s.substr(0, dot));
  int tenth = s[dot + 1] - '0';
  if (s[dot + 2] >= '5') {  // halves and more go away from zero
    if (++tenth == 10) {
      tenth = 0;
      std::size_t i = intPart.size();
      while (true) {
        if (i == 0) {
          intPart.insert(intPart.begin(), '1');
          break;
        }
        --i;
        if (intPart[i] == '9') {
          intPart[i] = '0';
        } else {
          ++intPart[i];
          break;
        }
      }
    }
  }
  if (intPart == "0") intPart.clear();
  std::string out;
  if (value < 0 && (!intPart.empty() || tenth != 0)) out += '-';
  out += intPart;
  out += '.';
  out += static_cast<char>('0' + tenth);
  return out;
}

// ---- Text to numbers ----

namespace {
std::string ConvertMessage(ConvertError::Kind kind, std::string_view text) {
  std::string m = "'";
  m += text;
  m += kind == ConvertError::Kind::Float ? "' is not a valid floating point value"
                                         : "' is not a valid integer value";
  return m;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [+-] (digits [. digits] | . digits) [(e|E) [+-] digits]
bool IsDecimalNumber(std::string_view s) {
  std::size_t i = 0, n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t intDigits = 0, fracDigits = 0;
  while (i < n && IsDigit(s[i])) ++i, ++intDigits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) ++i, ++fracDigits;
  }
  if (intDigits + fracDigits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == n;
}
}  // namespace

ConvertError::ConvertError(Kind kind, std::string_view text)
    : std::runtime_error(ConvertMessage(kind, text)), kind_(kind), text_(text) {}

namespace {
// Digits with at most one '.', seven digits at most, no sign and no exponent: the value read
// as an integer and the power of ten are exact floats, so one float division rounds the
// decimal exactly as from_chars does (Clinger's fast path). The files hold millions of such
// numbers. false for anything else.
bool TryPlainDecimal(std::string_view s, float& value) {
  static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
  std::uint32_t digits = 0;
  int count = 0;
  int decimals = 0;
  bool point = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      if (++count > 7) return false;
      digits = digits * 10 + static_cast<std::uint32_t>(c - '0');
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  value = static_cast<float>(digits) / kPow10[decimals];
  return true;
}
}  // namespace

bool TryStrToFloat(std::string_view text, float& value) {
  std::string_view s = TrimBlanks(text);
  {
    std::string_view magnitude = s;
    const bool minus = !magnitude.empty() && magnitude.front() == '-';
    if (!magnitude.empty() && (minus || magnitude.front() == '+')) magnitude.remove_prefix(1);
    float f = 0.0f;
    if (TryPlainDecimal(magnitude, f)) {
      value = minus ? -f : f;
      return true;
    }
  }
  if (!IsDecimalNumber(s)) return false;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  float f = 0.0f;
  auto res = std::from_chars(s.data(), s.data() + s.size(), f);
  if (res.ec == std::errc::result_out_of_range) {
    // Too large for a float is refused; too small becomes the nearest float (zero or subnormal).
    double d = 0.0;
    auto rd = std::from_chars(s.data(), s.data() + s.size(), d);
    if (rd.ec == std::errc::result_out_of_range) {
      // Beyond double: huge or tiny, told apart by the sign of the exponent.
      auto e = s.find_first_of("eE");
      if (e == std::string_view::npos || s[e + 1] != '-') return false;
      d = 0.0;
    }
    if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) return false;
    f = static_cast<float>(d);
  } else if (res.ec != std::errc() || res.ptr != s.data() + s.size()) {
    return false;
  }
  if (std::isinf(f)) return false;
  value = negative ? -f : f;
  return true;
}

float StrToFloat(std::string_view text) {
  float v = 0.0f;
  if (!TryStrToFloat(text, v)) throw ConvertError(ConvertError::Kind::Float, text);
  return v;
}

bool TryStrToInt(std::string_view text, std::int32_t& value) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !IsDigit(s.front())) return false;
  long long v = 0;
  auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
  if (negative) v = -v;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

std::int32_t StrToInt(std::string_view text) {
  std::int32_t v = 0;
  if (!TryStrToInt(text, v)) throw ConvertError(ConvertError::Kind::Integer, text);
  return v;
}

// ---- GBK ----

namespace {
std::string Iconv(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw GbkError(std::string("no converter from ") + from + " to " + to);
  std::string out;
  out.resize(in.size() * 2 + 8);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      std::size_t used = static_cast<std::size_t>(outPtr - out.data());
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    std::size_t at = static_cast<std::size_t>(inPtr - in.data());
    iconv_close(cd);
    throw GbkError(std::string("text cannot be converted from ") + from + " to " + to + " at byte " +
                   std::to_string(at));
  }
  out.resize(static_cast<std::size_t>(outPtr - out.data()));
  iconv_close(cd);
  return out;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}
}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Iconv("GBK", "UTF-8", utf8);
}

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return Iconv("UTF-8", "GBK", gbk);
}

std::string Gbk(std::string_view utf8Literal) { return Utf8ToGbk(utf8Literal); }

bool GbkContains(std::string_view text, std::string_view needle) {
  if (needle.empty()) return true;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, needle.size(), needle) == 0) return true;
    const auto lead = static_cast<unsigned char>(text[i]);
    i += (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) ? 2 : 1;
  }
  return false;
}
