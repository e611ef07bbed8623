// Little-endian field access for fixed byte layouts (stored records, file
// headers), independent of the processor's byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace kandelo::platform {

inline std::uint16_t GetU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t GetI32(const unsigned char* p) { return static_cast<std::int32_t>(GetU32(p)); }
inline std::uint64_t GetU64(const unsigned char* p) {
  return static_cast<std::uint64_t>(GetU32(p)) | (static_cast<std::uint64_t>(GetU32(p + 4)) << 32);
}
inline std::int64_t GetI64(const unsigned char* p) { return static_cast<std::int64_t>(GetU64(p)); }
inline float GetF32(const unsigned char* p) {
  const std::uint32_t u = GetU32(p);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}
inline double GetF64(const unsigned char* p) {
  const std::uint64_t u = GetU64(p);
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}

inline void PutU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void PutU32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void PutI32(unsigned char* p, std::int32_t v) { PutU32(p, static_cast<std::uint32_t>(v)); }
inline void PutU64(unsigned char* p, std::uint64_t v) {
  PutU32(p, static_cast<std::uint32_t>(v));
  PutU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
inline void PutI64(unsigned char* p, std::int64_t v) { PutU64(p, static_cast<std::uint64_t>(v)); }
inline void PutF32(unsigned char* p, float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  PutU32(p, u);
}
inline void PutF64(unsigned char* p, double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, 8);
  PutU64(p, u);
}

}  // namespace kandelo::platform
