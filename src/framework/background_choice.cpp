#include "framework/background_choice.h"

#include "framework/string_list.h"

BackgroundSource ChooseBackground(int32_t backType, std::string_view backPic) {
  if (backType == 3 && !Trim(backPic).empty()) return BackgroundSource::File;
  if (backType == 2) return BackgroundSource::ScreenCopy;
  return BackgroundSource::BuiltIn;
}

BackgroundKind BackgroundKindOf(BackgroundSource source) {
  return source == BackgroundSource::ScreenCopy ? BackgroundKind::VirtualScreenCopy
                                                : BackgroundKind::Picture;
}
