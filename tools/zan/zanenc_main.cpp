// zanenc: builds a ".zan" animation from a small script.
//
//   zanenc script.txt out.zan
//
// Script lines (blank lines and lines starting with '#' are skipped):
//   size W H          area size, first line
//   period MS         ms per frame, 0 for the engine's own period (default 0),
//                     at most 5000
//   frame FILE.bmp    a W x H picture
//   wait MS
//   load ARCHIVE/NAME.wav
//   play N [loop]     N: a sound loaded above, counted from 0
//   stop N
// BMP paths are relative to the script's folder.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/pixel_surface.h"
#include "zan_encoder.h"

namespace {

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int fail(const std::string& where, int line, const std::string& what) {
    std::cerr << "zanenc: " << where << ":" << line << ": " << what << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zanenc script.txt out.zan\n";
        return 2;
    }
    std::string scriptPath = argv[1];
    std::string folder;
    size_t slash = scriptPath.rfind('/');
    if (slash != std::string::npos) folder = scriptPath.substr(0, slash + 1);

    std::ifstream script(scriptPath);
    if (!script) return fail(scriptPath, 0, "cannot open the script");

    int32_t width = -1, height = -1, period = 0, soundsLoaded = 0;
    std::unique_ptr<zan::Encoder> encoder;
    std::string text;
    int lineNo = 0;
    while (std::getline(script, text)) {
        ++lineNo;
        std::istringstream line(text);
        std::string word;
        if (!(line >> word) || word[0] == '#') continue;
        if (word == "size") {
            if (encoder || !(line >> width >> height) || width <= 0 || height <= 0)
                return fail(scriptPath, lineNo, "size W H must come first, once");
            continue;
        }
        if (word == "period") {
            // The game refuses periods past 5000 ms: Escape would wait too long.
            if (encoder || !(line >> period) || period < 0 || period > 5000)
                return fail(scriptPath, lineNo,
                            "period MS (0 to 5000) must come before any command");
            continue;
        }
        if (width <= 0) return fail(scriptPath, lineNo, "size W H must come first");
        if (!encoder) encoder = std::make_unique<zan::Encoder>(width, height, period);

        if (word == "frame") {
            std::string file;
            if (!(line >> file)) return fail(scriptPath, lineNo, "frame needs a file");
            std::vector<uint8_t> bytes;
            if (!readFile(folder + file, bytes))
                return fail(scriptPath, lineNo, "cannot read " + folder + file);
            std::string error;
            auto picture = platform::PixelSurface::decodeBMP(bytes.data(), bytes.size(), error);
            if (!picture) return fail(scriptPath, lineNo, file + ": " + error);
            if (picture->width() != width || picture->height() != height)
                return fail(scriptPath, lineNo,
                            file + ": picture is not " + std::to_string(width) + "x" +
                                std::to_string(height));
            std::vector<uint16_t> pixels;
            pixels.reserve(size_t(width) * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) pixels.push_back(picture->getPixel(x, y));
            encoder->addFrame(pixels);
        } else if (word == "wait") {
            int32_t ms;
            if (!(line >> ms) || ms < 0) return fail(scriptPath, lineNo, "wait needs MS");
            encoder->addWait(ms);
        } else if (word == "load") {
            std::string name;
            if (!(line >> name) || name.size() > 255)
                return fail(scriptPath, lineNo, "load needs a name of at most 255 characters");
            encoder->loadSound(name);
            ++soundsLoaded;
        } else if (word == "play" || word == "stop") {
            int32_t number;
            std::string flag;
            if (!(line >> number) || number < 0)
                return fail(scriptPath, lineNo, word + " needs a sound number");
            // The game refuses the whole file when it meets such a command.
            if (number >= soundsLoaded)
                return fail(scriptPath, lineNo,
                            "sound " + std::to_string(number) + " has not been loaded (" +
                                std::to_string(soundsLoaded) + " loaded so far)");
            line >> flag;
            if (word == "play")
                encoder->playSound(number, flag == "loop");
            else
                encoder->stopSound(number);
        } else {
            return fail(scriptPath, lineNo, "unknown command '" + word + "'");
        }
    }
    if (!encoder) {
        if (width <= 0) return fail(scriptPath, lineNo, "no size given");
        encoder = std::make_unique<zan::Encoder>(width, height, period);
    }
    std::vector<uint8_t> bytes = encoder->finish();
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::cerr << "zanenc: cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << argv[2] << ": " << encoder->frameCount() << " frames, " << bytes.size()
              << " bytes\n";
    return 0;
}
