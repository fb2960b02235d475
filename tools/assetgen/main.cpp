// assetgen: draws, synthesises and packs all of the game's data.
//
//   assetgen --out Kestova.dat      the archive the game reads
//   assetgen --preview DIR          PNG contact sheets of every picture, for review
//   assetgen --icons DIR            the desktop icon, DIR/<n>x<n>/apps/kestova.png
#include <cstdio>
#include <cstring>
#include <string>

#include "archive_writer.h"
#include "art.h"
#include "asset_bundle.h"
#include "audio.h"
#include "contact_sheet.h"
#include "icon.h"
#include "intro.h"
#include "scene_preview.h"

int main(int argc, char** argv) {
    const char* const usage = "usage: assetgen [--out ARCHIVE] [--preview DIR] [--icons DIR]\n";
    std::string out, preview, icons;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
        } else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
            icons = argv[++i];
        } else {
            std::fprintf(stderr, "%s", usage);
            return 2;
        }
    }
    if (out.empty() && preview.empty() && icons.empty()) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    std::string error;
    if (!icons.empty() && !writeIcons(icons, error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    if (out.empty() && preview.empty()) return 0;

    AssetBundle bundle;
    art::addScenery(bundle);
    art::addVehicles(bundle);
    art::addEffects(bundle);
    art::addAlphabet(bundle);
    art::addScreens(bundle);
    audio::addSounds(bundle);
    intro::addIntro(bundle);

    if (!preview.empty()) {
        AssetBundle::Group scene{"scene mock-up", {}};
        scene.pictures.push_back(scenePreview());
        bundle.addGroup(std::move(scene));
    }
    if (!preview.empty() && !writeContactSheets(bundle, preview, error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    if (!out.empty()) {
        kv_archive::FileList files;
        for (const AssetBundle::File& f : bundle.files()) files.emplace_back(f.name, f.bytes);
        if (!kv_archive::writeArchive(out, files, error)) {
            std::fprintf(stderr, "assetgen: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
