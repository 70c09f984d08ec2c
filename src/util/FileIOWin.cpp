#include <windows.h>

#include "util/FileIO.h"

namespace vocalet {

namespace {
HANDLE H(void* h) { return static_cast<HANDLE>(h); }
}  // namespace

TFile::~TFile() { Close(); }

TFile::TFile(TFile&& other) noexcept : handle_(other.handle_), error_(other.error_) {
  other.handle_ = INVALID_HANDLE_VALUE;
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    error_ = other.error_;
    other.handle_ = INVALID_HANDLE_VALUE;
  }
  return *this;
}

bool TFile::Fail() {
  error_ = GetLastError();
  if (error_ == 0) error_ = ERROR_GEN_FAILURE;
  return false;
}

TFile TFile::OpenRead(const std::string& path) {
  TFile f;
  f.handle_ = CreateFileA(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!f.IsOpen()) f.Fail();
  return f;
}

TFile TFile::Create(const std::string& path) {
  TFile f;
  f.handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!f.IsOpen()) f.Fail();
  return f;
}

bool TFile::IsOpen() const { return H(handle_) != INVALID_HANDLE_VALUE; }

std::int64_t TFile::Read(void* buffer, std::size_t count) {
  if (!IsOpen()) return -1;
  std::int64_t total = 0;
  auto* p = static_cast<char*>(buffer);
  // ReadFile takes 32-bit counts; a file may also give less than asked before its end.
  while (count > 0) {
    const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!ReadFile(H(handle_), p, ask, &got, nullptr)) return Fail(), -1;
    if (got == 0) break;
    total += got;
    p += got;
    count -= got;
  }
  return total;
}

bool TFile::Write(const void* buffer, std::size_t count) {
  if (!IsOpen()) return false;
  auto* p = static_cast<const char*>(buffer);
  while (count > 0) {
    const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD put = 0;
    if (!WriteFile(H(handle_), p, ask, &put, nullptr)) return Fail();
    if (put == 0) {
      SetLastError(ERROR_DISK_FULL);
      return Fail();
    }
    p += put;
    count -= put;
  }
  return true;
}

std::int64_t TFile::Seek(std::int64_t offset, int origin) {
  if (!IsOpen()) return -1;
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  const DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(H(handle_), distance, &position, method)) return Fail(), -1;
  return position.QuadPart;
}

bool TFile::Flush() { return IsOpen() && (FlushFileBuffers(H(handle_)) || Fail()); }

bool TFile::Close() {
  if (!IsOpen()) return true;
  const bool ok = CloseHandle(H(handle_)) || Fail();
  handle_ = INVALID_HANDLE_VALUE;
  return ok;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::uint32_t* error) {
  // A file that is open cannot be replaced. Those who open ours do so for a moment (the
  // mail-sender reading its hand-off file, a virus scanner looking at a new file): worth a
  // few more tries before the failure is real.
  DWORD code = 0;
  for (int attempt = 0; attempt < 6; ++attempt) {
    if (attempt > 0) Sleep(100);
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    code = GetLastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) break;
  }
  if (error != nullptr) *error = code != 0 ? code : ERROR_GEN_FAILURE;
  return false;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()); }

bool IsExistingFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace vocalet
