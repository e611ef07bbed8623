#include "graphics/metafile.h"

#include <algorithm>

#include "frame/strutil.h"
#include "platform/fileio.h"

namespace kandelo {
namespace {

std::int16_t Clamp16(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

std::int16_t Lo(std::uint32_t v) { return static_cast<std::int16_t>(v & 0xFFFF); }
std::int16_t Hi(std::uint32_t v) { return static_cast<std::int16_t>(v >> 16); }

// Latin letter under which the "Symbol" face keeps a Greek letter (0 if none).
char SymbolCode(char32_t c) {
  static const char* const lower = "abgdezhqiklmnxoprVstufcyw";  // U+03B1 ... U+03C9
  static const char* const upper = "ABGDEZHQIKLMNXOPR?STUFCYW";  // U+0391 ... U+03A9
  if (c == 0x2264) return '\xA3';  // less-than or equal
  if (c >= 0x3B1 && c <= 0x3C9) return lower[c - 0x3B1];
  if (c >= 0x391 && c <= 0x3A9 && upper[c - 0x391] != '?') return upper[c - 0x391];
  return 0;
}

// Decodes UTF-8; malformed bytes become U+FFFD.
std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t v = len == 1 ? c : c & (0x7F >> len);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) ok = false;
      v = (v << 6) | (d & 0x3F);
    }
    out.push_back(ok ? v : 0xFFFD);
    i += ok ? len : 1;
  }
  return out;
}

}  // namespace

std::array<unsigned char, 22> wmf::PlaceableHeader(std::int32_t width, std::int32_t height, std::int16_t unitsPerInch) {
  std::array<unsigned char, 22> h{};
  PutU32(&h[0], kPlaceableKey);
  PutU16(&h[4], 0);
  PutU16(&h[6], 0);
  PutU16(&h[8], 0);
  PutU16(&h[10], static_cast<std::uint16_t>(width & 0xFFFF));
  PutU16(&h[12], static_cast<std::uint16_t>(height & 0xFFFF));
  PutU16(&h[14], static_cast<std::uint16_t>(unitsPerInch));
  PutU32(&h[16], 0);
  std::uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= GetU16(&h[i]);
  PutU16(&h[20], sum);
  return h;
}

// ---- TWmfRecorder

TWmfRecorder::TWmfRecorder() = default;

void TWmfRecorder::RecordBytes(std::uint16_t function, const std::vector<unsigned char>& params) {
  if (finished_) return;
  const std::size_t paramWords = (params.size() + 1) / 2;
  const std::uint32_t words = static_cast<std::uint32_t>(3 + paramWords);
  const std::size_t at = records_.size();
  records_.resize(at + 2 * words, 0);
  PutU32(&records_[at], words);
  PutU16(&records_[at + 4], function);
  std::copy(params.begin(), params.end(), records_.begin() + static_cast<std::ptrdiff_t>(at + 6));
  maxRecordWords_ = std::max(maxRecordWords_, words);
}

void TWmfRecorder::Record(std::uint16_t function, const std::vector<std::int16_t>& params) {
  std::vector<unsigned char> bytes(params.size() * 2);
  for (std::size_t i = 0; i < params.size(); ++i) PutU16(&bytes[2 * i], static_cast<std::uint16_t>(params[i]));
  RecordBytes(function, bytes);
}

void TWmfRecorder::RecordCreate(HGdiObj obj) {
  LogPen pen;
  LogBrush brush;
  LogFont font;
  if (GetPen(obj, pen)) {
    Record(wmf::META_CREATEPENINDIRECT,
           {Clamp16(pen.style), Clamp16(pen.width), 0, Lo(pen.color), Hi(pen.color)});
  } else if (GetBrush(obj, brush)) {
    Record(wmf::META_CREATEBRUSHINDIRECT,
           {Clamp16(brush.style), Lo(brush.color), Hi(brush.color),
            static_cast<std::int16_t>(brush.style == gdi::BS_HATCHED ? brush.hatch : 0)});
  } else if (GetFont(obj, font)) {
    std::vector<unsigned char> b(18, 0);
    PutU16(&b[0], static_cast<std::uint16_t>(Clamp16(font.height)));
    PutU16(&b[2], static_cast<std::uint16_t>(Clamp16(font.width)));
    PutU16(&b[4], static_cast<std::uint16_t>(Clamp16(font.escapement)));
    PutU16(&b[6], static_cast<std::uint16_t>(Clamp16(font.orientation)));
    PutU16(&b[8], static_cast<std::uint16_t>(Clamp16(font.weight)));
    b[10] = font.italic;
    b[11] = font.underline;
    b[12] = font.strikeOut;
    b[13] = font.charSet;
    b[14] = font.outPrecision;
    b[15] = font.clipPrecision;
    b[16] = font.quality;
    b[17] = font.pitchAndFamily;
    for (char c : font.faceName.substr(0, 31)) b.push_back(static_cast<unsigned char>(c));
    b.push_back(0);
    RecordBytes(wmf::META_CREATEFONTINDIRECT, b);
  } else {
    return;
  }
  auto free = std::find(slotUsed_.begin(), slotUsed_.end(), false);
  const int slot = static_cast<int>(free - slotUsed_.begin());
  if (free == slotUsed_.end())
    slotUsed_.push_back(true);
  else
    *free = true;
  slots_[obj] = slot;
}

