#include "database/lamp_record.h"

#include "database/catalogue_record.h"
#include "frame/strutil.h"

namespace kandelo {

std::string TLampRecord::LampType() const { return GetCounted(data(), 4, 20); }
void TLampRecord::SetLampType(std::string_view s) { PutCounted(data(), 4, 20, s); }
float TLampRecord::Flux() const { return GetF32(data() + 25); }
void TLampRecord::SetFlux(float v) { PutF32(data() + 25, v); }
std::int16_t TLampRecord::Watt() const { return static_cast<std::int16_t>(GetU16(data() + 29)); }
void TLampRecord::SetWatt(std::int16_t v) { PutU16(data() + 29, static_cast<std::uint16_t>(v)); }
std::int16_t TLampRecord::BallastWatt() const { return static_cast<std::int16_t>(GetU16(data() + 31)); }
void TLampRecord::SetBallastWatt(std::int16_t v) { PutU16(data() + 31, static_cast<std::uint16_t>(v)); }

bool LampTypeStorable(std::string_view type) {
  for (const char c : type)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

std::string LampKey(const unsigned char* rec, int keyNo) {
  const std::string type = PadRight(GetCounted(rec, 4, 20), 20);
  const std::uint16_t w = GetU16(rec + 29);
  const std::string watt{static_cast<char>(w >> 8), static_cast<char>(w & 0xFF)};
  if (keyNo == 1) return type + watt;
  if (keyNo == 2) return watt + type;
  return {};
}

}  // namespace kandelo
