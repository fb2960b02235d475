#pragma once
// An engine with its sound on the headless backend, WAV files written on the
// spot into a scratch folder, and the log and warning lines kept.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/sound.h"
#include "services/zef_sound.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"

namespace kit {

class SoundFixture : public ::testing::Test {
  protected:
    void SetUp() override { start(true); }

    void start(bool audioAvailable) {
        sys.setAudioAvailable(audioAvailable);
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->logSink = keep;
        dx->logContext = &logLines;
        dx->warnSink = keep;
        dx->warnContext = &warnings;
        dx->createSound();
    }

    // A sound of the file's bytes, written as `name`.
    std::unique_ptr<Sound> load(const Bytes& bytes, const std::string& name = "s.wav") {
        writeFile(dir.file(name), bytes);
        return std::make_unique<Sound>(dx.get(), dir.file(name));
    }

    static std::vector<int16_t> left(const std::vector<int16_t>& mix) {
        std::vector<int16_t> out;
        for (size_t i = 0; i < mix.size(); i += 2) out.push_back(mix[i]);
        return out;
    }
    // The left channel of `frames` mixed frames.
    std::vector<int16_t> played(size_t frames) { return left(sys.mixAudio(frames)); }

    ScratchDir dir;
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
    std::vector<std::string> logLines, warnings;

  private:
    static void keep(const std::string& line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
};

}  // namespace kit
