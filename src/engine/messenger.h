#pragma once
#include <cstdint>
#include <string>

#include "engine/zef_base.h"

// One line of bitmap-font text in the middle of the screen for a number of frames.
class Messenger : public ZefBase {
  public:
    explicit Messenger(ZefDX* owner);

    void show(const std::string& text, int32_t frames);
    void process() override;

    std::string text;
    int32_t framesLeft = 0;
};
