#include "asset_bundle.h"

void AssetBundle::addFile(std::string name, std::vector<uint8_t> bytes) {
    files_.push_back({std::move(name), std::move(bytes)});
}

void AssetBundle::addPicture(const std::string& name, Picture picture) {
    addFile(name, picture.toBmp());
    Group group{name, {}};
    group.pictures.push_back(std::move(picture));
    groups_.push_back(std::move(group));
}

void AssetBundle::addSeries(const std::string& base, std::vector<Picture> pictures) {
    for (size_t i = 0; i < pictures.size(); ++i) {
        addFile(base + "_" + std::to_string(i) + ".bmp", pictures[i].toBmp());
    }
    groups_.push_back({base, std::move(pictures)});
}
