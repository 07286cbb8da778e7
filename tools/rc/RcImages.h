#pragma once
// Decoding of the image files that ICON and BITMAP statements name: .ico files holding
// uncompressed DIB images, and .bmp files of 1, 4, 8, 24 or 32 bits per pixel.

#include <cstdint>
#include <string>
#include <vector>

namespace orv::rc {

struct DecodedImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;                    // of the source image
    std::vector<std::uint32_t> pixels;   // 0xAARRGGBB, rows top-down
};

// Each returns false with a message (no position) when the file is not usable.
bool DecodeBmpFile(const std::vector<unsigned char>& file, DecodedImage& out, std::string& error);
bool DecodeIcoFile(const std::vector<unsigned char>& file, std::vector<DecodedImage>& out, std::string& error);

}  // namespace orv::rc
