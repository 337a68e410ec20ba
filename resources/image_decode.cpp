#include "resources/image_decode.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "resources/bmp_decode.h"
#include "resources/jpeg_decode.h"
#include "resources/png_decode.h"

// A picture at the largest size in the widest samples a file may store
// (16-bit RGBA, uncompressed), with room for headers.
static const size_t MAX_IMAGE_FILE_BYTES =
    static_cast<size_t>(MAX_IMAGE_SIDE) * MAX_IMAGE_SIDE * 8 + 65536;

// Opens a regular file for reading; a FIFO, device or folder is refused
// without blocking on it.
static FILE* openRegularFile(const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

bool readImageFile(const char* path, std::vector<unsigned char>* bytes) {
  FILE* file = openRegularFile(path);
  if (!file) return false;
  bytes->clear();
  unsigned char block[65536];
  size_t got;
  bool tooLarge = false;
  while (!tooLarge && (got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes->insert(bytes->end(), block, block + got);
    tooLarge = bytes->size() > MAX_IMAGE_FILE_BYTES;
  }
  const bool ok = !std::ferror(file) && !bytes->empty() && !tooLarge;
  std::fclose(file);
  return ok;
}

ImageType imageTypeOfName(const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (!dot) return ImageType::UNKNOWN;
  if (strcasecmp(dot, ".bmp") == 0) return ImageType::BMP;
  if (strcasecmp(dot, ".jpg") == 0 || strcasecmp(dot, ".jpeg") == 0 || strcasecmp(dot, ".jpe") == 0)
    return ImageType::JPEG;
  if (strcasecmp(dot, ".png") == 0) return ImageType::PNG;
  return ImageType::UNKNOWN;
}

// "BM" starts a BMP file, FF D8 FF a JPEG stream, 89 "PNG" a PNG file.
static ImageType typeOfContent(const unsigned char* bytes, size_t size) {
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return ImageType::BMP;
  if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return ImageType::JPEG;
  if (size >= 4 && std::memcmp(bytes, "\x89PNG", 4) == 0) return ImageType::PNG;
  return ImageType::UNKNOWN;
}

bool decodeImage(const unsigned char* bytes, size_t size, ImageType type, LoadedImage* image) {
  if (!bytes || size == 0) return false;
  if (type == ImageType::UNKNOWN) type = typeOfContent(bytes, size);
  if (type == ImageType::PNG)
    return platform::decodePng(bytes, size, MAX_IMAGE_SIDE, &image->width, &image->height,
                               &image->bytesPerPixel, &image->pixels);
  image->bytesPerPixel = 3;
  if (type == ImageType::BMP)
    return decodeBmp(bytes, size, MAX_IMAGE_SIDE, &image->width, &image->height, &image->pixels);
  if (type == ImageType::JPEG)
    return platform::decodeJpeg(bytes, size, MAX_IMAGE_SIDE, &image->width, &image->height,
                                &image->pixels);
  return false;
}
