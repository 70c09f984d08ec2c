#include "util/SafeWrite.h"

#include <utility>

namespace vocalet {

std::string ReplacementFileName(const std::string& target) { return target + ".new"; }

void RemoveStaleReplacement(const std::string& target) {
  const std::string temp = ReplacementFileName(target);
  if (IsExistingFile(temp)) RemoveFile(temp);
}

TSafeFileWriter::TSafeFileWriter(std::string target)
    : target_(std::move(target)), temp_(ReplacementFileName(target_)), file_(TFile::Create(temp_)) {
  created_ = file_.IsOpen();
  if (!created_) Fail(file_.LastError());
}

TSafeFileWriter::~TSafeFileWriter() {
  if (committed_) return;
  file_.Close();
  if (created_) RemoveFile(temp_);
}

bool TSafeFileWriter::Fail(std::uint32_t code) {
  if (!failed_) error_ = code != 0 ? code : 1;
  failed_ = true;
  return false;
}

bool TSafeFileWriter::Write(const void* data, std::size_t size) {
  if (failed_) return false;
  return size == 0 || file_.Write(data, size) || Fail(file_.LastError());
}

bool TSafeFileWriter::Commit() {
  if (failed_ || committed_) return false;
  // Flushed before the name changes: otherwise a crash right after the move could leave
  // target with a name but without its bytes.
  if (!file_.Flush() || !file_.Close()) return Fail(file_.LastError());
  committed_ = true;
  std::uint32_t code = 0;
  if (MoveFileOver(temp_, target_, &code)) return true;
  RemoveFile(temp_);
  return Fail(code);
}

bool WriteFileSafely(const std::string& target, const void* data, std::size_t size) {
  TSafeFileWriter writer(target);
  return writer.Write(data, size) && writer.Commit();
}

std::int64_t CopyFileSafely(const std::string& source, const std::string& target) {
  TFile in = TFile::OpenRead(source);
  if (!in.IsOpen()) return -1;
  TSafeFileWriter out(target);
  std::int64_t total = 0;
  char buffer[2048];
  for (;;) {
    const std::int64_t got = in.Read(buffer, sizeof buffer);
    if (got < 0) return -1;
    if (got == 0) break;
    if (!out.Write(buffer, static_cast<std::size_t>(got))) return -1;
    total += got;
  }
  in.Close();
  return out.Commit() ? total : -1;
}

}  // namespace vocalet
