#include "tileset/TileSetFile.h"

#include <memory>
#include <utility>
#include <vector>

#include "base/Messages.h"
#include "io/ByteReader.h"
#include "io/InputLimits.h"
#include "io/SaveRecovery.h"
#include "layout/TileFormat.h"

namespace kesh {

Status ReadTileSetFile(std::span<const uint8_t> bytes, const TileReadLayout& layout, TileSet& set) {
    const TileDescriptor& descriptor = layout.descriptor;
    TileSet fresh;
    fresh.format().attrWidth = descriptor.attrWidth;
    fresh.format().items = descriptor.items;
    fresh.format().params = descriptor.params;
    fresh.format().tileLimit = descriptor.tileLimit;
    std::optional<std::pair<int32_t, int32_t>> preset;
    if (layout.width >= 0 && layout.height >= 0)
        preset = {layout.width, layout.height};
    ByteReader in(bytes);
    const Status st = fresh.ReadTileFile(in, descriptor.headerLength, preset);
    if (!st)
        return st;
    set = std::move(fresh);
    return Status::Ok();
}

Status LoadTileDescriptor(FileSystem& fs, const std::string& tilePath, TileDescriptor& out,
                          bool& missing) {
    // A save of the pair cut short is finished or undone first; when that
    // cannot be done, whatever is there is read. What dead saves left goes.
    const std::string ktfPath = DescriptorPath(tilePath, kTileDescriptorExt);
    (void)FinishInterruptedSaves(fs, {tilePath, ktfPath});
    RemoveDeadSavesLeftovers(fs, {tilePath, ktfPath});
    const auto bytes = fs.readFile(ktfPath, kMaxDescriptorBytes);
    missing = bytes.error() == ReadError::CannotOpen;
    if (!bytes)
        return bytes.Refusal(Status::Fail(msg::kKtfMissing));
    return ParseKtf(*bytes, out);
}

Status LoadTileSetFile(FileSystem& fs, const std::string& path, const TileReadLayout& layout,
                       TileSet& set) {
    const auto bytes = fs.readBytes(path, kMaxTileFileBytes);
    if (!bytes)
        return bytes.status();
    TileSet fresh;
    if (Status st = ReadTileSetFile(*bytes, layout, fresh); !st)
        return st;
    // Another program may shorten the file while we read it.
    if (bytes->cutShort())
        return Status::Fail(msg::kDamagedFile);
    set = std::move(fresh);
    return Status::Ok();
}

Status OpenTileSetFiles(FileSystem& fs, const std::string& path, TileSet& set,
                        bool& descriptorMissing) {
    TileReadLayout layout;
    const Status st = LoadTileDescriptor(fs, path, layout.descriptor, descriptorMissing);
    if (!st)
        return st;
    return LoadTileSetFile(fs, path, layout, set);
}

Status TileSetFileSources(const std::string& path, const TileSet& set, EmptyTileSet empty,
                          std::vector<FileSource>& files) {
    const std::string ktfPath = DescriptorPath(path, kTileDescriptorExt);
    // The descriptor would overwrite the data file it describes.
    if (ktfPath == path)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    // A pixel the layout cannot store refuses the save before anything is written.
    if (Status st = set.CheckEncodings(); !st)
        return st;
    if (set.count() == 0) {
        // Small, and maybe refused: made in memory first, as nothing may be written then.
        ByteWriter til;
        if (!set.WriteTileFile(til) && empty == EmptyTileSet::Refuse)
            return Status::Fail(msg::kNoTilesToSave);
        auto bytes = std::make_shared<const std::vector<uint8_t>>(til.take());
        files.push_back({path, [bytes](ByteWriter& out) {
                             out.write(bytes->data(), bytes->size());
                             return Status::Ok();
                         }});
    } else {
        // The tile file goes to its temporary file as it is made.
        files.push_back({path, [&set](ByteWriter& out) {
                             set.WriteTileFile(out);
                             return Status::Ok();
                         }});
    }
    auto ktf = std::make_shared<const std::vector<uint8_t>>(BuildKtf(set.format()));
    files.push_back({ktfPath, [ktf](ByteWriter& out) {
                         out.write(ktf->data(), ktf->size());
                         return Status::Ok();
                     }});
    return Status::Ok();
}

Status SaveTileSetFiles(FileSystem& fs, const std::string& path, const TileSet& set,
                        EmptyTileSet empty, const std::vector<FileSource>& beside) {
    std::vector<FileSource> files;
    if (Status st = TileSetFileSources(path, set, empty, files); !st)
        return st;
    files.insert(files.end(), beside.begin(), beside.end());
    return SaveFiles(fs, files);
}

} // namespace kesh
