#pragma once
// The input of the TMX fuzz target: the .tmx text, then each file it may
// name (external tile sets, images), each after a line "@@file NAME".

#include <cstdint>
#include <string>
#include <string_view>

#include "support/TmxSamples.h"

namespace kesh::fuzz {

inline constexpr std::string_view kTmxFileMark = "\n@@file ";

// The .tmx's bytes; the files go to `loader`.
inline std::string_view SplitTmxInput(const uint8_t* data, size_t size,
                                      test::MemoryLoader& loader) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    size_t at = all.find(kTmxFileMark);
    const std::string_view tmx = all.substr(0, at);
    while (at != std::string_view::npos) {
        const size_t nameStart = at + kTmxFileMark.size();
        const size_t nameEnd = all.find('\n', nameStart);
        if (nameEnd == std::string_view::npos)
            break;
        at = all.find(kTmxFileMark, nameEnd);
        const std::string_view body =
            all.substr(nameEnd + 1, at == std::string_view::npos ? at : at - nameEnd - 1);
        loader.files[std::string(all.substr(nameStart, nameEnd - nameStart))] =
            std::vector<uint8_t>(body.begin(), body.end());
    }
    return tmx;
}

inline std::vector<uint8_t> JoinTmxInput(const std::string& tmx, const test::MemoryLoader& files) {
    std::vector<uint8_t> out(tmx.begin(), tmx.end());
    for (const auto& [name, bytes] : files.files) {
        const std::string mark = std::string(kTmxFileMark) + name + "\n";
        out.insert(out.end(), mark.begin(), mark.end());
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace kesh::fuzz
