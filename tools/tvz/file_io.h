// Whole-file reads and writes for the tool, with errors as text.
#pragma once

#include <string>
#include <vector>

// False with *error set ("PATH: reason") when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* data, std::string* error);

// Writes the bytes to path (created or truncated).
bool WriteWholeFile(const std::string& path, const unsigned char* data, size_t size,
                    std::string* error);

// A file written under a temporary name beside its final one and renamed
// into place only when Commit is called; otherwise removed when dropped.
class PendingFile {
 public:
  explicit PendingFile(const std::string& finalPath);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }
  bool Write(const void* data, size_t size);
  bool WriteAt(long offset, const void* data, size_t size);
  bool Commit();

 private:
  std::string final_;
  std::string temp_;
  std::string error_;
  int fd_ = -1;
};
