// The chunk identifiers of the 3DS file format that the reader
// (loader_3ds.h) knows, shared by everything that reads or writes the files.
#pragma once

#include <cstdint>

namespace chunk3ds {

enum : uint16_t {
  PRIMARY = 0x4D4D,
  VERSION = 0x0002,
  EDITOR = 0x3D3D,
  MESH_VERSION = 0x3D3E,
  OBJECT = 0x4000,
  TRIANGLE_MESH = 0x4100,
  VERTEX_LIST = 0x4110,
  FACE_LIST = 0x4120,
  FACE_MATERIAL = 0x4130,
  MAPPING_COORDS = 0x4140,
  MATERIAL = 0xAFFF,
  MATERIAL_NAME = 0xA000,
  DIFFUSE = 0xA020,
  COLOUR_24 = 0x0011,
  TEXTURE_MAP = 0xA200,
  MAPPING_FILE = 0xA300,
};

}  // namespace chunk3ds
