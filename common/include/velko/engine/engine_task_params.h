// The task description handed to the download engine (xldl.dll).
// 26564 bytes, little-endian; every text is UTF-16 and NUL-terminated within
// its field. The record holds no pointer, so its layout is the same in 32-bit
// and 64-bit builds; the offsets below are checked at compile time because
// the engine reads the record by offset.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velko::engine {

inline constexpr std::size_t kTaskUrlUnits = 2084;
inline constexpr std::size_t kTaskTextUnits = 4096;
inline constexpr std::size_t kTaskNameUnits = 260;

struct EngineTaskParams {
  std::int32_t leading_zero;               // 0
  char16_t task_url[kTaskUrlUnits];        // the URL to download
  char16_t unused_url[kTaskUrlUnits];      // all zero
  char16_t unused_text[kTaskTextUnits];    // all zero
  char16_t save_file_name[kTaskNameUnits]; // name of the file in the save folder
  char16_t unused_name[kTaskNameUnits];    // all zero
  char16_t save_folder[kTaskNameUnits];    // folder the file is saved in
  std::int32_t unused_int_a;               // 0
  std::int32_t unused_int_b;               // 0
  std::uint8_t unused_block[256];          // all zero
  std::int32_t unused_int_c;               // 0
  std::int32_t constant_five;              // 5
  std::int32_t start_flag;                 // 0 when built, 1 once the start step filled the record
  std::int32_t constant_one;               // 1
  std::uint8_t reserved[8192];             // all zero
};

static_assert(sizeof(EngineTaskParams) == 26564);
static_assert(offsetof(EngineTaskParams, leading_zero) == 0);
static_assert(offsetof(EngineTaskParams, task_url) == 4);
static_assert(offsetof(EngineTaskParams, unused_url) == 4172);
static_assert(offsetof(EngineTaskParams, unused_text) == 8340);
static_assert(offsetof(EngineTaskParams, save_file_name) == 16532);
static_assert(offsetof(EngineTaskParams, unused_name) == 17052);
static_assert(offsetof(EngineTaskParams, save_folder) == 17572);
static_assert(offsetof(EngineTaskParams, unused_int_a) == 18092);
static_assert(offsetof(EngineTaskParams, unused_int_b) == 18096);
static_assert(offsetof(EngineTaskParams, unused_block) == 18100);
static_assert(offsetof(EngineTaskParams, unused_int_c) == 18356);
static_assert(offsetof(EngineTaskParams, constant_five) == 18360);
static_assert(offsetof(EngineTaskParams, start_flag) == 18364);
static_assert(offsetof(EngineTaskParams, constant_one) == 18368);
static_assert(offsetof(EngineTaskParams, reserved) == 18372);

}  // namespace velko::engine
