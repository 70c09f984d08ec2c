#include "convert/ByteStream.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

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
  TFile f = TFile::OpenRead(fileName);
  if (!f.IsOpen()) return false;
  const std::int64_t size = f.Seek(0, 2);
  if (size < 0 || static_cast<std::uint64_t>(size) > SIZE_MAX / 2 || f.Seek(0, 0) != 0) return false;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (f.Read(bytes.data(), bytes.size()) != size) return false;
  bytes_ = std::move(bytes);
  position_ = 0;
  return true;
}

TFileReadStream::TFileReadStream(const std::string& fileName) : file_(TFile::OpenRead(fileName)) {}

std::size_t TFileReadStream::Read(void* buffer, std::size_t count) {
  if (!file_.IsOpen() || count == 0) return 0;
  const std::int64_t got = file_.Read(buffer, count);
  if (got < 0) {
    if (readError_ == 0) readError_ = file_.LastError() != 0 ? file_.LastError() : 1;
    return 0;
  }
  return static_cast<std::size_t>(got);
}

std::int64_t TFileReadStream::Seek(std::int64_t offset, SeekOrigin origin) {
  if (!file_.IsOpen()) return -1;
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = file_.Seek(0, 1);
  if (origin == SeekOrigin::End) base = file_.Seek(0, 2);
  if (base < 0) return -1;
  // A corrupt header can ask for any offset: refuse what cannot be a position.
  if ((offset < 0 && offset < -base) || (offset > 0 && offset > INT64_MAX / 2 - base)) return -1;
  return file_.Seek(base + offset, 0);
}

}  // namespace vocalet
