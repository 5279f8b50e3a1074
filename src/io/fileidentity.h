#pragma once
// Whether two paths name the same file, whatever way they are written (relative or absolute,
// through symbolic or hard links).

#include <string>

// True when both paths exist and name the same file (the same device and inode).
bool SameFile(const std::string& a, const std::string& b);
