// Records, enumerations and event types shared by the PNG reader, the writer and the
// graphic class.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "png/qrnstream.h"
#include "png/qrnzlib.h"

namespace yomira::qrn {

#pragma pack(push, 1)
struct TPNGTime {
  uint16_t year = 0;
  uint8_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const TPNGTime&) const = default;
};
struct TPNGGIFExtension {
  uint8_t disposal = 0;
  uint8_t userInput = 0;
  uint16_t delay = 0;  // copied to and from the chunk as it lies in memory (little-endian)
  bool operator==(const TPNGGIFExtension&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(TPNGTime) == 7 && sizeof(TPNGGIFExtension) == 4);

// Each value × 100000.
struct TPNGChromaticities {
  int32_t whiteX = 0, whiteY = 0, redX = 0, redY = 0, greenX = 0, greenY = 0, blueX = 0, blueY = 0;
  bool operator==(const TPNGChromaticities&) const = default;
};
static_assert(sizeof(TPNGChromaticities) == 32);

enum TQRNPNGInterlaceType : uint8_t { gptNone, gptAdam7 };
enum TQRNPNGUnitSpecifier : uint8_t { gpuAspect, gpuMeter, gpuInch };

TPNGTime PNGTime(int year, int month, int day, int hour, int minute, int second);
// The current UTC time, from the clock hook.
TPNGTime SystemPNGTime();
// Replaces the clock SystemPNGTime reads (none: the system clock). For tests.
void SetPNGClock(std::function<std::time_t()> clock);

// Called with every row after it is unfiltered (reading) or before it is filtered
// (writing); the row may be changed in place. The sender is the reader or writer.
using TPNGDECodeEvent =
    std::function<void(TQRNStreamBase& sender, uint8_t* pbuf, int buflen, int lineno, const std::string& password)>;
// Asked for the password of an encoded file.
using TPNGPasswordEvent = std::function<void(TQRNStreamBase& sender, std::string& password)>;
using TQRNPNGDECodeEvent = TPNGDECodeEvent;
using TQRNPNGPasswordEvent = TPNGPasswordEvent;

}  // namespace yomira::qrn
