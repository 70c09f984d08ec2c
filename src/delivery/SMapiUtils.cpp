#include "delivery/SMapiUtils.h"

#include <stdexcept>

#include "util/SafeWrite.h"

void TSMapiMessage::SaveToFile(const std::string& path) const {
  // Written whole beside the old file and then put in its place: a mail-sender still reading
  // the previous Send sees one file or the other, never one half written.
  const std::string text = FileText();
  if (!vocalet::WriteFileSafely(path, text.data(), text.size()))
    throw std::runtime_error("Cannot write to the file \"" + path + "\".");
}
