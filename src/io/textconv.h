#pragma once
// The program's text conventions: how numbers are written in files, in the window and in
// listings; how typed text becomes a number; and GBK, the code page of files and window texts.
// None of it depends on the process locale.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// ---- Numbers as text ----

// A real in a data file: the float widened to double, exactly as C printf "%g" (precision 6)
// in the C locale: 4 -> "4", 3456789.5 -> "3.45679e+06", 0.00001 -> "1e-05".
std::string FormatReal(float value);
// Appends FormatReal(value) to out without a temporary string.
void AppendReal(std::string& out, float value);
// Writes FormatReal(value) at p, which has room for kMaxRealChars bytes; returns the end.
inline constexpr std::size_t kMaxRealChars = 32;  // "-1.17549e-38" and the like: 12 at most
char* WriteReal(char* p, float value);
// Appends a plain decimal integer.
void AppendInt(std::string& out, long long value);

// The window's general format: 15 significant digits of the float's exact value, trailing
// zeros dropped, exponent form ("1E-6", "1.5E20") only below 0.00001 or above 15 integer digits.
// 0.1f -> "0.100000001490116", 2.5f -> "2.5", 100 -> "100".
std::string FormatFloat15(float value);
// The same layout with the fewest significant digits that read back to the same float: what a
// user typed comes back as typed. 0.1f -> "0.1", 117.46f -> "117.46", 3456789.5f -> "3456789.5".
std::string FormatFloatShortest(float value);

// The listing pattern "#.0": nearest tenth of the exact value (halves away from zero), no
// digit before the point when the integer part is 0: 1.5 -> "1.5", 0.5 -> ".5", 0 -> ".0".
std::string FormatTenths(float value);

// ---- Text to numbers, as the window converts what is typed ----

// Thrown when typed text is not a number. what() is the conversion error message:
// "'%s' is not a valid floating point value" or "'%s' is not a valid integer value".
class ConvertError : public std::runtime_error {
 public:
  enum class Kind { Float, Integer };
  ConvertError(Kind kind, std::string_view text);
  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  std::string text_;
};

// Accepts an optional sign, digits with an optional "." and an optional exponent, with
// blanks around; "." is the decimal point whatever the locale. Refuses empty text, letters,
// "1,5", "nan", "inf" and values beyond the float range. Throws ConvertError.
float StrToFloat(std::string_view text);
// Same syntax, without throwing; false when not a number.
bool TryStrToFloat(std::string_view text, float& value);
// Optional sign and decimal digits with blanks around, within 32 bits. Throws ConvertError.
std::int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, std::int32_t& value);

// ---- GBK ----

class GbkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// UTF-8 to GBK bytes. Throws GbkError when a character has no GBK form (or the UTF-8 is invalid).
std::string Utf8ToGbk(std::string_view utf8);
// GBK bytes to UTF-8. Throws GbkError on bytes that are not valid GBK.
std::string GbkToUtf8(std::string_view gbk);
// GBK text of a UTF-8 literal of the program's own; for the program's fixed texts.
std::string Gbk(std::string_view utf8Literal);

// Whether needle occurs in GBK text at a character boundary: a match never starts on the
// second byte of a double-byte character.
bool GbkContains(std::string_view text, std::string_view needle);
