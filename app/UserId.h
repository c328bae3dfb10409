// The id of the user this process runs as, as text: what keeps two users' names apart where they
// share a namespace (the local sockets of the window's single instance).
#pragma once

#include <QString>

namespace quillorn {

QString CurrentUserId();

}  // namespace quillorn
