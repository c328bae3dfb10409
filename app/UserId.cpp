#include "app/UserId.h"

#include <unistd.h>

namespace quillorn {

QString CurrentUserId() {
    return QString::number(::getuid());
}

}  // namespace quillorn
