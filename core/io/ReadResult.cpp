#include "io/ReadResult.h"

#include "base/GroupDigits.h"
#include "base/Messages.h"

namespace kesh {

Status ReadFailure(ReadError error, const std::string& path, uint64_t limit) {
    switch (error) {
    case ReadError::None:
        return Status::Ok();
    case ReadError::NotRegularFile:
        return Status::Fail(std::string(msg::kNotRegularFile) + "\n" + path);
    case ReadError::TooLarge:
        return Status::Fail(std::string(msg::kFileTooLarge) + GroupDigits(limit) + "바이트).\n" +
                            path);
    case ReadError::Changed:
        return Status::Fail(std::string(msg::kDamagedFile) + "\n" + path);
    case ReadError::CannotOpen:
        break;
    }
    return Status::Fail(std::string(msg::kOpenFailed) + "\n" + path);
}

} // namespace kesh
