#include "thumbnail_fit.h"

ThumbnailSize FitThumbnail(ThumbnailSize picture, ThumbnailSize box) {
  // The products go through 64 bits: a large picture would overflow 32.
  int64_t width = picture.width, height = picture.height;
  if (width > box.width) {
    height = height * box.width / width;
    width = box.width;
  }
  if (height > box.height) {
    width = width * box.height / height;
    height = box.height;
  }
  return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
}
