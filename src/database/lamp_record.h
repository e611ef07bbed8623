// The lamp record of the default lamp table (34 bytes, little-endian) and its
// two unique keys.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kandelo {

constexpr std::size_t kLampRecordSize = 34;
constexpr int kLampKeyLength = 22;

struct TLampRecord {
  std::array<unsigned char, kLampRecordSize> bytes{};

  void Clear() { bytes.fill(0); }
  unsigned char* data() { return bytes.data(); }
  const unsigned char* data() const { return bytes.data(); }

  std::string LampType() const;            // offset 4, string of 20
  void SetLampType(std::string_view s);
  float Flux() const;                      // offset 25, lm per lamp
  void SetFlux(float v);
  std::int16_t Watt() const;               // offset 29
  void SetWatt(std::int16_t v);
  std::int16_t BallastWatt() const;        // offset 31
  void SetBallastWatt(std::int16_t v);
};

// Whether the table's type field keeps the text (1252) as it is: one line of
// printable characters (no tabs, line breaks or other control characters).
bool LampTypeStorable(std::string_view type);

// Key 1: lamp type padded with blanks to 20, then the wattage high byte first.
// Key 2: the wattage, then the padded type. Empty for other key numbers.
std::string LampKey(const unsigned char* rec, int keyNo);
inline std::string LampKey(const TLampRecord& rec, int keyNo) { return LampKey(rec.data(), keyNo); }

}  // namespace kandelo
