#include "gradientsfile.h"

#include "cli/utf8.h"
#include "core/utf8.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace prismel::cli {

UserGradients loadUserGradients(const std::string& path)
{
    UserGradients user;
    if (path.empty())
        return user;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errno != ENOENT)
            user.warnings.push_back(path + ": " + std::strerror(errno));
        return user;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) {
        user.warnings.push_back(path + ": cannot be read");
        return user;
    }
    const DecodedText text = decodeUtf8(bytes);
    if (text.errorOffset) {
        user.warnings.push_back(path + ": not valid UTF-8 at byte offset " +
                                std::to_string(*text.errorOffset));
        return user;
    }
    GradientsFile file = parseGradientsFile(text.text);
    for (const auto& fault : file.faults) {
        const std::u8string message = toUtf8(fault.message);
        user.warnings.push_back(path + ":" + std::to_string(fault.line) + ": " +
                                std::string(message.begin(), message.end()));
    }
    user.gradients = std::move(file.gradients);
    return user;
}

} // namespace prismel::cli
