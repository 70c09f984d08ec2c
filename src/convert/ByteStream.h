// Seekable byte streams for the converter: a source it reads, a destination it writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/FileIO.h"

namespace vocalet {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Both return the number of bytes transferred; fewer than asked at the end or on failure.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Returns the new position, or -1 when it cannot be reached (before the start).
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  // Tells a short read at the end from one cut short by a failure: the platform's error code
  // of the first failed read, 0 while every read reached data or the end.
  virtual std::uint32_t ReadError() const { return 0; }
  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
};

// A stream over a byte vector; writing past the end grows it, seeking past the end and
// then writing fills the gap with zeros.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }
  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }

  // Replaces the contents with the file's bytes and moves to the start.
  bool LoadFromFile(const std::string& fileName);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// A file opened for reading. A read that fails reads nothing and is kept in ReadError, so
// that a failing disk is never mistaken for the end of the file.
class TFileReadStream : public TStream {
 public:
  explicit TFileReadStream(const std::string& fileName);

  bool IsOpen() const { return file_.IsOpen(); }
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::uint32_t ReadError() const override { return readError_; }

 private:
  TFile file_;
  std::uint32_t readError_ = 0;
};

}  // namespace vocalet
