#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CliContext.h"

namespace kesh::cli {

// The subcommands; each takes the arguments after its name and returns the exit status.
int RunInfo(CliContext& ctx, const std::vector<std::string>& args);
int RunExportBmp(CliContext& ctx, const std::vector<std::string>& args);
int RunPalette(CliContext& ctx, const std::vector<std::string>& args);
int RunAddTiles(CliContext& ctx, const std::vector<std::string>& args);
int RunConvert(CliContext& ctx, const std::vector<std::string>& args);
int RunImportImage(CliContext& ctx, const std::vector<std::string>& args);
int RunExportPng(CliContext& ctx, const std::vector<std::string>& args);
int RunLayout(CliContext& ctx, const std::vector<std::string>& args);
int RunCodegen(CliContext& ctx, const std::vector<std::string>& args);
// "16x8": a tile size as the tool's messages show it.
std::string SizeText(int32_t width, int32_t height);
int RunExportTmx(CliContext& ctx, const std::vector<std::string>& args);
int RunImportTmx(CliContext& ctx, const std::vector<std::string>& args);
int RunDeleteTile(CliContext& ctx, const std::vector<std::string>& args);

// Layout item lists as convert takes them ("SizeWord,CellsWord").
bool ParseMapItems(const std::string& list, std::vector<uint8_t>& items, std::string& error);
bool ParseTileItems(const std::string& list, std::vector<uint8_t>& items, std::string& error);

} // namespace kesh::cli
