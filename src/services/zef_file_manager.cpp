#include "services/zef_file_manager.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/zef_dx.h"

namespace fs = std::filesystem;

namespace {

const char* const kLooseFiles = "0";

}  // namespace

ZefFileManager::ZefFileManager(ZefDX* owner) : ZefBase(owner) {
    setArchive(kLooseFiles);
}

void ZefFileManager::setArchive(const std::string& name) {
    directory.clear();
    if (name == kLooseFiles) {
        archiveSelected = false;
        archiveName.clear();
        return;
    }
    archiveName = name;
    std::error_code ec;
    if (!fs::is_regular_file(name, ec)) {
        owner->fatalError("ZefDX::checkFile()", "Cannot open file " + name, -1);
    }
    const uint64_t fileSize = fs::file_size(name, ec);
    std::ifstream in(name, std::ios::binary);
    if (ec || !in) {
        owner->fatalError("ZefFileManager::setArchive()", name + ": cannot be read", -1);
    }
    // Checked once here, so that no later open can reach outside the file.
    std::string damage;
    if (!archive_format::readDirectory(in, fileSize, directory, damage)) {
        directory.clear();
        owner->fatalError("ZefFileManager::setArchive()", name + ": " + damage, -1);
    }
    archiveSelected = true;
}

bool ZefFileManager::fileExists(const std::string& name) const {
    if (archiveSelected) return archive_format::findEntry(directory, name) != nullptr;
    std::error_code ec;
    return fs::exists(name, ec) && !fs::is_directory(name, ec);
}

void ZefFileManager::checkFile(const std::string& name) const {
    if (!fileExists(name)) owner->fatalError("ZefDX::checkFile()", "Cannot open file " + name, -1);
}

std::unique_ptr<ZefStream> ZefFileManager::openFile(const std::string& name, int32_t* size) const {
    checkFile(name);
    std::vector<uint8_t> bytes;
    if (archiveSelected) {
        const archive_format::Entry* entry = archive_format::findEntry(directory, name);
        std::ifstream in(archiveName, std::ios::binary);
        bytes.resize(size_t(entry->size));
        // The archive may have changed on disk since its directory was read.
        if (!in || !in.seekg(entry->offset) ||
            !in.read(reinterpret_cast<char*>(bytes.data()), entry->size)) {
            owner->fatalError("ZefFileManager::openFile()",
                              archiveName + ": cannot read the data of " + name, -1);
        }
    } else {
        std::ifstream in(name, std::ios::binary);
        if (!in) owner->fatalError("ZefFileManager::openFile()", "Cannot read file " + name, -1);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            owner->fatalError("ZefFileManager::openFile()", "Cannot read file " + name, -1);
        }
    }
    if (size != nullptr) *size = int32_t(bytes.size());
    return std::make_unique<ZefStream>(name, std::move(bytes));
}
