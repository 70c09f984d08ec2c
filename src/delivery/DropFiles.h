// The CF_HDROP block that carries file paths to a drop target: a DROPFILES header followed
// by the paths as single-byte strings. Platform-neutral so that its layout is tested on
// the host byte by byte.
#pragma once

#include <string>
#include <vector>

// The paths of a list, one per line; lines break at CR LF, LF or CR, and a break at the
// very end adds no line. Empty lines name no file and are left out: in the block an empty
// name would end the list early and hide the files after it.
std::vector<std::string> SplitFileList(const std::string& fileList);

// The whole block: header (pFiles 20, pt 1,1, fNC 0, fWide 0, little-endian), each path
// followed by a zero, the zero that ends the list, and one spare zero. An empty list still
// has room for one (empty) name: 23 bytes.
std::vector<unsigned char> BuildDropFilesBlock(const std::string& fileList);
