#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliContext.h"
#include "CliJson.h"
#include "image/QuantizeImage.h"

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
int RunTerrain(CliContext& ctx, const std::vector<std::string>& args);
int RunUsage(CliContext& ctx, const std::vector<std::string>& args);
int RunOptimize(CliContext& ctx, const std::vector<std::string>& args);

// "--quantize [N]" and "--dither" of `parsed` into `quantize` and `options`;
// with `others`, the options that cannot go with --quantize. kExitOk, or
// the usage error's exit status once told.
int ReadQuantize(CliContext& ctx, const ParsedArgs& parsed, const std::vector<std::string>& others,
                 bool& quantize, QuantizeOptions& options);
// The built palette's members of an import's JSON: "colours", "exactColours",
// "mse" and "psnr" (dB; null without error).
void WriteQuantized(JsonObject& json, const QuantizeReport& report);

// Layout item lists as convert takes them ("SizeWord,CellsWord").
bool ParseMapItems(const std::string& list, std::vector<uint8_t>& items, std::string& error);
bool ParseTileItems(const std::string& list, std::vector<uint8_t>& items, std::string& error);

} // namespace kesh::cli
