// The program's number formats, the conversion of typed text, and GBK.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "io/textconv.h"

namespace {
struct FormatCase {
  float value;
  const char* text;
};

// Runs body with a German (comma-decimal) C locale in force, built with localedef into a
// temporary folder. Skips when the locale sources are not available.
template <typename Body>
void WithCommaLocale(Body body) {
  static std::string dir;
  if (dir.empty()) {
    dir = (std::filesystem::temp_directory_path() / ("fieldinput-locale-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(dir);
    std::string cmd = "localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) std::filesystem::remove_all(dir);
  }
  ::setenv("LOCPATH", dir.c_str(), 1);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    ::unsetenv("LOCPATH");
    GTEST_SKIP() << "no comma-decimal locale can be built here";
  }
  char probe[16];
  std::snprintf(probe, sizeof probe, "%g", 1.5);
  ASSERT_STREQ(probe, "1,5") << "the locale is not in force, the test would prove nothing";
  body();
  std::setlocale(LC_ALL, "C");
  ::unsetenv("LOCPATH");
}
}  // namespace

TEST(FormatReal, IsPrintfGWithSixDigits) {
  const FormatCase cases[] = {
      {4.0f, "4"},          {1.5f, "1.5"},          {3456789.5f, "3.45679e+06"}, {0.00001f, "1e-05"},
      {123456.7f, "123457"}, {1234567.0f, "1.23457e+06"}, {0.00001234f, "1.234e-05"}, {0.0001f, "0.0001"},
      {0.001f, "0.001"},    {35.2f, "35.2"},        {0.0f, "0"},                {-5.0f, "-5"},
      {-0.00001f, "-1e-05"}, {100000.0f, "100000"}, {999999.0f, "999999"},      {999999.5f, "1e+06"},
      {1000000.0f, "1e+06"}, {9999.99f, "9999.99"}, {10000.0f, "10000"},        {50000.0f, "50000"},
      {49999.99f, "50000"}, {0.5f, "0.5"},       {-9999.0f, "-9999"},        {2.3f, "2.3"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << c.text;
}

TEST(FormatReal, EqualsTheGeneralConversionOnEveryKindOfFloat) {
  // The general conversion is printf's %g: the quick path for plain decimals must write the
  // same bytes, halves to even included.
  auto general = [](float v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 6);
    return std::string(buf, res.ptr);
  };
  std::vector<float> values = {0.0f, -0.0f, 1e-4f, 9.9999997e-5f, 0.000100000005f, 999999.44f, 999999.5f, 999999.56f,
                               100000.5f, 100001.5f, 524288.5f, 999998.5f, 12345.65f, 0.1234565f, 99999.95f, 0.00099999f,
                               std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max()};
  for (float v : std::vector<float>(values)) {
    values.push_back(-v);
    values.push_back(std::nextafter(v, 0.0f));
    values.push_back(std::nextafter(v, 2e6f));
  }
  std::mt19937 random(42);
  for (int i = 0; i < 300000; ++i) {
    const std::uint32_t bits = random();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
    // and as many in the range of spacings and resistivities, with few decimals
    values.push_back(static_cast<float>(random() % 100000000) / static_cast<float>(1u << (random() % 24)));
  }
  for (float v : values) ASSERT_EQ(FormatReal(v), general(v)) << std::hexfloat << v;
}

TEST(FormatReal, AppendsIntegersPlainly) {
  std::string s;
  AppendInt(s, -9999);
  s += ' ';
  AppendInt(s, 100);
  EXPECT_EQ(s, "-9999 100");
}

TEST(FormatFloat15, ShowsTheExactFloatToFifteenDigits) {
  const FormatCase cases[] = {
      {0.1f, "0.100000001490116"},
      {2.3f, "2.29999995231628"},
      {2.5f, "2.5"},
      {100.0f, "100"},
      {0.0f, "0"},
      {-3.5f, "-3.5"},
      {12.7f, "12.6999998092651"},
      {123456.7f, "123456.703125"},
      {3456789.5f, "3456789.5"},
      {16777216.0f, "16777216"},
      {0.0001f, "0.0000999999974737875"},
      {0.00001f, "9.99999974737875E-6"},  // below 0.00001 as a float
      {0.00002f, "0.0000199999994947575"},
      {1e15f, "999999986991104"},
      {1e16f, "1.00000002725642E16"},
      {-1e-7f, "-1.0000000116861E-7"},
      {50.0f, "50"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat15(c.value), c.text) << c.text;
}

TEST(FormatFloat15, TextReadsBackAsTheSameFloat) {
  for (float v : {0.1f, 2.3f, 12.7f, 35.2f, 1.25f, 0.0001f, 0.00001f, 123456.7f, 3.75f, 1e16f, -1e-7f})
    EXPECT_EQ(StrToFloat(FormatFloat15(v)), v) << FormatFloat15(v);
}

// The form shows a stored number as it was typed: the fewest digits that read back to the same
// float, in the window's layout; never a noise digit a user would take for a changed reading.
TEST(FormatFloatShortest, ShowsTheFewestDigitsThatReadBack) {
  const FormatCase cases[] = {
      {117.46f, "117.46"},   {81.9f, "81.9"},         {0.1f, "0.1"},           {3456789.5f, "3456789.5"},
      {2.5f, "2.5"},         {100.0f, "100"},         {0.0f, "0"},             {-3.5f, "-3.5"},
      {123456.7f, "123456.7"}, {16777216.0f, "16777216"}, {0.0001f, "0.0001"}, {0.00002f, "0.00002"},
      {0.00001f, "0.00001"}, {0.000001f, "1E-6"},     {1e15f, "1E15"}, {1e16f, "1E16"},
      {-1e-7f, "-1E-7"},     {1.5e20f, "1.5E20"},     {10000.5f, "10000.5"},   {-0.05f, "-0.05"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloatShortest(c.value), c.text) << c.text;
}

// Every float the window can hold reads back as itself through the window's own parser: a
// sweep over the bit patterns of all finite positive floats, both signs.
TEST(FormatFloatShortest, EveryFloatReadsBackAsItself) {
  for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 7919) {
    for (float v : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
      const std::string text = FormatFloatShortest(v);
      float back = 0.0f;
      ASSERT_TRUE(TryStrToFloat(text, back)) << text;
      ASSERT_EQ(back, v) << text;
      ASSERT_LE(text.size(), FormatFloat15(v).size()) << text;
    }
  }
}

TEST(FormatTenths, RoundsToTheNearestTenthHalvesAway) {
  const FormatCase cases[] = {
      {1.5f, "1.5"},      {100.0f, "100.0"}, {0.5f, ".5"},         {2.25f, "2.3"},       {0.0f, ".0"},
      {1234567.0f, "1234567.0"}, {0.05f, ".1"}, {0.04f, ".0"},     {0.3f, ".3"},         {120.0f, "120.0"},
      {-3.5f, "-3.5"},    {-2.25f, "-2.3"},   {-0.04f, ".0"},      {9999.95f, "10000.0"}, {0.95f, ".9"},
      {0.25f, ".3"},      {49999.95f, "49999.9"}, {8.0f, "8.0"},   {0.96f, "1.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTenths(c.value), c.text) << c.text;
}

TEST(StrToFloat, AcceptsDecimalNumbers) {
  const std::pair<const char*, float> cases[] = {
      {"1.5", 1.5f}, {"340", 340.0f}, {"-3", -3.0f}, {"2e3", 2000.0f}, {" 12 ", 12.0f}, {"+4", 4.0f},
      {".5", 0.5f},  {"5.", 5.0f},    {"1E-2", 0.01f}, {"0.1", 0.1f}, {"1e-50", 0.0f}, {"3.4e38", 3.4e38f},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToFloat(text), value) << text;
}

TEST(StrToFloat, ShortDecimalsReadAsFromCharsReadsThem) {
  // Short plain decimals take a quicker way; the float must be bit for bit what from_chars
  // gives, halfway cases and negative zero included.
  std::mt19937 random(7);
  auto bitsOf = [](float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
  };
  std::vector<std::string> texts = {"0", "-0", "+0", "0.", ".0", "-.5", "5.", "9999999", "999999.9", "0.0000001",
                                    "16777217", "1677721.7", "8388609", "3.4028235", "0.1", "0.3"};
  for (int i = 0; i < 400000; ++i) {
    std::string digits;
    const int count = static_cast<int>(random() % 9) + 1;
    for (int d = 0; d < count; ++d) digits += static_cast<char>('0' + random() % 10);
    const auto point = random() % (digits.size() + 2);
    if (point <= digits.size()) digits.insert(point, ".");
    const char* signs[] = {"", "-", "+"};
    texts.push_back(signs[random() % 3] + digits);
  }
  for (const std::string& text : texts) {
    std::string_view magnitude = text;
    if (magnitude.front() == '-' || magnitude.front() == '+') magnitude.remove_prefix(1);
    float expected = 0.0f;
    const auto res = std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), expected);
    if (res.ec != std::errc() || res.ptr != magnitude.data() + magnitude.size()) continue;  // "." alone
    if (text.front() == '-') expected = -expected;
    float value = 1.0f;
    ASSERT_TRUE(TryStrToFloat(text, value)) << text;
    ASSERT_EQ(bitsOf(value), bitsOf(expected)) << text;
  }
}

TEST(StrToFloat, RefusesWhatIsNotANumber) {
  for (const char* text : {"", " ", "abc", "1,5", "nan", "NaN", "inf", "-inf", "1e", "e3", "--1", "1.5.2", "0x10",
                           "1e39", "-1e39", "1 2", ".", "12a", "１２"}) {
    try {
      StrToFloat(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid floating point value");
      EXPECT_EQ(e.kind(), ConvertError::Kind::Float);
    }
  }
}

TEST(StrToInt, AcceptsThirtyTwoBitIntegersOnly) {
  const std::pair<const char*, int> good[] = {{"13", 13}, {"-3", -3}, {" 7 ", 7}, {"+5", 5}, {"0", 0},
                                              {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : good) EXPECT_EQ(StrToInt(text), value) << text;
  for (const char* text : {"", "1.5", "abc", "2147483648", "-2147483649", "99999999999999999999", "1e3", "- 1"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(Conversions, IgnoreTheProcessLocale) {
  WithCommaLocale([] {
    EXPECT_EQ(FormatReal(1.5f), "1.5");
    EXPECT_EQ(FormatReal(3456789.5f), "3.45679e+06");
    EXPECT_EQ(FormatFloat15(0.1f), "0.100000001490116");
    EXPECT_EQ(FormatTenths(2.25f), "2.3");
    EXPECT_EQ(StrToFloat("1.5"), 1.5f);
    EXPECT_THROW(StrToFloat("1,5"), ConvertError);
  });
}

TEST(Gbk, ProgramTextsRoundTrip) {
  for (const char* text : {"手工输入野外电法观测数据", "QL电法数据处理软件文件.", "文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图.",
                           "输入的数据尚没有保存，是否现在保存它们?", "极距个数输入不正确.\n\n\t请重新输入。", "é€"}) {
    std::string gbk = Utf8ToGbk(text);
    EXPECT_EQ(GbkToUtf8(gbk), text);
  }
  EXPECT_EQ(Utf8ToGbk("电测深"), "\xB5\xE7\xB2\xE2\xC9\xEE");
  EXPECT_EQ(Utf8ToGbk("S1 abc"), "S1 abc");
}

TEST(Gbk, UnrepresentableCharactersAreReported) {
  EXPECT_THROW(Utf8ToGbk("S1 😀"), GbkError);
  EXPECT_THROW(Utf8ToGbk("\xFF\xFE"), GbkError);  // not UTF-8
  EXPECT_THROW(GbkToUtf8("\xB5"), GbkError);      // a lead byte without its second byte
}

TEST(Gbk, ContainmentMatchesWholeCharactersOnly) {
  const std::string text = Gbk("电测深");  // B5E7 B2E2 C9EE
  EXPECT_TRUE(GbkContains(text, Gbk("测深")));
  EXPECT_TRUE(GbkContains("x" + text + "VES", "VES"));
  // E2C9 is itself a GBK character (馍) and stands in the bytes across 测 and 深.
  EXPECT_NE(text.find("\xE2\xC9"), std::string::npos);
  EXPECT_FALSE(GbkContains(text, "\xE2\xC9"));
  EXPECT_TRUE(GbkContains("QL" + text, "QL"));
  EXPECT_FALSE(GbkContains(Gbk("文件"), "QL"));
  EXPECT_FALSE(GbkContains("", "QL"));
}
