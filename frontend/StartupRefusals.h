// The checks that keep Quillorn from running where it cannot keep its files: inside an archive
// program's unpacking folder, inside a temporary folder, or without a usable TLS library. The
// first check that applies gives the text of the warning shown before the process ends.
#pragma once

#include <QString>
#include <optional>

namespace quillorn {

inline constexpr const char* kRefusalCaption = "Внимание!";

// appDir is the executable's directory with its trailing separator. The archive test is on the
// letters "Rar$" (case matters); the temporary-folder test on a directory named temp in any letter
// case ("/tmp/" is not one), between "/" or, on Windows, "\\" too. tlsAvailable is what net's
// TlsAvailable() says.
std::optional<QString> StartupRefusal(const QString& appDir, bool tlsAvailable);

}  // namespace quillorn
