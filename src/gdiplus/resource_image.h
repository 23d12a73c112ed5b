// The built-in pictures carried as resources of the program module.
#pragma once

#include <memory>

#include "gdiplus/gdiplus_objects.h"

// A GDI+ bitmap decoded from the named resource of the given type ("PNG", "JPG") in the
// program module. A missing resource gives a bitmap that holds no image. The memory the
// bitmap decodes from is never freed: GDI+ may read it at any time while the bitmap lives.
std::unique_ptr<TGPBitmap> LoadResourceImage(const char* name, const char* type);
