#pragma once
// Saving a file so that a failure never costs the old file: the bytes go to a temporary file
// in the same folder, which is flushed to disk and then renamed over the target. On any
// failure the temporary file is removed and the target keeps every byte it had. The save holds
// the target's lock (see savetransaction.h, which also declares FileOps).

#include <string>
#include <string_view>

#include "io/savetransaction.h"

// Writes bytes to path as described above: a SaveTransaction's begin() and commit(), without
// reading. A target that exists but is read-only (no write permission bit, or not writable by
// this user), is not a regular file, or is another user's link in a sticky folder is refused
// like a file that cannot be created; so is a target whose lock another save holds for longer
// than SaveOptions::lockWait. On failure returns false and puts the reason in error
// (DescribeProblem).
bool SaveFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                        FileOps* ops = nullptr);
