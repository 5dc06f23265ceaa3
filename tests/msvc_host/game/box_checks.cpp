#include "game/box_checks.h"

#include "game/checks.h"
#include "game/notice_texts.h"
#include "game/text.h"
#include "seam.h"

void CheckBox(const char* name, uint32_t index, bool wide, const char* text) {
  Line detail;
  if (index >= GlueBoxCount()) {
    detail.Add("only ").Decimal(GlueBoxCount()).Add(" box(es) shown");
    Check(name, false, detail);
    return;
  }
  const GlueBox& box = *GlueBoxAt(index);
  const bool kindRight = (box.wide != 0) == wide;
  const bool captionRight = TextEquals(box.caption, NoticeCaption);
  const bool textRight = TextEquals(box.text, text);
  if (!kindRight) detail.Add(box.wide != 0 ? "MessageBoxW; " : "MessageBoxA; ");
  if (box.ownerIsNull == 0) detail.Add("an owner window; ");
  if (box.style != 0) detail.Add("style 0x").Hex(box.style).Add("; ");
  if (!captionRight) detail.Add("caption ").Quoted(box.caption).Add("; ");
  if (!textRight) detail.Add("text ").Quoted(box.text);
  Check(name, kindRight && box.ownerIsNull != 0 && box.style == 0 && captionRight && textRight,
        detail);
}

void CheckSetting(const char* name, const char* key, const char* expected, int32_t atBox) {
  const char* file = nullptr;
  if (atBox < 0) {
    file = GlueReadSettings();
  } else if (static_cast<uint32_t>(atBox) < GlueBoxCount()) {
    file = GlueBoxAt(static_cast<uint32_t>(atBox))->settings;
  }
  char value[64];
  const bool found = file != nullptr && IniValue(file, key, value, sizeof value);
  Line detail;
  if (file == nullptr) {
    detail.Add("no settings file (or no such box)");
  } else if (!found) {
    detail.Add("no such line in ").Quoted(file);
  } else {
    detail.Add(key).Add("=").Add(value);
  }
  Check(name, found && TextEquals(value, expected), detail);
}

void CheckBoxCount(const char* name, uint32_t expected) {
  Line detail;
  detail.Decimal(GlueBoxCount()).Add(" box(es) shown");
  Check(name, GlueBoxCount() == expected, detail);
}
