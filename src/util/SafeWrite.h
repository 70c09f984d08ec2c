// The one way this program writes a file that matters (the message, a Save As copy, the
// hand-off file): the new content goes into a temporary file beside the target, is flushed
// to the disk, and only then takes the target's name in one step. Whatever fails on the
// way, the target keeps its old content and the temporary file is gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/FileIO.h"

namespace vocalet {

// The temporary file written beside target while target is being replaced.
std::string ReplacementFileName(const std::string& target);

// Removes what a replacement that never finished (a crash, a power cut) left beside target.
void RemoveStaleReplacement(const std::string& target);

class TSafeFileWriter {
 public:
  // Starts the temporary file beside target.
  explicit TSafeFileWriter(std::string target);
  // Without Commit, or after a failed one, the temporary file is removed.
  ~TSafeFileWriter();
  TSafeFileWriter(const TSafeFileWriter&) = delete;
  TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  // False once any write has failed; the later ones are then not attempted.
  bool Write(const void* data, std::size_t size);
  // Flushes, closes and moves the temporary file over target. False when any step, or an
  // earlier write, failed: target is then untouched.
  bool Commit();
  // The platform's error code of the first failure; 0 while there was none.
  std::uint32_t LastError() const { return error_; }

 private:
  bool Fail(std::uint32_t code);

  std::string target_, temp_;
  TFile file_;
  bool created_ = false, failed_ = false, committed_ = false;
  std::uint32_t error_ = 0;
};

// Writes the bytes as target's whole new content, the safe way.
bool WriteFileSafely(const std::string& target, const void* data, std::size_t size);

// Copies source as target's whole new content, the safe way, in blocks of 2048 bytes:
// the bytes copied, or -1 when anything failed (target then as it was).
std::int64_t CopyFileSafely(const std::string& source, const std::string& target);

}  // namespace vocalet
