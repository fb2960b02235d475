// assetgen: draws, synthesises and packs all of the game's data.
//
//   assetgen --out Kestova.dat      the archive the game reads
//   assetgen --preview DIR          PNG contact sheets of every picture, for review
#include <cstdio>
#include <cstring>
#include <string>

#include "archive_writer.h"
#include "art.h"
#include "asset_bundle.h"
#include "audio.h"
#include "contact_sheet.h"
#include "intro.h"
#include "scene_preview.h"

int main(int argc, char** argv) {
    std::string out, preview;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
        } else {
            std::fprintf(stderr, "usage: assetgen [--out ARCHIVE] [--preview DIR]\n");
            return 2;
        }
    }
    if (out.empty() && preview.empty()) {
        std::fprintf(stderr, "usage: assetgen [--out ARCHIVE] [--preview DIR]\n");
        return 2;
    }

    AssetBundle bundle;
    art::addScenery(bundle);
    art::addVehicles(bundle);
    art::addEffects(bundle);
    art::addAlphabet(bundle);
    art::addScreens(bundle);
    audio::addSounds(bundle);
    intro::addIntro(bundle);

    std::string error;
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
