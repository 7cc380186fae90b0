#pragma once

#include <string>

// The program's progress messages as trace.log stores them: code page 932, CR LF.
inline const std::string kConnectStartLine =  // WMIサーバー接続開始
    "WMI\x83\x54\x81\x5B\x83\x6F\x81\x5B\x90\xDA\x91\xB1\x8A\x4A\x8E\x6E\r\n";
inline const std::string kQueryStartLine =  // WMIデータ取得
    "WMI\x83\x66\x81\x5B\x83\x5E\x8E\xE6\x93\xBE\r\n";
