// Where the extractor draws the decoded picture in the thumbnail bitmap.
#pragma once
#include <cstdint>

struct ThumbnailSize {
  int32_t width;
  int32_t height;
};

// The picture's size in the requested box: shrunk to the box's width, then
// to its height, keeping its proportions with truncating division; never
// enlarged.
ThumbnailSize FitThumbnail(ThumbnailSize picture, ThumbnailSize box);
