#include "simhost/screenshot.h"

#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The screen's pixels in `rect`, as 24-bit bottom-up rows of `stride` bytes.
std::vector<uint8_t> grabScreen(const RECT& rect, uint32_t* stride) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  *stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  if (width <= 0 || height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::vector<uint8_t> pixels(*stride * static_cast<uint32_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

std::vector<COLORREF> paintedPixels(HWND window) {
  // A dialog appears only once its queue is idle: show it now. Otherwise
  // only what is already invalid is painted, nothing for the picture's sake.
  ShowWindow(GetAncestor(window, GA_ROOT), SW_SHOW);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  RECT rect;
  GetWindowRect(window, &rect);
  uint32_t stride = 0;
  const std::vector<uint8_t> rows = grabScreen(rect, &stride);
  std::vector<COLORREF> pixels;
  for (size_t row = rows.size() / stride; row-- > 0;) {
    for (size_t x = 0; x < static_cast<size_t>(rect.right - rect.left) * 3;
         x += 3) {
      const uint8_t* p = &rows[row * stride + x];
      pixels.push_back(RGB(p[2], p[1], p[0]));
    }
  }
  return pixels;
}

bool saveWindowPicture(HWND window, const std::string& path) {
  ShowWindow(window, SW_SHOW);
  // Paint the frame, the client area and every control now.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                   RDW_UPDATENOW | RDW_ERASENOW);
  GdiFlush();
  RECT rect;
  GetWindowRect(window, &rect);
  uint32_t stride = 0;
  const std::vector<uint8_t> pixels = grabScreen(rect, &stride);
  if (pixels.empty()) return false;
  const uint32_t width = static_cast<uint32_t>(rect.right - rect.left);
  const uint32_t height = static_cast<uint32_t>(rect.bottom - rect.top);

  std::vector<uint8_t> file;
  const uint32_t headers = 14 + 40;
  file.push_back('B');
  file.push_back('M');
  put32(file, headers + static_cast<uint32_t>(pixels.size()));
  put32(file, 0);
  put32(file, headers);
  put32(file, 40);
  put32(file, width);
  put32(file, height);
  put16(file, 1);
  put16(file, 24);
  for (int i = 0; i < 6; ++i) put32(file, 0);
  file.insert(file.end(), pixels.begin(), pixels.end());
  FILE* out = fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
  fclose(out);
  return written;
}
