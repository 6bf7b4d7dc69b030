#include "CliFiles.h"

#include <algorithm>
#include <cctype>

#include "CliMessages.h"
#include "app/Messages.h"
#include "io/ByteReader.h"
#include "map/MapFile.h"

namespace kesh::cli {

namespace {

// The editor offers to set the layout by hand; the tool asks the same question,
// but whatever the answer it has no layout dialog to go on with.
Status Missing(CliContext& ctx, bool yesNo, const char* question, const char* message,
               const std::string& descriptorPath) {
    if (yesNo)
        ctx.services.AskYesNo(question);
    else
        ctx.services.AskOkCancel(question);
    return Status::Fail(std::string(message) + "\n" + descriptorPath);
}

} // namespace

DataKind DataKindOf(std::string_view path) {
    if (path.size() < 4)
        return DataKind::Other;
    std::string ext(path.substr(path.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".map")
        return DataKind::Map;
    if (ext == ".til")
        return DataKind::TileSet;
    return DataKind::Other;
}

Status LoadTileDescriptor(CliContext& ctx, const std::string& tilePath, TileDescriptor& out) {
    const std::string ktfPath = DescriptorPath(tilePath, kTileDescriptorExt);
    const auto bytes = ctx.fs.readFile(ktfPath);
    if (!bytes)
        return Missing(ctx, false, msg::kAskKtfMissing, msg::kKtfMissing, ktfPath);
    return ParseKtf(*bytes, out);
}

Status LoadTileSet(CliContext& ctx, const std::string& path, TileSet& set) {
    TileDescriptor layout;
    Status st = LoadTileDescriptor(ctx, path, layout);
    if (!st)
        return st;
    const auto bytes = ctx.fs.readFile(path);
    if (!bytes)
        return Status::Fail(std::string(msg::kOpenFailed) + "\n" + path);
    TileSet fresh;
    fresh.format().items = layout.items;
    fresh.format().attrWidth = layout.attrWidth;
    ByteReader in(*bytes);
    st = fresh.ReadTileFile(in, layout.headerLength);
    if (!st)
        return st;
    set = std::move(fresh);
    return Status::Ok();
}

Status LoadMap(CliContext& ctx, const std::string& path, MapModel& map, TileSet& tiles) {
    bool missing = false;
    const Status st = OpenMapFiles(ctx.fs, path, map, tiles, missing);
    if (missing)
        return Missing(ctx, true, msg::kAskKmfMissing, msg::kKmfMissing,
                       DescriptorPath(path, kMapDescriptorExt));
    return st;
}

Status SaveTileSet(FileSystem& fs, const std::string& path, const TileSet& set) {
    const std::string ktfPath = DescriptorPath(path, kTileDescriptorExt);
    // A tile file named like its own descriptor would be overwritten by it.
    if (ktfPath == path)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    ByteWriter out;
    if (!set.WriteTileFile(out))
        return Status::Fail(text::kNoTilesToSave);
    return SaveFiles(fs, {{path, out.take()}, {ktfPath, BuildKtf(set.format())}});
}

} // namespace kesh::cli
