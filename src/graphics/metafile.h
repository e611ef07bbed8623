// Windows metafiles recorded by the program itself, so that the clipboard and
// the ".WMF" export work on every platform. TWmfRecorder is a TDevice that
// turns every object, mode, mapping and drawing call into a metafile record;
// TxMetaFile owns one recording and writes it as a placeable metafile.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "graphics/device.h"
#include "platform/fileio.h"

namespace kandelo {

namespace wmf {
// Record functions used by the recorder.
enum : std::uint16_t {
  META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103,
  META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106, META_RESTOREDC = 0x0127,
  META_SELECTOBJECT = 0x012D, META_SETTEXTALIGN = 0x012E, META_DELETEOBJECT = 0x01F0,
  META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D, META_SETVIEWPORTEXT = 0x020E,
  META_LINETO = 0x0213, META_MOVETO = 0x0214, META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324,
  META_POLYLINE = 0x0325, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B, META_TEXTOUT = 0x0521,
  META_PIE = 0x081A,
};
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
// The 22-byte placeable header: key, handle 0, box (0, 0, width, height),
// units per inch, reserved 0 and the XOR checksum of the ten words before it.
std::array<unsigned char, 22> PlaceableHeader(std::int32_t width, std::int32_t height, std::int16_t unitsPerInch);
}  // namespace wmf

class TWmfRecorder : public TDevice {
 public:
  TWmfRecorder();

  HGdiObj SelectObject(HGdiObj obj) override;
  bool DeleteObject(HGdiObj obj) override;
  int SetBkMode(int mode) override;
  TColor SetBkColor(TColor c) override;
  TColor SetTextColor(TColor c) override;
  int SetPolyFillMode(int mode) override;
  int SetROP2(int rop) override;
  int SetTextAlign(int align) override;
  int SetMapMode(int mode) override;
  bool SetWindowExt(int w, int h, TSize* old = nullptr) override;
  bool SetViewportExt(int w, int h, TSize* old = nullptr) override;
  bool SetWindowOrg(int x, int y, TPoint* old = nullptr) override;
  bool SetViewportOrg(int x, int y, TPoint* old = nullptr) override;
  int SaveDC() override;
  bool RestoreDC(int level) override;
  bool MoveTo(int x, int y, TPoint* old = nullptr) override;
  bool Polyline(const TPoint* points, int n) override;
  bool Polygon(const TPoint* points, int n) override;
  bool Rectangle(int left, int top, int right, int bottom) override;
  bool Ellipse(int left, int top, int right, int bottom) override;
  bool Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
  bool TextOut(int x, int y, std::string_view text) override;
  // Greek letters go out in the "Symbol" face under their Latin codes, which
  // every metafile player shows as the Greek letter.
  bool TextOutUtf8(int x, int y, std::string_view text) override;

  // Closes the recording: the metafile header, the records and the end
  // record. Later calls record nothing.
  std::vector<unsigned char> Finish();
  bool Finished() const { return finished_; }

 protected:
  bool DrawLine(TPoint from, TPoint to) override;

 private:
  void Record(std::uint16_t function, const std::vector<std::int16_t>& params);
  void RecordBytes(std::uint16_t function, const std::vector<unsigned char>& params);
  void RecordCreate(HGdiObj obj);
  void RecordPoints(std::uint16_t function, const TPoint* points, int n);

  std::vector<unsigned char> records_;
  std::uint32_t maxRecordWords_ = 3;
  std::unordered_map<HGdiObj, int> slots_;  // object -> index in the metafile's object table
  std::vector<bool> slotUsed_;
  bool finished_ = false;
};

class TxMetaFile {
 public:
  TxMetaFile() = default;
  ~TxMetaFile();

  // Starts a new recording (dropping any previous metafile) and returns the
  // device to draw on; it stays valid until the next BeginRecording.
  TDevice& BeginRecording();
  void EndRecording();
  bool Recording() const { return recording_; }
  // Finishes a running recording, then writes header and metafile bits.
  // False, with the target left as it was, when the file cannot be written
  // whole (platform::writeFileAtomic; `why` tells the reason).
  bool SaveToFile(const std::string& fileName, platform::WriteError* why = nullptr);
  // The finished metafile bits (empty while recording or without a metafile).
  const std::vector<unsigned char>& Bits() const { return bits_; }
  // Header plus bits, as SaveToFile writes them.
  std::vector<unsigned char> PlaceableBytes();

  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int16_t unitsPerInch = 0;

 private:
  std::unique_ptr<TWmfRecorder> recorder_;
  std::vector<unsigned char> bits_;
  bool recording_ = false;
};

}  // namespace kandelo
