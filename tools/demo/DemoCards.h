// The firms the offline demo's stand-in directory lists: a busy café whose reviews fill three feed
// pages, a salon whose reviews carry official answers, a shop nobody has reviewed yet and three
// small firms.
#pragma once

#include <QList>

#include "standin/StandInPages.h"

namespace quillorn::demo {

QList<standin::StandInCard> DemoCards();

}  // namespace quillorn::demo
