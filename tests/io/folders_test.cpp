// The Data and Help folders beside the program's folder.
#include <gtest/gtest.h>

#include <string>

#include "io/folders.h"

namespace {
struct FolderCase {
  const char* program;
  const char* data;
  const char* help;
};

class FoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FoldersTest, ParentOfTheProgramsFolder) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(DataDir(c.program), c.data);
  EXPECT_EQ(HelpDir(c.program), c.help);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FoldersTest,
    ::testing::Values(FolderCase{R"(C:\Survey\Bin\input.exe)", R"(C:\Survey\Data\)", R"(C:\Survey\Help\)"},
                      // The parent of the program's folder, not the folder itself.
                      FolderCase{R"(D:\Field\input.exe)", R"(D:\Data\)", R"(D:\Help\)"},
                      // A program in a drive root keeps the drive.
                      FolderCase{R"(C:\input.exe)", R"(C:\Data\)", R"(C:\Help\)"},
                      // No backslash at all: the folder names alone.
                      FolderCase{"input.exe", R"(\Data\)", R"(\Help\)"},
                      FolderCase{"/opt/survey/bin/input", "/opt/survey/Data/", "/opt/survey/Help/"}));

INSTANTIATE_TEST_SUITE_P(
    OtherForms, FoldersTest,
    ::testing::Values(
        // Qt reports the program's own path on Windows with forward slashes.
        FolderCase{"C:/Survey/Bin/input.exe", "C:/Survey/Data/", "C:/Survey/Help/"},
        FolderCase{R"(\\server\share\bin\input.exe)", R"(\\server\share\Data\)", R"(\\server\share\Help\)"},
        FolderCase{"/input", "/Data/", "/Help/"},
        // A drive-relative name has no folder text.
        FolderCase{"C:input.exe", R"(\Data\)", R"(\Help\)"}));
}  // namespace
