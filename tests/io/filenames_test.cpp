// Names that become file names: control characters and names that are no file of their own
// are refused before anything is written.
#include "io/filenames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/messages.h"
#include "io/profiledat.h"
#include "io/textconv.h"

TEST(HasControlCharacter, AnyByteBelowBlankOrDeleteButNoGbkCharacter) {
  struct Case {
    std::string text;
    bool control;
  };
  const std::vector<Case> cases = {
      {"", false},
      {"L12 north", false},
      {Gbk("测线一号"), false},
      {Gbk("丂乗"), false},  // second bytes 0x40 and 0x7E
      {std::string("a\0b", 3), true},
      {"a\tb", true},
      {"a\nb", true},
      {"a\rb", true},
      {"\x1b[2J", true},
      {"\x1f", true},
      {"a\x7f", true},
      {Gbk("测线") + "\n", true},
  };
  for (const Case& c : cases) EXPECT_EQ(HasControlCharacter(c.text), c.control) << c.text;
}

TEST(CheckFileName, FileNamesThatAreNoFileOfTheirOwn) {
  struct Case {
    std::string name;
    FileNameFault fault;
  };
  const std::vector<Case> cases = {
      {"L1.dat", FileNameFault::None},
      {"1..dat", FileNameFault::None},
      {std::string(255, 'n'), FileNameFault::None},
      {"", FileNameFault::Empty},
      {".", FileNameFault::DotName},
      {"..", FileNameFault::DotName},
      {".dat", FileNameFault::Hidden},
      {"..dat", FileNameFault::Hidden},
      {".hidden.dat", FileNameFault::Hidden},
      {std::string(256, 'n'), FileNameFault::TooLong},
      {"a\nb.dat", FileNameFault::ControlCharacter},
      {std::string("a\0b.dat", 7), FileNameFault::ControlCharacter},
      {"a\tb.dat", FileNameFault::ControlCharacter},
      {"a.dat\r", FileNameFault::ControlCharacter},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckFileName(c.name), c.fault) << c.name;
    EXPECT_EQ(FileNameFaultMessage(c.fault) == nullptr, c.fault == FileNameFault::None);
  }
}

TEST(CheckFileNameOf, FourPoleLineNamesAsTheirFilesAreNamed) {
  struct Case {
    std::string line;
    FileNameFault fault;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"12", FileNameFault::None, nullptr},
      {"1/2", FileNameFault::None, nullptr},  // "1_2.dat"
      {std::string(251, 'n'), FileNameFault::None, nullptr},  // 255 bytes with ".dat"
      {std::string(252, 'n'), FileNameFault::TooLong, msg::kFileNameTooLong},
      {"", FileNameFault::Hidden, msg::kFileNameHidden},  // ".dat", which would overwrite the next one
      {".", FileNameFault::Hidden, msg::kFileNameHidden},
      {"..", FileNameFault::Hidden, msg::kFileNameHidden},  // "..dat"
      {".hidden", FileNameFault::Hidden, msg::kFileNameHidden},
      {"a\nb", FileNameFault::ControlCharacter, msg::kControlCharacter},
      {std::string("12\0x", 4), FileNameFault::ControlCharacter, msg::kControlCharacter},
  };
  const std::string folder = testing::TempDir();
  for (const Case& c : cases) {
    const std::string path = FourPoleFilePath(folder, c.line);
    EXPECT_EQ(CheckFileNameOf(path), c.fault) << path;
    EXPECT_STREQ(FileNameFaultMessage(c.fault), c.message);
  }
  EXPECT_EQ(CheckFileNameOf("relative.dat"), FileNameFault::None);
  EXPECT_EQ(CheckFileNameOf(std::string("/tmp\0/x.dat", 11)), FileNameFault::ControlCharacter);
}
