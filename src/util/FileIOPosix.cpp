#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/FileIO.h"

namespace vocalet {

TFile::~TFile() { Close(); }

TFile::TFile(TFile&& other) noexcept : fd_(other.fd_), error_(other.error_) { other.fd_ = -1; }

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    error_ = other.error_;
    other.fd_ = -1;
  }
  return *this;
}

bool TFile::Fail() {
  error_ = errno != 0 ? static_cast<std::uint32_t>(errno) : EIO;
  return false;
}

TFile TFile::OpenRead(const std::string& path) {
  TFile f;
  f.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (!f.IsOpen()) f.Fail();
  return f;
}

TFile TFile::Create(const std::string& path) {
  TFile f;
  f.fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (!f.IsOpen()) f.Fail();
  return f;
}

bool TFile::IsOpen() const { return fd_ >= 0; }

std::int64_t TFile::Read(void* buffer, std::size_t count) {
  if (!IsOpen()) return -1;
  std::int64_t total = 0;
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    const ssize_t got = ::read(fd_, p, count);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(), -1;
    if (got == 0) break;
    total += got;
    p += got;
    count -= static_cast<std::size_t>(got);
  }
  return total;
}

bool TFile::Write(const void* buffer, std::size_t count) {
  if (!IsOpen()) return false;
  auto* p = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t put = ::write(fd_, p, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return Fail();
    }
    p += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

std::int64_t TFile::Seek(std::int64_t offset, int origin) {
  if (!IsOpen()) return -1;
  const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (at < 0) return Fail(), -1;
  return at;
}

bool TFile::Flush() { return IsOpen() && (::fsync(fd_) == 0 || Fail()); }

bool TFile::Close() {
  if (!IsOpen()) return true;
  const bool ok = ::close(fd_) == 0 || Fail();
  fd_ = -1;
  return ok;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::uint32_t* error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  if (error != nullptr) *error = errno != 0 ? static_cast<std::uint32_t>(errno) : EIO;
  return false;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace vocalet
