#pragma once
#include <cstdint>

namespace platform {

// The platform answers with the display and sound device's 32-bit result
// codes, so the error box can describe them the way players know them.
constexpr int32_t kOk = 0;
constexpr int32_t kErrGeneric = int32_t(0x80004005u);
constexpr int32_t kErrOutOfMemory = int32_t(0x8007000Eu);
constexpr int32_t kErrInvalidParams = int32_t(0x80070057u);
constexpr int32_t kErrInvalidMode = int32_t(0x88760078u);
constexpr int32_t kErrInvalidRect = int32_t(0x88760096u);
constexpr int32_t kErrSurfaceLost = int32_t(0x887601C2u);
constexpr int32_t kErrWasStillDrawing = int32_t(0x8876021Cu);
constexpr int32_t kErrUnsupportedFormat = int32_t(0x887601FEu);
constexpr int32_t kErrInvalidStream = int32_t(0x88760209u);
constexpr int32_t kErrSoundNoDriver = int32_t(0x88780078u);
constexpr int32_t kErrSoundBadFormat = int32_t(0x88780064u);

}  // namespace platform
