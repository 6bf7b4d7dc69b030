#include "tmx/TmxImages.h"

#include <cstring>

#include "base/GroupDigits.h"
#include "image/ImageSource.h"
#include "tmx/TmxMessages.h"

namespace kesh {

namespace {

bool IsPng(const std::vector<uint8_t>& bytes) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

} // namespace

Status TmxImages::Get(const std::string& path, const Image*& image) {
    const std::string key = m_loader.Identity(path);
    if (const auto it = m_images.find(key); it != m_images.end()) {
        image = it->second.get();
        return Status::Ok();
    }
    const auto bytes = m_loader.Load(path, kMaxImageFileBytes);
    if (!bytes)
        return bytes.Refusal(Status::Fail(std::string(msg::kTmxFileMissing) + "\n" + path));
    const auto overBudget = [&](int64_t pixels) { return pixels > m_budget - m_used; };
    const Status refused = Status::Fail(std::string(msg::kTmxImagesTooLarge) +
                                        GroupDigits(uint64_t(m_budget)) + "화소).\n" + path);
    // A PNG's size is in its header: one past the budget is refused before
    // its pixels are decoded. The other kinds decode in time linear in
    // their bytes.
    if (IsPng(*bytes)) {
        ImageSource header;
        if (Status st = header.Open(*bytes); !st)
            return Status::Fail(st.message() + "\n" + path);
        if (overBudget(int64_t(header.width()) * header.height()))
            return refused;
    }
    auto decoded = std::make_unique<Image>();
    if (Status st = ReadImage(*bytes, *decoded); !st)
        return Status::Fail(st.message() + "\n" + path);
    const int64_t pixels = int64_t(decoded->m_width) * decoded->m_height;
    if (overBudget(pixels))
        return refused;
    m_used += pixels;
    image = decoded.get();
    m_images.emplace(key, std::move(decoded));
    return Status::Ok();
}

} // namespace kesh
