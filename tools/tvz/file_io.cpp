#include "tools/tvz/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Why(const std::string& path) { return path + ": " + std::strerror(errno); }

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* data, std::string* error) {
  data->clear();
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    *error = Why(path);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    *error = path + ": is a directory";
    return false;
  }
  unsigned char chunk[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = Why(path);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data->insert(data->end(), chunk, chunk + n);
  }
  ::close(fd);
  return true;
}

bool WriteWholeFile(const std::string& path, const unsigned char* data, size_t size,
                    std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) {
    *error = Why(path);
    return false;
  }
  bool ok = WriteAll(fd, data, size);
  if (!ok) *error = Why(path);
  if (::close(fd) != 0 && ok) {
    *error = Why(path);
    ok = false;
  }
  return ok;
}

PendingFile::PendingFile(const std::string& finalPath) : final_(finalPath) {
  std::string pattern = finalPath + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    error_ = Why(finalPath);
    return;
  }
  temp_ = name.data();
  // mkstemp makes the file private; the archive gets the usual rights.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, 0666 & ~mask);
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool PendingFile::Write(const void* data, size_t size) {
  if (WriteAll(fd_, data, size)) return true;
  error_ = Why(temp_);
  return false;
}

bool PendingFile::WriteAt(long offset, const void* data, size_t size) {
  if (::lseek(fd_, offset, SEEK_SET) == offset) return Write(data, size);
  error_ = Why(temp_);
  return false;
}

bool PendingFile::Commit() {
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    error_ = Why(temp_);
    return false;
  }
  if (::rename(temp_.c_str(), final_.c_str()) != 0) {
    error_ = Why(final_);
    return false;
  }
  temp_.clear();
  return true;
}
