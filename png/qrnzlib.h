// Glue between the PNG rows and zlib: a zlib stream with its own buffer and a callback
// that refills it from (or drains it into) IDAT chunks, and the five row filters.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace yomira::qrn {

enum TQRNPNGFilterType : uint8_t { gpfJust, gpfNone, gpfSub, gpfUp, gpfAvg, gpfPaeth };

struct TQRNZLIBInfo {
  TQRNZLIBInfo() = default;
  TQRNZLIBInfo(const TQRNZLIBInfo&) = delete;
  TQRNZLIBInfo& operator=(const TQRNZLIBInfo&) = delete;
  ~TQRNZLIBInfo();

  void* owner = nullptr;
  z_stream zs{};
  std::unique_ptr<uint8_t[]> buffer;
  int64_t bufferSize = 0;
  // 0: go on; anything else ends the operation with that result.
  std::function<int(TQRNZLIBInfo&)> callback;
  bool inflating = false;
  bool deflating = false;
};

struct TQRNPNGInfo : TQRNZLIBInfo {
  int rowBytes = 0;  // filtered row including its filter byte
  uint8_t* curRow = nullptr;
  uint8_t* priorRow = nullptr;
  int pixelBits = 0;
  int filterMode = gpfNone;  // writing
  int srcBits = 0;           // writing
  uint8_t* outRow = nullptr;
  uint8_t* spareRow = nullptr;
  int32_t* histogram = nullptr;
};

int ZLIBDecodeInit(TQRNZLIBInfo& info);
int ZLIBDecode(TQRNZLIBInfo& info, uint8_t* dest, int64_t n);
void ZLIBDecodeFlush(TQRNZLIBInfo& info);
void ZLIBDecodeFinish(TQRNZLIBInfo& info);
// Inflates one row into curRow and undoes its filter: 0, or a negative result.
int png_read_line(TQRNPNGInfo& info);
// Undoes the filter of curRow (filter byte first) against priorRow: 0, or -1 for a filter
// byte of 5 or more.
int UnfilterRow(uint8_t* row, const uint8_t* prior, int64_t rowBytes, int bpp);

int ZLIBEncodeInit(TQRNZLIBInfo& info, int level, int64_t bufferSize);
int ZLIBEncode(TQRNZLIBInfo& info, const uint8_t* src, int64_t n);
int ZLIBEncodeFlush(TQRNZLIBInfo& info);
void ZLIBEncodeFinish(TQRNZLIBInfo& info);
// Filters curRow (pixel bytes only) into outRow by filterMode, then compresses outRow.
int png_write_line(TQRNPNGInfo& info);

// Applies filterMode to curRow against priorRow; the result (filter byte first) is outRow.
void FilterRow(TQRNPNGInfo& info);
// Writes row (pixel bytes, rowBytes - 1 of them) filtered by type (1..4) into out.
void FilterRowWith(int type, const uint8_t* row, const uint8_t* prior, uint8_t* out, int64_t rowBytes, int bpp);
// Histogram score of a filtered row (filter byte included); -1 means take this row at once.
int ScoreFilteredRow(TQRNPNGInfo& info, const uint8_t* row);

}  // namespace yomira::qrn
