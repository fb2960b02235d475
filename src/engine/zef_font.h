#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/zef_base.h"

namespace platform {
class Typeface;
}
class Surface;

// Text in a named typeface, drawn with a transparent background.
class ZefFont : public ZefBase {
  public:
    // Fatal when no font at all can be found for `name`.
    ZefFont(ZefDX* owner, const std::string& name, int32_t height, uint32_t colour);
    ~ZefFont() override;

    static constexpr uint32_t kOwnColour = 0x80000000;
    // Alignment 6: centred on x, top at y; 0: left and top at (x, y).
    void draw(Surface* surface, int32_t x, int32_t y, const std::string& text,
              uint32_t colour = kOwnColour, int32_t alignment = 0);

    std::string name;
    int32_t height;
    uint32_t colour;  // 0x00BBGGRR
    std::unique_ptr<platform::Typeface> fontObject;
};
