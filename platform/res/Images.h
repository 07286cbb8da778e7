#pragma once
// Pixel helpers for the icons and bitmaps of resource modules. Icon and bitmap handles belong
// to the window kernel; its drivers draw a handle's pixels from FindIconImage / FindBitmap
// (Resources.h) and, for the system icons, from SystemIconImage.

#include "platform/res/ResourceData.h"
#include "platform/win/WinTypes.h"

namespace orv::res {

// Nearest-neighbour scaling to cx x cy (the image itself when the size is already that or
// either side is not positive).
Image ScaleImage(const Image& image, int cx, int cy);

// The image of a system icon (32512 application, 32513 hand, 32514 question, 32515 exclamation,
// 32516 asterisk, 32517 logo) at size x size pixels: a disc, or a triangle for the exclamation,
// in the colour of its kind. An empty image for any other id.
Image SystemIconImage(UINT id, int size = 32);

// The image an icon resource shows at cx x cy: the nearest image scaled to that size; at 0 x 0
// the first image as it is. Empty when the module has no such icon.
Image IconImageAt(HINSTANCE module, LPCTSTR name, int cx, int cy);

}  // namespace orv::res
