#include "image/PictureTiles.h"

#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

#include "image/ImageSource.h"
#include "image/TileCutting.h"
#include "raster/ColourEncoding.h"

namespace kesh {

namespace {

constexpr uint32_t kNoColour = UINT32_MAX;

uint32_t Packed(Rgb c) {
    return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

// The colours the picture shows, numbered picture-wide in the order met,
// so that a block finds its own colours through a table; true-colour
// pixels are reduced once per colour.
class ShownColours {
public:
    explicit ShownColours(ColourEncoding encoding) : m_encoding(encoding) {}

    uint32_t IdOf(Rgb colour) {
        const uint32_t shown = Packed(ReduceColour(m_encoding, colour));
        const auto [it, added] = m_idOfShown.emplace(shown, uint32_t(m_shown.size()));
        if (added)
            m_shown.push_back(shown);
        return it->second;
    }
    uint32_t IdOfRgb(const uint8_t* p) {
        const uint32_t rgb = Packed({p[0], p[1], p[2]});
        if (rgb == m_lastRgb)
            return m_lastId;
        const auto found = m_idOfRgb.find(rgb);
        const uint32_t id = found != m_idOfRgb.end() ? found->second : IdOf({p[0], p[1], p[2]});
        if (found == m_idOfRgb.end())
            m_idOfRgb.emplace(rgb, id);
        m_lastRgb = rgb;
        m_lastId = id;
        return id;
    }
    uint32_t Shown(uint32_t id) const { return m_shown[id]; }
    size_t count() const { return m_shown.size(); }

private:
    ColourEncoding m_encoding;
    std::vector<uint32_t> m_shown;
    std::unordered_map<uint32_t, uint32_t> m_idOfShown;
    std::unordered_map<uint32_t, uint32_t> m_idOfRgb;
    uint32_t m_lastRgb = kNoColour;
    uint32_t m_lastId = 0;
};

// The blocks of bytes met so far, as cut, by hash: an open table probed in
// order, kept at most half full, each block's bytes kept for comparing.
class RawBlocks {
public:
    explicit RawBlocks(size_t bytes) : m_bytes(bytes) { Grow(1024); }

    int64_t Find(const uint8_t* raw, uint64_t hash) const {
        for (size_t i = hash & m_mask; m_slots[i].block != kNoColour; i = (i + 1) & m_mask)
            if (m_slots[i].hash == hash &&
                std::memcmp(m_raw.data() + m_slots[i].offset, raw, m_bytes) == 0)
                return m_slots[i].block;
        return -1;
    }
    void Add(const uint8_t* raw, uint64_t hash, uint32_t block) {
        if (2 * (m_used + 1) > m_slots.size())
            Grow(2 * m_used + 2);
        Place({hash, m_raw.size(), block});
        m_raw.insert(m_raw.end(), raw, raw + m_bytes);
        ++m_used;
    }

private:
    struct Slot {
        uint64_t hash = 0;
        size_t offset = 0;
        uint32_t block = kNoColour; // empty
    };
    void Place(const Slot& slot) {
        size_t i = slot.hash & m_mask;
        while (m_slots[i].block != kNoColour)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
    void Grow(size_t least) {
        size_t size = 16;
        while (size < 2 * least)
            size *= 2;
        std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(size));
        m_mask = size - 1;
        for (const Slot& slot : old)
            if (slot.block != kNoColour)
                Place(slot);
    }

    size_t m_bytes;
    std::vector<uint8_t> m_raw;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_used = 0;
};

} // namespace

Status PictureTiles::Read(ImageSource& source, int32_t tileWidth, int32_t tileHeight,
                          ColourEncoding encoding) {
    *this = PictureTiles();
    const int64_t width = source.width(), height = source.height();
    const auto tw = size_t(tileWidth), th = size_t(tileHeight);
    m_tileWidth = tileWidth;
    m_tileHeight = tileHeight;
    m_across = int32_t((width + tileWidth - 1) / tileWidth);
    m_down = int32_t((height + tileHeight - 1) / tileHeight);
    m_blockOf.reserve(size_t(m_across) * size_t(m_down));

    // Indices and grey values each stand for one colour, reduced up front.
    const auto bpp = size_t(source.bytesPerPixel());
    ShownColours shown(encoding);
    std::array<uint32_t, 256> idOfByte{};
    if (bpp == 1) {
        const Image& header = source.header();
        const auto& rgb = header.m_palette.rgb;
        for (size_t i = 0; i < 256; ++i)
            idOfByte[i] = header.hasPalette()
                              ? shown.IdOf({uint8_t(rgb[3 * i] * 4), uint8_t(rgb[3 * i + 1] * 4),
                                            uint8_t(rgb[3 * i + 2] * 4)})
                              : shown.IdOf({uint8_t(i), uint8_t(i), uint8_t(i)});
    }
    const size_t pixelCount = tw * th, rawBytes = pixelCount * bpp;
    std::vector<uint8_t> strip(size_t(m_across) * rawBytes);
    RawBlocks seen(rawBytes);
    std::vector<uint32_t> ids(pixelCount);
    std::vector<uint32_t> stamp;   // by colour id: the block that last met it, plus 1
    std::vector<uint16_t> localOf; // by colour id: its index in that block
    for (int32_t r = 0; r < m_down; ++r) {
        const uint8_t* band = nullptr;
        int32_t got = 0;
        if (Status st = source.NextRows(tileHeight, band, got); !st)
            return st;
        CutStrip(band, width * int64_t(bpp), got, 0, tw * bpp, th, size_t(m_across), strip.data());
        for (int32_t c = 0; c < m_across; ++c) {
            const uint8_t* raw = strip.data() + size_t(c) * rawBytes;
            // A tile the edge cuts is a block of its own: its padding is no colour.
            const bool edge = int64_t(c + 1) * tileWidth > width || got < tileHeight;
            const uint64_t hash = edge ? 0 : HashTile(raw, rawBytes);
            if (!edge)
                if (const int64_t block = seen.Find(raw, hash); block >= 0) {
                    m_blockOf.push_back(uint32_t(block));
                    continue;
                }
            const int64_t inside = width - int64_t(c) * tileWidth;
            for (size_t p = 0; p < pixelCount; ++p)
                ids[p] = edge && (int64_t(p % tw) >= inside || p / tw >= size_t(got)) ? kNoColour
                         : bpp == 1 ? idOfByte[raw[p]]
                                    : shown.IdOfRgb(raw + 3 * p);
            const auto block = uint32_t(blocks());
            stamp.resize(shown.count(), 0);
            localOf.resize(shown.count());
            size_t local = 0;
            for (size_t p = 0; p < pixelCount; ++p) {
                const uint32_t id = ids[p];
                if (id == kNoColour) {
                    m_pixels.push_back(kPad);
                    continue;
                }
                if (stamp[id] != block + 1) {
                    if (local == kPad)
                        return Status::Fail("그림의 (" + std::to_string(int64_t(c) * tileWidth) +
                                            ", " + std::to_string(int64_t(r) * tileHeight) +
                                            ") 위치의 타일은 색이 너무 많아서 팔레트에 넣을 수 "
                                            "없습니다.");
                    stamp[id] = block + 1;
                    localOf[id] = uint16_t(local++);
                    m_colours.push_back(shown.Shown(id));
                }
                m_pixels.push_back(localOf[id]);
            }
            m_colourStart.push_back(m_colours.size());
            if (!edge)
                seen.Add(raw, hash, block);
            m_blockOf.push_back(block);
        }
    }
    return Status::Ok();
}

} // namespace kesh
