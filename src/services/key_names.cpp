#include "services/key_names.h"

#include <array>
#include <cctype>

#include "services/dik_codes.h"

namespace {

std::array<const char*, 256> buildTable() {
    std::array<const char*, 256> names{};
    names.fill("");
#define KESTOVA_DIK_NAME(name, code) names[code] = "DIK_" #name;
    KESTOVA_DIK_KEYS(KESTOVA_DIK_NAME)
#undef KESTOVA_DIK_NAME
    return names;
}

}  // namespace

std::string keyName(int code) {
    static const std::array<const char*, 256> table = buildTable();
    if (code < 0 || code > 255) return std::string();
    return table[size_t(code)];
}

std::string keyLabel(int code) {
    std::string name = keyName(code);
    if (name.empty()) return name;
    name.erase(0, 4);  // "DIK_"
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

int keyFromLabel(const std::string& label) {
    if (label.empty()) return -1;
    for (int code = 0; code < 256; ++code) {
        const std::string own = keyLabel(code);
        if (own.size() != label.size()) continue;
        bool same = true;
        for (size_t i = 0; i < own.size() && same; ++i) {
            same = own[i] == std::tolower(static_cast<unsigned char>(label[i]));
        }
        if (same) return code;
    }
    return -1;
}
