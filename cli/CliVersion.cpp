#include "Cli.h"

namespace kesh::cli {
const char* Version() {
    return "1.0.0";
}
} // namespace kesh::cli