HGdiObj TWmfRecorder::SelectObject(HGdiObj obj) {
  const HGdiObj old = TDevice::SelectObject(obj);
  if (!old || finished_) return old;
  if (!slots_.count(obj)) RecordCreate(obj);
  auto it = slots_.find(obj);
  if (it != slots_.end()) Record(wmf::META_SELECTOBJECT, {static_cast<std::int16_t>(it->second)});
  return old;
}

bool TWmfRecorder::DeleteObject(HGdiObj obj) {
  const bool stock = IsStockObject(obj);
  if (!TDevice::DeleteObject(obj)) return false;
  auto it = slots_.find(obj);
  if (!stock && it != slots_.end()) {
    Record(wmf::META_DELETEOBJECT, {static_cast<std::int16_t>(it->second)});
    slotUsed_[it->second] = false;
    slots_.erase(it);
  }
  return true;
}

int TWmfRecorder::SetBkMode(int mode) {
  const int old = TDevice::SetBkMode(mode);
  if (old) Record(wmf::META_SETBKMODE, {static_cast<std::int16_t>(mode)});
  return old;
}

TColor TWmfRecorder::SetBkColor(TColor c) {
  const TColor old = TDevice::SetBkColor(c);
  Record(wmf::META_SETBKCOLOR, {Lo(c & 0xFFFFFF), Hi(c & 0xFFFFFF)});
  return old;
}

TColor TWmfRecorder::SetTextColor(TColor c) {
  const TColor old = TDevice::SetTextColor(c);
  Record(wmf::META_SETTEXTCOLOR, {Lo(c & 0xFFFFFF), Hi(c & 0xFFFFFF)});
  return old;
}

int TWmfRecorder::SetPolyFillMode(int mode) {
  const int old = TDevice::SetPolyFillMode(mode);
  if (old) Record(wmf::META_SETPOLYFILLMODE, {static_cast<std::int16_t>(mode)});
  return old;
}

int TWmfRecorder::SetROP2(int rop) {
  const int old = TDevice::SetROP2(rop);
  if (old) Record(wmf::META_SETROP2, {static_cast<std::int16_t>(rop)});
  return old;
}

int TWmfRecorder::SetTextAlign(int align) {
  const int old = TDevice::SetTextAlign(align);
  Record(wmf::META_SETTEXTALIGN, {static_cast<std::int16_t>(align)});
  return old;
}

int TWmfRecorder::SetMapMode(int mode) {
  const int old = TDevice::SetMapMode(mode);
  if (old) Record(wmf::META_SETMAPMODE, {static_cast<std::int16_t>(mode)});
  return old;
}

bool TWmfRecorder::SetWindowExt(int w, int h, TSize* old) {
  if (!TDevice::SetWindowExt(w, h, old)) return false;
  Record(wmf::META_SETWINDOWEXT, {Clamp16(h), Clamp16(w)});
  return true;
}

bool TWmfRecorder::SetViewportExt(int w, int h, TSize* old) {
  if (!TDevice::SetViewportExt(w, h, old)) return false;
  Record(wmf::META_SETVIEWPORTEXT, {Clamp16(h), Clamp16(w)});
  return true;
}

bool TWmfRecorder::SetWindowOrg(int x, int y, TPoint* old) {
  TDevice::SetWindowOrg(x, y, old);
  Record(wmf::META_SETWINDOWORG, {Clamp16(y), Clamp16(x)});
  return true;
}

bool TWmfRecorder::SetViewportOrg(int x, int y, TPoint* old) {
  TDevice::SetViewportOrg(x, y, old);
  Record(wmf::META_SETVIEWPORTORG, {Clamp16(y), Clamp16(x)});
  return true;
}

int TWmfRecorder::SaveDC() {
  Record(wmf::META_SAVEDC, {});
  return TDevice::SaveDC();
}

bool TWmfRecorder::RestoreDC(int level) {
  // The record counts back from the newest saved state.
  const int relative = level < 0 ? level : level - SavedLevels() - 1;
  if (!TDevice::RestoreDC(level)) return false;
  Record(wmf::META_RESTOREDC, {static_cast<std::int16_t>(std::max(relative, -32768))});
  return true;
}

bool TWmfRecorder::MoveTo(int x, int y, TPoint* old) {
  TDevice::MoveTo(x, y, old);
  Record(wmf::META_MOVETO, {Clamp16(y), Clamp16(x)});
  return true;
}

bool TWmfRecorder::DrawLine(TPoint, TPoint to) {
  Record(wmf::META_LINETO, {Clamp16(to.y), Clamp16(to.x)});
  return true;
}

void TWmfRecorder::RecordPoints(std::uint16_t function, const TPoint* points, int n) {
  std::vector<std::int16_t> params;
  params.reserve(1 + 2 * static_cast<std::size_t>(n));
  params.push_back(static_cast<std::int16_t>(n));
  for (int i = 0; i < n; ++i) {
    params.push_back(Clamp16(points[i].x));
    params.push_back(Clamp16(points[i].y));
  }
  Record(function, params);
}

