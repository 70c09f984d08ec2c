// Files by their 8-bit path, through the platform's own calls: on Windows the ANSI ones
// (CreateFileA, MoveFileExA), so that a path in the user's code page (a Cyrillic user name in
// the temporary folder, say) means the same file everywhere in the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vocalet {

class TFile {
 public:
  TFile() = default;
  ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;

  // For reading, shared with every other reader and writer (the message may be open in a
  // player while it is sent).
  static TFile OpenRead(const std::string& path);
  // For writing, made empty or created, not shared.
  static TFile Create(const std::string& path);

  bool IsOpen() const;
  // The bytes read, 0 at the end; -1 on a read error, whose code LastError() keeps.
  std::int64_t Read(void* buffer, std::size_t count);
  // False unless every byte was written.
  bool Write(const void* buffer, std::size_t count);
  // The new position from the start, -1 on failure. origin: 0 start, 1 current, 2 end.
  std::int64_t Seek(std::int64_t offset, int origin);
  // Down to the disk, not only to the system's cache.
  bool Flush();
  // False when the system reports a failure on closing (a write it could not complete).
  bool Close();

  // The platform's error code of the last failed call (GetLastError, errno); 0 before any.
  std::uint32_t LastError() const { return error_; }

 private:
  bool Fail();
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
  int fd_ = -1;
#endif
  std::uint32_t error_ = 0;
};

// Gives from the name to, replacing a file already called so in one step and waiting until
// the change is on the disk (MoveFileExA with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH).
bool MoveFileOver(const std::string& from, const std::string& to, std::uint32_t* error = nullptr);
bool RemoveFile(const std::string& path);
bool IsExistingFile(const std::string& path);

}  // namespace vocalet
