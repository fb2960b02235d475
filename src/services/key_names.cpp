#include "services/key_names.h"

#include <array>

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