bool TWmfRecorder::Polyline(const TPoint* points, int n) {
  if (!points || n < 1) return false;
  // The point count is a 16-bit field: long lines go out in overlapping pieces.
  constexpr int kMax = 32000;
  for (int start = 0; start < n; start += kMax - 1) {
    RecordPoints(wmf::META_POLYLINE, points + start, std::min(kMax, n - start));
    if (n - start <= kMax) break;
  }
  return true;
}

bool TWmfRecorder::Polygon(const TPoint* points, int n) {
  if (!points || n < 1 || n > 32767) return false;
  RecordPoints(wmf::META_POLYGON, points, n);
  return true;
}

bool TWmfRecorder::Rectangle(int left, int top, int right, int bottom) {
  Record(wmf::META_RECTANGLE, {Clamp16(bottom), Clamp16(right), Clamp16(top), Clamp16(left)});
  return true;
}

bool TWmfRecorder::Ellipse(int left, int top, int right, int bottom) {
  Record(wmf::META_ELLIPSE, {Clamp16(bottom), Clamp16(right), Clamp16(top), Clamp16(left)});
  return true;
}

bool TWmfRecorder::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  Record(wmf::META_PIE, {Clamp16(y2), Clamp16(x2), Clamp16(y1), Clamp16(x1), Clamp16(bottom), Clamp16(right),
                         Clamp16(top), Clamp16(left)});
  return true;
}

bool TWmfRecorder::TextOut(int x, int y, std::string_view text) {
  if (text.size() > 32767) text = text.substr(0, 32767);
  std::vector<unsigned char> b(2);
  PutU16(&b[0], static_cast<std::uint16_t>(text.size()));
  b.insert(b.end(), text.begin(), text.end());
  if (b.size() % 2) b.push_back(0);
  b.resize(b.size() + 4);
  PutU16(&b[b.size() - 4], static_cast<std::uint16_t>(Clamp16(y)));
  PutU16(&b[b.size() - 2], static_cast<std::uint16_t>(Clamp16(x)));
  RecordBytes(wmf::META_TEXTOUT, b);
  return true;
}

bool TWmfRecorder::TextOutUtf8(int x, int y, std::string_view text) {
  const std::u32string chars = DecodeUtf8(text);
  bool greek = false;
  for (char32_t c : chars) greek = greek || SymbolCode(c) != 0;
  if (!greek) return TDevice::TextOutUtf8(x, y, text);
  // The whole text in the Symbol face, which keeps digits, blanks and the
  // usual signs at their ASCII codes.
  std::string coded;
  for (char32_t c : chars) coded.push_back(SymbolCode(c) ? SymbolCode(c) : c < 0x80 ? static_cast<char>(c) : '?');
  LogFont symbol = CurrentFont();
  symbol.faceName = "Symbol";
  symbol.charSet = gdi::SYMBOL_CHARSET;
  const HGdiObj font = CreateFont(symbol);
  const HGdiObj old = SelectObject(font);
  const bool ok = TextOut(x, y, coded);
  SelectObject(old);
  DeleteObject(font);
  return ok;
}

std::vector<unsigned char> TWmfRecorder::Finish() {
  if (!finished_) {
    Record(wmf::META_EOF, {});
    finished_ = true;
  }
  std::vector<unsigned char> out(18);
  PutU16(&out[0], 1);       // memory metafile
  PutU16(&out[2], 9);       // header size in words
  PutU16(&out[4], 0x0300);  // version
  PutU32(&out[6], static_cast<std::uint32_t>(9 + records_.size() / 2));
  PutU16(&out[10], static_cast<std::uint16_t>(slotUsed_.size()));
  PutU32(&out[12], maxRecordWords_);
  PutU16(&out[16], 0);
  out.insert(out.end(), records_.begin(), records_.end());
  return out;
}

// ---- TxMetaFile

TxMetaFile::~TxMetaFile() = default;

TDevice& TxMetaFile::BeginRecording() {
  if (recorder_ && recording_) recorder_->Finish();
  bits_.clear();
  recorder_ = std::make_unique<TWmfRecorder>();
  recording_ = true;
  return *recorder_;
}

void TxMetaFile::EndRecording() {
  if (!recording_) return;
  bits_ = recorder_->Finish();
  recording_ = false;
}

std::vector<unsigned char> TxMetaFile::PlaceableBytes() {
  EndRecording();
  const auto header = wmf::PlaceableHeader(width, height, unitsPerInch);
  std::vector<unsigned char> out(header.size() + bits_.size());
  std::copy(header.begin(), header.end(), out.begin());
  std::copy(bits_.begin(), bits_.end(), out.begin() + static_cast<std::ptrdiff_t>(header.size()));
  return out;
}

bool TxMetaFile::SaveToFile(const std::string& fileName, platform::WriteError* why) {
  const std::vector<unsigned char> bytes = PlaceableBytes();
  return platform::writeFileAtomic(fileName, std::string(bytes.begin(), bytes.end()), why);
}

}  // namespace kandelo
