#include "ui/control_styles.h"

ControlStyles loadControlStyles() {
  ControlStyles styles{LoadLibraryA("uxtheme.dll"), nullptr};
  if (styles.uxtheme != nullptr) {
    styles.setWindowTheme = reinterpret_cast<decltype(styles.setWindowTheme)>(
        reinterpret_cast<void*>(
            GetProcAddress(styles.uxtheme, "SetWindowTheme")));
  }
  return styles;
}

void releaseControlStyles(ControlStyles& styles) {
  if (styles.uxtheme != nullptr) FreeLibrary(styles.uxtheme);
  styles = ControlStyles{};
}

void switchStyleOff(const ControlStyles& styles, HWND control) {
  if (styles.setWindowTheme == nullptr) return;
  // Empty names turn the style off; some versions refuse them, and then a
  // name no style has does the same.
  if (FAILED(styles.setWindowTheme(control, L"", L""))) {
    styles.setWindowTheme(control, L" ", L" ");
  }
}

void giveStyleBack(const ControlStyles& styles, HWND control) {
  if (styles.setWindowTheme != nullptr) {
    styles.setWindowTheme(control, nullptr, nullptr);
  }
}
