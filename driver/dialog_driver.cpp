#include "driver/dialog_driver.h"

#include <fstream>

#include "app/resource.h"

namespace {

struct DialogSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  DialogSearch* search = reinterpret_cast<DialogSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char caption[32] = "";
  GetWindowTextA(window, caption, sizeof caption);
  if (owner == search->process_id && IsWindowVisible(window) &&
      lstrcmpA(caption, "Lumoradine") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForDialog(DWORD process_id, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  DialogSearch search = {process_id, NULL};
  for (;;) {
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != NULL || GetTickCount() - start > timeout_ms) return search.found;
    Sleep(10);
  }
}

void PressGet(HWND dialog) { SendMessageW(GetDlgItem(dialog, IDC_GET), BM_CLICK, 0, 0); }

std::vector<std::wstring> ReadList(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_LIST);
  std::vector<std::wstring> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0) break;
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
    line.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    lines.push_back(line);
  }
  return lines;
}

HWND FocusedWindow(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info);
  return info.hwndFocus;
}

void PressKey(HWND dialog, WORD virtual_key) {
  HWND target = FocusedWindow(dialog);
  if (target == NULL) target = dialog;
  const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtual_key, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, virtual_key, 1 | (scan << 16) | 0xC0000000u);
  Settle(dialog);
}

void Settle(HWND dialog) {
  // A sent message is handled only after the posted ones queued before it.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int stride = (width * 3 + 3) & ~3;

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as BMP files store it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');

  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);
  GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(NULL, screen);

  BITMAPFILEHEADER file_header = {};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = file_header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&file_header), sizeof file_header);
  file.write(reinterpret_cast<const char*>(&header), sizeof header);
  file.write(pixels.data(), pixels.size());
  return static_cast<bool>(file);
}
