#include "wmistandin/standin_report.h"

#include "wmistandin/standin_module.h"

size_t FormatReportLine(LONG alive, char (&line)[kReportLineSize]) {
  static const char kPrefix[] = "alive=";
  size_t length = 0;
  for (const char* p = kPrefix; *p != '\0'; ++p) line[length++] = *p;
  // Widened before negating, so that LONG's minimum has a magnitude too.
  long long magnitude = alive;
  if (magnitude < 0) {
    line[length++] = '-';
    magnitude = -magnitude;
  }
  char digits[12];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) line[length++] = digits[--count];
  line[length++] = '\r';
  line[length++] = '\n';
  line[length] = '\0';
  return length;
}

void WriteReport() {
  char path[MAX_PATH];
  const DWORD path_length = GetEnvironmentVariableA("WMISTANDIN_REPORT", path, MAX_PATH);
  if (path_length == 0 || path_length >= MAX_PATH) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[kReportLineSize];
  const size_t length = FormatReportLine(AliveObjects(), line);
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, NULL);
  CloseHandle(file);
}
