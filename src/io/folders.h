#pragma once
// The data and help folders, found beside the program's own folder.

#include <string>
#include <string_view>

// Parent of the program's folder + "Data" + separator. Works for Windows paths
// (C:\Survey\Bin\input.exe -> C:\Survey\Data\) and for /-separated ones
// (/opt/survey/bin/input -> /opt/survey/Data/).
std::string DataDir(std::string_view programPath);
std::string HelpDir(std::string_view programPath);
