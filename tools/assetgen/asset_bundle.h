#pragma once
#include <string>
#include <vector>

#include "picture.h"

// Everything one generator run makes, in the order it was made: the files for the archive,
// and the pictures grouped for the contact sheets.
class AssetBundle {
  public:
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    struct Group {
        std::string title;
        std::vector<Picture> pictures;
    };

    void addFile(std::string name, std::vector<uint8_t> bytes);
    // A single picture, stored as `name` and shown on a sheet of its own title.
    void addPicture(const std::string& name, Picture picture);
    // A numbered series: base + "_" + n + ".bmp" for n from 0.
    void addSeries(const std::string& base, std::vector<Picture> pictures);

    // Pictures stored under names of their own, shown together on one sheet.
    void addGroup(Group group) { groups_.push_back(std::move(group)); }

    const std::vector<File>& files() const { return files_; }
    const std::vector<Group>& groups() const { return groups_; }

  private:
    std::vector<File> files_;
    std::vector<Group> groups_;
};
