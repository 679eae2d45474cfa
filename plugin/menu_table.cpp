#include "plugin/menu_table.h"

#include <cstring>

#include "host/byte_access.h"
#include "host/host_records.h"

namespace {

struct MenuTexts {
  const char* menu;  // menu syntax: "&&" shows one ampersand
  const char* name;
  const char* title;
};

const MenuTexts MenuTable[MenuItemCount] = {
    {"QZ S && R - Note Entries [v 1.11a.r2]...",
     "Search/Replace - Note Entries", "QZ Search/Replace - Note Entries"},
    {"QZ S && R - Text [v 1.11a]...", "Search/Replace - Text",
     "QZ Search/Replace - Text"},
};

// The text, then NULs up to the end of the 64-byte field.
void copyField(uint8_t* field, const char* text) {
  const size_t length = strnlen(text, HostMenuItemLayout::TextSize);
  memset(field, 0, HostMenuItemLayout::TextSize);
  memcpy(field, text, length);
}

}  // namespace

bool fillMenuItem(int16_t index, uint8_t* item) {
  if (index < 0 || index >= MenuItemCount || item == nullptr) return false;
  const MenuTexts& texts = MenuTable[index];
  copyField(item + HostMenuItemLayout::FirstText, texts.menu);
  copyField(item + HostMenuItemLayout::SecondText, texts.name);
  copyField(item + HostMenuItemLayout::ThirdText, texts.title);
  writeU16(item, HostMenuItemLayout::Word192, 0);
  writeU16(item, HostMenuItemLayout::Word194, 0);
  return true;
}
