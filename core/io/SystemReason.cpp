#include "io/SystemReason.h"

#include <cerrno>

namespace kesh {

std::string SystemReason(int error) {
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
        return "디스크에 빈 공간이 없습니다.";
    case EDQUOT:
        return "디스크 사용 한도를 넘었습니다.";
    case EACCES:
    case EPERM:
        return "권한이 없습니다.";
    case EROFS:
        return "읽기 전용 파일 시스템입니다.";
    case ENOENT:
        return "파일이나 폴더가 없습니다.";
    case ENOTDIR:
        return "경로 가운데 폴더가 아닌 것이 있습니다.";
    case ENAMETOOLONG:
        return "파일 이름이 너무 깁니다.";
    case EISDIR:
        return "같은 이름의 폴더가 있습니다.";
    case EIO:
        return "입출력 오류가 났습니다.";
    case EMFILE:
    case ENFILE:
        return "열린 파일이 너무 많습니다.";
    case EBUSY:
    case ETXTBSY:
        return "파일이 사용 중입니다.";
    case EFBIG:
        return "파일이 너무 큽니다.";
    case ENOMEM:
        return "메모리가 부족합니다.";
    case EMLINK:
        return "파일의 링크가 너무 많습니다.";
    default:
        return "시스템 오류(번호 " + std::to_string(error) + ")가 났습니다.";
    }
}

} // namespace kesh
