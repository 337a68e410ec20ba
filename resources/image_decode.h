// Decoding image files for textures (DevIL), with the checks DevIL itself
// lacks between a file and a texture upload.
//
// Call order: readImageFile (or the bytes from elsewhere) -> decodeImage,
// which generates and binds a DevIL image and leaves it bound; the caller
// uploads the pixels and deletes the DevIL image (ilDeleteImages) whatever
// decodeImage returned. The pixels belong to that DevIL image.
//
// Failure: decodeImage returns false when the header promises a picture
// larger than a texture may be (DevIL's own size arithmetic overflows on such
// files and writes past its buffers), when DevIL cannot decode or convert the
// file, or when the decoded pixels do not cover width x height. Nothing is
// then to be uploaded.
#pragma once

#include <IL/il.h>

#include <cstddef>
#include <vector>

// Largest side accepted; larger pictures are refused rather than scaled.
constexpr int MAX_IMAGE_SIDE = 8192;

struct LoadedImage {
  ILuint image = 0;  // the DevIL image, bound; the caller deletes it
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;                  // 3 (RGB) or 4 (RGBA), 8 bits each
  const unsigned char* pixels = nullptr;  // width * height * bytesPerPixel bytes, tightly packed
};

// The whole file; false when it cannot be read or is empty.
bool readImageFile(const char* path, std::vector<unsigned char>* bytes);

// The DevIL type a file name stands for (IL_TYPE_UNKNOWN: decided by content).
ILenum imageTypeOfName(const char* path);

// False when a BMP or JPEG header gives a side outside 1..MAX_IMAGE_SIDE (or
// a JPEG has no frame header); other types pass.
bool imageHeaderFits(const unsigned char* bytes, size_t size, ILenum type);

// Checks the header, decodes the bytes as `type` into a new bound DevIL image
// and converts it to 8-bit RGB or RGBA.
bool decodeImage(const unsigned char* bytes, size_t size, ILenum type, LoadedImage* image);
