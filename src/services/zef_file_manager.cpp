#include "services/zef_file_manager.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/zef_dx.h"

namespace fs = std::filesystem;

namespace {

const char* const kLooseFiles = "0";

// Reads the mapped archive's directory where it lies.
class MemoryBuffer : public std::streambuf {
  public:
    MemoryBuffer(const uint8_t* data, size_t size) {
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }
};

}  // namespace

ZefFileManager::ZefFileManager(ZefDX* owner) : ZefBase(owner) {
    setArchive(kLooseFiles);
}

void ZefFileManager::setArchive(const std::string& name) {
    directory.clear();
    firstEntry_.clear();
    archive_.reset();
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
    std::string why;
    std::shared_ptr<const platform::MappedFile> mapped = platform::MappedFile::open(name, why);
    if (!mapped) {
        owner->fatalError("ZefFileManager::setArchive()", name + ": cannot be read (" + why + ")",
                          -1);
    }
    // Checked once here, so that no later open can reach outside the file.
    MemoryBuffer buffer(mapped->data(), mapped->size());
    std::istream in(&buffer);
    std::string damage;
    if (!archive_format::readDirectory(in, mapped->size(), directory, damage)) {
        directory.clear();
        owner->fatalError("ZefFileManager::setArchive()", name + ": " + damage, -1);
    }
    for (size_t i = 0; i < directory.size(); ++i) firstEntry_.emplace(directory[i].name, i);
    archive_ = std::move(mapped);
    archiveSelected = true;
}

const archive_format::Entry* ZefFileManager::find(const std::string& name) const {
    const auto found = firstEntry_.find(name);
    return found == firstEntry_.end() ? nullptr : &directory[found->second];
}

bool ZefFileManager::fileExists(const std::string& name) const {
    if (archiveSelected) return find(name) != nullptr;
    std::error_code ec;
    return fs::exists(name, ec) && !fs::is_directory(name, ec);
}

void ZefFileManager::checkFile(const std::string& name) const {
    if (!fileExists(name)) owner->fatalError("ZefDX::checkFile()", "Cannot open file " + name, -1);
}

std::unique_ptr<ZefStream> ZefFileManager::openFile(const std::string& name, int32_t* size) const {
    checkFile(name);
    if (archiveSelected) {
        const archive_format::Entry* entry = find(name);
        if (size != nullptr) *size = entry->size;
        return std::make_unique<ZefStream>(name, archive_, archive_->data() + entry->offset,
                                           size_t(entry->size));
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) owner->fatalError("ZefFileManager::openFile()", "Cannot read file " + name, -1);
    std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) owner->fatalError("ZefFileManager::openFile()", "Cannot read file " + name, -1);
    if (size != nullptr) *size = int32_t(bytes.size());
    return std::make_unique<ZefStream>(name, std::move(bytes));
}
