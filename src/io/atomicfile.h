#pragma once
// Saving a file so that a failure never costs the old file: the bytes go to a temporary file
// in the same folder, which is flushed to disk and then renamed over the target. On any
// failure the temporary file is removed and the target keeps every byte it had.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// The system calls a save makes, so that tests can make one of them fail.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);
  virtual int close(int fd);
  virtual int rename(const char* from, const char* to);
};

// Writes bytes to path as described above. A target that exists but is read-only (no write
// permission bit, or not writable by this user) is refused like a file that cannot be
// created. On failure returns false and puts the reason in error.
bool SaveFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                        FileOps* ops = nullptr);
