#include "ui/control_styles.h"

namespace {

template <typename Function>
void find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

ControlStyles loadControlStyles() {
  ControlStyles styles{LoadLibraryA("uxtheme.dll"), nullptr, nullptr};
  if (styles.uxtheme == nullptr) return styles;
  find(styles.uxtheme, "SetWindowTheme", styles.setWindowTheme);
  find(styles.uxtheme, "GetWindowTheme", styles.getWindowTheme);
  if (styles.setWindowTheme == nullptr || styles.getWindowTheme == nullptr) {
    releaseControlStyles(styles);
  }
  return styles;
}

void releaseControlStyles(ControlStyles& styles) {
  if (styles.uxtheme != nullptr) FreeLibrary(styles.uxtheme);
  styles = ControlStyles{};
}

bool switchStyleOff(const ControlStyles& styles, HWND control) {
  if (styles.uxtheme == nullptr || styles.getWindowTheme(control) == nullptr) {
    return false;
  }
  // Empty names turn the style off; some versions refuse them, and then a
  // name no style has does the same.
  if (FAILED(styles.setWindowTheme(control, L"", L"")) ||
      styles.getWindowTheme(control) != nullptr) {
    styles.setWindowTheme(control, L" ", L" ");
  }
  return true;
}

void giveStyleBack(const ControlStyles& styles, HWND control) {
  if (styles.uxtheme != nullptr) {
    styles.setWindowTheme(control, nullptr, nullptr);
  }
}
