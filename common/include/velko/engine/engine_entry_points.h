// The download engine's entry points as the updater calls them: names,
// calling convention and argument types. The reference engine (engine/)
// defines its exports with these same types, so the two cannot drift apart.
#pragma once

#ifndef _WIN32
#error "velko/engine/engine_entry_points.h is Windows-only"
#endif

#include <cstdint>

#include "velko/engine/engine_task_info.h"
#include "velko/engine/engine_task_params.h"

// Exports are resolved by undecorated name; on i686 the engine's .def file
// strips the stdcall "@N" suffix.
#define VELKO_ENGINE_CALL __stdcall

namespace velko::engine {

// An engine task; null means "no task".
using EngineTaskHandle = void*;

using XlInitFn = std::int32_t(VELKO_ENGINE_CALL*)();
using XlUnInitFn = std::int32_t(VELKO_ENGINE_CALL*)();
using XlCreateTaskFn = EngineTaskHandle(VELKO_ENGINE_CALL*)(EngineTaskParams* params);
using XlDeleteTaskFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task);
using XlStartTaskFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task);
using XlStopTaskFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task);
using XlQueryTaskInfoFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task, void* info);
using XlQueryTaskInfoExFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task,
                                                              EngineTaskInfo* info);
using XlSetSpeedLimitFn = void(VELKO_ENGINE_CALL*)(std::int32_t kib_per_s);
using XlSetUploadSpeedLimitFn = void(VELKO_ENGINE_CALL*)(std::int32_t tcp_kib_per_s,
                                                         std::int32_t other_kib_per_s);
using XlDelTempFileFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskParams* params);
using XlSetProxyFn = std::int32_t(VELKO_ENGINE_CALL*)(const void* proxy);
using XlSetUserAgentFn = void(VELKO_ENGINE_CALL*)(const wchar_t* user_agent);
using XlGetFileSizeWithUrlFn = std::int32_t(VELKO_ENGINE_CALL*)(const wchar_t* url,
                                                                std::int64_t* size);
using XlParseThunderPrivateUrlFn = std::int32_t(VELKO_ENGINE_CALL*)(const wchar_t* url,
                                                                    wchar_t* out,
                                                                    std::int32_t out_units);
using XlSetAdditionInfoFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task,
                                                             const void* info,
                                                             std::int32_t bytes);
using XlSetFileIdAndSizeFn = std::int32_t(VELKO_ENGINE_CALL*)(EngineTaskHandle task,
                                                              const char* file_id,
                                                              std::int64_t size);

}  // namespace velko::engine
