#include "convert/ByteStream.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vocalet {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(bytes_.size());
  // A corrupt header can ask for any offset: refuse what cannot be a position.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(SIZE_MAX / 4 < INT64_MAX / 4 ? SIZE_MAX / 4 : INT64_MAX / 4);
  if ((offset < 0 && base < -offset) || (offset > 0 && offset > kLimit - base)) return -1;
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

bool TMemoryStream::LoadFromFile(const std::string& fileName) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> f(std::fopen(fileName.c_str(), "rb"));
  if (!f) return false;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(f.get());
  if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
  bytes_ = std::move(bytes);
  position_ = 0;
  return true;
}

TFileReadStream::TFileReadStream(const std::string& fileName) : file_(std::fopen(fileName.c_str(), "rb")) {}

TFileReadStream::~TFileReadStream() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t TFileReadStream::Read(void* buffer, std::size_t count) {
  return file_ != nullptr && count > 0 ? std::fread(buffer, 1, count, file_) : 0;
}

std::int64_t TFileReadStream::Seek(std::int64_t offset, SeekOrigin origin) {
  if (file_ == nullptr) return -1;
  // Positions are kept within what the C library's long can address (2 GiB on Windows).
  long base = 0;
  if (origin == SeekOrigin::Current) {
    base = std::ftell(file_);
  } else if (origin == SeekOrigin::End) {
    if (std::fseek(file_, 0, SEEK_END) != 0) return -1;
    base = std::ftell(file_);
  }
  if (base < 0) return -1;
  const std::int64_t target = static_cast<std::int64_t>(base) + offset;
  if (target < 0 || target > LONG_MAX) return -1;
  if (std::fseek(file_, static_cast<long>(target), SEEK_SET) != 0) return -1;
  return target;
}

}  // namespace vocalet
