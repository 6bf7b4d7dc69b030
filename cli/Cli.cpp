#include "Cli.h"

#include <new>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliMessages.h"
#include "app/UnattendedServices.h"
#include "base/Messages.h"

namespace kesh::cli {

int CliContext::Usage(const std::string& problem) {
    err << problem << '\n' << text::kSeeHelp << '\n';
    return kExitUsage;
}

bool CliContext::ReadArgs(const std::vector<std::string>& args,
                          const std::vector<OptionDef>& options, PlainArgs plain, ParsedArgs& out,
                          const OptionCheck& check) {
    std::string error;
    if (!ParseArgs(args, options, out, error) || (check && !check(out, error))) {
        Usage(error);
        return false;
    }
    const size_t given = out.positionals.size();
    if (given < plain.count || (!plain.orMore && given > plain.count)) {
        Usage(text::kWrongArgCount);
        return false;
    }
    return true;
}

namespace {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               FileSystem& fs) {
    // No questions at the command line; messages go to standard error.
    UnattendedServices services(&err);
    CliContext ctx{fs, services, out, err};
    if (args.empty())
        return ctx.Usage(text::kNoCommand);
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        out << text::kHelp;
        return kExitOk;
    }
    if (command == "--version") {
        out << "kesh-cli " << Version() << '\n';
        return kExitOk;
    }
    if (command == "info")
        return RunInfo(ctx, rest);
    if (command == "export-bmp")
        return RunExportBmp(ctx, rest);
    if (command == "palette")
        return RunPalette(ctx, rest);
    if (command == "add-tiles")
        return RunAddTiles(ctx, rest);
    if (command == "convert")
        return RunConvert(ctx, rest);
    if (command == "import-image")
        return RunImportImage(ctx, rest);
    if (command == "export-png")
        return RunExportPng(ctx, rest);
    if (command == "layout")
        return RunLayout(ctx, rest);
    if (command == "codegen")
        return RunCodegen(ctx, rest);
    if (command == "export-tmx")
        return RunExportTmx(ctx, rest);
    if (command == "import-tmx")
        return RunImportTmx(ctx, rest);
    if (command == "delete-tile")
        return RunDeleteTile(ctx, rest);
    if (command == "terrain")
        return RunTerrain(ctx, rest);
    if (command == "usage")
        return RunUsage(ctx, rest);
    if (command == "optimize")
        return RunOptimize(ctx, rest);
    return ctx.Usage(text::kUnknownCommand + command);
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           FileSystem& fs) {
    // Memory that runs out anywhere in a command ends that command, never the
    // tool: every save leaves the old files as they were when it fails.
    try {
        return RunCommand(args, out, err, fs);
    } catch (const std::bad_alloc&) {
        err << msg::kOutOfMemory << '\n';
        return kExitRefused;
    }
}

} // namespace kesh::cli
