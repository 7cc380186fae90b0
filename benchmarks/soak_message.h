#pragma once

#include <string>

// Message number seq of one soak writer. Every tenth is longer than the CRT's
// 4 KiB stream buffer, so it reaches the file in several writes and could tear;
// the padding's letter and length follow seq, so a tear cannot pass for whole.
inline std::string SoakMessage(int writer, int seq) {
  const size_t padding = seq % 10 == 0 ? 4500 : static_cast<size_t>(seq % 97);
  return "w" + std::to_string(writer) + " " + std::to_string(seq) + " " +
         std::string(padding, static_cast<char>('a' + seq % 26)) + ".\n";
}
